#include "catalog/PlayList.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDrag>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "catalog/AutoDj.h"
#include "catalog/AutoSelectPanel.h"
#include "catalog/CategoryLists.h"
#include "catalog/CurrentPlaylist.h"
#include "catalog/LibraryColumns.h"
#include "catalog/LibraryGrid.h"
#include "catalog/LibraryTableModel.h"
#include "catalog/LibraryView.h"
#include "catalog/PlayListManager.h"
#include "catalog/PlayListPanel.h"
#include "catalog/ReplayGainScanBar.h"
#include "library/DatabaseCommands.h"
#include "library/LibraryRowsMime.h"
#include "library/SongLibrary.h"
#include "library/TrailerTag.h"
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
// Entries of the panel dragged within it: their indexes, joined by ",".
const QString kPanelEntriesMime = u"application/x-audiolume-panel-entries"_s;
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
  connect(&context_.view, &LibraryView::Refreshed, this, [this] {
    CloseEditBox();
    model_->Reset();
    ShowPanel();
    ShowSearchCount();
  });

  txtEditBox_ = new QLineEdit(lstSongData_->viewport());
  txtEditBox_->setObjectName(u"txtEditBox"_s);
  txtEditBox_->hide();
  txtEditBox_->installEventFilter(this);
  connect(txtEditBox_, &QLineEdit::textEdited, this, &PlayList::txtEditBox_Change);
  lstCategories_ = new QListWidget(this);
  lstCategories_->setObjectName(u"lstCategories"_s);
  lstCategories_->hide();
  connect(lstCategories_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    txtEditBox_->setText(item->text());
    context_.view.SetEditText(item->text());
    CloseEditBox();
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
  splitter->addWidget(BuildPanel());
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
  auto* label = new QToolButton(this);
  label->setObjectName(name);
  label->setText(context_.catalog.GetMsg(captionId));
  label->setToolTip(context_.catalog.GetMsg(tipId));
  label->setAutoRaise(true);
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

QWidget* PlayList::BuildPanel() {
  auto* panel = new QWidget(this);
  lstPlayList_ = new QListWidget(panel);
  lstPlayList_->setObjectName(u"lstPlayList"_s);
  lstPlayList_->setAcceptDrops(true);
  lstPlayList_->viewport()->setAcceptDrops(true);
  lstPlayList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstPlayList_->installEventFilter(this);
  lstPlayList_->viewport()->installEventFilter(this);
  lstPlayList_->setToolTip(u"Drag the song to change the play order."_s);
  lblPlayTime_ = new QLabel(panel);
  lblPlayTime_->setObjectName(u"lblPlayTime"_s);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Label(u"lblDeletePlaylistSong"_s, RC_Delete, RC_DB_ToolTip_DeleteSong_PL,
                           &PlayList::lblDeletePlaylistSong_Click));
  buttons->addStretch();
  buttons->addWidget(lblPlayTime_);
  QToolButton* play = Label(u"lblPlaySongs"_s, RC_PlayTTips, RC_DB_ToolTip_PlaySongs,
                            &PlayList::lblPlaySongs_Click);
  play->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  play->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  buttons->addWidget(play);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(context_.catalog.GetMsg(RC_Songs_PL), panel));
  layout->addWidget(lstPlayList_, 1);
  layout->addLayout(buttons);
  return panel;
}

