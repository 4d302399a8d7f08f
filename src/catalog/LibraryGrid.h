#pragma once

#include <QTableView>

namespace audiolume {

class LibraryView;

/**
 * The library window's grid (lstSongData): clicks, keys and drags go to the window as
 * signals in grid positions (from 1); the marks it shows are the library view's own.
 */
class LibraryGrid : public QTableView {
  Q_OBJECT

 public:
  LibraryGrid(LibraryView& view, QWidget* parent = nullptr);

  /** The grid position at a point of the viewport; 0 for none. */
  int PositionAt(const QPoint& point) const;
  void ScrollToPosition(int position);

 Q_SIGNALS:
  void CellPressed(int position, int column, Qt::KeyboardModifiers modifiers,
                   Qt::MouseButton button);
  void PositionDoubleClicked(int position);
  /** Up, Down, Page Up, Page Down, Tab, Delete: KeyBoardCursorControl's keys. */
  void KeyPressed(int key, Qt::KeyboardModifiers modifiers);
  void PopUpRequested(const QPoint& globalPosition);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  LibraryView& view_;
  QPoint pressedAt_;
  bool dragReady_ = false;
};

}  // namespace audiolume
