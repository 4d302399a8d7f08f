#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "fakes/FfmpegSongs.h"
#include "fakes/QtPrinters.h"
#include "fakes/SineFiles.h"
#include "platform/AudioDecoder.h"
#include "platform/SongFormat.h"
#include "platform/StandardTags.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume::test {
namespace {

using platform::AudioDecoder;
using platform::SongFormat;

// Not a whole number of any codec's frames.
constexpr qint64 kSongFrames = 60417;

class FfmpegDecoderTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }

  QString Song(const QString& name, const char* encoder, const char* muxer) const {
    const QString path = Path(name);
    EXPECT_TRUE(
        WriteFfmpegSong(path, source_, encoder, muxer, u"Night Tr\u00e4in"_s, u"The Lossless"_s));
    return path;
  }

  static std::vector<qint16> ReadFrames(AudioDecoder& decoder, qint64 frames) {
    std::vector<qint16> samples(std::size_t(frames * decoder.Format().channels));
    qint64 done = 0;
    while (done < frames) {
      const qint64 got =
          decoder.Read(samples.data() + done * decoder.Format().channels, frames - done);
      if (got == 0) break;
      done += got;
    }
    samples.resize(std::size_t(done * decoder.Format().channels));
    return samples;
  }

  static std::vector<qint16> ReadToEnd(AudioDecoder& decoder) {
    std::vector<qint16> all;
    std::vector<qint16> chunk(4000 * std::size_t(decoder.Format().channels));
    while (const qint64 got = decoder.Read(chunk.data(), 4000)) {
      all.insert(all.end(), chunk.begin(), chunk.begin() + got * decoder.Format().channels);
    }
    return all;
  }

  std::vector<qint16> SourceFrom(qint64 frame, qint64 frames) const {
    return {source_.begin() + frame * 2, source_.begin() + (frame + frames) * 2};
  }

  // The shift (in frames, -3 to 3) at which decoded samples match the source best.
  std::vector<double> ErrorsByShift(const std::vector<qint16>& decoded) const {
    std::vector<double> errors;
    for (qint64 shift = -3; shift <= 3; ++shift) {
      double error = 0;
      for (qint64 i = 10000 * 2; i < 50000 * 2; ++i) {
        const double difference =
            double(decoded[std::size_t(i)]) - source_[std::size_t(i + shift * 2)];
        error += difference * difference;
      }
      errors.push_back(error);
    }
    return errors;
  }

  static int LargestDifference(const std::vector<qint16>& a, const std::vector<qint16>& b) {
    int largest = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
      largest = std::max(largest, std::abs(int(a[i]) - int(b[i])));
    }
    return largest;
  }

  QTemporaryDir dir_;
  const std::vector<qint16> source_ = TwoToneStereo(kSongFrames);
};

TEST_F(FfmpegDecoderTest, LosslessSongsDecodeSampleForSampleAtTheirExactLength) {
  for (const QString& path :
       {Song(u"alac.m4a"_s, "alac", "ipod"), Song(u"pack.wv"_s, "wavpack", "wv")}) {
    SCOPED_TRACE(path.toStdString());
    const auto decoder = platform::OpenSongDecoder(path);
    EXPECT_EQ(decoder->Format(), (platform::PcmFormat{44100, 2}));
    EXPECT_EQ(decoder->LengthFrames(), kSongFrames);
    EXPECT_TRUE(ReadToEnd(*decoder) == source_);

    // A seek lands on the very sample, forwards and back.
    decoder->Seek(41234);
    EXPECT_TRUE(ReadFrames(*decoder, 5000) == SourceFrom(41234, 5000));
    decoder->Seek(777);
    EXPECT_TRUE(ReadFrames(*decoder, 5000) == SourceFrom(777, 5000));
    decoder->Seek(0);
    EXPECT_TRUE(ReadToEnd(*decoder) == source_);
  }
}

// AAC drops its encoder's priming samples, as the MP4 file's edit list says, so that the
// song is as long as what was encoded and in step with it.
TEST_F(FfmpegDecoderTest, AacInMp4HasTheEncodedLengthAndTheSignal) {
  const QString path = Song(u"aac.m4a"_s, "aac", "ipod");
  const auto decoder = platform::OpenSongDecoder(path);
  EXPECT_EQ(decoder->Format(), (platform::PcmFormat{44100, 2}));
  EXPECT_EQ(decoder->LengthFrames(), kSongFrames);
  const std::vector<qint16> all = ReadToEnd(*decoder);
  ASSERT_EQ(qint64(all.size()), kSongFrames * 2);
  // Lossy, yet in step with the source: it matches best unshifted.
  const std::vector<double> errors = ErrorsByShift(all);
  EXPECT_EQ(std::min_element(errors.begin(), errors.end()) - errors.begin(), 3)
      << ::testing::PrintToString(errors);

  decoder->Seek(30000);
  const std::vector<qint16> sought = ReadFrames(*decoder, 4000);
  EXPECT_LE(LargestDifference(sought, {all.begin() + 60000, all.begin() + 68000}), 2);
}

