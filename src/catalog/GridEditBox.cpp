#include "catalog/GridEditBox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

#include "catalog/CategoryLists.h"
#include "catalog/LibraryGrid.h"
#include "catalog/LibraryView.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

GridEditBox::GridEditBox(LibraryView& view, const CategoryLists& categories, LibraryGrid& grid,
                         QWidget& window)
    : QObject(&window), view_(view), categories_(categories), grid_(grid), window_(window) {
  txtEditBox_ = new QLineEdit(grid.viewport());
  txtEditBox_->setObjectName(u"txtEditBox"_s);
  txtEditBox_->hide();
  txtEditBox_->installEventFilter(this);
  connect(txtEditBox_, &QLineEdit::textEdited, this, &GridEditBox::txtEditBox_Change);
  lstCategories_ = new QListWidget(&window);
  lstCategories_->setObjectName(u"lstCategories"_s);
  lstCategories_->hide();
  connect(lstCategories_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    txtEditBox_->setText(item->text());
    view_.SetEditText(item->text());
    Close();
  });
}

void GridEditBox::Place() {
  const QModelIndex cell = grid_.model()->index(view_.Current() - 1, view_.EditColumn());
  grid_.scrollTo(cell);
  txtEditBox_->setGeometry(grid_.visualRect(cell));
  txtEditBox_->setText(cell.data().toString());
  txtEditBox_->show();
  txtEditBox_->setFocus();
  ShowCategories(view_.EditColumn());
}

void GridEditBox::ShowCategories(int column) {
  const QStringList* list = categories_.ForColumn(column);
  if (!list || list->isEmpty()) {
    lstCategories_->hide();
    return;
  }
  lstCategories_->clear();
  lstCategories_->addItems(*list);
  const QPoint below = txtEditBox_->mapTo(&window_, QPoint(0, txtEditBox_->height()));
  const int room = std::min(220, window_.height() - below.y() - 4);
  lstCategories_->setGeometry(below.x(), below.y(), std::max(txtEditBox_->width(), 160),
                              std::max(room, 60));
  lstCategories_->show();
  lstCategories_->raise();
}

// The typed start of a category completes to the first entry that begins with it; the
// completed part is selected so that typing on replaces it. Only a typed character
// completes: after Backspace or Delete the shorter text stays, so that "Pop" can be had
// when "Pop Rock" comes first.
void GridEditBox::txtEditBox_Change(const QString& text) {
  const QStringList* list = categories_.ForColumn(view_.EditColumn());
  const int caret = txtEditBox_->cursorPosition();
  if (list && typedCharacter_ && caret == text.size()) {
    const QString completed = CategoryLists::Complete(*list, text.left(caret));
    if (!completed.isEmpty() && completed.size() > caret) {
      txtEditBox_->setText(completed);
      txtEditBox_->setSelection(caret, int(completed.size()) - caret);
    }
  }
  view_.SetEditText(txtEditBox_->text());
  RedrawCell(view_.Current(), view_.EditColumn());
}

void GridEditBox::RedrawCell(int position, int column) {
  const QModelIndex cell = grid_.model()->index(position - 1, column);
  Q_EMIT grid_.model()->dataChanged(cell, cell);
}

void GridEditBox::Close() {
  Hide();
  grid_.setFocus();
}

void GridEditBox::Hide() {
  view_.CloseEdit();
  txtEditBox_->hide();
  lstCategories_->hide();
}

bool GridEditBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtEditBox_ && event->type() == QEvent::KeyPress) {
    return txtEditBox_KeyPress(*static_cast<QKeyEvent*>(event));
  }
  return QObject::eventFilter(watched, event);
}

bool GridEditBox::txtEditBox_KeyPress(const QKeyEvent& press) {
  const int key = press.key();
  typedCharacter_ = !press.text().isEmpty() && press.text().front().isPrint();
  if (key == Qt::Key_Escape) {
    const int position = view_.Current();
    const int column = view_.EditColumn();
    view_.CancelEdit();
    Close();
    RedrawCell(position, column);
    return true;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    Close();
    return true;
  }
  if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
      key == Qt::Key_PageDown || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
    Q_EMIT MoveKeyPressed(key);
    return true;
  }
  return false;
}

}  // namespace audiolume
