// Recording a 10-minute CD image (one track of a sine tone with a little noise, as a
// CUE/BIN pair) with the ripper twcd, to MP3 at 128 kbit/s beside LAME encoding the same
// samples (`lame -r -b 128` on the raw audio), to FLAC beside `flac -5` of the raw audio,
// and to WAV beside `cp` of the .bin, in the same run (and beside cp followed by sync).
// Targets: within 1.2 times of LAME and of flac, within 2 times of cp.
//
// Usage: bench_record [FOLDER]   (default: a temporary folder; needs lame and flac)
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

#include "BenchTiming.h"

using audiolume::bench::Report;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kSeconds = 600;

bool WriteImage(const QString& folder) {
  QFile bin(folder + u"/disc.bin"_s);
  if (!bin.open(QIODevice::WriteOnly)) return false;
  QRandomGenerator noise(7);
  std::vector<qint16> second(44100 * 2);
  for (int s = 0; s < kSeconds; ++s) {
    for (int i = 0; i < 44100; ++i) {
      const double t = (double(s) * 44100 + i) / 44100.0;
      const auto value =
          qint16(9000 * std::sin(2 * std::numbers::pi * 440 * t) + int(noise.bounded(400)) - 200);
      second[2 * std::size_t(i)] = value;
      second[2 * std::size_t(i) + 1] = qint16(-value);
    }
    if (bin.write(reinterpret_cast<const char*>(second.data()), qint64(second.size()) * 2) < 0)
      return false;
  }
  QFile cue(folder + u"/disc.cue"_s);
  return cue.open(QIODevice::WriteOnly) &&
         cue.write("FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n") > 0;
}

double Run(const QString& program, const QStringList& args, const QString& folder, bool& ok) {
  return audiolume::bench::Seconds([&] { ok = audiolume::bench::RunTool(program, args, folder); });
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QTemporaryDir temporary;
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
  if (!WriteImage(folder)) return 1;
  const QString twcd = QCoreApplication::applicationDirPath() + u"/../libexec/audiolume/twcd"_s;
  qputenv("AUDIOLUME_CD_DRIVES", (u"D="_s + folder + u"/disc.cue"_s).toUtf8());
  const auto control = [&folder](const QString& file) {
    QFile ini(folder + u"/TWCD.ini"_s);
    ini.open(QIODevice::WriteOnly);
    ini.write("[TWCD]\nFILENAME=" + file.toUtf8() + "\nDRIVELETTER=D\nDRIVENUMBER=1\n");
  };
  bool ok = true;
  bool all = true;
  control(folder + u"/ours.mp3"_s);
  const double mp3 =
      Run(twcd, {u"/T"_s, u"1"_s, u"/O"_s, u"/format"_s, u"MP3 128:103:8"_s}, folder, ok);
  all = all && ok;
  const double lame =
      Run(u"lame"_s,
          {u"--quiet"_s, u"-r"_s, u"-s"_s, u"44.1"_s, u"--bitwidth"_s, u"16"_s,
           u"--little-endian"_s, u"--signed"_s, u"-b"_s, u"128"_s, u"disc.bin"_s, u"lame.mp3"_s},
          folder, ok);
  all = all && ok;
  // FLAC and WAV: the best of three rounds each, every round after a sync and into a new
  // file, so that one round does not pay for the writing of another. twcd puts the song
  // on the disk before it takes its name; cp leaves it in memory, hence cp then sync as
  // well. round(n) runs round n and says how long it took.
  const auto best = [&](const std::function<double(const QString& n)>& round) {
    double fastest = 1e9;
    for (int n = 0; n < 3 && all; ++n) {
      Run(u"sync"_s, {}, folder, ok);
      fastest = std::min(fastest, round(QString::number(n)));
      all = all && ok;
    }
    return fastest;
  };
  const auto rip = [&](const QString& file, const QString& format) {
    control(folder + u'/' + file);
    return Run(twcd, {u"/T"_s, u"1"_s, u"/O"_s, u"/format"_s, format}, folder, ok);
  };
  const double flac =
      best([&](const QString& n) { return rip(u"ours"_s + n + u".flac"_s, u"FLAC"_s); });
  const double reference = best([&](const QString& n) {
    return Run(u"flac"_s,
               {u"-5"_s, u"-s"_s, u"-f"_s, u"--force-raw-format"_s, u"--endian=little"_s,
                u"--sign=signed"_s, u"--channels=2"_s, u"--bps=16"_s, u"--sample-rate=44100"_s,
                u"-o"_s, u"flac"_s + n + u".flac"_s, u"disc.bin"_s},
               folder, ok);
  });
  const double wav =
      best([&](const QString& n) { return rip(u"ours"_s + n + u".wav"_s, u"WAV"_s); });
  const double copy = best([&](const QString& n) {
    return Run(u"cp"_s, {u"disc.bin"_s, u"copy"_s + n + u".bin"_s}, folder, ok);
  });
  const double copySync = best([&](const QString& n) {
    return Run(u"sh"_s, {u"-c"_s, u"cp disc.bin sync"_s + n + u".bin && sync"_s}, folder, ok);
  });
  if (!all) {
    std::fputs("twcd, lame, flac or cp failed (lame and flac must be installed)\n", stderr);
    return 1;
  }
  std::printf("10-minute CD image, one track\n");
  Report("to MP3 128", mp3, "lame -r -b 128", lame, 1.2);
  Report("to FLAC", flac, "flac -5 of the samples", reference, 1.2);
  Report("to WAV", wav, "cp of the .bin", copy, 2.0);
  Report("to WAV", wav, "cp, then sync", copySync, 2.0);
  return 0;
}
