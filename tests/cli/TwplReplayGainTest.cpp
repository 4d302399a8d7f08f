#include <gtest/gtest.h>
#include <sndfile.h>

#include <QRegularExpression>

#include "cli/TwplFixture.h"
#include "fakes/LoudnessFiles.h"
#include "fakes/SineFiles.h"
#include "fakes/TestFiles.h"
#include "platform/ReplayGainTags.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

class TwplReplayGainTest : public TwplTest {
 protected:
  QString Song(const QString& name) const { return dir_.filePath(name); }

  // "gain<TAB>peak<TAB>path" as numbers.
  static std::pair<double, double> GainAndPeak(const QString& line) {
    return {line.section(u'\t', 0, 0).toDouble(), line.section(u'\t', 1, 1).toDouble()};
  }
};

TEST_F(TwplReplayGainTest, ScanPrintsEachFileThenTheAlbumAsLoudgainMeasuresThem) {
  ASSERT_TRUE(test::WriteToneFile(Song(u"tone.flac"_s), 6.5, 880, 0.4));
  ASSERT_TRUE(
      test::WriteNoiseFile(Song(u"noise.ogg"_s), 5, 0.2, 9, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
  const Result scanned =
      Run({u"replaygain"_s, u"scan"_s, u"--album"_s, u"tone.flac"_s, u"noise.ogg"_s});
  ASSERT_EQ(scanned.code, 0) << scanned.err.toStdString();
  const QStringList lines = scanned.out.split(u'\n');
  ASSERT_EQ(lines.size(), 4);
  EXPECT_TRUE(QRegularExpression(u"^-?\\d+\\.\\d\\d\\t\\d\\.\\d{6}\\t"_s +
                                 QRegularExpression::escape(Song(u"tone.flac"_s)) + u"$"_s)
                  .match(lines[0])
                  .hasMatch())
      << lines[0].toStdString();
  EXPECT_TRUE(lines[1].endsWith(u"\t"_s + Song(u"noise.ogg"_s)));
  EXPECT_TRUE(
      QRegularExpression(u"^album\\t-?\\d+\\.\\d\\d\\t\\d\\.\\d{6}$"_s).match(lines[2]).hasMatch())
      << lines[2].toStdString();
  EXPECT_EQ(lines[3], u"");

  const QList<test::LoudgainLine> loudgain =
      test::RunLoudgain({Song(u"tone.flac"_s), Song(u"noise.ogg"_s)}, true);
  ASSERT_EQ(loudgain.size(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(GainAndPeak(lines[i].mid(i == 2 ? 6 : 0)).first, loudgain[i].gain, 0.011)
        << lines[i].toStdString();
  }
  EXPECT_NEAR(GainAndPeak(lines[0]).second, 0.4, 0.0001);
  EXPECT_EQ(GainAndPeak(lines[2].mid(6)).second,
            std::max(GainAndPeak(lines[0]).second, GainAndPeak(lines[1]).second));

  // Without --album no album line, and nothing is written without --write.
  const QByteArray before = test::ReadAll(Song(u"tone.flac"_s));
  const Result track = Run({u"replaygain"_s, u"scan"_s, u"tone.flac"_s});
  EXPECT_EQ(track.out, lines[0] + u'\n');
  EXPECT_EQ(test::ReadAll(Song(u"tone.flac"_s)), before);
}

TEST_F(TwplReplayGainTest, WriteStoresTheValuesAndKeepsTheJukeboxTagOfAnMp3) {
  const QString mp3 = Song(u"song.mp3"_s);
  ASSERT_TRUE(test::WriteSineMp3(mp3, 2));
  ASSERT_EQ(Run({u"tags"_s, u"write"_s, u"song.mp3"_s, u"Title=Mine"_s, u"Lyrics=la\\nla"_s,
                 u"--answer"_s, u"tunewright"_s})
                .out,
            u"0\n");
  ASSERT_TRUE(test::WriteToneFile(Song(u"Song.FLAC"_s), 3, 440, 0.25));

  const Result written =
      Run({u"replaygain"_s, u"scan"_s, u"--album"_s, u"--write"_s, u"song.mp3"_s, u"Song.FLAC"_s});
  ASSERT_EQ(written.code, 0) << written.err.toStdString();
  const QStringList lines = written.out.split(u'\n');
  ASSERT_EQ(lines.size(), 4);
  for (int i = 0; i < 2; ++i) {
    const platform::ReplayGainInfo stored = platform::ReadReplayGain(lines[i].section(u'\t', 2));
    ASSERT_TRUE(stored.trackGain && stored.albumGain) << lines[i].toStdString();
    EXPECT_EQ(QString::asprintf("%.2f\t%.6f", *stored.trackGain, *stored.trackPeak),
              lines[i].section(u'\t', 0, 1));
    EXPECT_EQ(QString::asprintf("album\t%.2f\t%.6f", *stored.albumGain, *stored.albumPeak),
              lines[2]);
  }
  const QStringList shown = Run({u"tags"_s, u"show"_s, u"song.mp3"_s}).out.split(u'\n');
  ASSERT_GT(shown.size(), 18);
  EXPECT_EQ(shown[0], u"Trailer\tyes");
  EXPECT_EQ(shown[2], u"Title\tMine");
  EXPECT_EQ(shown[18], u"Lyrics\tla\\nla");
}

TEST_F(TwplReplayGainTest, AFileThatCannotBeMeasuredFailsAndTheOthersArePrinted) {
  ASSERT_TRUE(test::WriteToneFile(Song(u"good.flac"_s), 2, 440, 0.25));
  test::WriteAll(Song(u"bad.flac"_s), "not audio at all");
  const Result result = Run({u"replaygain"_s, u"scan"_s, u"bad.flac"_s, u"good.flac"_s});
  EXPECT_EQ(result.code, 1);
  EXPECT_TRUE(result.out.endsWith(u"\t"_s + Song(u"good.flac"_s) + u'\n'));
  EXPECT_EQ(result.out.count(u'\n'), 1);
  EXPECT_TRUE(result.err.startsWith(Song(u"bad.flac"_s) + u": "_s)) << result.err.toStdString();

  EXPECT_EQ(Run({u"replaygain"_s}).code, 2);
  EXPECT_EQ(Run({u"replaygain"_s, u"scan"_s}).code, 2);
  EXPECT_EQ(Run({u"replaygain"_s, u"measure"_s, u"good.flac"_s}).code, 2);
}

TEST_F(TwplReplayGainTest, PlayTakesAReplayGainModeAndRefusesOthers) {
  ASSERT_TRUE(test::WriteToneFile(Song(u"tone.flac"_s), 1, 440, 0.25));
  const Result played = Run({u"play"_s, u"--null-audio"_s, u"--speed"_s, u"20"_s, u"--replaygain"_s,
                             u"album"_s, u"tone.flac"_s});
  EXPECT_EQ(played.code, 0) << played.err.toStdString();
  EXPECT_EQ(played.out, u"1\t"_s + Song(u"tone.flac"_s) + u"\ndone\n"_s);
  const Result refused =
      Run({u"play"_s, u"--null-audio"_s, u"--replaygain"_s, u"loud"_s, u"tone.flac"_s});
  EXPECT_EQ(refused.code, 2);
  EXPECT_TRUE(refused.err.contains(u"--replaygain needs off, track or album"_s));
}

}  // namespace
}  // namespace audiolume
