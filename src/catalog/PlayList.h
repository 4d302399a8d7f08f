#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QStackedWidget;
class QToolButton;

namespace audiolume {

class AutoDj;
class AutoSelectPanel;
class CategoryLists;
class CurrentPlaylist;
class DatabaseCommands;
class ErrorLog;
class GridEditBox;
class LibraryColumns;
class LibraryGrid;
class LibraryTableModel;
class LibraryView;
class MessageCatalog;
class PlayListPanel;
class PlayListPanelBox;
class PlayListManager;
class ReplayGainScanBar;
class Prompter;
class TrailerTag;

/** What the library window works with; all owned by the entry point. */
struct LibraryWindowContext {
  LibraryView& view;
  PlayListPanel& panel;
  const CategoryLists& categories;
  const AutoDj& autoDj;
  DatabaseCommands& database;
  TrailerTag& trailer;
  PlayListManager& manager;
  CurrentPlaylist& current;
  MessageCatalog& catalog;
  Prompter& prompter;
  const ErrorLog& log;
  QString settingsFile;
  std::function<void()> openAddSongs;
  std::function<void()> openPlayListMgr;
  /** Empties the player's playlist the way the open windows expect. */
  std::function<void()> clearCurrent;
  /** Starts play from the top of the player's playlist. */
  std::function<void()> playCurrent;
  /** Opens the track information of a song file. */
  std::function<void(const QString& file)> editTrackInfo;
  /** Opens the picture chooser for a song file's art. */
  std::function<void(const QString& file)> editArt;
  /** Opens the CD recorder. */
  std::function<void()> openRecorder;
};

/**
 * The music library window: the grid of every song, sorted by a header click, edited in
 * place, with its own playlist beside it and the AutoDJ panel. It draws what the library
 * view and the playlist panel hold; the playlist beside the grid (PlayListPanelBox), the
 * edit box over the grid (GridEditBox) and the library menu (LibraryMenu) are parts of
 * their own. UI thread only.
 */
class PlayList : public QWidget {
  Q_OBJECT

 public:
  explicit PlayList(LibraryWindowContext context, QWidget* parent = nullptr);

  /** Applies the stored sort, loads the recent playlist, fills the grid. */
  void Form_Load();
  /** Writes the edited row back and saves the recent playlist; false when the user
   *  chose to keep the window open. */
  bool Form_Unload();

  /** A header click: sorts by the section's column, the other way round on a second
   *  click; the header shows the direction. */
  void cmdSort_Click(int section);
  /** Every typed change of the search box: the grid shows the songs it finds. */
  void txtSearch_Change(const QString& text);
  void lstSongData_MouseDown(int position, int column, Qt::KeyboardModifiers modifiers,
                             Qt::MouseButton button);
  void KeyBoardCursorControl(int key);
  void lstSongData_DblClick(int position);
  void lblDeleteDatabaseSong_Click();
  /** Stores the panel's songs under a name asked for; with an empty panel it opens the
   *  playlist manager, which saves the player's playlist. */
  void lblSavePlayList_Click();
  void lblAutoSelect_Click();
  void lblTag_Click();
  void lblEditArt_Click();
  void ImgOKAutoSelect_Click();
  void lblPlaySongs_Click();
  /** Measures the selected songs' loudness in the background and stores their ReplayGain
   *  values in their tags, album by album. */
  void mnuReplayGain_Click();
  /** The library was replaced or emptied elsewhere: the panel empties, the grid redraws. */
  void LibraryReplaced();
  /** Rows were added or removed elsewhere. */
  void RefreshDataList();
  /** The song the player started, marked in the grid. */
  void SetPlayingFile(const QString& file);
  /** The view's current row moved from outside (the track information's arrows). */
  void ShowCurrent();
  /** Adds a stored playlist to the panel, asking about songs not in the library. */
  void LoadIntoPanel(const QString& name);

  LibraryGrid* Grid() const { return lstSongData_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus(QMenuBar* bar);
  QToolButton* Label(const QString& name, int captionId, int tipId, void (PlayList::*handler)());
  QWidget* BuildFindPage();
  void ShowStatus();
  void ShowSortIndicator();
  void ShowSearchCount();
  QString CurrentFile() const;
  QString SongNames(const QList<int>& rows) const;
  void MoveEditCell(int step);

  LibraryWindowContext context_;
  LibraryTableModel* model_;
  LibraryGrid* lstSongData_;
  LibraryColumns* columns_;
  QLineEdit* txtSearch_;
  GridEditBox* editBox_;
  PlayListPanelBox* panelBox_;
  QLabel* pnlStatusBar_;
  QStackedWidget* pages_;
  AutoSelectPanel* picAutoSelect_;
  QToolButton* lblAutoSelect_;
  QMenu* mnuPopUpAction_;
  ReplayGainScanBar* replayGain_;
  bool unloaded_ = false;
};

}  // namespace audiolume
