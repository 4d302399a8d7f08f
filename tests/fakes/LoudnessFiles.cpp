#include "fakes/LoudnessFiles.h"

#include <sndfile.h>

#include <QFile>
#include <QProcess>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace audiolume::test {

namespace {

constexpr int kLoudnessRate = 44100;

bool WriteStereo(const QString& path, const std::vector<float>& samples, int format) {
  SF_INFO info{};
  info.samplerate = kLoudnessRate;
  info.channels = 2;
  info.format = format != 0 ? format : SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
  if (!file) return false;
  const sf_count_t frames = sf_count_t(samples.size() / 2);
  const bool written = sf_writef_float(file, samples.data(), frames) == frames;
  return sf_close(file) == 0 && written;
}

}  // namespace

bool WriteToneFile(const QString& path, double seconds, double frequency, double amplitude,
                   int format) {
  std::vector<float> samples(std::size_t(seconds * kLoudnessRate) * 2);
  for (std::size_t frame = 0; frame < samples.size() / 2; ++frame) {
    const double value =
        amplitude * std::sin(2 * std::numbers::pi * frequency * double(frame) / kLoudnessRate);
    samples[2 * frame] = samples[2 * frame + 1] = float(value);
  }
  return WriteStereo(path, samples, format);
}

bool WriteNoiseFile(const QString& path, double seconds, double amplitude, unsigned seed,
                    int format) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> uniform(-amplitude, amplitude);
  std::vector<float> samples(std::size_t(seconds * kLoudnessRate) * 2);
  for (float& sample : samples) sample = float(uniform(random));
  return WriteStereo(path, samples, format);
}

QList<LoudgainLine> RunLoudgain(const QStringList& files, bool album, const QString& tagMode) {
  QStringList args = {QStringLiteral("-q"), QStringLiteral("-O")};
  if (album) args.append(QStringLiteral("-a"));
  if (!tagMode.isEmpty()) args.append({QStringLiteral("-s"), tagMode});
  QProcess loudgain;
  loudgain.start(QStringLiteral("loudgain"), args + files);
  if (!loudgain.waitForFinished(120000) || loudgain.exitCode() != 0) return {};
  // File, Loudness, Range, True_Peak, True_Peak_dBTP, Reference, Will_clip, Clip_prevent,
  // Gain ("3.06 dB"), New_Peak, New_Peak_dBTP; a heading line first.
  QList<LoudgainLine> lines;
  const QStringList output = QString::fromUtf8(loudgain.readAllStandardOutput()).split(u'\n');
  for (const QString& line : output.mid(1)) {
    const QStringList fields = line.split(u'\t');
    if (fields.size() < 9) continue;
    lines.append({fields[0], fields[8].section(u' ', 0, 0).toDouble(), fields[3].toDouble()});
  }
  return lines;
}

}  // namespace audiolume::test
