#include "player/PlayQueue.h"

#include <utility>

namespace audiolume {

PlayQueue::PlayQueue(Random random) : random_(std::move(random)) {
  ResetOrderState();
}

void PlayQueue::Insert(int position, const PlayListEntry& entry) {
  entries_.insert(std::clamp(position, 1, Length() + 1) - 1, entry);
  playCounts_.insert(std::clamp(position, 1, int(playCounts_.size())), 0);
  drawn_ = 0;
}

void PlayQueue::Append(const QList<PlayListEntry>& entries) {
  entries_.append(entries);
  // The counts run from 0 to length + 1: the new ones go before the last.
  playCounts_.insert(playCounts_.size() - 1, entries.size(), 0);
  drawn_ = 0;  // the new entries may be drawn too
}

void PlayQueue::Remove(int index) {
  if (index < 1 || index > Length()) return;
  entries_.removeAt(index - 1);
  playCounts_.removeAt(index);
  drawn_ = 0;
}

void PlayQueue::Move(int from, int to) {
  if (from < 1 || from > Length() || to < 1 || to > Length() || from == to) return;
  entries_.move(from - 1, to - 1);
  playCounts_.move(from, to);
  drawn_ = 0;
  if (current_ == from) {
    current_ = to;
  } else if (from < current_ && current_ <= to) {
    --current_;
  } else if (to <= current_ && current_ < from) {
    ++current_;
  }
}

void PlayQueue::Clear() {
  entries_.clear();
  current_ = 0;
  ResetOrderState();
}

// A song the user picks starts afresh from there: the song drawn to follow another is
// not kept.
void PlayQueue::SetCurrentIndex(int index) {
  current_ = index;
  drawn_ = 0;
}

void PlayQueue::SetOrder(Order order) {
  order_ = order;
  ResetOrderState();
}

void PlayQueue::SetCycle(Cycle cycle) {
  cycle_ = cycle;
  ResetOrderState();
}

void PlayQueue::ResetOrderState() {
  allPlayed_ = false;
  pass_ = 1;
  playedThisPass_ = 0;
  playCounts_ = QList<int>(Length() + 2, 0);
  drawn_ = 0;
}

int PlayQueue::Draw() const {
  return int(Length() * random_() + 1);
}

// Draws until an entry not yet played in the pass comes up, or gives up after
// 10 × length draws and keeps the last one.
int PlayQueue::DrawUnplayed(int pass) const {
  int candidate = Draw();
  for (int tries = 0; playCounts_.value(candidate) >= pass; ++tries) {
    if (tries > 10 * Length()) break;
    candidate = Draw();
  }
  return candidate;
}

// A continuous cycle begins a new pass once every entry has been played in this one.
int PlayQueue::NextPass() const {
  return cycle_ == Cycle::Continuous && playedThisPass_ >= Length() ? pass_ + 1 : pass_;
}

void PlayQueue::EndCycle() {
  ResetOrderState();
  allPlayed_ = true;
  current_ = 0;
}

// The draw counts nothing: the pass, the play counts and the current entry change only
// when NextSong moves to it.
int PlayQueue::FollowingIndex() {
  if (current_ < 1 || Length() == 0) return 0;
  if (order_ == Order::Random) {
    if (cycle_ == Cycle::Single && playedThisPass_ >= Length()) return 0;
    if (drawn_ == 0) drawn_ = DrawUnplayed(NextPass());
    return drawn_;
  }
  if (current_ < Length()) return current_ + 1;
  return cycle_ == Cycle::Continuous ? 1 : 0;
}

// In random order either step is one draw, so that a draw made ahead serves both.
void PlayQueue::NextSong(int step) {
  const int drawn = std::exchange(drawn_, 0);
  const int length = Length();
  if (length == 0) {
    EndCycle();
    return;
  }
  if (order_ == Order::Fixed) {
    current_ += step;
    if (cycle_ == Cycle::Continuous) {
      if (current_ > length) current_ = 1;
      if (current_ < 1) current_ = length;
    } else if (current_ < 1 || current_ > length) {
      EndCycle();
    }
  } else if (cycle_ == Cycle::Continuous) {
    allPlayed_ = false;
    if (NextPass() > pass_) {
      ++pass_;
      playedThisPass_ = 0;
    }
    current_ = drawn > 0 ? drawn : DrawUnplayed(pass_);
  } else if (playedThisPass_ < length) {
    current_ = drawn > 0 ? drawn : DrawUnplayed(pass_);
  } else {
    EndCycle();
  }
  ++playedThisPass_;
  if (current_ >= 0 && current_ < playCounts_.size()) ++playCounts_[current_];
}

}  // namespace audiolume
