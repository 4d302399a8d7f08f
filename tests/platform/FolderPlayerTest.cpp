#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

#include "fakes/QtPrinters.h"
#include "fakes/StalledPipe.h"
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

TEST_F(FolderPlayerTest, ErasingTakesOnlyTheNamedFilesNeverLinksOrFolders) {
  QDir().mkpath(Path(u"player/Photos"_s));
  for (const QString& name : {u"a.mp3"_s, u"b.WAV"_s, u"notes.txt"_s, u"Photos/d.mp3"_s}) {
    test::WriteAll(Path(u"player/"_s + name), "x");
  }
  test::WriteAll(Path(u"elsewhere.mp3"_s), "the owner's");
  ASSERT_TRUE(QFile::link(Path(u"elsewhere.mp3"_s), Path(u"player/link.mp3"_s)));
  const auto player = MakeFolderPlayer(Path(u"player"_s));
  EXPECT_EQ(player->TWRIO_DeleteFiles({u"a.mp3"_s, u"link.mp3"_s, u"Photos"_s, u"gone.mp3"_s}),
            PortablePlayer::Word(PortablePlayer::kReady));
  EXPECT_EQ(QDir(Path(u"player"_s)).entryList(QDir::Files | QDir::System, QDir::Name),
            (QStringList{u"b.WAV"_s, u"link.mp3"_s, u"notes.txt"_s}));
  EXPECT_TRUE(QFile::exists(Path(u"player/Photos/d.mp3"_s)));
  EXPECT_EQ(test::ReadAll(Path(u"elsewhere.mp3"_s)), "the owner's");
}

TEST_F(FolderPlayerTest, LinksInThePlayersFolderAreReplacedNeverWrittenThrough) {
  QDir().mkpath(Path(u"player"_s));
  test::WriteAll(Path(u"a.mp3"_s), "the song");
  test::WriteAll(Path(u"target"_s), "the owner's file");
  ASSERT_TRUE(QFile::link(Path(u"target"_s), Path(u"player/a.mp3.part"_s)));
  ASSERT_TRUE(QFile::link(Path(u"target"_s), Path(u"player/Audiolume.m3u"_s)));
  ASSERT_TRUE(QFile::link(Path(u"target"_s), Path(u"player/Audiolume.m3u.part"_s)));
  const auto player = MakeFolderPlayer(Path(u"player"_s));
  ASSERT_EQ(player->TWRIO_DownloadFile(Path(u"a.mp3"_s)), 1);
  EXPECT_EQ(WaitForEnd(*player), PortablePlayer::Word(PortablePlayer::kFinished));
  EXPECT_TRUE(player->TWRIO_WriteFile(u"Audiolume.m3u"_s, "#EXTM3U\n"));
  EXPECT_EQ(test::ReadAll(Path(u"target"_s)), "the owner's file");
  EXPECT_EQ(test::ReadAll(Path(u"player/a.mp3"_s)), "the song");
  EXPECT_FALSE(QFileInfo(Path(u"player/Audiolume.m3u"_s)).isSymLink());
  EXPECT_EQ(test::ReadAll(Path(u"player/Audiolume.m3u"_s)), "#EXTM3U\n");
  EXPECT_EQ(QDir(Path(u"player"_s)).entryList(QDir::Files | QDir::System, QDir::Name),
            (QStringList{u"Audiolume.m3u"_s, u"a.mp3"_s}));
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
  // The abandoned copy cleans up once its thread returns.
  for (int i = 0; i < 200 && !QDir(Path(u"player"_s)).isEmpty(); ++i) QTest::qWait(10);
  EXPECT_TRUE(QDir(Path(u"player"_s)).isEmpty());
}

TEST_F(FolderPlayerTest, StoppingAStalledCopyReturnsAtOnce) {
  QDir().mkpath(Path(u"player"_s));
  test::StalledPipe pipe(Path(u"stalled.mp3"_s), 3000);
  ASSERT_TRUE(pipe.Made());
  {
    const auto player = MakeFolderPlayer(Path(u"player"_s));
    ASSERT_EQ(player->TWRIO_DownloadFile(Path(u"stalled.mp3"_s)), 1);
    QTest::qWait(100);
    QElapsedTimer clock;
    clock.start();
    player->TWRIO_StopDownload();
    ASSERT_EQ(player->TWRIO_DownloadFile(Path(u"stalled.mp3"_s)), 1);  // sent again
    player->TWRIO_Close();
    EXPECT_LT(clock.elapsed(), 1000);
  }
  pipe.Release();
  for (int i = 0; i < 200 && !QDir(Path(u"player"_s)).isEmpty(); ++i) QTest::qWait(10);
  EXPECT_TRUE(QDir(Path(u"player"_s)).isEmpty());
}

}  // namespace
}  // namespace audiolume::platform
