#pragma once

#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QTimer>
#include <functional>

#include "library/PlayListText.h"
#include "library/SongFilePresence.h"
#include "player/CompanionWindows.h"
#include "player/ResumePoint.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;

namespace audiolume {

class DatabaseCommands;
class FileConversion;
class Diagnostics;
class PlayMenus;
class PlayerEngine;
class PlayerPanel;
class MessageCatalog;
class Prompter;
class SongLibrary;

/** What the player window works with; all owned by the application controller. */
struct PlayContext {
  PlayerEngine& engine;
  SongLibrary& library;
  DatabaseCommands& database;
  MessageCatalog& catalog;
  Diagnostics& diagnostics;
  Prompter& prompter;
  QString settingsFile;
  QString startupPlaylist;  // "PlayList.txt"
  QString themeFolder;      // the skin pictures
  /** The art stored in a song file's trailer tag; empty when none. */
  std::function<QByteArray(const QString& file)> readArt;
  /** Opens the adding window (owned by the library side). */
  std::function<void()> openAddSongs;
  /** The conversion window's owner, which the window's menus open in one direction. */
  FileConversion* conversion = nullptr;
  /** Fills the portable player's menu; the menu stays disabled without it. */
  std::function<void(QMenu* menu)> fillPortableMenu;
  /** Where the CD drives' discs are mounted (an installation's default playlist may lie on
   *  a disc); none without it. */
  SongFilePresence::CdMounts cdMounts = [] { return QList<platform::CdMount>(); };
  /** Opens the adding window on a folder and adds its songs; the welcome offers the
   *  music folder. */
  std::function<void(const QString& folder)> addFolder = nullptr;
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

  enum ViewMode { kTiny = 0, kMini = 1, kFull = 2 };

  /** Restores position, view, play settings and the start-up playlist. runCount 1 is the
   *  first run. */
  void Form_Load(int runCount, int playVolume);

  /** Writes volume, layout and the queue back (shut-down). */
  void Form_Unload();

  /** A later copy's hand-over: the window comes to the front, and files it hands over
   *  are opened. */
  void HandleOtherCopy(const QString& message);
  /** The desktop asks the program to end: open boxes are closed as Escape closes them, so
   *  that their waits end, then the window closes as its close button does. */
  void CloseFromOutside();
  /** Song files opened from the desktop join the end of the queue; when nothing plays,
   *  the first of them starts. */
  void OpenFiles(const QStringList& files);

  QAction* Menu(const QString& name) const;
  ViewMode View() const { return view_; }
  /** The name of the playlist in the queue ("PlayList Title"), set when one is loaded. */
  const QString& PlayListTitle() const { return playListTitle_; }
  void SetPlayListTitle(const QString& title) { playListTitle_ = title; }
  void SetView(ViewMode view);

  void imgSizeUp_Click() { SetView(ViewMode(std::min(int(view_) + 1, int(kFull)))); }
  void imgSizeDown_Click() { SetView(ViewMode(std::max(int(view_) - 1, int(kTiny)))); }
  void mnuShowArt_Click();
  void mnuShowPlayList_Click();
  void cmdPlayOrder_Click(int index);
  void cmdPlayOption_Click(int index);
  void mnuDeleteTrack_Click();
  /** Pauses the song playing, else plays from the entry selected (or resumes). */
  void mnuPlayPause_Click();
  void mnuStop_Click();
  void mnuNext_Click();
  void mnuPrevious_Click();
  void mnuShowWelcome_Click();
  /** "'Menu' and then 'Item'" for an item of this window's menus. */
  QString MenuPath(const QString& item) const;
  void mnuConvMp3ToWav_Click();
  void mnuConvWavToMp3_Click();
  void mnuAutoArrange_Click() { companions_.Dock(); }
  /** The other windows of the jukebox, docked under the player. */
  CompanionWindows& Companions() { return companions_; }
  void mnuUseTWPLPlayer_Click();
  void mnuUseWinAmpPlayer_Click();
  void mnuChangeWinAmpPath_Click();
  void lblClear_Click();

  void mnuLoadDatabase_Click();
  void mnuSaveDatabase_Click();
  void mnuSaveDatabaseAs_Click();
  void mnuExportDatabase_Click();
  void mnuClearDatabase_Click();
  void mnuCaptureDiagnostic_Click();
  void mnuAddSongs_Click();
  void mnuAbout_Click();

 Q_SIGNALS:
  /** The library was replaced or emptied; open windows redraw their lists. */
  void LibraryReplaced();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildPlayer();
  void ConnectEngine();
  void RestorePosition(int runCount);
  void ReadPlaySettings();
  void LoadStartupPlaylist();
  void ShowWaitingSong(int index);
  void ShowQueue();
  void PlayFromList();
  void ShowPlayOrder();
  void ShowLibraryCount();
  void ShowArt(const QString& file);
  void ShowPlayerChoice();
  void OpenConversion(bool toWav);

  PlayContext context_;
  PlayerPanel* picPlayer_;
  QLabel* imgDisplay_;
  QListWidget* lstTitle_;
  PlayMenus* menus_;
  CompanionWindows companions_;
  ResumePoint resume_;
  QTimer tmrWelcome_;
  QPointer<QDialog> frmFileConversion_;
  ViewMode view_ = kFull;
  bool showArt_ = true;
  bool showPlayList_ = true;
  QString playListTitle_;  // the name of the playlist in the queue, kept across runs
  bool unloaded_ = false;
};

}  // namespace audiolume
