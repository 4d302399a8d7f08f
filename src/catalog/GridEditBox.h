#pragma once

#include <QObject>

class QKeyEvent;
class QLineEdit;
class QListWidget;
class QWidget;

namespace audiolume {

class CategoryLists;
class LibraryGrid;
class LibraryView;

/**
 * The library window's edit box (txtEditBox), laid over the grid cell being edited, with
 * the list of the column's categories (lstCategories) below it: what is typed goes into
 * the library view's edit at once, a typed start of a category completes to it, Escape
 * takes the edit back, Enter keeps it. The keys that move to another cell go to the
 * window. UI thread only.
 */
class GridEditBox : public QObject {
  Q_OBJECT

 public:
  /** window: where the category list shows, below the box. */
  GridEditBox(LibraryView& view, const CategoryLists& categories, LibraryGrid& grid,
              QWidget& window);

  /** Opens the box on the view's edit cell, with the text the cell shows. */
  void Place();
  /** Closes the box and the category list; the grid takes the focus. */
  void Close();
  /** Closes the box and the category list, leaving the focus where it is. */
  void Hide();

 Q_SIGNALS:
  /** Up, Down, Page Up, Page Down, Tab or Shift+Tab typed in the box. */
  void MoveKeyPressed(int key);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowCategories(int column);
  void txtEditBox_Change(const QString& text);
  bool txtEditBox_KeyPress(const QKeyEvent& press);
  /** The grid redraws the cell being edited. */
  void RedrawCell(int position, int column);

  LibraryView& view_;
  const CategoryLists& categories_;
  LibraryGrid& grid_;
  QWidget& window_;
  QLineEdit* txtEditBox_;
  QListWidget* lstCategories_;
  bool typedCharacter_ = false;  // the box's last key typed a character
};

}  // namespace audiolume
