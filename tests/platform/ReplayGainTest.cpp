#include <gtest/gtest.h>
#include <sndfile.h>

#include <taglib/apetag.h>
#include <taglib/flacfile.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/xiphcomment.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>

#include "fakes/LoudnessFiles.h"
#include "fakes/SineFiles.h"
#include "fakes/TaggedFiles.h"
#include "platform/AudioDecoder.h"
#include "platform/GainDecoder.h"
#include "platform/LoudnessScan.h"
#include "platform/ReplayGainTags.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume::test {
namespace {

using platform::ReplayGainInfo;
using platform::ReplayGainMode;
using platform::ReplayGainSettings;

class ReplayGainTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }

  static QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  // Every sample of a song as its decoder gives it.
  static std::vector<qint16> Decoded(platform::AudioDecoder& decoder) {
    std::vector<qint16> samples;
    std::vector<qint16> block(4096 * std::size_t(decoder.Format().channels));
    while (const qint64 frames = decoder.Read(block.data(), 4096)) {
      samples.insert(samples.end(), block.begin(),
                     block.begin() + frames * decoder.Format().channels);
    }
    return samples;
  }

  static double Rms(const std::vector<qint16>& samples) {
    double sum = 0;
    for (const qint16 sample : samples) sum += double(sample) * sample;
    return std::sqrt(sum / double(std::max<std::size_t>(1, samples.size())));
  }

  static int Loudest(const std::vector<qint16>& samples) {
    int loudest = 0;
    for (const qint16 sample : samples) loudest = std::max(loudest, std::abs(int(sample)));
    return loudest;
  }

  QTemporaryDir dir_;
};

TEST_F(ReplayGainTest, TrackScansOfTonesAndNoiseMatchLoudgain) {
  const QStringList files = {Path(u"tone.flac"_s), Path(u"quiet tone.flac"_s),
                             Path(u"noise.flac"_s), Path(u"noise.ogg"_s)};
  ASSERT_TRUE(WriteToneFile(files[0], 12, 1000, 0.5));
  ASSERT_TRUE(WriteToneFile(files[1], 9.3, 220, 0.05));
  ASSERT_TRUE(WriteNoiseFile(files[2], 10, 0.3, 7));
  // Lossy coding raises the peaks of noise: low enough that 16-bit decoding cuts none.
  ASSERT_TRUE(WriteNoiseFile(files[3], 8, 0.2, 11, SF_FORMAT_OGG | SF_FORMAT_VORBIS));

  const platform::AlbumLoudness scan = platform::ScanLoudness(files);
  const QList<LoudgainLine> loudgain = RunLoudgain(files, false);
  ASSERT_EQ(loudgain.size(), files.size());
  ASSERT_EQ(scan.tracks.size(), files.size());
  for (qsizetype i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(files[i].toStdString());
    ASSERT_TRUE(scan.tracks[i].values.has_value()) << scan.tracks[i].error.toStdString();
    EXPECT_NEAR(scan.tracks[i].values->gain, loudgain[i].gain, 0.011);
    // loudgain's peak is the true peak, at or above the sample peak (far above, for noise).
    EXPECT_LE(scan.tracks[i].values->peak, loudgain[i].peak + 1e-6);
  }
  // A tone's sample peak is its amplitude, as close as 16 bits come to it.
  EXPECT_NEAR(scan.tracks[0].values->peak, 0.5, 0.0001);
  EXPECT_NEAR(scan.tracks[1].values->peak, 0.05, 0.0001);
  EXPECT_NEAR(scan.tracks[0].values->peak, loudgain[0].peak, 0.001);
  EXPECT_NEAR(scan.tracks[2].values->peak, 0.3, 0.0001);
}

TEST_F(ReplayGainTest, AlbumScanMatchesLoudgainAndTakesTheHighestPeak) {
  const QStringList files = {Path(u"1 soft.flac"_s), Path(u"2 loud.flac"_s),
                             Path(u"3 noise.flac"_s)};
  ASSERT_TRUE(WriteToneFile(files[0], 7.1, 440, 0.1));
  ASSERT_TRUE(WriteToneFile(files[1], 5.3, 3000, 0.8));
  ASSERT_TRUE(WriteNoiseFile(files[2], 6, 0.2, 3));

  const platform::AlbumLoudness scan = platform::ScanLoudness(files);
  const QList<LoudgainLine> loudgain = RunLoudgain(files, true);
  ASSERT_EQ(loudgain.size(), files.size() + 1);
  ASSERT_TRUE(scan.album.has_value());
  EXPECT_EQ(loudgain.back().file, u"Album"_s);
  EXPECT_NEAR(scan.album->gain, loudgain.back().gain, 0.011);
  EXPECT_NEAR(scan.album->peak, 0.8, 0.001);
  for (qsizetype i = 0; i < files.size(); ++i) {
    EXPECT_NEAR(scan.tracks[i].values->gain, loudgain[i].gain, 0.011);
  }
  // The album is not the mean of its tracks: it is measured over all of them together.
  EXPECT_GT(std::abs(scan.album->gain - scan.tracks[0].values->gain), 1.0);
}

