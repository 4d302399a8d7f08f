#include "player/ReplayGainOptions.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>

#include "fakes/LoudnessFiles.h"
#include "fakes/TestFiles.h"
#include "platform/AudioSink.h"
#include "platform/ReplayGainTags.h"
#include "support/IniSettings.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {
namespace {

using platform::ReplayGainMode;
using platform::ReplayGainSettings;

class ReplayGainOptionsTest : public ::testing::Test {
 protected:
  QString Ini() const { return dir_.filePath(u"VeltoDj.ini"_s); }

  // The loudest sample of a song as an opener gives it.
  static int LoudestOpened(const platform::DecoderOpener& open, const QString& path) {
    const auto decoder = open(path);
    std::vector<qint16> block(8192);
    int loudest = 0;
    while (const qint64 frames = decoder->Read(block.data(), 4096)) {
      for (qint64 i = 0; i < frames * 2; ++i) loudest = std::max(loudest, std::abs(int(block[i])));
    }
    return loudest;
  }

  QTemporaryDir dir_;
};

TEST_F(ReplayGainOptionsTest, SettingsComeFromTheReplayGainSectionWithDefaults) {
  EXPECT_EQ(ReplayGainOptions::Read(Ini()), (ReplayGainSettings{ReplayGainMode::Off, 0, true}));

  test::WriteAll(Ini(), "[ReplayGain]\r\nMode=Album\r\nPreamp=-3.5\r\nPreventClipping=False\r\n");
  EXPECT_EQ(ReplayGainOptions::Read(Ini()),
            (ReplayGainSettings{ReplayGainMode::Album, -3.5, false}));

  ASSERT_TRUE(ReplayGainOptions::WriteMode(Ini(), ReplayGainMode::Track));
  ASSERT_TRUE(ReplayGainOptions::WritePreventClipping(Ini(), true));
  EXPECT_EQ(ReadIniString(Ini(), u"ReplayGain"_s, u"Mode"_s), u"track");
  EXPECT_EQ(ReadIniString(Ini(), u"ReplayGain"_s, u"PreventClipping"_s), u"True");
  EXPECT_EQ(ReplayGainOptions::Read(Ini()),
            (ReplayGainSettings{ReplayGainMode::Track, -3.5, true}));

  WriteIniString(Ini(), u"ReplayGain"_s, u"Mode"_s, u"loudest"_s);
  EXPECT_EQ(ReplayGainOptions::Read(Ini()).mode, ReplayGainMode::Off);
  EXPECT_EQ(ReplayGainOptions::ModeNamed(u"ALBUM"_s), ReplayGainMode::Album);
  EXPECT_EQ(ReplayGainOptions::ModeNamed(u"on"_s), std::nullopt);
}

// Both of the player's back-ends level what they open, by the settings of the moment.
TEST_F(ReplayGainOptionsTest, TheBackEndsLevelEachSongAsTheSettingsSayWhenItOpens) {
  const QString flac = dir_.filePath(u"tagged.flac"_s);
  ASSERT_TRUE(test::WriteToneFile(flac, 1, 440, 0.5));
  ASSERT_TRUE(platform::WriteReplayGain(flac, {-6.0206, 0.5, 12.0412, 0.5}));
  PlayerEngine::BackEnds backEnds{platform::MakeNullAudioSink(), platform::OpenSongDecoder,
                                  platform::OpenSongDecoder};
  ReplayGainSettings settings;
  ReplayGainOptions::Apply(backEnds, [&settings] { return settings; });

  for (const auto& open : {backEnds.mpegOpen, backEnds.otherOpen}) {
    settings = {ReplayGainMode::Off, 0, true};
    const int loudest = LoudestOpened(open, flac);
    EXPECT_NEAR(loudest, 16384, 4);
    settings = {ReplayGainMode::Track, 0, true};
    EXPECT_NEAR(LoudestOpened(open, flac), loudest / 2, 1);
    settings = {ReplayGainMode::Album, 0, false};
    EXPECT_GE(LoudestOpened(open, flac), 32767);  // four times: cut
    settings = {ReplayGainMode::Album, 0, true};
    EXPECT_NEAR(LoudestOpened(open, flac), loudest * 2, 1);  // held to the peak of 0.5
    settings = {ReplayGainMode::Track, -6.0206, true};
    EXPECT_NEAR(LoudestOpened(open, flac), loudest / 4, 1);
  }
}

}  // namespace
}  // namespace audiolume
