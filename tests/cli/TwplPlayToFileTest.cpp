#include <gtest/gtest.h>
#include <sndfile.h>

#include "cli/TwplFixture.h"
#include "fakes/SignalCuts.h"

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

}  // namespace
}  // namespace audiolume
