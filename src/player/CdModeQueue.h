#pragma once

#include <QList>
#include <functional>

#include "library/PlayListText.h"

namespace audiolume {

class PlayQueue;

/**
 * The CD mode's queue: while it is on, the disc's tracks (as "cdda:" song paths, titled
 * from the title cache) stand in the play queue, so that play, skip, shuffle and the end
 * of a track work as for files; the playlist comes back when the mode goes off. Without a
 * readable disc the queue is left alone. UI thread only.
 */
class CdModeQueue {
 public:
  using TrackLister = std::function<QList<PlayListEntry>()>;

  void SetLister(TrackLister lister) { lister_ = std::move(lister); }

  /** Puts the disc's tracks in the queue's place (on) or the playlist back (off);
   *  true when the queue changed. */
  bool Swap(PlayQueue& queue, bool on);
  /** Whether the queue holds the disc's tracks. */
  bool Digital() const { return swapped_; }

 private:
  static void Fill(PlayQueue& queue, const QList<PlayListEntry>& entries);

  TrackLister lister_;
  QList<PlayListEntry> saved_;
  bool swapped_ = false;
};

}  // namespace audiolume