TEST_F(ReplayGainTest, AFileThatCannotBeDecodedIsReportedAndLeftOutOfTheAlbum) {
  const QStringList files = {Path(u"tone.flac"_s), Path(u"broken.flac"_s)};
  ASSERT_TRUE(WriteToneFile(files[0], 4, 440, 0.25));
  QFile broken(files[1]);
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("fLaC but nothing after it");
  broken.close();

  const platform::AlbumLoudness scan = platform::ScanLoudness(files);
  ASSERT_TRUE(scan.tracks[0].values.has_value());
  EXPECT_FALSE(scan.tracks[1].values.has_value());
  EXPECT_FALSE(scan.tracks[1].error.isEmpty());
  ASSERT_TRUE(scan.album.has_value());
  EXPECT_DOUBLE_EQ(scan.album->gain, scan.tracks[0].values->gain);
}

TEST_F(ReplayGainTest, ACancelledScanHasNoAlbumValues) {
  const QStringList files = {Path(u"a.flac"_s), Path(u"b.flac"_s)};
  ASSERT_TRUE(WriteToneFile(files[0], 3, 440, 0.25));
  ASSERT_TRUE(WriteToneFile(files[1], 3, 440, 0.25));
  std::atomic_bool cancel = true;
  const platform::AlbumLoudness scan = platform::ScanLoudness(files, {&cancel, {}});
  EXPECT_FALSE(scan.album.has_value());
  EXPECT_FALSE(scan.tracks[0].values.has_value());
}

