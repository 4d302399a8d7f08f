#pragma once

#include <QHash>
#include <QList>
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

namespace audiolume {

/**
 * The other windows of the jukebox around the player: each is made by its own side when
 * first opened, docks under the player (or beside it when the screen has no room
 * below), and is remembered under a key ("MusicLib",
 * "PlayListMgr", …) as open or not from one run to the next. A window that the desktop
 * frames after it was docked (a title bar added around it) is docked again with its frame;
 * one that grows by itself after it was docked (its content filled in) is kept clear of
 * the player. UI thread only.
 */
class CompanionWindows : public QObject {
 public:
  explicit CompanionWindows(QWidget& player);

  /** open makes or finds the window. */
  void Add(const QString& key, std::function<QWidget*()> open);
  /** Shows the window of key, docked under the player when it was closed; null for none. */
  QWidget* Open(const QString& key);
  /** The window of key when it is open; null otherwise. */
  QWidget* Opened(const QString& key) const;
  /** Opens the windows whose key reads "True" in section of the settings file. */
  void Reopen(const QString& settingsFile, const QString& section);
  /** Whether the window of key is open, or was when CloseAll ran. */
  bool WasOpen(const QString& key) const;

  /** The open windows, one under the other below the player while the screen has room,
   *  then beside it, else where they cover the least of the player and each other; none
   *  leaves the screen. */
  void Dock();
  /** A window standing on its own (not docked, or grown since): kept on the screen and,
   *  where its place covers the player, moved to where it covers the least of the player
   *  and the open windows. */
  void KeepClear(QWidget& window) const;

  /** Closes every open window; false as soon as one keeps itself open (its work is not
   *  done), and the rest stay open. */
  bool CloseAll();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Companion {
    QString key;
    std::function<QWidget*()> open;
    QPointer<QWidget> window;
  };

  QWidget& player_;
  QList<Companion> companions_;
  QStringList openAtClose_;
  bool docking_ = false;  // the windows' own moves and resizes while Dock places them
  // The title bar and borders of each window as they were at the last docking.
  QHash<const QWidget*, QMargins> dockedFrames_;
};

}  // namespace audiolume
