#include "fakes/SignalCuts.h"

#include <sndfile.h>

#include <QFile>
#include <cmath>
#include <numbers>

namespace audiolume::test {

std::vector<short> GlidingSignal(long frames, int rate) {
  std::vector<short> samples(std::size_t(frames) * 2);
  double left = 0;
  double right = 0;
  for (long i = 0; i < frames; ++i) {
    const double t = double(i) / rate;
    left += 2 * std::numbers::pi * (300 + 40 * t) / rate;
    right += 2 * std::numbers::pi * (510 + 25 * t) / rate;
    samples[std::size_t(2 * i)] = short(12000 * std::sin(left));
    samples[std::size_t(2 * i + 1)] = short(9000 * std::sin(right));
  }
  return samples;
}

bool WriteSignalPart(const QString& path, const std::vector<short>& signal, long from, long count,
                     int format, int rate) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 2;
  info.format = format;
  SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
  if (!file) return false;
  const bool written = sf_writef_short(file, signal.data() + 2 * from, count) == count;
  return sf_close(file) == 0 && written;
}

WavSamples ReadWavSamples(const QString& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
  if (!file) return {};
  WavSamples wav{info.samplerate, info.channels, {}};
  wav.samples.resize(std::size_t(info.frames * info.channels));
  wav.samples.resize(
      std::size_t(sf_readf_short(file, wav.samples.data(), info.frames) * info.channels));
  sf_close(file);
  return wav;
}

}  // namespace audiolume::test
