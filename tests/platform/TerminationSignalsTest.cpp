#include "platform/TerminationSignals.h"

#include <gtest/gtest.h>

#include <QTest>
#include <csignal>

namespace audiolume::platform {
namespace {

// A logout's SIGTERM, a closed terminal's SIGHUP and Ctrl+C each run the action once, on the
// event loop, and the process lives on to do it.
TEST(TerminationSignalsTest, EachSignalRunsTheActionOnTheEventLoop) {
  int actions = 0;
  const TerminationSignals signals([&actions] { ++actions; });
  for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
    const int before = actions;
    ASSERT_EQ(std::raise(signal), 0);
    EXPECT_EQ(actions, before);  // not from inside the handler
    EXPECT_TRUE(QTest::qWaitFor([&] { return actions == before + 1; }, 2000));
  }
}

}  // namespace
}  // namespace audiolume::platform
