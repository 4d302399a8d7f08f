#include "catalog/LibraryGrid.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QMouseEvent>

#include "catalog/LibraryView.h"
#include "library/LibraryRowsMime.h"

namespace audiolume {

LibraryGrid::LibraryGrid(LibraryView& view, QWidget* parent) : QTableView(parent), view_(view) {
  setObjectName(QStringLiteral("lstSongData"));
  // The marks are the library view's; the grid's own selection would disagree with them.
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setAlternatingRowColors(true);
  setShowGrid(false);
  setWordWrap(false);
  setTabKeyNavigation(false);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->hide();
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setSectionsMovable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSortIndicatorShown(true);
}

int LibraryGrid::PositionAt(const QPoint& point) const {
  const QModelIndex index = indexAt(point);
  return index.isValid() ? index.row() + 1 : 0;
}

void LibraryGrid::ScrollToPosition(int position) {
  if (position >= 1 && model() && position <= model()->rowCount()) {
    scrollTo(model()->index(position - 1, 0));
  }
}

void LibraryGrid::mousePressEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (!index.isValid()) return;
  pressedAt_ = event->position().toPoint();
  // A press on a marked row may start a drag of all marked rows; the marks stay.
  dragReady_ = event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier &&
               view_.IsSelected(index.row() + 1);
  if (!dragReady_) {
    Q_EMIT CellPressed(index.row() + 1, index.column(), event->modifiers(), event->button());
  }
}

void LibraryGrid::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  if ((event->position().toPoint() - pressedAt_).manhattanLength() <
      QApplication::startDragDistance()) {
    return;
  }
  if (!dragReady_) {
    // A press on an unmarked row marked it; dragging it goes on from there.
    dragReady_ = view_.IsSelected(PositionAt(pressedAt_));
    if (!dragReady_) return;
  }
  dragReady_ = false;
  auto* drag = new QDrag(this);
  drag->setMimeData(LibraryRowsMime::Make(view_.SelectedRows()));
  drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

void LibraryGrid::mouseReleaseEvent(QMouseEvent* event) {
  if (dragReady_) {
    // A plain click on a marked row, without a drag: it becomes the only marked row.
    const QModelIndex index = indexAt(pressedAt_);
    if (index.isValid()) {
      Q_EMIT CellPressed(index.row() + 1, index.column(), event->modifiers(), Qt::LeftButton);
    }
  }
  dragReady_ = false;
}

void LibraryGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (const int position = PositionAt(event->position().toPoint())) {
    Q_EMIT PositionDoubleClicked(position);
  }
}

void LibraryGrid::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter: Q_EMIT KeyPressed(event->key(), event->modifiers()); return;
    default: QTableView::keyPressEvent(event);
  }
}

void LibraryGrid::contextMenuEvent(QContextMenuEvent* event) {
  Q_EMIT PopUpRequested(event->globalPos());
}

}  // namespace audiolume
