#pragma once

#include <QStringList>
#include <cstdio>

#include "app/LaunchEnvironment.h"

namespace audiolume {

class CatalogCommands;
class CommandLinePrompter;
class Collection;
class VeltoDj;

/**
 * The command-line front end: parses "twpl [--home DIR] COMMAND …", prepares the
 * application directory as the jukebox does (without counting a run or opening a
 * window) and runs the command on the same classes. Exit codes: 0 success, 1 failure,
 * 2 usage.
 */
class Twpl {
 public:
  Twpl(LaunchEnvironment env, QString executableDir, std::FILE* out, std::FILE* err);

  int Run(QStringList args);

 private:
  struct Session {
    VeltoDj& veltoDj;
    Collection& collection;
    CommandLinePrompter& prompter;
    QString callerDir;  // where twpl was started; file arguments are relative to it

    QString Absolute(const QString& file) const;
  };
  using Handler = int (Twpl::*)(Session&, QStringList) const;

  int Usage(const QString& problem) const;
  void Print(const QString& line) const;
  static bool TakeFlag(QStringList& args, const QString& flag);

  int Messages(Session& session, QStringList args) const;
  int Msg(Session& session, QStringList args) const;
  int Diagnose(Session& session, QStringList args) const;
  int Library(Session& session, QStringList args) const;
  int LibraryList(Session& session, QStringList args) const;
  int LibraryFind(Session& session, QStringList args) const;
  int LibraryExport(Session& session, QStringList args) const;
  int LibrarySave(Session& session, QStringList args) const;
  int LibrarySaveAs(Session& session, QStringList args) const;
  int LibraryLoad(Session& session, QStringList args) const;
  int LibraryClear(Session& session, QStringList args) const;
  int Tags(Session& session, QStringList args) const;
  int Play(Session& session, QStringList args) const;
  int Convert(Session& session, QStringList args) const;
  int Query(Session& session, QStringList args) const;
  int LibraryAdd(Session& session, QStringList args) const;
  int LibraryEdit(Session& session, QStringList args) const;
  int LibraryDelete(Session& session, QStringList args) const;
  int PlayList(Session& session, QStringList args) const;
  int AutoDj(Session& session, QStringList args) const;
  int Categories(Session& session, QStringList args) const;
  int Info(Session& session, QStringList args) const;
  int Cd(Session& session, QStringList args) const;
  int Cddb(Session& session, QStringList args) const;
  int Rio(Session& session, QStringList args) const;
  int ReplayGain(Session& session, QStringList args) const;
  CatalogCommands Catalog(Session& session) const;
  /** Passes an exit code on, with the usage text after a usage error (2). */
  int UsageOnTwo(int code) const;

  LaunchEnvironment env_;
  QString executableDir_;
  std::FILE* out_;
  std::FILE* err_;
};

}  // namespace audiolume
