#include "player/PlayQueue.h"

namespace audiolume {

PlayQueue::PlayQueue(Random random) : random_(std::move(random)) {
  ResetOrderState();
}

void PlayQueue::Insert(int position, const PlayListEntry& entry) {
  entries_.insert(std::clamp(position, 1, Length() + 1) - 1, entry);
  playCounts_.insert(std::clamp(position, 1, int(playCounts_.size())), 0);
}

void PlayQueue::Append(const QList<PlayListEntry>& entries) {
  entries_.append(entries);
  // The counts run from 0 to length + 1: the new ones go before the last.
  playCounts_.insert(playCounts_.size() - 1, entries.size(), 0);
}

void PlayQueue::Remove(int index) {
  if (index < 1 || index > Length()) return;
  entries_.removeAt(index - 1);
  playCounts_.removeAt(index);
}

void PlayQueue::Move(int from, int to) {
  if (from < 1 || from > Length() || to < 1 || to > Length() || from == to) return;
  entries_.move(from - 1, to - 1);
  playCounts_.move(from, to);
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
}

int PlayQueue::Draw() const {
  return int(Length() * random_() + 1);
}

// Draws until an entry not yet played in this pass comes up, or gives up after
// 10 × length draws and keeps the last one.
int PlayQueue::DrawUnplayed() const {
  int candidate = Draw();
  for (int tries = 0; playCounts_.value(candidate) >= pass_; ++tries) {
    if (tries > 10 * Length()) break;
    candidate = Draw();
  }
  return candidate;
}

void PlayQueue::EndCycle() {
  ResetOrderState();
  allPlayed_ = true;
  current_ = 0;
}

int PlayQueue::FollowingIndex() const {
  if (order_ != Order::Fixed || current_ < 1 || Length() == 0) return 0;
  if (current_ < Length()) return current_ + 1;
  return cycle_ == Cycle::Continuous ? 1 : 0;
}

void PlayQueue::NextSong(int step) {
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
    if (playedThisPass_ >= length) {
      ++pass_;
      playedThisPass_ = 0;
    }
    current_ = DrawUnplayed();
  } else if (playedThisPass_ < length) {
    current_ = DrawUnplayed();
  } else {
    EndCycle();
  }
  ++playedThisPass_;
  if (current_ >= 0 && current_ < playCounts_.size()) ++playCounts_[current_];
}

}  // namespace audiolume
