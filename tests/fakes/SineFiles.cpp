#include "fakes/SineFiles.h"

#include <lame/lame.h>
#include <sndfile.h>

#include <QFile>
#include <cmath>
#include <numbers>
#include <vector>

#include "fakes/SignalCuts.h"

namespace audiolume::test {

namespace {

constexpr int kRate = 44100;

std::vector<short> SineStereo(double seconds, double frequency, int rate = kRate) {
  const auto frames = static_cast<std::size_t>(seconds * rate);
  std::vector<short> samples(frames * 2);
  for (std::size_t i = 0; i < frames; ++i) {
    const double value = 0.5 * std::sin(2 * std::numbers::pi * frequency * double(i) / rate);
    samples[2 * i] = samples[2 * i + 1] = static_cast<short>(value * 32767);
  }
  return samples;
}

}  // namespace

bool WriteSineWav(const QString& path, double seconds, double frequency) {
  return WriteSineSndfile(path, seconds, SF_FORMAT_WAV | SF_FORMAT_PCM_16, frequency);
}

bool WriteSineFlac(const QString& path, double seconds) {
  return WriteSineSndfile(path, seconds, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 440.0);
}

bool WriteSineOgg(const QString& path, double seconds) {
  return WriteSineSndfile(path, seconds, SF_FORMAT_OGG | SF_FORMAT_VORBIS, 440.0);
}

bool WriteSineOpus(const QString& path, double seconds) {
  return WriteSineSndfile(path, seconds, SF_FORMAT_OGG | SF_FORMAT_OPUS, 440.0, 48000);
}

bool WriteSineSndfile(const QString& path, double seconds, int format, double frequency, int rate) {
  const std::vector<short> samples = SineStereo(seconds, frequency, rate);
  return WriteSignalPart(path, samples, 0, long(samples.size() / 2), format, rate);
}

bool WriteSineWavFloat(const QString& path, double seconds, double frequency) {
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
  if (!file) return false;
  const std::vector<short> samples = SineStereo(seconds, frequency);
  std::vector<float> floats(samples.size());
  for (std::size_t i = 0; i < samples.size(); ++i) floats[i] = float(samples[i]) / 32768.0f;
  const sf_count_t frames = sf_count_t(floats.size() / 2);
  const bool written = sf_writef_float(file, floats.data(), frames) == frames;
  return sf_close(file) == 0 && written;
}

double ZeroCrossingFrequency(const QList<qint16>& interleavedStereo, int sampleRate) {
  // Counts rises from below -1000 to above +1000, so that coding noise around zero does
  // not count, and measures between the first and the last rise, so that the silence a
  // codec adds at either end does not either.
  qsizetype first = -1;
  qsizetype last = -1;
  int rises = 0;
  bool low = false;
  for (qsizetype i = 0; i < interleavedStereo.size(); i += 2) {
    if (interleavedStereo[i] < -1000) low = true;
    if (low && interleavedStereo[i] > 1000) {
      if (first < 0) first = i / 2;
      last = i / 2;
      ++rises;
      low = false;
    }
  }
  if (rises < 2) return 0;
  return (rises - 1) / (double(last - first) / sampleRate);
}

bool WriteSineMp3(const QString& path, double seconds, double frequency) {
  lame_global_flags* lame = lame_init();
  lame_set_in_samplerate(lame, kRate);
  lame_set_num_channels(lame, 2);
  lame_set_brate(lame, 128);
  lame_set_bWriteVbrTag(lame, 0);
  if (lame_init_params(lame) < 0) {
    lame_close(lame);
    return false;
  }
  std::vector<short> samples = SineStereo(seconds, frequency);
  const int frames = int(samples.size() / 2);
  std::vector<unsigned char> mp3(std::size_t(1.25 * frames + 7200));
  int size =
      lame_encode_buffer_interleaved(lame, samples.data(), frames, mp3.data(), int(mp3.size()));
  if (size >= 0) size += lame_encode_flush(lame, mp3.data() + size, int(mp3.size()) - size);
  lame_close(lame);
  QFile file(path);
  return size >= 0 && file.open(QIODevice::WriteOnly) &&
         file.write(reinterpret_cast<const char*>(mp3.data()), size) == size;
}

}  // namespace audiolume::test
