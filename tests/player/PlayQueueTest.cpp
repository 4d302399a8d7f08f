#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "player/PlayQueue.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;
using Order = PlayQueue::Order;
using Cycle = PlayQueue::Cycle;

// Random numbers from a script; the last one repeats. Counts the draws.
struct ScriptedRandom {
  std::deque<double> values;
  int draws = 0;
  double operator()() {
    ++draws;
    const double value = values.front();
    if (values.size() > 1) values.pop_front();
    return value;
  }
};

PlayQueue Queue(int length, ScriptedRandom& random, Order order, Cycle cycle) {
  PlayQueue queue([&random] { return random(); });
  for (int i = 1; i <= length; ++i) {
    queue.Insert(i, {u"/m/"_s + QString::number(i) + u".mp3"_s, QString::number(i), {}, {}});
  }
  queue.SetOrder(order);
  queue.SetCycle(cycle);
  return queue;
}

TEST(PlayQueueTest, FixedOrderRunsOutOnceOrWrapsAround) {
  ScriptedRandom random{{0.0}};
  PlayQueue once = Queue(3, random, Order::Fixed, Cycle::Single);
  once.SetCurrentIndex(3);
  once.NextSong(+1);
  EXPECT_EQ(once.CurrentIndex(), 0);
  EXPECT_TRUE(once.AllPlayed());

  PlayQueue loop = Queue(3, random, Order::Fixed, Cycle::Continuous);
  loop.SetCurrentIndex(1);
  loop.NextSong(-1);
  EXPECT_EQ(loop.CurrentIndex(), 3);
  loop.NextSong(+1);
  EXPECT_EQ(loop.CurrentIndex(), 1);
  EXPECT_FALSE(loop.AllPlayed());
  EXPECT_EQ(random.draws, 0);
}

TEST(PlayQueueTest, RandomOrderPlaysEveryEntryOncePerPass) {
  // Draws: 1, then 1 again (already played) and 2; next pass 2, then 1.
  ScriptedRandom random{{0.1, 0.2, 0.7, 0.9, 0.3}};
  PlayQueue queue = Queue(2, random, Order::Random, Cycle::Continuous);
  QList<int> played;
  for (int i = 0; i < 4; ++i) {
    queue.NextSong(+1);
    played.append(queue.CurrentIndex());
  }
  EXPECT_EQ(played, (QList<int>{1, 2, 2, 1}));
  EXPECT_EQ(queue.Pass(), 2);
}

TEST(PlayQueueTest, RandomDrawsAreBoundedAndSinglePlayEnds) {
  ScriptedRandom random{{0.1}};  // always entry 1
  PlayQueue queue = Queue(2, random, Order::Random, Cycle::Continuous);
  queue.NextSong(+1);
  random.draws = 0;
  queue.NextSong(+1);
  EXPECT_EQ(queue.CurrentIndex(), 1);  // a repeat, after 10 × length more draws
  EXPECT_EQ(random.draws, 22);

  ScriptedRandom single{{0.1, 0.9}};
  PlayQueue once = Queue(2, single, Order::Random, Cycle::Single);
  once.NextSong(+1);
  once.NextSong(+1);
  EXPECT_FALSE(once.AllPlayed());
  once.NextSong(+1);
  EXPECT_TRUE(once.AllPlayed());
  EXPECT_EQ(once.CurrentIndex(), 0);

  ScriptedRandom any{{0.99}};
  PlayQueue alone = Queue(1, any, Order::Random, Cycle::Continuous);
  for (int i = 0; i < 3; ++i) {
    alone.NextSong(-1);
    EXPECT_EQ(alone.CurrentIndex(), 1);
  }
}

TEST(PlayQueueTest, InsertAndRemoveKeepEntriesInPlace) {
  ScriptedRandom random{{0.0}};
  PlayQueue queue = Queue(2, random, Order::Fixed, Cycle::Single);
  queue.Insert(1, {u"/m/first.mp3"_s, u"First"_s, {}, {}});
  EXPECT_EQ(queue.Entry(1).title, u"First");
  EXPECT_EQ(queue.Entry(3).title, u"2");
  queue.Remove(2);
  EXPECT_EQ(queue.Length(), 2);
  EXPECT_EQ(queue.Entry(2).title, u"2");
  queue.Clear();
  EXPECT_EQ(queue.Length(), 0);
  queue.NextSong(+1);
  EXPECT_TRUE(queue.AllPlayed());
}

TEST(PlayQueueTest, EntriesAppendedTogetherAreUnplayedInTheRunningPass) {
  // Draws: 1; then 1 again (played) and 3; then 2.
  ScriptedRandom random{{0.1, 0.1, 0.9, 0.5}};
  PlayQueue queue = Queue(1, random, Order::Random, Cycle::Single);
  queue.NextSong(+1);
  queue.Append({{u"/m/2.ogg"_s, u"2"_s, {}, {}}, {u"/m/3.flac"_s, u"3"_s, {}, {}}});
  ASSERT_EQ(queue.Length(), 3);
  EXPECT_EQ(queue.Entry(3).path, u"/m/3.flac");
  QList<int> played{queue.CurrentIndex()};
  for (int i = 0; i < 2; ++i) {
    queue.NextSong(+1);
    played.append(queue.CurrentIndex());
  }
  EXPECT_EQ(played, (QList<int>{1, 3, 2}));
  EXPECT_EQ(queue.PlayCount(1), 1);
  queue.NextSong(+1);
  EXPECT_TRUE(queue.AllPlayed());
}

