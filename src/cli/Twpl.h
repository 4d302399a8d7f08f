#pragma once

#include <QStringList>
#include <cstdio>

#include "app/LaunchEnvironment.h"

namespace audiolume {

class AppServices;

/**
 * The command-line front end: parses "twpl [--home DIR] COMMAND …", prepares the
 * application directory as the jukebox does and runs the command on the same classes.
 * Exit codes: 0 success, 1 failure, 2 usage.
 */
class Twpl {
 public:
  Twpl(LaunchEnvironment env, QString executableDir, std::FILE* out, std::FILE* err);

  int Run(QStringList args);

 private:
  int Usage(const QString& problem) const;
  void Print(const QString& line) const;

  int Messages(AppServices& services, const QStringList& args) const;
  int Msg(AppServices& services, const QStringList& args) const;
  int Diagnose(AppServices& services, const QStringList& args) const;

  LaunchEnvironment env_;
  QString executableDir_;
  std::FILE* out_;
  std::FILE* err_;
};

}  // namespace audiolume
