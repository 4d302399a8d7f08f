#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "PromptedHome.h"
#include "fakes/FfmpegSongs.h"
#include "fakes/SineFiles.h"
#include "fakes/TestFiles.h"
#include "library/SongFilePresence.h"
#include "player/FileConversion.h"
#include "support/CurrentError.h"
#include "support/ErrorLog.h"
#include "support/MessageCatalog.h"
#include "support/ScriptedPrompter.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;
using Direction = FileConversion::Direction;

class FileConversionTest : public ::testing::Test, public test::PromptedHome {
 protected:
  void SetUp() override { QDir(dir_.path()).mkdir(u"out"_s); }

  FileConversion conversion_{catalog_, prompter_, presence_, dir_.path()};
};

TEST_F(FileConversionTest, YesToAllOverwritesEveryLaterFileWithoutAsking) {
  QStringList sources;
  for (const QString& name : {u"a"_s, u"b"_s, u"c"_s}) {
    ASSERT_TRUE(test::WriteSineWav(Path(name + u".wav"_s), 0.5));
    test::WriteAll(Path(u"out/"_s + name + u".mp3"_s), "old");
    sources.append(Path(name + u".wav"_s));
  }
  prompter_.QueueAnswer(2);  // Yes to All, asked once
  const auto result = conversion_.ConvertFiles(sources, Path(u"out"_s), Direction::WavToMp3, 0);
  EXPECT_EQ(result.converted, 3);
  EXPECT_EQ(prompter_.ShownMessages().size(), 2);  // the question and the report
  EXPECT_EQ(prompter_.ShownMessages()[0].buttons, u"&Yes|Yes to All|&No|No to All");
  EXPECT_EQ(Shown().last(), u"3 files were converted");
  EXPECT_NE(test::ReadAll(Path(u"out/c.mp3"_s)), "old");
  EXPECT_FALSE(conversion_.IsConverting());

  prompter_.ClearRecord();
  prompter_.QueueAnswer(4);  // No to All
  EXPECT_EQ(conversion_.ConvertFiles(sources, Path(u"out"_s), Direction::WavToMp3, 0).converted, 0);
  EXPECT_EQ(Shown().last(), u"No file was converted");
}

TEST_F(FileConversionTest, FailuresAreReportedAndLoggedAndCancelStopsTheBatch) {
  test::WriteAll(Path(u"bad.wav"_s), "no samples here");
  ASSERT_TRUE(test::WriteSineWav(Path(u"good.wav"_s), 0.5));
  const auto result = conversion_.ConvertFiles({Path(u"bad.wav"_s), Path(u"good.wav"_s)},
                                               Path(u"out"_s), Direction::WavToMp3, 128000);
  EXPECT_EQ(result.converted, 1);
  EXPECT_EQ(result.failed, 1);
  EXPECT_TRUE(Shown().contains(u"Wav to mp3 conversion error 5\nbad.wav"_s));
  EXPECT_TRUE(test::ReadAll(Path(u"w2mError.log"_s)).contains(", Return Val=5"));
  EXPECT_EQ(Shown().last(), u"1 file was converted");

  // One file at a time: with two, the second may be done before the first is cancelled
  // (and is then kept and counted).
  conversion_.SetWorkers(1);
  int calls = 0;
  const auto cancelled = conversion_.ConvertFiles(
      {Path(u"good.wav"_s), Path(u"good.wav"_s)}, Path(u"out/.."_s), Direction::WavToMp3, 0,
      [&](double) { return ++calls == 1 ? platform::kConvertCancelledBatch : 0; });
  EXPECT_TRUE(cancelled.cancelled);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Shown().last(), u"No file was converted\nFile conversion was canceled");
}