TEST(PlayQueueTest, FollowingIndexInFixedOrderIsTheNextEntryOrNoneAtTheEnd) {
  ScriptedRandom random{{0.0}};
  PlayQueue once = Queue(3, random, Order::Fixed, Cycle::Single);
  once.SetCurrentIndex(2);
  EXPECT_EQ(once.FollowingIndex(), 3);
  once.SetCurrentIndex(3);
  EXPECT_EQ(once.FollowingIndex(), 0);
  PlayQueue loop = Queue(3, random, Order::Fixed, Cycle::Continuous);
  loop.SetCurrentIndex(3);
  EXPECT_EQ(loop.FollowingIndex(), 1);
  EXPECT_EQ(random.draws, 0);
}

// The song drawn ahead is where the change goes; until then nothing counts it.
TEST(PlayQueueTest, ARandomDrawAheadIsKeptForTheChangeAndCountsNothingBefore) {
  ScriptedRandom random{{0.9, 0.1}};  // entry 3, then entry 1
  PlayQueue queue = Queue(3, random, Order::Random, Cycle::Single);
  queue.SetCurrentIndex(2);
  EXPECT_EQ(queue.FollowingIndex(), 3);
  EXPECT_EQ(queue.FollowingIndex(), 3);
  EXPECT_EQ(random.draws, 1);
  EXPECT_EQ(queue.CurrentIndex(), 2);
  EXPECT_EQ(queue.PlayCount(3), 0);
  queue.NextSong(+1);
  EXPECT_EQ(queue.CurrentIndex(), 3);
  EXPECT_EQ(queue.PlayCount(3), 1);
  EXPECT_EQ(random.draws, 1);
  // Skipping back in random order is one more draw: one made ahead serves it as well.
  EXPECT_EQ(queue.FollowingIndex(), 1);
  queue.NextSong(-1);
  EXPECT_EQ(queue.CurrentIndex(), 1);
  EXPECT_EQ(random.draws, 2);
}

// A continuous cycle draws for the next pass once this one is played, yet the pass moves
// on only with the change; a single-play cycle that has run out has nothing to follow.
TEST(PlayQueueTest, ARandomDrawAheadFollowsThePassesAndTheEndOfASingleCycle) {
  ScriptedRandom random{{0.1, 0.9, 0.1}};  // entries 1, 2, then 1 again in a new pass
  PlayQueue loop = Queue(2, random, Order::Random, Cycle::Continuous);
  loop.NextSong(+1);
  loop.NextSong(+1);
  ASSERT_EQ(loop.CurrentIndex(), 2);
  EXPECT_EQ(loop.FollowingIndex(), 1);
  EXPECT_EQ(random.draws, 3);  // entry 1 is not yet played in the pass it is drawn for
  EXPECT_EQ(loop.Pass(), 1);
  loop.NextSong(+1);
  EXPECT_EQ(loop.CurrentIndex(), 1);
  EXPECT_EQ(loop.Pass(), 2);

  ScriptedRandom single{{0.1, 0.9}};
  PlayQueue once = Queue(2, single, Order::Random, Cycle::Single);
  once.NextSong(+1);
  once.SetCurrentIndex(1);
  EXPECT_EQ(once.FollowingIndex(), 2);
  once.NextSong(+1);
  EXPECT_EQ(once.FollowingIndex(), 0);
  EXPECT_EQ(single.draws, 2);
}

// Whatever changes the queue, its order or cycle, or the song playing, draws afresh.
TEST(PlayQueueTest, ARandomDrawAheadIsForgottenWhenTheQueueChanges) {
  const std::vector<std::pair<const char*, std::function<void(PlayQueue&)>>> edits{
      {"insert",
       [](PlayQueue& q) {
         q.Insert(1, {u"/m/new.flac"_s, {}, {}, {}});
       }},
      {"append",
       [](PlayQueue& q) {
         q.Append({{u"/m/new.ogg"_s, {}, {}, {}}});
       }},
      {"remove", [](PlayQueue& q) { q.Remove(4); }},
      {"move", [](PlayQueue& q) { q.Move(4, 3); }},
      {"pick", [](PlayQueue& q) { q.SetCurrentIndex(2); }},
      {"order", [](PlayQueue& q) { q.SetOrder(Order::Random); }},
      {"cycle", [](PlayQueue& q) { q.SetCycle(Cycle::Continuous); }},
      {"reset", [](PlayQueue& q) { q.ResetOrderState(); }},
  };
  for (const auto& [name, edit] : edits) {
    ScriptedRandom random{{0.9, 0.1}};  // the last entry, then the first
    PlayQueue queue = Queue(4, random, Order::Random, Cycle::Single);
    queue.SetCurrentIndex(1);
    ASSERT_EQ(queue.FollowingIndex(), 4) << name;
    edit(queue);
    EXPECT_EQ(queue.FollowingIndex(), 1) << name;
    queue.NextSong(+1);
    EXPECT_EQ(queue.CurrentIndex(), 1) << name;
  }
}

}  // namespace
}  // namespace audiolume
