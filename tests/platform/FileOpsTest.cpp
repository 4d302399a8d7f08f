#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <unistd.h>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <thread>

#include "fakes/TestFiles.h"
#include "platform/FileError.h"
#include "platform/FileLock.h"
#include "platform/FileOps.h"
#include "platform/IniProfile.h"

namespace audiolume::platform {
namespace {

using namespace Qt::Literals::StringLiterals;

// A FIFO in a file's place. Should a reader block on it, the writer this fixture opens
// once the test is done lets it go on with nothing read, so that the test fails rather
// than hangs.
class FileOpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo_).constData(), 0600), 0);
    releaser_ = std::thread([this] {
      for (int attempt = 0; attempt < 300 && !done_; ++attempt) {
        const int fd = ::open(QFile::encodeName(fifo_).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
          ::close(fd);
          return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    });
  }
  void TearDown() override {
    done_ = true;
    releaser_.join();
  }

  QTemporaryDir dir_;
  QString fifo_ = dir_.filePath(u"VeltoDj.ini"_s);
  std::atomic<bool> done_ = false;
  std::thread releaser_;
};

TEST_F(FileOpsTest, OnlyRegularFilesWithinTheLimitAreRead) {
  EXPECT_THROW(FileOps::ReadFile(fifo_), FileError);
  EXPECT_EQ(IniProfile::ReadString(fifo_, u"Player"_s, u"Volume"_s), u"");
  EXPECT_FALSE(IniProfile::WriteString(fifo_, u"Player"_s, u"Volume"_s, u"3"_s));

  const QString zero = dir_.filePath(u"Playlist.dat"_s);
  ASSERT_TRUE(QFile::link(u"/dev/zero"_s, zero));
  EXPECT_THROW(FileOps::ReadFile(zero), FileError);
  EXPECT_THROW(FileOps::ReadFile(dir_.path()), FileError);

  const QString large = dir_.filePath(u"ID3v1.cat"_s);
  test::WriteAll(large, QByteArray(4096, 'x'));
  EXPECT_THROW(FileOps::ReadFile(large, 4095), FileError);
  EXPECT_EQ(FileOps::ReadFile(large, 4096).size(), 4096);
  // A small file takes no more memory than its size, however high the limit.
  EXPECT_LT(FileOps::ReadFile(large).capacity(), 1 << 20);
  try {
    FileOps::ReadFile(dir_.filePath(u"missing"_s));
    ADD_FAILURE() << "a missing file was read";
  } catch (const FileError& error) {
    EXPECT_EQ(error.code().value(), ENOENT);
  }
}

TEST(FileLockTest, ASecondHolderWaitsAndGivesUp) {
  QTemporaryDir dir;
  const QString file = dir.filePath(u"Playlist.dat"_s);
  {
    const FileLock held(file);
    EXPECT_THROW(FileLock(file, 50), FileError);
  }
  EXPECT_NO_THROW(FileLock(file, 50));
}

}  // namespace
}  // namespace audiolume::platform
