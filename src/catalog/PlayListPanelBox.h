#pragma once

#include <QPoint>
#include <QWidget>

class QDropEvent;
class QLabel;
class QListWidget;

namespace audiolume {

class MessageCatalog;
class PlayListPanel;
class Prompter;

/**
 * The library window's own playlist beside the grid, as the user sees it: the entries
 * (lstPlayList), their play time, and the buttons that delete entries and play them.
 * Library rows dropped on it join it; its selected entries dragged within it move to
 * where they are dropped; Delete removes them. The entries themselves live in the
 * PlayListPanel this shows. UI thread only.
 */
class PlayListPanelBox : public QWidget {
  Q_OBJECT

 public:
  PlayListPanelBox(PlayListPanel& panel, MessageCatalog& catalog, Prompter& prompter,
                   QWidget* parent = nullptr);

  /** Shows the panel's entries and play time anew. */
  void ShowPanel();
  /** lstPlayList_DragDrop: appends the library rows' songs; no rows is told to the user. */
  void AddRows(const QList<int>& rows);
  /** lblDeletePlaylistSong_Click: removes the selected entries; none selected is told. */
  void DeleteSelected();

 Q_SIGNALS:
  /** lblPlaySongs: the user asked to play the panel's songs. */
  void PlayClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool DragEvent(QEvent* event);
  void StartDrag();
  void MoveEntries(const QDropEvent& drop);
  /** The selected entries, in order. */
  QList<int> SelectedEntries() const;

  PlayListPanel& panel_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
  QListWidget* lstPlayList_;
  QLabel* lblPlayTime_;
  QPoint pressedAt_;
};

}  // namespace audiolume
