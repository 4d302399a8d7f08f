#include "player/CdModeQueue.h"

#include "player/PlayQueue.h"

namespace audiolume {

void CdModeQueue::Fill(PlayQueue& queue, const QList<PlayListEntry>& entries) {
  queue.Clear();
  for (const PlayListEntry& entry : entries) queue.Insert(queue.Length() + 1, entry);
  queue.SetCurrentIndex(0);
}

bool CdModeQueue::Swap(PlayQueue& queue, bool on) {
  if (on == swapped_) return false;
  if (!on) {
    Fill(queue, saved_);
    saved_.clear();
    swapped_ = false;
    return true;
  }
  const QList<PlayListEntry> tracks = lister_ ? lister_() : QList<PlayListEntry>();
  if (tracks.isEmpty()) return false;
  saved_ = queue.Entries();
  Fill(queue, tracks);
  swapped_ = true;
  return true;
}

}  // namespace audiolume
