#pragma once

#include <QList>
#include <functional>

#include "library/PlayListText.h"

namespace audiolume {

/**
 * The play queue and the choice of the next song: fixed or random order, single play
 * or continuous. Random order plays every entry once per pass before any repeats, giving
 * up after 10 × length draws. The next song of random order may be drawn ahead, so that
 * it can be readied before the change; the draw is kept until the change or until the
 * queue, its order or its current entry changes. Entries are numbered from 1; 0 means
 * none. UI thread only.
 */
class PlayQueue {
 public:
  enum class Order { Fixed = 0, Random = 1 };
  enum class Cycle { Single = 0, Continuous = 1 };
  /** A uniform number in [0, 1). */
  using Random = std::function<double()>;

  explicit PlayQueue(Random random);

  int Length() const { return static_cast<int>(entries_.size()); }
  const PlayListEntry& Entry(int index) const { return entries_.at(index - 1); }
  const QList<PlayListEntry>& Entries() const { return entries_; }

  /** Inserts at a 1-based position (Length() + 1 appends). */
  void Insert(int position, const PlayListEntry& entry);
  /** Appends entries at the end, each not yet played. */
  void Append(const QList<PlayListEntry>& entries);
  void Remove(int index);
  /** Moves an entry (1-based) to another position; its play count and the current song
   *  go with it. */
  void Move(int from, int to);
  void Clear();

  int CurrentIndex() const { return current_; }
  void SetCurrentIndex(int index);

  Order PlayOrder() const { return order_; }
  Cycle PlayCycle() const { return cycle_; }
  void SetOrder(Order order);
  void SetCycle(Cycle cycle);

  /** Moves the current index by step (+1 or -1) as order and cycle say. When a single-play
   *  cycle runs out the index becomes 0 and AllPlayed() turns true. */
  void NextSong(int step);
  /** The entry NextSong(+1) will move to; 0 when a single-play cycle runs out there. In
   *  random order it is drawn now and kept for that move, without counting as played. */
  int FollowingIndex();

  bool AllPlayed() const { return allPlayed_; }
  /** A fresh cycle: pass 1, nothing played yet. */
  void ResetOrderState();

  int Pass() const { return pass_; }
  int PlayCount(int index) const { return playCounts_.value(index); }

 private:
  int Draw() const;
  /** An entry not yet played in pass, by the draws of random order. */
  int DrawUnplayed(int pass) const;
  /** The pass the next song of random order counts in. */
  int NextPass() const;
  void EndCycle();

  Random random_;
  QList<PlayListEntry> entries_;
  QList<int> playCounts_;  // indices 0 to length + 1
  int current_ = 0;
  Order order_ = Order::Fixed;
  Cycle cycle_ = Cycle::Single;
  bool allPlayed_ = false;
  int pass_ = 1;
  int playedThisPass_ = 0;
  int drawn_ = 0;  // the next entry of random order, drawn ahead; 0: none yet
};

}  // namespace audiolume
