#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "player/ConversionQueue.h"

namespace audiolume {
namespace {

using namespace std::chrono_literals;

// Waits (at most five seconds) for a flag another job sets: only jobs that really run
// side by side can both finish.
bool AwaitFlag(const std::atomic<bool>& flag) {
  for (int i = 0; i < 500 && !flag; ++i) std::this_thread::sleep_for(10ms);
  return flag;
}

TEST(ConversionQueueTest, JobsRunSideBySideUpToTheWorkersAndResultsComeByTicket) {
  ConversionQueue queue(2);
  std::atomic<bool> firstRunning = false;
  std::atomic<bool> secondRunning = false;
  std::atomic<int> thirdStartedWhileOthersRan = 0;
  const int first = queue.Add([&](const platform::ConvertProgress&) {
    firstRunning = true;
    return AwaitFlag(secondRunning) ? 0 : 9;
  });
  const int second = queue.Add([&](const platform::ConvertProgress&) {
    secondRunning = true;
    return AwaitFlag(firstRunning) ? 4 : 9;
  });
  const int third = queue.Add([&](const platform::ConvertProgress&) {
    thirdStartedWhileOthersRan = int(firstRunning) + int(secondRunning);
    return 3;
  });
  EXPECT_EQ(queue.Wait(second), 4);
  EXPECT_EQ(queue.Wait(first), 0);
  EXPECT_EQ(queue.Wait(third), 3);
  EXPECT_EQ(thirdStartedWhileOthersRan, 2);  // the third waited for a free worker
  EXPECT_FALSE(queue.Abandoned());
}

TEST(ConversionQueueTest, CancelStopsRunningJobsAndDropsWaitingOnes) {
  ConversionQueue queue(1);
  std::atomic<bool> started = false;
  const int running = queue.Add([&](const platform::ConvertProgress& progress) {
    started = true;
    while (progress(0.5) == 0) std::this_thread::sleep_for(1ms);
    return progress(0.5);
  });
  bool waitingRan = false;
  const int waiting = queue.Add([&](const platform::ConvertProgress&) {
    waitingRan = true;
    return 0;
  });
  ASSERT_TRUE(AwaitFlag(started));
  queue.CancelAll();
  EXPECT_EQ(queue.Wait(running), platform::kConvertCancelledBatch);
  EXPECT_EQ(queue.Wait(waiting), platform::kConvertCancelledBatch);
  EXPECT_FALSE(waitingRan);
}

}  // namespace
}  // namespace audiolume