// WMA counts milliseconds and raw AAC nothing: their length is what their packets add up
// to, and they play for exactly that long, the tone in its place.
TEST_F(FfmpegDecoderTest, WmaAndRawAacPlayForTheLengthTheirPacketsAddUpTo) {
  for (const QString& path :
       {Song(u"song.wma"_s, "wmav2", "asf"), Song(u"song.aac"_s, "aac", "adts")}) {
    SCOPED_TRACE(path.toStdString());
    const auto decoder = platform::OpenSongDecoder(path);
    EXPECT_GE(decoder->LengthFrames(), kSongFrames);
    EXPECT_LT(decoder->LengthFrames(), kSongFrames + 4096);
    const std::vector<qint16> all = ReadToEnd(*decoder);
    EXPECT_EQ(qint64(all.size()), decoder->LengthFrames() * 2);
    EXPECT_NEAR(ZeroCrossingFrequency(QList<qint16>(all.begin(), all.end()), 44100), 440, 2);
    decoder->Seek(decoder->LengthFrames() - 100);
    EXPECT_EQ(qint64(ReadToEnd(*decoder).size()), 200);
  }
  EXPECT_EQ(platform::SongFormatOf(Path(u"song.wma"_s)), SongFormat::Asf);
  EXPECT_EQ(platform::SongFormatOf(Path(u"song.aac"_s)), SongFormat::Aac);
  EXPECT_EQ(platform::ReadStandardTags(Path(u"song.wma"_s), false)->fields.artist, u"The Lossless");
}

TEST_F(FfmpegDecoderTest, TheContentTellsTheFormatWhateverTheName) {
  const QString m4a = Song(u"phone song.mp3"_s, "aac", "ipod");
  const QString pack = Song(u"pack.flac"_s, "wavpack", "wv");
  EXPECT_EQ(platform::SongFormatOf(m4a), SongFormat::Mp4);
  EXPECT_EQ(platform::SongFormatOf(pack), SongFormat::WavPack);
  EXPECT_FALSE(platform::TakesTrailingTags(m4a));
  QFile ape(Path(u"monkey.mp3"_s));  // FFmpeg makes no APE files: its header is enough here
  ASSERT_TRUE(ape.open(QIODevice::WriteOnly));
  ape.write(QByteArray("MAC \x96\x0f") + QByteArray(100, '\0'));
  ape.close();
  EXPECT_EQ(platform::SongFormatOf(ape.fileName()), SongFormat::Ape);
  EXPECT_FALSE(platform::TakesTrailingTags(ape.fileName()));
  EXPECT_EQ(platform::OpenSongDecoder(m4a)->LengthFrames(), kSongFrames);
  EXPECT_EQ(platform::OpenPlayerDecoder(pack)->LengthFrames(), kSongFrames);
  for (const QString& name :
       {u"a.m4a"_s, u"b.M4A"_s, u"c.wma"_s, u"d.wv"_s, u"e.ape"_s, u"f.aac"_s, u"g.mp4"_s}) {
    EXPECT_TRUE(platform::IsSongFileName(name)) << name.toStdString();
  }
}

TEST_F(FfmpegDecoderTest, TagsAreReadFromTheFormatsFfmpegPlays) {
  for (const QString& path :
       {Song(u"alac.m4a"_s, "alac", "ipod"), Song(u"aac.mp3"_s, "aac", "ipod"),
        Song(u"pack.wv"_s, "wavpack", "wv")}) {
    SCOPED_TRACE(path.toStdString());
    const auto tags = platform::ReadStandardTags(path, false);
    ASSERT_TRUE(tags.has_value());
    EXPECT_EQ(tags->fields.title, u"Night Tr\u00e4in");
    EXPECT_EQ(tags->fields.artist, u"The Lossless");
  }
}

TEST_F(FfmpegDecoderTest, FilesThatAreNoSongAreRefused) {
  QFile noise(Path(u"noise.m4a"_s));
  ASSERT_TRUE(noise.open(QIODevice::WriteOnly));
  QByteArray bytes(30000, '\0');
  for (int i = 0; i < bytes.size(); ++i) bytes[i] = char((i * 7919) % 251);
  noise.write(bytes);
  noise.close();
  EXPECT_THROW(platform::OpenSongDecoder(noise.fileName()), platform::DecodeError);
  EXPECT_THROW(platform::OpenFfmpegDecoder(Path(u"missing.m4a"_s)), platform::DecodeError);

  // A song cut short plays what is left and ends.
  const QString whole = Song(u"cut.wv"_s, "wavpack", "wv");
  QFile cut(whole);
  ASSERT_TRUE(cut.resize(cut.size() / 2));
  const auto decoder = platform::OpenSongDecoder(whole);
  EXPECT_EQ(decoder->LengthFrames(), kSongFrames);  // as its header says
  const std::vector<qint16> left = ReadToEnd(*decoder);
  EXPECT_GT(qint64(left.size()), kSongFrames / 3 * 2);
  EXPECT_LT(qint64(left.size()), kSongFrames / 3 * 2 * 2);
  EXPECT_TRUE(std::equal(left.begin(), left.end(), source_.begin()));
}

}  // namespace
}  // namespace audiolume::test
