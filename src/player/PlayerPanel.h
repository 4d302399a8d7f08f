#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QSlider;
class QToolButton;

namespace audiolume {

class MessageCatalog;
class PlayerEngine;

/**
 * The player window's panel (picPlayer), on its skin when the theme has one: the song
 * playing and its artist, the position bar and time, the transport buttons and the
 * volume, the play order and cycle, the CD and file modes, the size buttons and the
 * buttons that open the other windows. It drives the player engine and follows it; what
 * belongs to the window (its menus, its size, the queue's selection) goes out as signals.
 * UI thread only.
 */
class PlayerPanel : public QWidget {
  Q_OBJECT

 public:
  PlayerPanel(PlayerEngine& engine, MessageCatalog& catalog, const QString& themeFolder,
              QWidget* parent);

  /** Names a song, as the one waiting to be resumed. */
  void ShowSong(const QString& title, const QString& artist);
  /** The order and cycle boxes show the queue's. */
  void ShowPlayOrder(int order, int cycle);
  /** Sets the volume slider (0 loud, the engine's maximum silent) without moving the
   *  engine's volume. */
  void ShowVolume(int value);
  /** The smallest size hides the sliders and boxes; the size buttons go as far as the
   *  sizes do. */
  void ShowSize(bool smallest, bool largest);

 Q_SIGNALS:
  /** The play button was pressed: the window plays from the queue's selection. */
  void PlayPressed();
  void SizeDownClicked();
  void SizeUpClicked();
  void PlayOrderChosen(int index);
  void PlayCycleChosen(int index);
  /** A button that opens another window: the name of the menu item it stands for. */
  void MenuItemClicked(const QString& item);

 private:
  QToolButton* TransportButton(const QString& name, int icon, int tipId);
  void BuildControls();
  void BuildLayout();
  void FollowEngine();

  PlayerEngine& engine_;
  MessageCatalog& catalog_;
  QLabel* lblSongName_;
  QLabel* lblArtist_;
  QLabel* PositionLabel_;
  QSlider* PositionScroll_;
  QSlider* VolumeSlider_;
  QComboBox* cmdPlayOrder_;
  QComboBox* cmdPlayOption_;
  QToolButton* cmdSkipBack_;
  QToolButton* Button_Play_;
  QToolButton* Button_Pause_;
  QToolButton* Button_Stop_;
  QToolButton* cmdSkipForward_;
  QToolButton* imgSizeUp_;
  QToolButton* imgSizeDown_;
};

}  // namespace audiolume
