#include <gtest/gtest.h>
#include <sndfile.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <numeric>

#include "fakes/SignalCuts.h"
#include "platform/AudioPipeline.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;
using platform::AudioPipeline;

// Odd lengths: multiples neither of an MPEG frame (1152) nor of the decoding chunk.
const std::vector<long> kTrackFrames{44100 + 777, 31313, 52001};

class GaplessPipelineTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }

  // The signal cut into tracks of kTrackFrames, written in format.
  QStringList CutTracks(const QString& extension, int format) {
    QStringList tracks;
    long from = 0;
    for (const long frames : kTrackFrames) {
      tracks.append(Path(u"track%1."_s.arg(tracks.size() + 1) + extension));
      EXPECT_TRUE(test::WriteSignalPart(tracks.last(), signal_, from, frames, format));
      from += frames;
    }
    return tracks;
  }

  // Plays the tracks through the file output, each queued as the one before is heard.
  test::WavSamples PlayJoined(const QStringList& tracks) {
    {
      AudioPipeline pipeline(platform::MakeFileAudioSink(Path(u"out.wav"_s)));
      qsizetype next = 1;
      int joins = 0;
      bool finished = false;
      QObject::connect(&pipeline, &AudioPipeline::Joined, [&] {
        ++joins;
        pipeline.QueueNext(next < tracks.size() ? platform::OpenSongDecoder(tracks[next++])
                                                : nullptr);
      });
      QObject::connect(&pipeline, &AudioPipeline::Finished, [&] { finished = true; });
      // Opened first: the unpaced output may reach the first track's end while the second
      // is still being opened, and then nothing can join it.
      std::unique_ptr<platform::AudioDecoder> second = platform::OpenSongDecoder(tracks[next++]);
      pipeline.Play(platform::OpenSongDecoder(tracks[0]));
      EXPECT_TRUE(pipeline.QueueNext(std::move(second)));
      EXPECT_TRUE(QTest::qWaitFor([&] { return finished; }, 20000));
      EXPECT_EQ(joins, tracks.size() - 1);
    }
    return test::ReadWavSamples(Path(u"out.wav"_s));
  }

  QTemporaryDir dir_;
  long total_ = std::accumulate(kTrackFrames.begin(), kTrackFrames.end(), 0L);
  std::vector<short> signal_ = test::GlidingSignal(total_);
};

TEST_F(GaplessPipelineTest, WavAndFlacTracksComeOutAsTheSignalSampleForSample) {
  for (const auto& [extension, format] :
       {std::pair{u"wav"_s, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
        std::pair{u"flac"_s, SF_FORMAT_FLAC | SF_FORMAT_PCM_16}}) {
    const test::WavSamples out = PlayJoined(CutTracks(extension, format));
    EXPECT_EQ(out.rate, 44100);
    EXPECT_EQ(out.channels, 2);
    EXPECT_TRUE(out.samples == signal_) << extension.toStdString();
  }
}

// LAME adds a delay and padding that its Info tag records; gapless decoding removes them,
// so each track is heard as long as it was before encoding, as mpg123 decodes it.
TEST_F(GaplessPipelineTest, Mp3TracksLoseTheEncoderDelayAndPaddingAsMpg123Does) {
  const QStringList wavs = CutTracks(u"wav"_s, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  QStringList mp3s;
  std::vector<short> reference;
  for (const QString& wav : wavs) {
    mp3s.append(QString(wav).replace(u".wav"_s, u".mp3"_s));
    ASSERT_EQ(QProcess::execute(u"lame"_s, {u"--quiet"_s, u"-b"_s, u"192"_s, wav, mp3s.last()}), 0);
    const QString decoded = mp3s.last() + u".wav"_s;
    ASSERT_EQ(QProcess::execute(u"mpg123"_s, {u"-q"_s, u"-w"_s, decoded, mp3s.last()}), 0);
    const std::vector<short> part = test::ReadWavSamples(decoded).samples;
    EXPECT_EQ(part.size(), test::ReadWavSamples(wav).samples.size());
    reference.insert(reference.end(), part.begin(), part.end());
    EXPECT_EQ(platform::OpenMpegDecoder(mp3s.last())->LengthFrames(), qint64(part.size() / 2));
  }
  const test::WavSamples out = PlayJoined(mp3s);
  ASSERT_EQ(out.samples.size(), reference.size());
  int worst = 0;
  for (std::size_t i = 0; i < reference.size(); ++i) {
    worst = std::max(worst, std::abs(int(out.samples[i]) - int(reference[i])));
  }
  EXPECT_LE(worst, 2);
}

// A song of another rate cannot join: the stream ends, and the next song starts a new
// stream in the next numbered file.
TEST_F(GaplessPipelineTest, AnotherRateDoesNotJoinAndStartsTheNextFile) {
  ASSERT_TRUE(
      test::WriteSignalPart(Path(u"a.wav"_s), signal_, 0, 1001, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  ASSERT_TRUE(test::WriteSignalPart(Path(u"b.wav"_s), signal_, 1001, 999,
                                    SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000));
  AudioPipeline pipeline(platform::MakeFileAudioSink(Path(u"out.wav"_s)));
  int finished = 0;
  QObject::connect(&pipeline, &AudioPipeline::Finished, [&] { ++finished; });
  pipeline.Play(platform::OpenSongDecoder(Path(u"a.wav"_s)));
  EXPECT_FALSE(pipeline.QueueNext(platform::OpenSongDecoder(Path(u"b.wav"_s))));
  ASSERT_TRUE(QTest::qWaitFor([&] { return finished == 1; }, 5000));
  pipeline.Play(platform::OpenSongDecoder(Path(u"b.wav"_s)));
  ASSERT_TRUE(QTest::qWaitFor([&] { return finished == 2; }, 5000));
  pipeline.Stop();
  const test::WavSamples first = test::ReadWavSamples(Path(u"out.wav"_s));
  const test::WavSamples second = test::ReadWavSamples(Path(u"out-2.wav"_s));
  EXPECT_EQ(first.rate, 44100);
  EXPECT_EQ(first.samples, std::vector<short>(signal_.begin(), signal_.begin() + 2002));
  EXPECT_EQ(second.rate, 48000);
  EXPECT_EQ(second.samples, std::vector<short>(signal_.begin() + 2002, signal_.begin() + 4000));
}

}  // namespace
}  // namespace audiolume