void PlayList::BuildMenus(QMenuBar* bar) {
  MessageCatalog& catalog = context_.catalog;
  QMenu* library = bar->addMenu(catalog.GetMsg(RC_LibManager));
  const std::tuple<QString, int, void (PlayList::*)()> items[] = {
      {u"mnuLoadDatabase"_s, RC_Load_DB, &PlayList::mnuLoadDatabase_Click},
      {u"mnuSaveDatabase"_s, RC_Save_DB, &PlayList::mnuSaveDatabase_Click},
      {u"mnuSaveDatabaseAs"_s, RC_Save_DBAs, &PlayList::mnuSaveDatabaseAs_Click},
      {u"mnuExportDatabase"_s, RC_Export_DB, &PlayList::mnuExportDatabase_Click},
      {u"mnuClearDatabase"_s, RC_Clear_DB, &PlayList::mnuClearDatabase_Click}};
  for (const auto& [name, caption, handler] : items) {
    QAction* action = library->addAction(catalog.GetMsg(caption), this, handler);
    action->setObjectName(name);
  }
  library
      ->addAction(u"Move ID3 Tags to the End of the Files"_s, this,
                  &PlayList::mnuConvertID3Tags_Click)
      ->setObjectName(u"mnuConvertID3Tags"_s);
  library->addSeparator();
  // The stored playlists, to add to the panel; listed anew each time the menu opens.
  QMenu* load = library->addMenu(catalog.GetMsg(RC_OpenPlaylist));
  load->setObjectName(u"mnuLoadPlayList"_s);
  connect(load, &QMenu::aboutToShow, this, [this, load] {
    load->clear();
    for (const QString& name : context_.manager.Titles()) {
      if (context_.manager.IsPlaceholder(name)) continue;
      load->addAction(name, this, [this, name] { LoadIntoPanel(name); });
    }
  });
  QAction* add = library->addAction(catalog.GetMsg(RC_AddTrackToML));
  add->setObjectName(u"mnuAddSongs"_s);
  add->setEnabled(bool(context_.openAddSongs));
  connect(add, &QAction::triggered, this, [this] { context_.openAddSongs(); });
  mnuPopUpAction_ = new QMenu(this);
  mnuPopUpAction_->setObjectName(u"mnuPopUpAction"_s);
  QAction* addToPanel = mnuPopUpAction_->addAction(catalog.GetMsg(RC_AddSongs));
  connect(addToPanel, &QAction::triggered, this,
          [this] { lstPlayList_DragDrop(context_.view.SelectedRows()); });
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
  ShowPanel();
  unloaded_ = false;
}

