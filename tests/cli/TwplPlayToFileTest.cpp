#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>

#include "cli/TwplFixture.h"
#include "fakes/LoudnessFiles.h"
#include "fakes/SignalCuts.h"
#include "platform/ReplayGainTags.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

// The file output holds exactly what was played: three FLAC tracks cut from one signal
// come out as the whole of it, in one WAV.
TEST_F(TwplTest, PlayIntoAFileWritesTheQueueAsOneStream) {
  const std::vector<long> frames{11111, 9999, 12345};
  const std::vector<short> signal = test::GlidingSignal(11111 + 9999 + 12345);
  QStringList files;
  long from = 0;
  for (const long count : frames) {
    files.append(dir_.filePath(u"part%1.flac"_s.arg(files.size() + 1)));
    ASSERT_TRUE(test::WriteSignalPart(files.last(), signal, from, count,
                                      SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
    from += count;
  }
  extraEnv_.insert(u"AUDIOLUME_AUDIO"_s, u"file:"_s + dir_.filePath(u"out.wav"_s));
  const Result played = Run(QStringList{u"play"_s} + files);
  EXPECT_EQ(played.code, 0) << played.err.toStdString();
  EXPECT_EQ(played.out,
            u"1\t"_s + files[0] + u"\n2\t"_s + files[1] + u"\n3\t"_s + files[2] + u"\ndone\n"_s);
  const test::WavSamples out = test::ReadWavSamples(dir_.filePath(u"out.wav"_s));
  EXPECT_EQ(out.rate, 44100);
  EXPECT_TRUE(out.samples == signal);
}

// ReplayGain is applied to what is played, so the file output carries it; the volume is not.
TEST_F(TwplTest, PlayIntoAFileIsLeveledByTheSongsReplayGain) {
  const QString song = dir_.filePath(u"tone.flac"_s);
  ASSERT_TRUE(test::WriteToneFile(song, 1, 440, 0.5));
  ASSERT_TRUE(platform::WriteReplayGain(song, {-6.0206, 0.5, 6.0206, 0.5}));
  const auto loudest = [this](const QString& mode) {
    const QString out = dir_.filePath(mode + u".wav"_s);
    extraEnv_.insert(u"AUDIOLUME_AUDIO"_s, u"file:"_s + out);
    const Result played = Run({u"play"_s, u"--replaygain"_s, mode, dir_.filePath(u"tone.flac"_s)});
    EXPECT_EQ(played.code, 0) << played.err.toStdString();
    const std::vector<short> samples = test::ReadWavSamples(out).samples;
    EXPECT_EQ(samples.size(), size_t(2 * 44100));
    return samples.empty() ? 0 : int(*std::max_element(samples.begin(), samples.end()));
  };
  const int plain = loudest(u"off"_s);
  EXPECT_NEAR(plain, 16384, 4);
  EXPECT_NEAR(loudest(u"track"_s), plain / 2, 1);
  // Twice as loud would pass the tag's peak of 0.5 past full scale: held at full scale.
  EXPECT_NEAR(loudest(u"album"_s), 32767, 8);
}

}  // namespace
}  // namespace audiolume