// loudgain writes ID3v2 TXXX frames into MP3 files and Vorbis comments into FLAC and Ogg.
TEST_F(ReplayGainTest, ReadsTheTagsLoudgainWrites) {
  const QStringList files = {Path(u"a.flac"_s), Path(u"b.mp3"_s), Path(u"c.ogg"_s)};
  ASSERT_TRUE(WriteToneFile(files[0], 4, 440, 0.3));
  ASSERT_TRUE(WriteSineMp3(files[1], 3));
  ASSERT_TRUE(WriteNoiseFile(files[2], 3, 0.4, 5, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
  const QList<LoudgainLine> loudgain = RunLoudgain(files, true, u"i"_s);
  ASSERT_EQ(loudgain.size(), 4);

  for (qsizetype i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(files[i].toStdString());
    const ReplayGainInfo info = platform::ReadReplayGain(files[i]);
    ASSERT_TRUE(info.trackGain && info.trackPeak && info.albumGain && info.albumPeak);
    EXPECT_NEAR(*info.trackGain, loudgain[i].gain, 0.001);
    EXPECT_NEAR(*info.trackPeak, loudgain[i].peak, 0.000001);
    EXPECT_NEAR(*info.albumGain, loudgain.back().gain, 0.001);
    EXPECT_NEAR(*info.albumPeak, loudgain.back().peak, 0.000001);
  }
}

// MP4 files keep the values in iTunes freeform atoms; the names keep their writer's case.
TEST_F(ReplayGainTest, ReadsAndWritesTheFreeformAtomsOfAnMp4File) {
  const QString m4a = Path(u"song.m4a"_s);
  QProcess ffmpeg;
  ffmpeg.start(u"ffmpeg"_s,
               {u"-loglevel"_s, u"error"_s, u"-f"_s, u"lavfi"_s, u"-i"_s,
                u"sine=frequency=440:duration=2"_s, u"-ac"_s, u"2"_s, u"-c:a"_s, u"aac"_s, m4a});
  ASSERT_TRUE(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
  const QList<LoudgainLine> loudgain = RunLoudgain({m4a}, false, u"i"_s);
  ASSERT_EQ(loudgain.size(), 1);
  ReplayGainInfo info = platform::ReadReplayGain(m4a);
  ASSERT_TRUE(info.trackGain.has_value());
  EXPECT_NEAR(*info.trackGain, loudgain[0].gain, 0.001);
  EXPECT_NEAR(*info.trackPeak, loudgain[0].peak, 0.000001);
  EXPECT_FALSE(info.albumGain.has_value());

  info.trackGain = -1.5;
  info.albumGain = -2.25;
  ASSERT_TRUE(platform::WriteReplayGain(m4a, info));
  EXPECT_EQ(platform::ReadReplayGain(m4a), info);
}

TEST_F(ReplayGainTest, ReadsAnApeTagOfAnMp3AndLowerCaseNames) {
  const QString mp3 = Path(u"ape.mp3"_s);
  ASSERT_TRUE(WriteSineMp3(mp3, 1));
  {
    TagLib::MPEG::File file(QFile::encodeName(mp3).constData(), false);
    file.APETag(true)->addValue("REPLAYGAIN_TRACK_GAIN", "+1.50 dB");
    file.APETag(true)->addValue("replaygain_track_peak", "0.5");
    ASSERT_TRUE(file.save(TagLib::MPEG::File::APE, TagLib::File::StripNone));
  }
  ASSERT_TRUE(AddId3v2Frames(mp3, {{"TXXX", u"replaygain_album_gain=-3.25 dB"_s}}));

  const ReplayGainInfo info = platform::ReadReplayGain(mp3);
  EXPECT_EQ(info.trackGain, 1.5);
  EXPECT_EQ(info.trackPeak, 0.5);
  EXPECT_EQ(info.albumGain, -3.25);
  EXPECT_FALSE(info.albumPeak.has_value());
}

TEST_F(ReplayGainTest, WritesOnlyItsFieldsIntoAFlacFile) {
  const QString flac = Path(u"song.flac"_s);
  ASSERT_TRUE(WriteToneFile(flac, 2, 440, 0.3));
  StandardTagValues tag;
  tag.title = u"Kept"_s;
  tag.artist = u"Someone"_s;
  ASSERT_TRUE(WriteStandardTag(flac, tag));
  {
    TagLib::FLAC::File file(QFile::encodeName(flac).constData(), false);
    file.xiphComment()->addField("REPLAYGAIN_ALBUM_GAIN", "-9.99 dB");
    ASSERT_TRUE(file.save());
  }

  ASSERT_TRUE(platform::WriteReplayGain(flac, {-4.256, 0.3000004, std::nullopt, std::nullopt}));

  TagLib::FLAC::File file(QFile::encodeName(flac).constData(), false);
  const TagLib::PropertyMap properties = file.xiphComment()->properties();
  EXPECT_EQ(properties["REPLAYGAIN_TRACK_GAIN"], TagLib::StringList("-4.26 dB"));
  EXPECT_EQ(properties["REPLAYGAIN_TRACK_PEAK"], TagLib::StringList("0.300000"));
  EXPECT_EQ(properties["REPLAYGAIN_ALBUM_GAIN"], TagLib::StringList("-9.99 dB"));
  EXPECT_EQ(properties["TITLE"], TagLib::StringList("Kept"));
  EXPECT_EQ(properties["ARTIST"], TagLib::StringList("Someone"));
  EXPECT_EQ(properties.size(), 5U);
  EXPECT_TRUE(
      QDir(dir_.path()).entryList({u".audiolume*"_s}, QDir::Hidden | QDir::Files).isEmpty());
}

TEST_F(ReplayGainTest, WritesIntoAnMp3sId3v2TagAndLeavesWhatFollowsTheAudio) {
  const QString mp3 = Path(u"song.mp3"_s);
  ASSERT_TRUE(WriteSineMp3(mp3, 1));
  const QByteArray tail = "TRAILER OF THE JUKEBOX";
  {
    QFile file(mp3);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(tail);
  }
  const qint64 before = QFileInfo(mp3).size();
  qint64 grew = -1;
  ASSERT_TRUE(platform::WriteReplayGain(mp3, {2.5, 0.75, -1.0, 0.9},
                                        [&grew](const QString&, qint64 grewBy) {
                                          grew = grewBy;
                                          return true;
                                        }));
  EXPECT_EQ(grew, QFileInfo(mp3).size() - before);
  EXPECT_GT(grew, 0);
  EXPECT_TRUE(ReadAll(mp3).endsWith(tail));
  EXPECT_TRUE(Id3v2Frames(mp3).contains(u"TXXX REPLAYGAIN_TRACK_GAIN\n2.50 dB"_s))
      << Id3v2Frames(mp3).join(u" | "_s).toStdString();
  const ReplayGainInfo info = platform::ReadReplayGain(mp3);
  EXPECT_EQ(info, (ReplayGainInfo{2.5, 0.75, -1.0, 0.9}));

  // The same values again change nothing; a refused move leaves the file as it was.
  const QByteArray written = ReadAll(mp3);
  ASSERT_TRUE(platform::WriteReplayGain(mp3, info, [](const QString&, qint64) { return false; }));
  EXPECT_EQ(ReadAll(mp3), written);
  EXPECT_FALSE(platform::WriteReplayGain(mp3, {1.0, 0.75, -1.0, 0.9},
                                         [](const QString&, qint64) { return false; }));
  EXPECT_EQ(ReadAll(mp3), written);
}

TEST_F(ReplayGainTest, RefusesWavFilesAndFilesOfNoAudio) {
  const QString wav = Path(u"song.wav"_s);
  ASSERT_TRUE(WriteSineWav(wav, 1));
  const QByteArray before = ReadAll(wav);
  EXPECT_FALSE(platform::WriteReplayGain(wav, {1.0, 0.5, std::nullopt, std::nullopt}));
  EXPECT_EQ(ReadAll(wav), before);
  EXPECT_FALSE(platform::WriteReplayGain(Path(u"missing.flac"_s), {1.0, 0.5, {}, {}}));
  EXPECT_EQ(platform::ReadReplayGain(Path(u"missing.flac"_s)), ReplayGainInfo());
}

TEST_F(ReplayGainTest, FactorFollowsTheModeWithFallbackPreampAndClipping) {
  const ReplayGainInfo both{-6.0, 0.5, 2.0, 0.9};
  const ReplayGainInfo trackOnly{-6.0, 0.5, std::nullopt, std::nullopt};
  const auto factor = [](const ReplayGainInfo& info, ReplayGainMode mode, double preamp,
                         bool prevent) {
    return platform::ReplayGainFactor(info, ReplayGainSettings{mode, preamp, prevent});
  };
  EXPECT_DOUBLE_EQ(factor(both, ReplayGainMode::Off, 6, true), 1.0);
  EXPECT_NEAR(factor(both, ReplayGainMode::Track, 0, true), 0.501187, 1e-6);
  EXPECT_NEAR(factor(both, ReplayGainMode::Track, 3, true), 0.707946, 1e-6);
  EXPECT_NEAR(factor(both, ReplayGainMode::Album, 0, false), 1.258925, 1e-6);
  EXPECT_NEAR(factor(both, ReplayGainMode::Album, 0, true), 1 / 0.9, 1e-9);
  EXPECT_NEAR(factor(trackOnly, ReplayGainMode::Album, 0, true), 0.501187, 1e-6);
  EXPECT_DOUBLE_EQ(factor(ReplayGainInfo(), ReplayGainMode::Track, 6, true), 1.0);
}

TEST_F(ReplayGainTest, ALoudgainTagChangesTheLevelOfTheDecodedSamplesByItsGain) {
  const QString flac = Path(u"tagged.flac"_s);
  ASSERT_TRUE(WriteToneFile(flac, 5, 440, 0.5));
  ASSERT_EQ(RunLoudgain({flac}, false, u"i"_s).size(), 1);
  const ReplayGainInfo info = platform::ReadReplayGain(flac);
  ASSERT_TRUE(info.trackGain.has_value());
  ASSERT_LT(*info.trackGain, -1.0);  // a loud tone is turned down

  const auto plain = platform::OpenSongDecoder(flac);
  const std::vector<qint16> original = Decoded(*plain);
  ReplayGainSettings settings{ReplayGainMode::Track, 0, true};
  const platform::DecoderOpener open =
      platform::ReplayGainOpener(platform::OpenSongDecoder, [&settings] { return settings; });
  const auto leveled = open(flac);
  const std::vector<qint16> played = Decoded(*leveled);
  ASSERT_EQ(played.size(), original.size());
  EXPECT_NEAR(20 * std::log10(Rms(played) / Rms(original)), *info.trackGain, 0.01);

  settings.mode = ReplayGainMode::Off;
  EXPECT_EQ(Decoded(*open(flac)), original);
}

TEST_F(ReplayGainTest, ClippingPreventionHoldsAHotTrackAtFullScale) {
  const QString flac = Path(u"hot.flac"_s);
  ASSERT_TRUE(WriteToneFile(flac, 2, 440, 0.8));
  ASSERT_TRUE(platform::WriteReplayGain(flac, {6.0, 0.8, std::nullopt, std::nullopt}));
  ReplayGainSettings settings{ReplayGainMode::Track, 0, false};
  const platform::DecoderOpener open =
      platform::ReplayGainOpener(platform::OpenSongDecoder, [&settings] { return settings; });

  const std::vector<qint16> clipped = Decoded(*open(flac));
  const auto atTheLimit = std::count_if(clipped.begin(), clipped.end(),
                                        [](qint16 sample) { return std::abs(sample) >= 32767; });
  EXPECT_GT(atTheLimit, qsizetype(clipped.size() / 10));

  // Held at 1 / 0.8: every sample is the original's times that, none cut.
  settings.preventClipping = true;
  const std::vector<qint16> held = Decoded(*open(flac));
  const std::vector<qint16> original = Decoded(*platform::OpenSongDecoder(flac));
  ASSERT_EQ(held.size(), original.size());
  double worst = 0;
  for (std::size_t i = 0; i < held.size(); ++i) {
    worst = std::max(worst, std::abs(held[i] - original[i] * 1.25));
  }
  EXPECT_LE(worst, 1.0);
  EXPECT_GE(Loudest(held), 32700);
}

}  // namespace
}  // namespace audiolume::test
