#include "catalog/PlayListMgr.h"

#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "catalog/CurrentPlaylist.h"
#include "catalog/PlayListManager.h"
#include "library/LibraryRowsMime.h"
#include "library/SongLibrary.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

PlayListMgr::PlayListMgr(PlayListMgrContext context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(std::move(context)) {
  setObjectName(u"PlayListMgr"_s);
  MessageCatalog& catalog = context_.catalog;
  setWindowTitle(catalog.GetMsg(RC_PlayListCtrl));
  auto* bar = new QMenuBar(this);
  BuildMenus(bar);

  lstPlayListTitle_ = new QListWidget(this);
  lstPlayListTitle_->setObjectName(u"lstPlayListTitle"_s);
  connect(lstPlayListTitle_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { lstPlayListTitle_Click(item->text()); });
  txtPlayListTitle_ = new QLineEdit(this);
  txtPlayListTitle_->setObjectName(u"txtPlayListTitle"_s);
  connect(txtPlayListTitle_, &QLineEdit::returnPressed, this, &PlayListMgr::lblSave_Click);
  lstSongList_ = new QListWidget(this);
  lstSongList_->setObjectName(u"lstSongList"_s);
  lstSongList_->setDragDropMode(QAbstractItemView::DragDrop);
  lstSongList_->setDefaultDropAction(Qt::MoveAction);
  lstSongList_->viewport()->installEventFilter(this);
  lstSongList_->installEventFilter(this);
  connect(lstSongList_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    if (context_.playEntry) context_.playEntry(lstSongList_->row(item));
  });

  auto* buttons = new QHBoxLayout;
  const std::tuple<QString, int, void (PlayListMgr::*)()> labels[] = {
      {u"lblSave"_s, RC_Save, &PlayListMgr::lblSave_Click},
      {u"imgRemove"_s, RC_DeletePL, &PlayListMgr::imgRemove_Click},
      {u"lblDelete"_s, RC_DeleteTrack, &PlayListMgr::lblDelete_Click},
      {u"lblClear"_s, RC_ClearPL, &PlayListMgr::lblClear_Click}};
  for (const auto& [name, caption, handler] : labels) {
    auto* button = new QPushButton(catalog.GetMsg(caption), this);
    button->setObjectName(name);
    connect(button, &QPushButton::clicked, this, handler);
    buttons->addWidget(button);
  }
  auto* autoDj = new QPushButton(catalog.GetMsg(RC_AutoDJ), this);
  autoDj->setObjectName(u"lblAutoDJ"_s);
  autoDj->setEnabled(bool(context_.openAutoDj));
  connect(autoDj, &QPushButton::clicked, this, [this] { context_.openAutoDj(); });
  buttons->addWidget(autoDj);

  auto* stored = new QWidget(this);
  auto* storedLayout = new QVBoxLayout(stored);
  storedLayout->setContentsMargins(0, 0, 0, 0);
  storedLayout->addWidget(new QLabel(catalog.GetMsg(RC_Existing_PL), stored));
  storedLayout->addWidget(lstPlayListTitle_);
  auto* songs = new QWidget(this);
  auto* songsLayout = new QVBoxLayout(songs);
  songsLayout->setContentsMargins(0, 0, 0, 0);
  songsLayout->addWidget(txtPlayListTitle_);
  songsLayout->addWidget(lstSongList_);
  auto* splitter = new QSplitter(this);
  splitter->addWidget(stored);
  splitter->addWidget(songs);
  splitter->setStretchFactor(1, 2);
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(bar);
  layout->addWidget(splitter, 1);
  layout->addLayout(buttons);
  resize(640, 380);
}

void PlayListMgr::BuildMenus(QMenuBar* bar) {
  MessageCatalog& catalog = context_.catalog;
  QMenu* file = bar->addMenu(catalog.GetMsg(RC_PlayList));
  const std::tuple<QString, int, void (PlayListMgr::*)()> items[] = {
      {u"mnuNew"_s, RC_New, &PlayListMgr::mnuNew_Click},
      {u"mnuSavePlayList"_s, RC_SavePlayList, &PlayListMgr::mnuSavePlayList_Click},
      {u"mnuSavePlayListAs"_s, RC_SavePLAs, &PlayListMgr::mnuSavePlayListAs_Click},
      {u"mnuDeletePlayList"_s, RC_DeletePL, &PlayListMgr::imgRemove_Click},
      {u"mnuClearPlayList"_s, RC_ClearPL, &PlayListMgr::mnuNew_Click},
      {u"mnuDeleteTrack"_s, RC_DeleteTrack, &PlayListMgr::lblDelete_Click},
      {u"mnuExportToWav"_s, RC_ExpostPLToWav, &PlayListMgr::mnuExportToWav_Click},
      {u"mnuEditTrackInfo"_s, RC_EditTrackInfo, &PlayListMgr::mnuEditTrackInfo_Click}};
  for (const auto& [name, caption, handler] : items) {
    file->addAction(catalog.GetMsg(caption), this, handler)->setObjectName(name);
  }
  QMenu* rio = file->addMenu(catalog.GetMsg(RC_RioOptions));
  if (context_.fillPortableMenu) {
    context_.fillPortableMenu(rio);
  } else {
    rio->setEnabled(false);
  }
}

