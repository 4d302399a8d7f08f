#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include <taglib/flacfile.h>
#include <taglib/xiphcomment.h>

#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include "fakes/DiscImages.h"
#include "platform/CdRipper.h"

namespace audiolume::platform {
namespace {

using namespace Qt::Literals::StringLiterals;

constexpr int kSectorBytes = 2352;

/** A drive that reads a few samples differently each time, and answers a read of the
 *  sectors it read last from its cache. */
class JitteryCachedDrive {
 public:
  bool Read(int sector, std::vector<char>& out, int count) {
    out.resize(std::size_t(count) * kSectorBytes);
    if (sector == cachedAt_ && count <= int(cache_.size() / kSectorBytes)) {
      std::memcpy(out.data(), cache_.data(), out.size());
      return true;
    }
    std::uniform_int_distribution<int> byte(0, 255);
    for (char& b : out) b = char(byte(random_));
    cache_ = out;
    cachedAt_ = sector;
    return true;
  }

 private:
  std::mt19937 random_{7};
  std::vector<char> cache_;
  int cachedAt_ = -1;
};

TEST(CdRipperTest, TheDriveTestReadsPastTheDrivesCache) {
  JitteryCachedDrive drive;
  CdRipper::DriveTest result;
  CdRipper::CompareReads([&drive](int sector, std::vector<char>& out,
                                  int count) { return drive.Read(sector, out, count); },
                         1000, 1500, 90000, 1500, result);
  EXPECT_TRUE(result.readable);
  EXPECT_EQ(result.sectorsRead, 1500);
  EXPECT_EQ(result.mismatches, 1500) << "every second read came from the disc";

  // A drive that fails under test is not readable.
  CdRipper::DriveTest failed;
  CdRipper::CompareReads([](int, std::vector<char>&, int) { return false; }, 0, 10, 100, 100,
                         failed);
  EXPECT_FALSE(failed.readable);
}

TEST(CdRipperTest, ADiscShorterThanADrivesCacheIsTestedWithWhatItHas) {
  QTemporaryDir dir;
  // Four seconds of audio: less than the reads away from the tested sectors ask for.
  const QString cue = test::WriteCueBin(dir.path(), u"short"_s, {{300}});
  CdRipper::DriveTest result;
  ASSERT_TRUE(CdRipper::TestDrive(cue, 750, result));
  EXPECT_TRUE(result.readable);
  EXPECT_EQ(result.sectorsRead, 300);
  EXPECT_EQ(result.mismatches, 0);
  EXPECT_GT(result.sectorsPerRead, 0);
}

TEST(CdRipperTest, TheDrivesSectionSaysHowItIsRead) {
  const auto from = [](const QMap<QString, QString>& section) {
    return ReadOptions::FromDriveSection([&section](const QString& key) { return section[key]; });
  };
  // What the drive test writes: full paranoia at the fastest speed, libcdio's own sizes.
  ReadOptions options = from({{u"SPEED"_s, u"0"_s},
                              {u"MULTIPASS"_s, u"YES"_s},
                              {u"BLOCK"_s, u"25"_s},
                              {u"OVERLAP"_s, u"0"_s},
                              {u"MAX_MISMATCHES"_s, u"20"_s},
                              {u"NJF"_s, u"YES"_s}});
  EXPECT_EQ(options.checking, ReadOptions::Checking::Full);
  EXPECT_EQ(options.CheckingText(), u"FULL"_s);
  EXPECT_EQ(options.speed, 0);
  EXPECT_EQ(options.sectorsPerRead, 25);
  EXPECT_EQ(options.overlap, 0);
  EXPECT_EQ(options.retries, 20);

  // A section never written reads fully checked too.
  EXPECT_EQ(from({}).checking, ReadOptions::Checking::Full);
  EXPECT_EQ(from({}).retries, 20);

  // The advanced options' choices, and values out of range brought into it.
  options = from({{u"SPEED"_s, u"8"_s},
                  {u"MULTIPASS"_s, u"no"_s},
                  {u"BLOCK"_s, u"500"_s},
                  {u"OVERLAP"_s, u"90"_s},
                  {u"MAX_MISMATCHES"_s, u"5"_s}});
  EXPECT_EQ(options.checking, ReadOptions::Checking::OverlapOnly);
  EXPECT_EQ(options.speed, 8);
  EXPECT_EQ(options.sectorsPerRead, 100);
  EXPECT_EQ(options.overlap, 75);
  EXPECT_EQ(options.retries, 5);
  options = from({{u"SPEED"_s, u"fast"_s}, {u"BLOCK"_s, u"-3"_s}, {u"NJF"_s, u"NO"_s}});
  EXPECT_EQ(options.checking, ReadOptions::Checking::Off);
  EXPECT_EQ(options.speed, 0);
  EXPECT_EQ(options.sectorsPerRead, 0);
}

TEST(CdRipperTest, ARipSaysHowTheDriveTookItsOptions) {
  QTemporaryDir dir;
  const QString cue = test::WriteCueBin(dir.path(), u"disc"_s, {{75}});
  RipRequest request;
  request.device = cue;
  request.format = RipRequest::Format::Wav;
  request.output = dir.filePath(u"track.wav"_s);
  request.reading.speed = 8;
  request.reading.sectorsPerRead = 10;
  request.reading.overlap = 5;
  request.reading.retries = 7;
  RipProgress result;
  ASSERT_EQ(CdRipper::Rip(request, {}, result), CdRipper::kDone);
  EXPECT_EQ(result.applied.sectorsPerRead, 10) << "as libcdio's drive holds it";
  EXPECT_EQ(result.applied.speed, -1) << "an image has no speed to set";
  // An image reads the same every time: it is read plainly, without paranoia's settings.
  EXPECT_EQ(result.applied.checking, ReadOptions::Checking::Off);
  EXPECT_EQ(result.applied.overlap, 0);
  EXPECT_EQ(result.applied.retries, 0);
}

// A rip of one track of the image into a file of the format; the ripper's exit code.
int RipOfTrack(const QString& cue, int track, RipRequest::Format format, const QString& output,
               RipProgress& result, int offset = 0) {
  RipRequest request;
  request.device = cue;
  request.track = track;
  request.format = format;
  request.output = output;
  request.sampleOffset = offset;
  request.comments = {u"Wörter"_s, u"Band"_s, u"Album"_s, track, u"1999"_s, u"Trip-Hop"_s};
  return CdRipper::Rip(request, {}, result);
}

TEST(CdRipperTest, AFlacRipIsTheDiscsAudioWithItsVorbisComments) {
  QTemporaryDir dir;
  // Noise, which FLAC cannot shrink, beside a tone, which it can.
  const QList<test::ImageTrack> tracks = {{150}, {300, true, true}, {150}};
  const QString cue = test::WriteCueBin(dir.path(), u"disc"_s, tracks);
  for (const int track : {2, 3}) {
    const QString flac = dir.filePath(u"%1.flac"_s.arg(track));
    RipProgress fromFlac;
    ASSERT_EQ(RipOfTrack(cue, track, RipRequest::Format::Flac, flac, fromFlac), CdRipper::kDone);
    EXPECT_TRUE(test::DecodedAudio(flac) == test::AudioOfTrack(tracks, track)) << track;
    // The sums are those of the audio, as a WAV rip of the track has them.
    RipProgress fromWav;
    ASSERT_EQ(RipOfTrack(cue, track, RipRequest::Format::Wav, dir.filePath(u"%1.wav"_s.arg(track)),
                         fromWav),
              CdRipper::kDone);
    EXPECT_EQ(fromFlac.crc32, fromWav.crc32);
    EXPECT_EQ(fromFlac.accurateRipV1, fromWav.accurateRipV1);
    EXPECT_EQ(fromFlac.accurateRipV2, fromWav.accurateRipV2);
    EXPECT_EQ(fromFlac.peak, fromWav.peak);
    EXPECT_FALSE(QFile::exists(flac + u".part"_s));
  }
  EXPECT_LT(QFile(dir.filePath(u"3.flac"_s)).size(), QFile(dir.filePath(u"3.wav"_s)).size() / 2)
      << "a tone is stored in less than half the room";

  TagLib::FLAC::File file(QFile::encodeName(dir.filePath(u"2.flac"_s)).constData());
  ASSERT_TRUE(file.isValid());
  EXPECT_FALSE(file.hasID3v1Tag());
  EXPECT_FALSE(file.hasID3v2Tag());
  ASSERT_TRUE(file.hasXiphComment());
  TagLib::Ogg::XiphComment* comments = file.xiphComment();
  EXPECT_EQ(comments->title().to8Bit(true), "Wörter");
  EXPECT_EQ(comments->artist().to8Bit(true), "Band");
  EXPECT_EQ(comments->album().to8Bit(true), "Album");
  EXPECT_EQ(comments->track(), 2u);
  EXPECT_EQ(comments->year(), 1999u);
  EXPECT_EQ(comments->genre().to8Bit(true), "Trip-Hop");
}

TEST(CdRipperTest, TheDrivesReadOffsetShiftsTheReadingWithSilenceOutsideTheDisc) {
  QTemporaryDir dir;
  const QList<test::ImageTrack> tracks = {{40, true, true}, {30, true, true}, {40, true, true}};
  const QString cue = test::WriteCueBin(dir.path(), u"disc"_s, tracks);
  // A drive that delivers late is read later: across into the next track, and past the
  // disc's end into silence; one that delivers early is read earlier, from before the
  // disc's start. Offsets of whole sectors and of less, and more than a sector.
  const std::pair<int, int> cases[] = {{2, 6},  {2, -6},  {2, 1234}, {1, -48}, {1, 667},
                                       {3, 30}, {3, 700}, {3, -588}, {1, -700}};
  for (const auto& [track, offset] : cases) {
    const QString wav = dir.filePath(u"%1_%2.wav"_s.arg(track).arg(offset));
    RipProgress result;
    ASSERT_EQ(RipOfTrack(cue, track, RipRequest::Format::Wav, wav, result, offset), CdRipper::kDone)
        << track << ' ' << offset;
    const QByteArray expected = test::AudioOfTrackShifted(tracks, track, offset);
    EXPECT_TRUE(test::DecodedAudio(wav) == expected) << track << ' ' << offset;
  }
  // The reference itself: silence where the shifted reading leaves the disc.
  const QByteArray late = test::AudioOfTrackShifted(tracks, 3, 700);
  EXPECT_EQ(late.right(700 * 4), QByteArray(700 * 4, '\0'));
  EXPECT_NE(late.left(4), QByteArray(4, '\0'));
}

}  // namespace
}  // namespace audiolume::platform