void PlayList::cmdSort_Click(int section) {
  CloseEditBox();
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
  HideEditBox();
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
  CloseEditBox();
  view.Click(position, modifiers & Qt::ShiftModifier, modifiers & Qt::ControlModifier);
  model_->SelectionChanged();
  ShowStatus();
  if (button == Qt::LeftButton && modifiers == Qt::NoModifier &&
      column < LibraryView::kEditableColumns) {
    view.BeginEdit(position, column);
    PlaceEditBox();
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
  CloseEditBox();
  view.Click(position, false, false);
  model_->SelectionChanged();
  lstSongData_->ScrollToPosition(position);
  ShowStatus();
  if (column >= 0) {
    view.BeginEdit(position, column);
    PlaceEditBox();
  }
}

// Tab and Shift+Tab walk the editable cells, row after row.
void PlayList::MoveEditCell(int step) {
  LibraryView& view = context_.view;
  int position = 0;
  int column = 0;
  if (!view.EditCellAfter(step, position, column)) return;
  CloseEditBox();
  if (position != view.Current()) {
    view.Click(position, false, false);
    model_->SelectionChanged();
    ShowStatus();
  }
  view.BeginEdit(position, column);
  PlaceEditBox();
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

void PlayList::PlaceEditBox() {
  LibraryView& view = context_.view;
  const QModelIndex cell = model_->index(view.Current() - 1, view.EditColumn());
  lstSongData_->scrollTo(cell);
  txtEditBox_->setGeometry(lstSongData_->visualRect(cell));
  txtEditBox_->setText(cell.data().toString());
  txtEditBox_->show();
  txtEditBox_->setFocus();
  ShowCategories(view.EditColumn());
}

void PlayList::ShowCategories(int column) {
  const QStringList* list = context_.categories.ForColumn(column);
  if (!list || list->isEmpty()) {
    lstCategories_->hide();
    return;
  }
  lstCategories_->clear();
  lstCategories_->addItems(*list);
  const QPoint below = txtEditBox_->mapTo(this, QPoint(0, txtEditBox_->height()));
  const int room = std::min(220, height() - below.y() - 4);
  lstCategories_->setGeometry(below.x(), below.y(), std::max(txtEditBox_->width(), 160),
                              std::max(room, 60));
  lstCategories_->show();
  lstCategories_->raise();
}

// The typed start of a category completes to the first entry that begins with it; the
// completed part is selected so that typing on replaces it. Only a typed character
// completes: after Backspace or Delete the shorter text stays, so that "Pop" can be had
// when "Pop Rock" comes first.
void PlayList::txtEditBox_Change(const QString& text) {
  LibraryView& view = context_.view;
  const QStringList* list = context_.categories.ForColumn(view.EditColumn());
  const int caret = txtEditBox_->cursorPosition();
  if (list && typedCharacter_ && caret == text.size()) {
    const QString completed = CategoryLists::Complete(*list, text.left(caret));
    if (!completed.isEmpty() && completed.size() > caret) {
      txtEditBox_->setText(completed);
      txtEditBox_->setSelection(caret, int(completed.size()) - caret);
    }
  }
  view.SetEditText(txtEditBox_->text());
  const QModelIndex cell = model_->index(view.Current() - 1, view.EditColumn());
  Q_EMIT model_->dataChanged(cell, cell);
}

void PlayList::CloseEditBox() {
  HideEditBox();
  lstSongData_->setFocus();
}

void PlayList::HideEditBox() {
  context_.view.CloseEdit();
  txtEditBox_->hide();
  lstCategories_->hide();
}

bool PlayList::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtEditBox_ && event->type() == QEvent::KeyPress) {
    return txtEditBox_KeyPress(*static_cast<QKeyEvent*>(event));
  }
  if (watched == txtSearch_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !txtSearch_->text().isEmpty()) {
    txtSearch_->clear();
    return true;
  }
  // Events may come before the panel is made.
  const bool onPanel =
      lstPlayList_ && (watched == lstPlayList_ || watched == lstPlayList_->viewport());
  if (onPanel && PanelEvent(event)) {
    return true;
  }
  const bool isDrop = event->type() == QEvent::Drop;
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove || isDrop) {
    auto* drop = static_cast<QDropEvent*>(event);
    if (!LibraryRowsMime::Carries(drop->mimeData())) return false;
    drop->acceptProposedAction();
    if (isDrop && watched == lstPlayList_->viewport()) {
      lstPlayList_DragDrop(LibraryRowsMime::Rows(drop->mimeData()));
    } else if (isDrop) {
      lblDeleteDatabaseSong_Click();
    }
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

bool PlayList::txtEditBox_KeyPress(const QKeyEvent& press) {
  const int key = press.key();
  typedCharacter_ = !press.text().isEmpty() && press.text().front().isPrint();
  if (key == Qt::Key_Escape) {
    const QModelIndex cell = model_->index(context_.view.Current() - 1, context_.view.EditColumn());
    context_.view.CancelEdit();
    CloseEditBox();
    Q_EMIT model_->dataChanged(cell, cell);
    return true;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    CloseEditBox();
    return true;
  }
  if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
      key == Qt::Key_PageDown || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
    KeyBoardCursorControl(key);
    return true;
  }
  return false;
}

// The panel's own keys and drags: Delete removes the selected entries; the selected
// entries dragged within the panel move to where they are dropped.
bool PlayList::PanelEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Delete) return false;
      lblDeletePlaylistSong_Click();
      return true;
    case QEvent::MouseButtonPress:
      panelPressedAt_ = static_cast<QMouseEvent*>(event)->position().toPoint();
      return false;
    case QEvent::MouseMove: {
      const auto* move = static_cast<QMouseEvent*>(event);
      if (!(move->buttons() & Qt::LeftButton) ||
          (move->position().toPoint() - panelPressedAt_).manhattanLength() <
              QApplication::startDragDistance() ||
          SelectedEntries().isEmpty()) {
        return false;
      }
      auto* drag = new QDrag(lstPlayList_);
      auto* mime = new QMimeData;
      QStringList entries;
      for (const int entry : SelectedEntries()) entries.append(QString::number(entry));
      mime->setData(kPanelEntriesMime, entries.join(u',').toLatin1());
      drag->setMimeData(mime);
      drag->exec(Qt::MoveAction);
      return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      if (!drop->mimeData()->hasFormat(kPanelEntriesMime)) return false;
      drop->acceptProposedAction();
      if (event->type() == QEvent::Drop) MovePanelEntries(*drop);
      return true;
    }
    default: return false;
  }
}

