#pragma once

#include <QStringList>
#include <cstdio>
#include <memory>

namespace audiolume {

class AppServices;
class AutoDj;
class Collection;
class CommandLinePrompter;
class LibraryView;
class PlayListManager;
class PlayListPanel;
class PlayListStore;
class StartupPlaylistFile;
struct PlayListEntry;

/**
 * "twpl library list/find/edit/delete", "twpl playlist …", "twpl autodj …", "twpl categories"
 * and "twpl info save": the library window's sort, edit and delete, the playlist manager,
 * AutoDJ, the category lists and the track information, on the same classes.
 * File arguments arrive absolute; the library is loaded.
 */
class CatalogCommands {
 public:
  CatalogCommands(Collection& collection, AppServices& services, CommandLinePrompter& prompter,
                  QString home, std::FILE* out, std::FILE* err);
  ~CatalogCommands();

  int LibraryList(QStringList args);
  /** The rows holding every word, as list prints them, in the window's order. */
  int LibraryFind(const QStringList& words);
  int LibraryEdit(QStringList args);
  int LibraryDelete(QStringList args);
  /** "list", "show", "save", "delete" or "load". */
  int PlayList(const QString& command, QStringList args);
  /** "values COLUMN" or a selection. */
  int AutoDjCommand(QStringList args);
  /** The drop-down lists of the track information: "LIST<TAB>entry" lines. */
  int Categories() const;
  /** "FILE NAME=VALUE… [--apply-to-album NAME,…]": the track information's save. */
  int InfoSave(QStringList args);

 private:
  /** The rows the library view shows, one line each: text columns 0 to 11. */
  void PrintShownRows() const;
  int PlayListShow(const QStringList& args);
  int PlayListSave(QStringList args);
  int PlayListDelete(QStringList args);
  int PlayListLoad(const QStringList& args);
  int PlayListAddStartup(const QStringList& args);
  /** Makes the command's playlist the start-up playlist; 1 with a message on failure. */
  int WriteCurrent();
  int AutoDjSelect(QStringList args);
  void PrintSongs(const QList<PlayListEntry>& songs) const;
  int Problem(const QString& text) const;
  int Fail(const QString& text) const;
  void Print(const QString& line) const;

  Collection& collection_;
  AppServices& services_;
  CommandLinePrompter& prompter_;
  QString home_;
  std::FILE* out_;
  std::FILE* err_;
  std::unique_ptr<PlayListPanel> panel_;
  std::unique_ptr<LibraryView> view_;
  std::unique_ptr<StartupPlaylistFile> current_;
  std::unique_ptr<PlayListStore> store_;
  std::unique_ptr<PlayListManager> manager_;
  std::unique_ptr<AutoDj> autoDj_;
};

}  // namespace audiolume
