#include <gtest/gtest.h>

#include <csignal>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "fakes/SineFiles.h"
#include "fakes/StalledPipe.h"
#include "fakes/TaggedFiles.h"
#include "platform/AudioDecoder.h"
#include "platform/AudioEncoders.h"
#include "platform/FileConverter.h"
#include "platform/StandardTags.h"

namespace audiolume::platform {
namespace {

using namespace Qt::Literals::StringLiterals;

// Decodes a whole file: its frame count, rate and samples.
struct Decoded {
  qint64 frames = 0;
  int rate = 0;
  QList<qint16> samples;
};

Decoded DecodeAll(std::unique_ptr<AudioDecoder> decoder) {
  Decoded result;
  result.rate = decoder->Format().sampleRate;
  QList<qint16> chunk(4096 * 2);
  while (const qint64 frames = decoder->Read(chunk.data(), 4096)) {
    result.frames += frames;
    result.samples.append(chunk.mid(0, frames * 2));
  }
  return result;
}

class FileConverterTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QTemporaryDir dir_;
};

TEST_F(FileConverterTest, ConversionsKeepLengthAndPitch) {
  ASSERT_TRUE(test::WriteSineWav(Path(u"tone.wav"_s), 3.0, 440));
  ASSERT_EQ(_ConvertFile(Path(u"tone.wav"_s), Path(u"tone.mp3"_s), kWavToMp3, 1, 1, 128000),
            kConvertDone);
  Mp3Info info;
  ASSERT_EQ(_QueryMp3File(Path(u"tone.mp3"_s), info), kConvertDone);
  EXPECT_EQ(info.bitRate, 128000);
  EXPECT_NEAR(double(info.durationMs), 3000.0, 60.0);
  EXPECT_EQ(info.sampleRateCode, 5);
  EXPECT_EQ(info.channels, 2);

  ASSERT_EQ(_ConvertFile(Path(u"tone.mp3"_s), Path(u"back.wav"_s), kMp3ToWav, 1, 1, 0),
            kConvertDone);
  const Decoded back = DecodeAll(OpenSndfileDecoder(Path(u"back.wav"_s)));
  EXPECT_NEAR(double(back.frames) / back.rate, 3.0, 0.06);
  EXPECT_NEAR(test::ZeroCrossingFrequency(back.samples, back.rate), 440.0, 5.0);

  // A re-encoded MP3 keeps the song's tag, picture and all, and its length; bytes after
  // the audio that are no tag mpg123 knows (the jukebox's own trailer) end the audio.
  ASSERT_TRUE(test::WriteStandardTag(
      Path(u"tone.mp3"_s),
      {u"Süße Nacht"_s, u"Die Band"_s, u"Album"_s, {}, 1999, 3, test::SmallPng(), u"image/png"_s}));
  {
    QFile song(Path(u"tone.mp3"_s));
    ASSERT_TRUE(song.open(QIODevice::Append));
    song.write(QByteArray(3000, ' ') + "lyrics and notes of the song");
  }
  ASSERT_EQ(_ConvertFile(Path(u"tone.mp3"_s), Path(u"low.mp3"_s), kMp3ToMp3, 1, 1, 64000),
            kConvertDone);
  ASSERT_EQ(_QueryMp3File(Path(u"low.mp3"_s), info), kConvertDone);
  EXPECT_EQ(info.bitRate, 64000);
  EXPECT_EQ(info.sampleRateCode, 5);
  EXPECT_NEAR(double(info.durationMs), 3000.0, 60.0);
  const auto tags = ReadStandardTags(Path(u"low.mp3"_s), true);
  ASSERT_TRUE(tags.has_value());
  EXPECT_EQ(tags->fields.title, u"Süße Nacht");
  EXPECT_EQ(tags->fields.year, 1999);
  EXPECT_EQ(tags->picture, test::SmallPng());
}

TEST_F(FileConverterTest, FlacOggAndOpusSongsDecodeToTheirTone) {
  ASSERT_TRUE(test::WriteSineFlac(Path(u"tone.flac"_s), 2.0));
  ASSERT_TRUE(test::WriteSineOgg(Path(u"tone.ogg"_s), 2.0));
  ASSERT_TRUE(test::WriteSineOpus(Path(u"tone.opus"_s), 2.0));
  for (const QString& name : {u"tone.flac"_s, u"tone.ogg"_s, u"tone.opus"_s}) {
    SCOPED_TRACE(name.toStdString());
    const Decoded decoded = DecodeAll(OpenSongDecoder(Path(name)));
    EXPECT_NEAR(double(decoded.frames) / decoded.rate, 2.0, 0.06);
    EXPECT_NEAR(test::ZeroCrossingFrequency(decoded.samples, decoded.rate), 440.0, 5.0);
  }
}

TEST_F(FileConverterTest, FloatWavIsScaledNotTurnedIntoNoise) {
  ASSERT_TRUE(test::WriteSineWavFloat(Path(u"float.wav"_s), 2.0, 1000));
  ASSERT_EQ(_ConvertFile(Path(u"float.wav"_s), Path(u"float.mp3"_s), kWavToMp3, 1, 1, 128000),
            kConvertDone);
  const Decoded decoded = DecodeAll(OpenMpegDecoder(Path(u"float.mp3"_s)));
  EXPECT_NEAR(test::ZeroCrossingFrequency(decoded.samples, decoded.rate), 1000.0, 10.0);
  qint16 peak = 0;
  for (const qint16 sample : decoded.samples)
    peak = std::max<qint16>(peak, qint16(std::abs(sample)));
  EXPECT_NEAR(peak, 16384, 2500);  // the tone's level, not full-scale noise
}

TEST_F(FileConverterTest, AFifoInASongsPlaceIsRefusedAtOnce) {
  // The decoder's look at the pipe lets its writer in, who then finds no reader.
  const auto previous = std::signal(SIGPIPE, SIG_IGN);
  test::StalledPipe pipe(Path(u"stalled.wav"_s), 3000);
  ASSERT_TRUE(pipe.Made());
  QElapsedTimer clock;
  clock.start();
  EXPECT_THROW(OpenSndfileDecoder(Path(u"stalled.wav"_s)), DecodeError);
  PcmFileWriter writer(Path(u"stalled.wav"_s), PcmFormat{44100, 2});
  EXPECT_FALSE(writer.IsOpen());
  EXPECT_LT(clock.elapsed(), 1500);
  EXPECT_THROW(OpenSndfileDecoder(Path(u"none.wav"_s)), DecodeError);
  pipe.Release();
  std::signal(SIGPIPE, previous);
}

TEST_F(FileConverterTest, CancelledOrFailedConversionsLeaveNothingBehind) {
  ASSERT_TRUE(test::WriteSineWav(Path(u"tone.wav"_s), 2.0));
  int calls = 0;
  const ConvertProgress cancel = [&](double) { return ++calls == 3 ? kConvertCancelledFile : 0; };
  EXPECT_EQ(_ConvertFile(Path(u"tone.wav"_s), Path(u"tone.mp3"_s), kWavToMp3, 1, 1, 128000, cancel),
            kConvertCancelledFile);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{u"tone.wav"_s});

  EXPECT_EQ(_ConvertFile(Path(u"none.wav"_s), Path(u"x.mp3"_s), kWavToMp3, 1, 1, 128000),
            kConvertCannotRead);
  QFile text(Path(u"notes.wav"_s));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("these are not samples");
  text.close();
  EXPECT_EQ(_ConvertFile(Path(u"notes.wav"_s), Path(u"x.mp3"_s), kWavToMp3, 1, 1, 128000),
            kConvertUnsupported);
  EXPECT_EQ(_ConvertFile(Path(u"tone.wav"_s), Path(u"no/dir/x.mp3"_s), kWavToMp3, 1, 1, 128000),
            kConvertCannotWrite);
  EXPECT_FALSE(QFile::exists(Path(u"x.mp3"_s)));
}

}  // namespace
}  // namespace audiolume::platform
