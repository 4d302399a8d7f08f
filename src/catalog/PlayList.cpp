#include "catalog/PlayList.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "catalog/AutoDj.h"
#include "catalog/AutoSelectPanel.h"
#include "catalog/CurrentPlaylist.h"
#include "catalog/GridEditBox.h"
#include "catalog/LibraryColumns.h"
#include "catalog/LibraryGrid.h"
#include "catalog/LibraryMenu.h"
#include "catalog/LibraryTableModel.h"
#include "catalog/LibraryView.h"
#include "catalog/PlayListManager.h"
#include "catalog/PlayListPanel.h"
#include "catalog/PlayListPanelBox.h"
#include "catalog/ReplayGainScanBar.h"
#include "catalog/ToolLabel.h"
#include "library/DatabaseCommands.h"
#include "library/LibraryRowsMime.h"
#include "library/SongLibrary.h"
#include "support/CurrentError.h"
#include "support/ErrorLog.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"
#include "support/Runtime.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr int kPageRows = 10;
const QString kClickHelp = u"Click on any cell to Edit the song characteristics."_s;
// The window's size, kept from one run to the next.
const QString kSizeSection = u"PlayList"_s;
const QString kWidthKey = u"Window Width"_s;
const QString kHeightKey = u"Window Height"_s;

}  // namespace

