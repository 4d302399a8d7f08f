#pragma once

#include <QMainWindow>
#include <QMap>

#include "library/PlayListText.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;

namespace audiolume {

class DatabaseCommands;
class Diagnostics;
class MessageCatalog;
class Prompter;
class SongLibrary;

/** What the player window works with; all owned by the application controller. */
struct PlayContext {
  SongLibrary& library;
  DatabaseCommands& database;
  MessageCatalog& catalog;
  Diagnostics& diagnostics;
  Prompter& prompter;
  QString settingsFile;
  QString startupPlaylist;  // "PlayList.txt"
};

/**
 * The player window, the program's main window: its menus reach every part of the
 * jukebox, it shows the queue, and it keeps its position and layout in the settings
 * file. Closing it ends the program. UI thread only.
 */
class Play : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kTwipsPerPixel = 15;

  explicit Play(PlayContext context, QWidget* parent = nullptr);

  /** Restores position, view and the start-up playlist. runCount 1 is the first run. */
  void Form_Load(int runCount, int playVolume);

  /** Writes volume, layout and the queue back (shut-down). */
  void Form_Unload();

  /** A later copy's hand-over: "F12" restores the window, "F11" also reloads the
   *  start-up playlist. */
  void HandleOtherCopy(const QString& key);

  QAction* Menu(const QString& name) const { return actions_.value(name); }
  const QList<PlayListEntry>& Queue() const { return queue_; }

  void mnuLoadDatabase_Click();
  void mnuSaveDatabase_Click();
  void mnuSaveDatabaseAs_Click();
  void mnuExportDatabase_Click();
  void mnuClearDatabase_Click();
  void mnuCaptureDiagnostic_Click();
  void mnuAbout_Click();

 Q_SIGNALS:
  /** The library was replaced or emptied; open windows redraw their lists. */
  void LibraryReplaced();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  QMenu* AddMenu(int captionId);
  QAction* AddItem(QMenu* menu, const QString& name, int captionId,
                   void (Play::*handler)() = nullptr);
  void RestorePosition(int runCount);
  void LoadStartupPlaylist();
  void ShowQueue();
  void ShowLibraryCount();

  PlayContext context_;
  QLabel* lblSongName_;
  QLabel* lblArtist_;
  QListWidget* lstTitle_;
  QMap<QString, QAction*> actions_;
  QList<PlayListEntry> queue_;
  int playVolume_ = 50;
  bool unloaded_ = false;
};

}  // namespace audiolume
