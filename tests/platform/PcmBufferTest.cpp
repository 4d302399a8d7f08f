#include <gtest/gtest.h>

#include <thread>

#include "platform/AudioDecoder.h"
#include "platform/PcmBuffer.h"

namespace audiolume::platform {
namespace {

using namespace std::chrono_literals;

TEST(PcmBufferTest, AnOutputThatStopsPullingEndsTheWaitInsteadOfBlockingForEver) {
  PcmBuffer buffer(1000, 200ms);
  const std::vector<char> bytes(800, 'x');
  EXPECT_TRUE(buffer.Push(bytes.data(), 800));  // fits: no wait

  // The output takes a little, then goes quiet (unplugged): the next push gives up.
  std::thread output([&] {
    std::vector<char> out(500);
    buffer.read(out.data(), 500);
  });
  EXPECT_THROW(buffer.Push(bytes.data(), 800), DecodeError);
  output.join();

  // Stopping releases a waiting push at once, without an error.
  PcmBuffer stopped(10, 10s);
  std::thread stopper([&] {
    std::this_thread::sleep_for(50ms);
    stopped.SetStopped(true);
  });
  EXPECT_FALSE(stopped.Push(bytes.data(), 100));
  stopper.join();

  // What the output asks for beyond the queued bytes is silence.
  PcmBuffer short_(100, 1s);
  ASSERT_TRUE(short_.Push("ab", 2));
  const QByteArray read = short_.read(4);
  EXPECT_EQ(read, QByteArray("ab\0\0", 4));
}

// The output plays silence while the buffer is empty: the end of what was pushed lies that
// much further into what it plays.
TEST(PcmBufferTest, TheEndOfWhatWasPushedCountsTheSilenceTheOutputGotBefore) {
  PcmBuffer buffer(100, 1s);
  ASSERT_TRUE(buffer.Push("abcd", 4));
  EXPECT_EQ(buffer.EndOfPushed(), 4);
  EXPECT_EQ(buffer.read(2), QByteArray("ab"));
  EXPECT_EQ(buffer.EndOfPushed(), 4);
  EXPECT_EQ(buffer.read(6), QByteArray("cd\0\0\0\0", 6));
  EXPECT_EQ(buffer.read(10).size(), 10);  // silence only
  ASSERT_TRUE(buffer.Push("ef", 2));
  EXPECT_EQ(buffer.EndOfPushed(), 20);
  buffer.read(1);
  EXPECT_EQ(buffer.EndOfPushed(), 20);
}

}  // namespace
}  // namespace audiolume::platform