void PlayListMgr::Form_Load() {
  ListPlayLists();
  LoadPlayList();
}

void PlayListMgr::ListPlayLists() {
  lstPlayListTitle_->clear();
  lstPlayListTitle_->addItems(context_.manager.Titles());
  const QList<QListWidgetItem*> loaded =
      lstPlayListTitle_->findItems(context_.manager.LoadedName(), Qt::MatchExactly);
  if (!loaded.isEmpty()) lstPlayListTitle_->setCurrentItem(loaded.first());
  ShowTitle();
}

void PlayListMgr::ShowTitle() {
  txtPlayListTitle_->setText(context_.manager.LoadedName());
}

void PlayListMgr::LoadPlayList() {
  const int row = lstSongList_->currentRow();
  lstSongList_->clear();
  for (const PlayListEntry& entry : context_.current.Entries()) {
    lstSongList_->addItem(entry.artist.isEmpty() ? entry.title
                                                 : entry.title + u" - "_s + entry.artist);
  }
  if (row >= 0 && row < lstSongList_->count()) lstSongList_->setCurrentRow(row);
}

void PlayListMgr::lstPlayListTitle_Click(const QString& name) {
  if (context_.manager.IsPlaceholder(name)) return mnuNew_Click();
  context_.manager.Load(name, context_.present);
  ShowTitle();
  LoadPlayList();
}

void PlayListMgr::Save(bool ask) {
  const std::optional<QString> name =
      context_.manager.GetSavePlaylistName(txtPlayListTitle_->text(), ask);
  if (!name || !context_.manager.Save(*name)) return;
  ListPlayLists();
}

void PlayListMgr::lblSave_Click() {
  Save(true);
}

void PlayListMgr::mnuSavePlayList_Click() {
  Save(false);
}

void PlayListMgr::mnuSavePlayListAs_Click() {
  Save(true);
}

void PlayListMgr::imgRemove_Click() {
  const QListWidgetItem* item = lstPlayListTitle_->currentItem();
  const int row = lstPlayListTitle_->currentRow();
  if (!context_.manager.Delete(item ? item->text() : QString())) return;
  ListPlayLists();
  lstPlayListTitle_->setCurrentRow(std::min(row, lstPlayListTitle_->count() - 1));
}

void PlayListMgr::mnuNew_Click() {
  context_.manager.New();
  ListPlayLists();
  LoadPlayList();
}

void PlayListMgr::lblClear_Click() {
  context_.current.Clear();
  LoadPlayList();
}

void PlayListMgr::lblDelete_Click() {
  const int row = lstSongList_->currentRow();
  if (row < 0) {
    context_.prompter.Tell(context_.catalog.GetMsg(RC_MustHighlight), MessageIcon::Information);
    return;
  }
  context_.current.Remove(row);
  context_.manager.MarkChanged();
  LoadPlayList();
}

void PlayListMgr::lstSongList_DragDrop(const QList<int>& rows) {
  const SongLibrary& library = context_.library;
  QList<PlayListEntry> songs;
  for (const int row : rows) songs.append(library.PlayListEntryOf(row));
  context_.current.AppendMany(songs);
  if (!rows.isEmpty()) context_.manager.MarkChanged();
  LoadPlayList();
}

void PlayListMgr::mnuExportToWav_Click() {
  QStringList files;
  for (const PlayListEntry& entry : context_.current.Entries()) files.append(entry.path);
  if (files.isEmpty()) {
    context_.prompter.Tell(context_.catalog.GetMsg(RC_NoSongs), MessageIcon::Information);
    return;
  }
  context_.exportToWav(files);
}

// Library rows dropped on the list join it; the list's own rows move within it.
bool PlayListMgr::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lstSongList_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    lblDelete_Click();
    return true;
  }
  if (watched != lstSongList_->viewport()) return QWidget::eventFilter(watched, event);
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
    auto* drag = static_cast<QDragMoveEvent*>(event);
    if (!LibraryRowsMime::Carries(drag->mimeData())) return false;
    drag->acceptProposedAction();
    return true;
  }
  if (event->type() != QEvent::Drop) return false;
  auto* drop = static_cast<QDropEvent*>(event);
  if (LibraryRowsMime::Carries(drop->mimeData())) {
    drop->acceptProposedAction();
    lstSongList_DragDrop(LibraryRowsMime::Rows(drop->mimeData()));
    return true;
  }
  if (drop->source() == lstSongList_) {
    const int from = lstSongList_->currentRow();
    const QModelIndex at = lstSongList_->indexAt(drop->position().toPoint());
    const int to = at.isValid() ? at.row() : lstSongList_->count() - 1;
    drop->setDropAction(Qt::IgnoreAction);
    drop->accept();
    if (from >= 0 && from != to) {
      context_.current.Move(from, to);
      context_.manager.MarkChanged();
      LoadPlayList();
      lstSongList_->setCurrentRow(to);
    }
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// The selected song of the playlist.
void PlayListMgr::mnuEditTrackInfo_Click() {
  const int row = lstSongList_->currentRow();
  const QList<PlayListEntry>& entries = context_.current.Entries();
  if (row < 0 || row >= entries.size() || !context_.editTrackInfo) return;
  context_.editTrackInfo(entries[row].path);
}

}  // namespace audiolume