PlayList::PlayList(LibraryWindowContext context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(std::move(context)) {
  setObjectName(u"PlayList"_s);
  MessageCatalog& catalog = context_.catalog;
  setWindowTitle(catalog.GetMsg(RC_MusicLibTTips).section(u':', 0, 0));
  auto* bar = new QMenuBar(this);
  BuildMenus(bar);

  auto* labels = new QHBoxLayout;
  labels->addWidget(
      Label(u"lblAddSongsFromDisk"_s, RC_Add_Songs, RC_DB_ToolTip_AddSongs_Disk, nullptr));
  labels->addWidget(
      Label(u"lblOpenPlayList"_s, RC_OpenPlaylist, RC_DB_ToolTip_OpenPlayList, nullptr));
  labels->addWidget(Label(u"lblSavePlayList"_s, RC_SavePlayList, RC_DB_ToolTip_SavePlayList,
                          &PlayList::lblSavePlayList_Click));
  lblAutoSelect_ = Label(u"lblAutoSelect"_s, RC_AutoDJ, RC_DB_ToolTip_AutoSelect,
                         &PlayList::lblAutoSelect_Click);
  labels->addWidget(lblAutoSelect_);
  labels->addWidget(
      Label(u"lblTag"_s, RC_EditTrackInfo, RC_TrackInfoTTips, &PlayList::lblTag_Click));
  labels->addWidget(
      Label(u"lblEditArt"_s, RC_Menu_AddArt, RC_DB_ToolTip_AddArt, &PlayList::lblEditArt_Click));
  labels->addWidget(Label(u"lblRecord"_s, RC_RecordFromCD, RC_RecordTTips, nullptr));
  labels->addStretch();
  QToolButton* trash = Label(u"lblDeleteDatabaseSong"_s, RC_Delete, RC_DB_ToolTip_DeleteSong_DB,
                             &PlayList::lblDeleteDatabaseSong_Click);
  trash->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
  trash->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  trash->setAcceptDrops(true);
  trash->installEventFilter(this);
  labels->addWidget(trash);
  for (const auto& [name, opener] : {std::pair{u"lblAddSongsFromDisk"_s, context_.openAddSongs},
                                     {u"lblOpenPlayList"_s, context_.openPlayListMgr},
                                     {u"lblRecord"_s, context_.openRecorder}}) {
    auto* label = findChild<QToolButton*>(name);
    label->setEnabled(bool(opener));
    connect(label, &QToolButton::clicked, this, opener);
  }

  model_ = new LibraryTableModel(context_.view, catalog, this);
  lstSongData_ = new LibraryGrid(context_.view, this);
  lstSongData_->setModel(model_);
  columns_ = new LibraryColumns(*lstSongData_->horizontalHeader(), context_.settingsFile);
  columns_->Restore();
  connect(lstSongData_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          &PlayList::cmdSort_Click);
  connect(lstSongData_, &LibraryGrid::CellPressed, this, &PlayList::lstSongData_MouseDown);
  connect(lstSongData_, &LibraryGrid::PositionDoubleClicked, this, &PlayList::lstSongData_DblClick);
  connect(lstSongData_, &LibraryGrid::KeyPressed, this,
          [this](int key) { KeyBoardCursorControl(key); });
  connect(lstSongData_, &LibraryGrid::PopUpRequested, this,
          [this](const QPoint& at) { mnuPopUpAction_->popup(at); });
  editBox_ = new GridEditBox(context_.view, context_.categories, *lstSongData_, *this);
  connect(editBox_, &GridEditBox::MoveKeyPressed, this, &PlayList::KeyBoardCursorControl);
  connect(&context_.view, &LibraryView::Refreshed, this, [this] {
    editBox_->Close();
    model_->Reset();
    panelBox_->ShowPanel();
    ShowSearchCount();
  });

  picAutoSelect_ = new AutoSelectPanel(context_.autoDj, catalog, this);
  connect(picAutoSelect_, &AutoSelectPanel::ImgOKAutoSelect_Click, this,
          &PlayList::ImgOKAutoSelect_Click);
  connect(picAutoSelect_, &AutoSelectPanel::imgCancelAutoSelect_Click, this, [this] {
    pages_->setCurrentIndex(0);
    lblAutoSelect_->setEnabled(true);
  });
  pages_ = new QStackedWidget(this);
  pages_->addWidget(BuildFindPage());
  pages_->addWidget(picAutoSelect_);

  auto* splitter = new QSplitter(this);
  splitter->addWidget(pages_);
  panelBox_ = new PlayListPanelBox(context_.panel, catalog, context_.prompter, this);
  connect(panelBox_, &PlayListPanelBox::PlayClicked, this, &PlayList::lblPlaySongs_Click);
  splitter->addWidget(panelBox_);
  splitter->setStretchFactor(0, 4);
  splitter->setStretchFactor(1, 1);
  pnlStatusBar_ = new QLabel(this);
  pnlStatusBar_->setObjectName(u"pnlStatusBar"_s);
  pnlStatusBar_->setText(kClickHelp);
  pnlStatusBar_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(bar);
  layout->addLayout(labels);
  layout->addWidget(splitter, 1);
  layout->addWidget(pnlStatusBar_);
  replayGain_ = new ReplayGainScanBar(context_.trailer, context_.prompter, this);
  layout->addWidget(replayGain_);
  resize(1000, 560);
}

QToolButton* PlayList::Label(const QString& name, int captionId, int tipId,
                             void (PlayList::*handler)()) {
  QToolButton* label = MakeToolLabel(this, context_.catalog, name, captionId, tipId);
  label->setEnabled(handler != nullptr);
  if (handler) connect(label, &QToolButton::clicked, this, handler);
  return label;
}

// The search box above the grid. Ctrl+F puts the caret there; Escape empties it.
QWidget* PlayList::BuildFindPage() {
  auto* page = new QWidget(this);
  txtSearch_ = new QLineEdit(page);
  txtSearch_->setObjectName(u"txtSearch"_s);
  txtSearch_->setPlaceholderText(
      u"Find songs by words of their title, album, artist, categories or file name"_s);
  txtSearch_->setClearButtonEnabled(true);
  txtSearch_->installEventFilter(this);
  connect(txtSearch_, &QLineEdit::textChanged, this, &PlayList::txtSearch_Change);
  auto* find = new QShortcut(QKeySequence::Find, this);
  connect(find, &QShortcut::activated, this, [this] {
    if (!txtSearch_->isVisible()) return;  // the AutoDJ panel is open
    txtSearch_->setFocus(Qt::ShortcutFocusReason);
    txtSearch_->selectAll();
  });
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(txtSearch_);
  layout->addWidget(lstSongData_, 1);
  return page;
}

void PlayList::BuildMenus(QMenuBar* bar) {
  MessageCatalog& catalog = context_.catalog;
  auto* library = new LibraryMenu(context_, this);
  bar->addMenu(library);
  connect(library, &LibraryMenu::LibraryReplaced, this, &PlayList::LibraryReplaced);
  connect(library, &LibraryMenu::PlayListChosen, this, &PlayList::LoadIntoPanel);
  mnuPopUpAction_ = new QMenu(this);
  mnuPopUpAction_->setObjectName(u"mnuPopUpAction"_s);
  QAction* addToPanel = mnuPopUpAction_->addAction(catalog.GetMsg(RC_AddSongs));
  connect(addToPanel, &QAction::triggered, this,
          [this] { panelBox_->AddRows(context_.view.SelectedRows()); });
  QAction* remove = mnuPopUpAction_->addAction(catalog.GetMsg(RC_Menu_Delete_Songs), this,
                                               &PlayList::lblDeleteDatabaseSong_Click);
  remove->setObjectName(u"mnuPopUpDelete"_s);
  mnuPopUpAction_->addAction(u"Scan ReplayGain"_s, this, &PlayList::mnuReplayGain_Click)
      ->setObjectName(u"mnuPopUpReplayGain"_s);
}

void PlayList::Form_Load() {
  const int width = int(Val(ReadIniString(context_.settingsFile, kSizeSection, kWidthKey)));
  const int height = int(Val(ReadIniString(context_.settingsFile, kSizeSection, kHeightKey)));
  if (width > 0 && height > 0) resize(width, height);
  context_.view.ApplyStoredSort();
  ShowSortIndicator();
  context_.manager.LoadRecentPlayList(context_.panel);
  model_->Reset();
  panelBox_->ShowPanel();
  unloaded_ = false;
}

void PlayList::cmdSort_Click(int section) {
  editBox_->Close();
  context_.view.LeaveRow();
  context_.view.SortClicked(LibraryTableModel::LibraryColumn(section));
  ShowSortIndicator();
  lstSongData_->scrollToTop();
  ShowStatus();  // the current song's new place
}

void PlayList::ShowSortIndicator() {
  const LibraryView& view = context_.view;
  // The header turns its arrow at every click by itself; it shows what the sort did.
  lstSongData_->horizontalHeader()->setSortIndicator(
      LibraryTableModel::Section(view.SortKey()),
      view.SortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void PlayList::txtSearch_Change(const QString& text) {
  editBox_->Hide();
  context_.view.SetSearch(text);
  model_->Reset();
  lstSongData_->scrollToTop();
  if (context_.view.Searching()) {
    ShowSearchCount();
  } else {
    pnlStatusBar_->setText(kClickHelp);
    ShowStatus();
  }
}

void PlayList::ShowSearchCount() {
  const LibraryView& view = context_.view;
  if (!view.Searching()) return;
  pnlStatusBar_->setText(u"%1 of %2 songs"_s.arg(view.Count()).arg(view.Total()));
}

void PlayList::lstSongData_MouseDown(int position, int column, Qt::KeyboardModifiers modifiers,
                                     Qt::MouseButton button) {
  LibraryView& view = context_.view;
  if (button == Qt::RightButton && view.IsSelected(position)) return;
  editBox_->Close();
  view.Click(position, modifiers & Qt::ShiftModifier, modifiers & Qt::ControlModifier);
  model_->SelectionChanged();
  ShowStatus();
  if (button == Qt::LeftButton && modifiers == Qt::NoModifier &&
      column < LibraryView::kEditableColumns) {
    view.BeginEdit(position, column);
    editBox_->Place();
  }
}

void PlayList::KeyBoardCursorControl(int key) {
  LibraryView& view = context_.view;
  if (key == Qt::Key_Delete) return lblDeleteDatabaseSong_Click();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (view.Current() >= 1) lstSongData_DblClick(view.Current());
    return;
  }
  if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
    return MoveEditCell(key == Qt::Key_Tab ? 1 : -1);
  const int step = key == Qt::Key_Up       ? -1
                   : key == Qt::Key_Down   ? 1
                   : key == Qt::Key_PageUp ? -kPageRows
                                           : kPageRows;
  if (view.Count() == 0) return;
  const int column = view.IsEditing() ? view.EditColumn() : -1;
  const int position = std::clamp(view.Current() + step, 1, view.Count());
  editBox_->Close();
  view.Click(position, false, false);
  model_->SelectionChanged();
  lstSongData_->ScrollToPosition(position);
  ShowStatus();
  if (column >= 0) {
    view.BeginEdit(position, column);
    editBox_->Place();
  }
}

// Tab and Shift+Tab walk the editable cells, row after row.
void PlayList::MoveEditCell(int step) {
  LibraryView& view = context_.view;
  int position = 0;
  int column = 0;
  if (!view.EditCellAfter(step, position, column)) return;
  editBox_->Close();
  if (position != view.Current()) {
    view.Click(position, false, false);
    model_->SelectionChanged();
    ShowStatus();
  }
  view.BeginEdit(position, column);
  editBox_->Place();
}

void PlayList::ShowCurrent() {
  model_->SelectionChanged();
  lstSongData_->scrollTo(model_->index(context_.view.Current() - 1, 0));
  ShowStatus();
}

void PlayList::ShowStatus() {
  const int position = context_.view.Current();
  if (position >= 1) pnlStatusBar_->setText(context_.view.StatusLine(position));
}

bool PlayList::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtSearch_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !txtSearch_->text().isEmpty()) {
    txtSearch_->clear();
    return true;
  }
  // Songs dragged out of the grid onto the trash can; the search box takes no rows.
  const bool isDrop = event->type() == QEvent::Drop;
  if (watched != txtSearch_ &&
      (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove || isDrop)) {
    auto* drop = static_cast<QDropEvent*>(event);
    if (!LibraryRowsMime::Carries(drop->mimeData())) return false;
    drop->acceptProposedAction();
    if (isDrop) lblDeleteDatabaseSong_Click();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void PlayList::lstSongData_DblClick(int position) {
  editBox_->Close();
  panelBox_->AddRows({context_.view.RowAt(position)});
}

void PlayList::lblDeleteDatabaseSong_Click() {
  LibraryView& view = context_.view;
  MessageCatalog& catalog = context_.catalog;
  const QList<int> rows = view.SelectedRows();
  if (rows.isEmpty()) {
    context_.prompter.Tell(catalog.GetMsg(RC_MustHighlight), MessageIcon::Information);
    return;
  }
  const QString text =
      (rows.size() > 1 ? QString::number(rows.size()) + u" songs\n"_s : QString()) +
      SongNames(rows) + catalog.GetMsg(RC_DB_AreYouSure_Remove);
  const QString buttons = catalog.GetMsg(RC_RemoveRecord) + u'|' + catalog.GetMsg(RC_DeleteBoth) +
                          u'|' + catalog.GetMsg(RC_Cancel);
  const int answer = context_.prompter.Ask(text, buttons, MessageIcon::Question);
  if (answer == 3) return;
  editBox_->Close();
  const QStringList kept = view.DeleteSelected(answer == 2);
  context_.database.SaveQuietly(u"in PlayList.lblDeleteDatabaseSong_Click"_s);
  // While searching, the count of songs found, which the redraw showed, stays.
  if (!view.Searching()) pnlStatusBar_->setText(u"Drag the song to trash can to delete it."_s);
  if (!kept.isEmpty()) {
    context_.prompter.Tell(
        u"These files could not be moved to the trash and were left where they are:\n"_s +
            kept.join(u'\n'),
        MessageIcon::Exclamation);
  }
}

// The first few songs by title and file, so that the question says which songs go.
QString PlayList::SongNames(const QList<int>& rows) const {
  constexpr int kNamed = 5;
  const SongLibrary& library = context_.view.Library();
  QString names;
  for (const int row : rows.first(std::min<qsizetype>(rows.size(), kNamed))) {
    names += library.SongText(row, 0) + u" ("_s +
             library.SongText(row, SongLibrary::kFilenameColumn) + u")\n"_s;
  }
  if (rows.size() > kNamed)
    names += u"and "_s + QString::number(rows.size() - kNamed) + u" more\n"_s;
  return names + u'\n';
}

// The songs built in the panel are what the user means to keep; with an empty panel the
// playlist manager opens on the player's playlist, to save that.
void PlayList::lblSavePlayList_Click() {
  PlayListPanel& panel = context_.panel;
  if (panel.Count() == 0) {
    if (context_.openPlayListMgr) context_.openPlayListMgr();
    return;
  }
  const std::optional<QString> name = context_.manager.GetSavePlaylistName(panel.Title(), true);
  if (!name) return;
  if (context_.manager.Store(*name, panel.Songs())) panel.SetTitle(*name);
}

void PlayList::lblAutoSelect_Click() {
  editBox_->Close();
  lblAutoSelect_->setEnabled(false);
  pages_->setCurrentIndex(1);
  picAutoSelect_->Open();
}

void PlayList::ImgOKAutoSelect_Click() {
  const AutoDj& autoDj = context_.autoDj;
  const AutoDj::Result result = autoDj.Select(picAutoSelect_->CurrentSelection());
  PlayListPanel& panel = context_.panel;
  panel.Clear();
  for (const int row : result.rows) panel.AddSongToPlaylistByIndex(row);
  panelBox_->ShowPanel();
  context_.prompter.Tell(AutoDj::Report(result, context_.catalog), MessageIcon::Information);
  context_.clearCurrent();
  context_.current.AppendMany(autoDj.Entries(result));
  pages_->setCurrentIndex(0);
  lblAutoSelect_->setEnabled(true);
}

void PlayList::lblPlaySongs_Click() {
  const PlayListPanel& panel = context_.panel;
  if (panel.Count() == 0) {
    context_.prompter.Tell(context_.catalog.GetMsg(RC_MustAddToPlaylist), MessageIcon::Information);
    return;
  }
  context_.clearCurrent();
  context_.current.AppendMany(panel.Songs());
  context_.current.Loaded(panel.Title());
  if (context_.playCurrent) context_.playCurrent();
}

void PlayList::LibraryReplaced() {
  editBox_->Close();
  // The old rows' numbers would name other songs of the new library, or none.
  context_.view.ForgetRows();
  pnlStatusBar_->setText(kClickHelp);
  context_.panel.Clear();
  context_.view.ApplyStoredSort();
  context_.view.RefreshDataList();
}

void PlayList::RefreshDataList() {
  context_.view.RefreshDataList();
}

void PlayList::SetPlayingFile(const QString& file) {
  model_->SetPlayingFile(file);
}

// The library's text column of the album.
constexpr int kReplayGainAlbumColumn = 1;

void PlayList::mnuReplayGain_Click() {
  const SongLibrary& library = context_.view.Library();
  QList<ReplayGainJob::Song> songs;
  for (const int row : context_.view.SelectedRows()) {
    // The texts, as the grid shows them: an album typed a moment ago counts.
    songs.append({library.SongText(row, SongLibrary::kFilenameColumn),
                  library.SongText(row, kReplayGainAlbumColumn)});
  }
  replayGain_->Scan(songs);
}

void PlayList::LoadIntoPanel(const QString& name) {
  context_.manager.LoadIntoPanel(name, context_.panel);
  panelBox_->ShowPanel();
}

bool PlayList::Form_Unload() {
  if (unloaded_) return true;
  editBox_->Close();
  context_.view.LeaveRow();
  SongLibrary& library = context_.view.Library();
  if (library.SongDataModified()) {
    MessageCatalog& catalog = context_.catalog;
    const QString buttons =
        catalog.GetMsg(RC_Yes) + u'|' + catalog.GetMsg(RC_No) + u'|' + catalog.GetMsg(RC_Cancel);
    const int answer = context_.prompter.Ask(
        catalog.GetMsg(RC_DB_Save_Query1) + u'\n' + catalog.GetMsg(RC_DB_Save_Query2), buttons,
        MessageIcon::Question);
    if (answer == 3) return false;
    if (answer == 1 && !context_.database.SaveQuietly(u"in PlayList.Form_Unload"_s)) return false;
    if (answer == 2) library.SetSongDataModified(false);
  }
  context_.manager.SaveRecentPlayList(context_.panel);
  WriteIniString(context_.settingsFile, kSizeSection, kWidthKey, QString::number(width()));
  WriteIniString(context_.settingsFile, kSizeSection, kHeightKey, QString::number(height()));
  columns_->Save();
  unloaded_ = true;
  return true;
}

void PlayList::closeEvent(QCloseEvent* event) {
  if (Form_Unload()) {
    event->accept();
  } else {
    event->ignore();
  }
}

QString PlayList::CurrentFile() const {
  const int position = context_.view.Current();
  if (position < 1) return {};
  return context_.view.Library().SongText(context_.view.RowAt(position),
                                          SongLibrary::kFilenameColumn);
}

// Both open on the song of the grid's current row.
void PlayList::lblTag_Click() {
  const QString file = CurrentFile();
  if (file.isEmpty() || !context_.editTrackInfo) return;
  context_.view.LeaveRow();
  context_.editTrackInfo(file);
}

void PlayList::lblEditArt_Click() {
  const QString file = CurrentFile();
  if (!file.isEmpty() && context_.editArt) context_.editArt(file);
}

}  // namespace audiolume
