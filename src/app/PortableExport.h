#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "player/RioExport.h"

class QMenu;

namespace audiolume {

class AppServices;
class Collection;
class PlayQueue;
class PlayerEngine;

/**
 * The jukebox's export to a portable player: the export, its options file "Diamond.ini"
 * and the menu the player window and the playlist manager both show. An export takes the
 * player's current queue, stops the player and runs in the modal progress window. UI
 * thread only.
 */
class PortableExport {
 public:
  PortableExport(AppServices& services, Collection& collection, const QString& home,
                 PlayerEngine& engine, const PlayQueue& queue);

  /** What the export learns of songs from the collection: whether the library holds a
   *  file, and a song's record (its library row, else its tags). */
  static RioExport::Library SongFacts(Collection& collection);

  /** While an export runs the player refuses to play. */
  bool IsRunning() const { return rio_.IsRunning(); }

  /** Fills a "Rio Options" menu. */
  void FillMenu(QMenu* menu);
  /** The window the progress window is shown over. */
  void SetParentWindow(QWidget* window) { parent_ = window; }

 private:
  void ExportQueue();

  AppServices& services_;
  PlayerEngine& engine_;
  const PlayQueue& queue_;
  QString options_;
  RioExport rio_;
  QPointer<QWidget> parent_;
};

}  // namespace audiolume
