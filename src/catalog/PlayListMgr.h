#pragma once

#include <QWidget>
#include <functional>

class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;

namespace audiolume {

class CurrentPlaylist;
class MessageCatalog;
class PlayListManager;
class Prompter;
class SongLibrary;

/** What the playlist manager window works with; all owned by the entry point. */
struct PlayListMgrContext {
  PlayListManager& manager;
  CurrentPlaylist& current;
  const SongLibrary& library;
  MessageCatalog& catalog;
  Prompter& prompter;
  /** Whether a song file can be found, for loading. */
  std::function<bool(const QString& file)> present;
  /** Plays the entry (from 0) of the current playlist. */
  std::function<void(int entry)> playEntry;
  std::function<void()> openAutoDj;
  /** Converts the songs to WAV files with the conversion batch. */
  std::function<void(const QStringList& files)> exportToWav;
  /** Opens the track information of a song file. */
  std::function<void(const QString& file)> editTrackInfo;
  /** Fills the portable player's menu; the menu stays disabled without it. */
  std::function<void(QMenu* menu)> fillPortableMenu;
};

/**
 * The playlist manager window: the stored playlists, the player's current playlist, and
 * saving, loading, deleting and editing them. UI thread only.
 */
class PlayListMgr : public QWidget {
  Q_OBJECT

 public:
  explicit PlayListMgr(PlayListMgrContext context, QWidget* parent = nullptr);

  void Form_Load();
  /** Shows the player's current playlist again. */
  void LoadPlayList();
  void ListPlayLists();

  void lstPlayListTitle_Click(const QString& name);
  void lblSave_Click();
  void mnuSavePlayList_Click();
  void mnuSavePlayListAs_Click();
  void imgRemove_Click();
  void mnuNew_Click();
  void lblClear_Click();
  void lblDelete_Click();
  void lstSongList_DragDrop(const QList<int>& rows);
  void mnuExportToWav_Click();
  void mnuEditTrackInfo_Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus(QMenuBar* bar);
  void Save(bool ask);
  void ShowTitle();

  PlayListMgrContext context_;
  QListWidget* lstPlayListTitle_;
  QListWidget* lstSongList_;
  QLineEdit* txtPlayListTitle_;
};

}  // namespace audiolume