TEST_F(FileConversionTest, SongsInOtherFormatsAreLeftOutWithOneMessage) {
  ASSERT_TRUE(test::WriteSineMp3(Path(u"song.mp3"_s), 0.5));
  ASSERT_TRUE(test::WriteSineFlac(Path(u"a.flac"_s), 0.5));
  ASSERT_TRUE(test::WriteSineOgg(Path(u"b.ogg"_s), 0.5));
  const auto result =
      conversion_.ConvertFiles({Path(u"a.flac"_s), Path(u"song.mp3"_s), Path(u"b.ogg"_s)},
                               Path(u"out"_s), Direction::Mp3ToWav, 0);
  EXPECT_EQ(result.converted, 1);
  EXPECT_EQ(result.failed, 2);
  ASSERT_EQ(Shown().size(), 2);
  EXPECT_EQ(Shown().first(),
            u"Only MP3 files can be converted here; these songs are in another "
            u"format and were left out:\na.flac\nb.ogg"_s);
  EXPECT_EQ(QDir(Path(u"out"_s)).entryList(QDir::Files), QStringList{u"song.wav"_s});
}

// M4A and WavPack songs are refused as FLAC is, by what they hold whatever their names say.
TEST_F(FileConversionTest, SongsOnlyFfmpegPlaysAreLeftOutWhateverTheirNames) {
  const std::vector<qint16> tone = test::TwoToneStereo(20000);
  ASSERT_TRUE(test::WriteSineMp3(Path(u"song.mp3"_s), 0.5));
  ASSERT_TRUE(test::WriteFfmpegSong(Path(u"phone.m4a"_s), tone, "aac", "ipod", {}, {}));
  ASSERT_TRUE(test::WriteFfmpegSong(Path(u"phone.mp3"_s), tone, "alac", "ipod", {}, {}));
  ASSERT_TRUE(test::WriteFfmpegSong(Path(u"pack.wav"_s), tone, "wavpack", "wv", {}, {}));
  const QString leftOut =
      u" files can be converted here; these songs are in another format "
      u"and were left out:\n"_s;
  const auto mp3s =
      conversion_.ConvertFiles({Path(u"phone.m4a"_s), Path(u"song.mp3"_s), Path(u"phone.mp3"_s)},
                               Path(u"out"_s), Direction::Mp3ToWav, 0);
  EXPECT_EQ(std::pair(mp3s.converted, mp3s.failed), std::pair(1, 2));
  EXPECT_EQ(Shown(), (QStringList{u"Only MP3"_s + leftOut + u"phone.m4a\nphone.mp3"_s,
                                  u"1 file was converted"_s}));

  prompter_.ClearRecord();
  const auto wavs =
      conversion_.ConvertFiles({Path(u"pack.wav"_s)}, Path(u"out"_s), Direction::WavToMp3, 0);
  EXPECT_EQ(std::pair(wavs.converted, wavs.failed), std::pair(0, 1));
  EXPECT_EQ(Shown().first(), u"Only WAV"_s + leftOut + u"pack.wav"_s);
  EXPECT_EQ(QDir(Path(u"out"_s)).entryList(QDir::Files), QStringList{u"song.wav"_s});
}