void PlayList::MovePanelEntries(const QDropEvent& drop) {
  QList<int> entries;
  for (const QByteArray& entry : drop.mimeData()->data(kPanelEntriesMime).split(',')) {
    bool number = false;
    const int index = entry.toInt(&number);
    if (number && index >= 0 && index < context_.panel.Count()) entries.append(index);
  }
  // Dropped on the lower half of an entry, they go after it.
  const QPoint at = drop.position().toPoint();
  int before = lstPlayList_->count();
  if (const QListWidgetItem* item = lstPlayList_->itemAt(at)) {
    before = lstPlayList_->row(item) + (at.y() > lstPlayList_->visualItemRect(item).center().y());
  }
  const int first = context_.panel.Move(entries, before);
  ShowPanel();
  for (int i = 0; i < entries.size(); ++i) lstPlayList_->item(first + i)->setSelected(true);
}

QList<int> PlayList::SelectedEntries() const {
  QList<int> entries;
  for (const QListWidgetItem* item : lstPlayList_->selectedItems()) {
    entries.append(lstPlayList_->row(item));
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

void PlayList::lstSongData_DblClick(int position) {
  CloseEditBox();
  lstPlayList_DragDrop({context_.view.RowAt(position)});
}

void PlayList::lstPlayList_DragDrop(const QList<int>& rows) {
  if (rows.isEmpty()) {
    context_.prompter.Tell(context_.catalog.GetMsg(RC_DB_MustHighlight), MessageIcon::Information);
    return;
  }
  for (const int row : rows) context_.panel.AddSongToPlaylistByIndex(row);
  ShowPanel();
  lstPlayList_->scrollToBottom();
}

void PlayList::ShowPanel() {
  lstPlayList_->clear();
  for (const PlayListPanel::Entry& entry : context_.panel.Entries()) {
    lstPlayList_->addItem(entry.title);
  }
  lblPlayTime_->setText(context_.panel.PlayTime());
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
  CloseEditBox();
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

void PlayList::lblDeletePlaylistSong_Click() {
  const QList<int> entries = SelectedEntries();
  if (entries.isEmpty()) {
    QApplication::beep();
    context_.prompter.Tell(context_.catalog.GetMsg(RC_MustHighlight), MessageIcon::Information);
    return;
  }
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    context_.panel.Remove(*entry);
  }
  ShowPanel();
  lstPlayList_->setCurrentRow(std::min(entries.first(), lstPlayList_->count() - 1));
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
  CloseEditBox();
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
  ShowPanel();
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
  CloseEditBox();
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

void PlayList::mnuClearDatabase_Click() {
  if (context_.database.ClearDatabase()) LibraryReplaced();
}

void PlayList::mnuLoadDatabase_Click() {
  if (context_.database.LoadDatabase()) LibraryReplaced();
}

void PlayList::mnuSaveDatabase_Click() {
  context_.view.LeaveRow();
  context_.database.SaveDatabase();
}

void PlayList::mnuSaveDatabaseAs_Click() {
  context_.database.SaveDatabaseAs();
}

void PlayList::mnuExportDatabase_Click() {
  context_.database.ExportDatabase();
}

void PlayList::mnuConvertID3Tags_Click() {
  const SongLibrary& library = context_.view.Library();
  for (int row = 1; row <= library.SongCount(); ++row) {
    const QString& file = library.SongText(row, SongLibrary::kFilenameColumn);
    context_.prompter.ShowStatus(context_.catalog.GetMsgWithValue(RC_Converting, file));
    context_.trailer.ConvertID3Tag(file);
    QCoreApplication::processEvents();
  }
  context_.prompter.HideStatus();
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
  ShowPanel();
}

bool PlayList::Form_Unload() {
  if (unloaded_) return true;
  CloseEditBox();
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
