#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

#include "fakes/QtPrinters.h"
#include "fakes/TestFiles.h"
#include "platform/PortablePlayer.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume::platform {
namespace {

class FolderPlayerTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }

  /** Polls the download as the export's timer does, until it is over. */
  quint32 WaitForEnd(PortablePlayer& player) {
    quint32 status = 0;
    for (int i = 0; i < 500; ++i) {
      status = player.TWRIO_GetStatus(1);
      if (PortablePlayer::ClassOf(status) != PortablePlayer::kReady) break;
      QTest::qWait(10);
    }
    return status;
  }

  QTemporaryDir dir_;
};

TEST_F(FolderPlayerTest, StatusWordsAndTheirTexts) {
  EXPECT_EQ(PortablePlayer::ClassOf(0x00040004), PortablePlayer::kError);
  EXPECT_EQ(PortablePlayer::ErrorText(PortablePlayer::CodeOf(0x00040004)), u"Timeout"_s);
  EXPECT_EQ(PortablePlayer::ErrorText(18), u"Fail to write"_s);
  EXPECT_EQ(PortablePlayer::ErrorText(9), u"error9"_s);
  const auto missing = MakeFolderPlayer(Path(u"no player"_s));
  EXPECT_FALSE(missing->TWRIO_IsConnected());
  EXPECT_EQ(missing->TWRIO_GetStatus(1), 0u) << "not ready";
  EXPECT_EQ(missing->TWRIO_DownloadFile(Path(u"x.mp3"_s)), 0);
}

TEST_F(FolderPlayerTest, SendsAFileWhole) {
  QDir().mkpath(Path(u"player"_s));
  QByteArray song(3 * 1024 * 1024 + 17, '\0');
  for (qsizetype i = 0; i < song.size(); ++i) song[i] = char(i * 7 % 251);
  test::WriteAll(Path(u"Song one.mp3"_s), song);
  const auto player = MakeFolderPlayer(Path(u"player"_s));
  ASSERT_TRUE(player->TWRIO_IsConnected());
  EXPECT_GT(player->TWRIO_GetMemFree(), song.size());
  ASSERT_EQ(player->TWRIO_DownloadFile(Path(u"Song one.mp3"_s)), 1);
  EXPECT_EQ(WaitForEnd(*player), PortablePlayer::Word(PortablePlayer::kFinished));
  EXPECT_EQ(player->TWRIO_GetProgress(0), 100);
  EXPECT_TRUE(test::ReadAll(Path(u"player/Song one.mp3"_s)) == song);
  EXPECT_FALSE(QFile::exists(Path(u"player/Song one.mp3.part"_s)));
}

TEST_F(FolderPlayerTest, ErasingTakesOnlyTheSongsAtTheTop) {
  QDir().mkpath(Path(u"player/Photos"_s));
  for (const QString& name : {u"a.mp3"_s, u"b.WAV"_s, u"c.flac"_s, u"notes.txt"_s,
                              u"Photos/d.mp3"_s, u"Photos/e.jpg"_s}) {
    test::WriteAll(Path(u"player/"_s + name), "x");
  }
  const auto player = MakeFolderPlayer(Path(u"player"_s));
  EXPECT_EQ(player->TWRIO_InitializeMemory(), PortablePlayer::Word(PortablePlayer::kReady));
  EXPECT_EQ(QDir(Path(u"player"_s)).entryList(QDir::Files), QStringList{u"notes.txt"_s});
  EXPECT_EQ(QDir(Path(u"player/Photos"_s)).entryList(QDir::Files),
            (QStringList{u"d.mp3"_s, u"e.jpg"_s}));
}

TEST_F(FolderPlayerTest, APlayerPulledOutMidCopyKeepsNoHalfSong) {
  QDir().mkpath(Path(u"player"_s));
  // A pipe as the song holds the copy in the middle for as long as the test wants.
  const QByteArray fifo = QFile::encodeName(Path(u"slow.mp3"_s));
  ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
  const auto player = MakeFolderPlayer(Path(u"player"_s));
  std::thread writer([&fifo, this] {
    const int fd = ::open(fifo.constData(), O_WRONLY);
    const QByteArray half(512 * 1024, 'a');
    (void)::write(fd, half.constData(), std::size_t(half.size()));
    QTest::qSleep(200);
    QDir(Path(u"player"_s)).removeRecursively();  // pulled out
    (void)::write(fd, half.constData(), std::size_t(half.size()));
    ::close(fd);
  });
  ASSERT_EQ(player->TWRIO_DownloadFile(Path(u"slow.mp3"_s)), 1);
  const quint32 status = WaitForEnd(*player);
  writer.join();
  EXPECT_EQ(PortablePlayer::ClassOf(status), PortablePlayer::kError);
  EXPECT_EQ(PortablePlayer::ErrorText(PortablePlayer::CodeOf(status)), u"No device"_s);
  EXPECT_FALSE(QDir(Path(u"player"_s)).exists());
}

TEST_F(FolderPlayerTest, StopRemovesThePartialFile) {
  QDir().mkpath(Path(u"player"_s));
  const QByteArray fifo = QFile::encodeName(Path(u"slow.mp3"_s));
  ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
  const auto player = MakeFolderPlayer(Path(u"player"_s));
  std::thread writer([&fifo] {
    const int fd = ::open(fifo.constData(), O_WRONLY);
    const QByteArray part(256 * 1024, 'b');
    for (int i = 0; i < 4; ++i) {
      (void)::write(fd, part.constData(), std::size_t(part.size()));
      QTest::qSleep(50);
    }
    ::close(fd);
  });
  ASSERT_EQ(player->TWRIO_DownloadFile(Path(u"slow.mp3"_s)), 1);
  QTest::qWait(60);
  player->TWRIO_StopDownload();
  writer.join();
  EXPECT_TRUE(QDir(Path(u"player"_s)).entryList(QDir::Files).isEmpty());
}

}  // namespace
}  // namespace audiolume::platform