TEST_F(FileConversionTest, NotEnoughSpaceForTheWavIsRefused) {
  ASSERT_TRUE(test::WriteSineMp3(Path(u"song.mp3"_s), 1.0));
  conversion_.SetSpaceProbe([](const QString&) {
    return FileConversion::DriveSpace{100'000, 1'000'000};
  });
  const auto result =
      conversion_.ConvertFiles({Path(u"song.mp3"_s)}, Path(u"out"_s), Direction::Mp3ToWav, 0);
  EXPECT_EQ(result.converted, 0);
  EXPECT_EQ(Shown().first(), u"Insufficient space in the Destination Drive"_s);
  EXPECT_EQ(Shown().size(), 2);  // the refusal, then the count of the batch
  EXPECT_FALSE(QFile::exists(Path(u"out/song.wav"_s)));

  conversion_.SetSpaceProbe([](const QString&) {
    return FileConversion::DriveSpace{10'000'000, 1'000'000};
  });
  EXPECT_EQ(conversion_.ConvertFiles({Path(u"song.mp3"_s)}, Path(u"out"_s), Direction::Mp3ToWav, 0)
                .converted,
            1);
}

TEST_F(FileConversionTest, TwoAtOnceCountTheSpaceOfBothAndReportInListOrder) {
  test::WriteAll(Path(u"bad1.mp3"_s), "not audio");
  ASSERT_TRUE(test::WriteSineMp3(Path(u"a.mp3"_s), 1.0));
  ASSERT_TRUE(test::WriteSineMp3(Path(u"b.mp3"_s), 1.0));
  test::WriteAll(Path(u"bad2.mp3"_s), "not audio either");
  // Room for one WAV of a second (about 176 kB) but not for two.
  conversion_.SetSpaceProbe([](const QString&) {
    return FileConversion::DriveSpace{300'000, 1'000'000};
  });
  conversion_.SetWorkers(2);
  const auto result = conversion_.ConvertFiles(
      {Path(u"bad1.mp3"_s), Path(u"a.mp3"_s), Path(u"b.mp3"_s), Path(u"bad2.mp3"_s)},
      Path(u"out"_s), Direction::Mp3ToWav, 0);
  EXPECT_EQ(result.converted, 1);
  EXPECT_EQ(result.failed, 3);
  ASSERT_EQ(Shown().size(), 4);
  EXPECT_TRUE(Shown()[0].startsWith(u"MP3 to Wav Conversion Error"_s)) << Shown()[0].toStdString();
  EXPECT_EQ(Shown()[1], u"Insufficient space in the Destination Drive"_s);
  EXPECT_TRUE(Shown()[2].startsWith(u"MP3 to Wav Conversion Error"_s)) << Shown()[2].toStdString();
  EXPECT_EQ(Shown()[3], u"1 file was converted"_s);
  EXPECT_EQ(QDir(Path(u"out"_s)).entryList(QDir::Files), QStringList{u"a.wav"_s});
}

TEST_F(FileConversionTest, ASecondFileOfTheSameNameWaitsAndIsAskedAbout) {
  QDir(dir_.path()).mkpath(u"one"_s);
  QDir(dir_.path()).mkpath(u"two"_s);
  ASSERT_TRUE(test::WriteSineWav(Path(u"one/song.wav"_s), 1.0, 440));
  ASSERT_TRUE(test::WriteSineWav(Path(u"two/song.wav"_s), 2.0, 880));
  conversion_.SetWorkers(2);
  prompter_.QueueAnswer(1);  // Yes: replace the first one's MP3
  const auto result = conversion_.ConvertFiles({Path(u"one/song.wav"_s), Path(u"two/song.wav"_s)},
                                               Path(u"out"_s), Direction::WavToMp3, 128000);
  EXPECT_EQ(result.converted, 2);
  ASSERT_EQ(Shown().size(), 2);
  EXPECT_EQ(Shown()[0], Path(u"out/song.mp3"_s) + u" already exists.\nReplace existing file?"_s);
  platform::Mp3Info info;
  ASSERT_EQ(platform::_QueryMp3File(Path(u"out/song.mp3"_s), info), 0);
  EXPECT_NEAR(double(info.durationMs), 2000.0, 60.0);  // whole, and the second one's
}

TEST_F(FileConversionTest, SpaceEstimateForAWavCopy) {
  platform::Mp3Info fourMinutes{128000, 240000, 5, 2};
  // 44.1 × 2 × 240,000 × 2 bytes, plus 0.5% of a 100 GB drive.
  EXPECT_EQ(FileConversion::EstimatedWavBytes(fourMinutes, 100'000'000'000),
            42'336'000 + 500'000'000);
  platform::Mp3Info lowRate{64000, 1000, 4, 1};
  EXPECT_EQ(FileConversion::EstimatedWavBytes(lowRate, 0), 44'200);
}

}  // namespace
}  // namespace audiolume
