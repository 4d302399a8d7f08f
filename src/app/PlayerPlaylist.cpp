#include "app/PlayerPlaylist.h"

#include "player/Play.h"
#include "player/PlayerEngine.h"

namespace audiolume {

QList<PlayListEntry> PlayerPlaylist::Entries() const {
  return engine_.Queue().Entries();
}

void PlayerPlaylist::Append(const PlayListEntry& entry) {
  engine_.AppendEntries({entry});
}

void PlayerPlaylist::AppendMany(const QList<PlayListEntry>& entries) {
  engine_.AppendEntries(entries);
}

void PlayerPlaylist::Remove(int index) {
  engine_.RemoveFromPlayList(index);
}

void PlayerPlaylist::Move(int from, int to) {
  engine_.MoveEntry(from, to);
}

void PlayerPlaylist::Clear() {
  play_.lblClear_Click();
}

void PlayerPlaylist::Loaded(const QString& name) {
  play_.SetPlayListTitle(name);
}

}  // namespace audiolume
