#include "catalog/PlayListPanelBox.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "catalog/PlayListPanel.h"
#include "catalog/ToolLabel.h"
#include "library/LibraryRowsMime.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

// Entries of the panel dragged within it: their indexes, joined by ",".
const QString kPanelEntriesMime = u"application/x-audiolume-panel-entries"_s;

}  // namespace

PlayListPanelBox::PlayListPanelBox(PlayListPanel& panel, MessageCatalog& catalog,
                                   Prompter& prompter, QWidget* parent)
    : QWidget(parent), panel_(panel), catalog_(catalog), prompter_(prompter) {
  lstPlayList_ = new QListWidget(this);
  lstPlayList_->setObjectName(u"lstPlayList"_s);
  lstPlayList_->setAcceptDrops(true);
  lstPlayList_->viewport()->setAcceptDrops(true);
  lstPlayList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstPlayList_->installEventFilter(this);
  lstPlayList_->viewport()->installEventFilter(this);
  lstPlayList_->setToolTip(u"Drag the song to change the play order."_s);
  lblPlayTime_ = new QLabel(this);
  lblPlayTime_->setObjectName(u"lblPlayTime"_s);
  QToolButton* remove = MakeToolLabel(this, catalog, u"lblDeletePlaylistSong"_s, RC_Delete,
                                      RC_DB_ToolTip_DeleteSong_PL);
  connect(remove, &QToolButton::clicked, this, &PlayListPanelBox::DeleteSelected);
  QToolButton* play =
      MakeToolLabel(this, catalog, u"lblPlaySongs"_s, RC_PlayTTips, RC_DB_ToolTip_PlaySongs);
  play->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  play->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  connect(play, &QToolButton::clicked, this, &PlayListPanelBox::PlayClicked);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(remove);
  buttons->addStretch();
  buttons->addWidget(lblPlayTime_);
  buttons->addWidget(play);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(catalog.GetMsg(RC_Songs_PL), this));
  layout->addWidget(lstPlayList_, 1);
  layout->addLayout(buttons);
}

void PlayListPanelBox::ShowPanel() {
  lstPlayList_->clear();
  for (const PlayListPanel::Entry& entry : panel_.Entries()) lstPlayList_->addItem(entry.title);
  lblPlayTime_->setText(panel_.PlayTime());
}

void PlayListPanelBox::AddRows(const QList<int>& rows) {
  if (rows.isEmpty()) {
    prompter_.Tell(catalog_.GetMsg(RC_DB_MustHighlight), MessageIcon::Information);
    return;
  }
  for (const int row : rows) panel_.AddSongToPlaylistByIndex(row);
  ShowPanel();
  lstPlayList_->scrollToBottom();
}

void PlayListPanelBox::DeleteSelected() {
  const QList<int> entries = SelectedEntries();
  if (entries.isEmpty()) {
    QApplication::beep();
    prompter_.Tell(catalog_.GetMsg(RC_MustHighlight), MessageIcon::Information);
    return;
  }
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) panel_.Remove(*entry);
  ShowPanel();
  lstPlayList_->setCurrentRow(std::min(entries.first(), lstPlayList_->count() - 1));
}

// The panel's own keys and drags: Delete removes the selected entries; the selected
// entries dragged within the panel move to where they are dropped.
bool PlayListPanelBox::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Delete) break;
      DeleteSelected();
      return true;
    case QEvent::MouseButtonPress:
      pressedAt_ = static_cast<QMouseEvent*>(event)->position().toPoint();
      break;
    case QEvent::MouseMove: {
      const auto* move = static_cast<QMouseEvent*>(event);
      if (!(move->buttons() & Qt::LeftButton) ||
          (move->position().toPoint() - pressedAt_).manhattanLength() <
              QApplication::startDragDistance() ||
          SelectedEntries().isEmpty()) {
        break;
      }
      StartDrag();
      return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      if (drop->mimeData()->hasFormat(kPanelEntriesMime)) {
        drop->acceptProposedAction();
        if (event->type() == QEvent::Drop) MoveEntries(*drop);
        return true;
      }
      // Library rows dragged out of the grid join the panel.
      if (!LibraryRowsMime::Carries(drop->mimeData())) break;
      drop->acceptProposedAction();
      if (event->type() == QEvent::Drop && watched == lstPlayList_->viewport())
        AddRows(LibraryRowsMime::Rows(drop->mimeData()));
      return true;
    }
    default: break;
  }
  return QWidget::eventFilter(watched, event);
}

void PlayListPanelBox::StartDrag() {
  auto* drag = new QDrag(lstPlayList_);
  auto* mime = new QMimeData;
  QStringList entries;
  for (const int entry : SelectedEntries()) entries.append(QString::number(entry));
  mime->setData(kPanelEntriesMime, entries.join(u',').toLatin1());
  drag->setMimeData(mime);
  drag->exec(Qt::MoveAction);
}

void PlayListPanelBox::MoveEntries(const QDropEvent& drop) {
  QList<int> entries;
  for (const QByteArray& entry : drop.mimeData()->data(kPanelEntriesMime).split(',')) {
    bool number = false;
    const int index = entry.toInt(&number);
    if (number && index >= 0 && index < panel_.Count()) entries.append(index);
  }
  // Dropped on the lower half of an entry, they go after it.
  const QPoint at = drop.position().toPoint();
  int before = lstPlayList_->count();
  if (const QListWidgetItem* item = lstPlayList_->itemAt(at)) {
    before = lstPlayList_->row(item) + (at.y() > lstPlayList_->visualItemRect(item).center().y());
  }
  const int first = panel_.Move(entries, before);
  ShowPanel();
  for (int i = 0; i < entries.size(); ++i) lstPlayList_->item(first + i)->setSelected(true);
}

QList<int> PlayListPanelBox::SelectedEntries() const {
  QList<int> entries;
  for (const QListWidgetItem* item : lstPlayList_->selectedItems()) {
    entries.append(lstPlayList_->row(item));
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace audiolume
