// A 5-minute WAV to a 128 kbit/s MP3 and that MP3 back to WAV, each beside `lame -b 128`
// and `mpg123 -w` on the same files, in the same run. Target: within 1.1 times of each.
// Then adding 2,000 MP3 files without trailers to a library, in files per second.
//
// Usage: bench_conversion [FOLDER]   (default: a temporary folder; needs lame and mpg123)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "BenchAdder.h"
#include "fakes/SineFiles.h"
#include "platform/FileConverter.h"

using namespace audiolume;
using namespace Qt::Literals::StringLiterals;

namespace {

double Seconds(const std::function<void()>& work) {
  QElapsedTimer timer;
  timer.start();
  work();
  return timer.nsecsElapsed() / 1e9;
}

bool RunTool(const QString& program, const QStringList& args) {
  QProcess process;
  process.start(program, args);
  return process.waitForFinished(300000) && process.exitCode() == 0;
}

void Report(const char* what, double ours, const char* tool, double theirs) {
  std::printf("%-12s %6.2f s   %-14s %6.2f s   ratio %.2f (%s)\n", what, ours, tool, theirs,
              ours / theirs, ours <= 1.1 * theirs ? "met" : "NOT met");
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QTemporaryDir temporary;
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
  const QString wav = folder + u"/five-minutes.wav"_s;
  if (!test::WriteSineWav(wav, 300.0)) return 1;

  const double encode = Seconds([&] {
    platform::_ConvertFile(wav, folder + u"/ours.mp3"_s, platform::kWavToMp3, 1, 1, 128000);
  });
  double lame = 0;
  const bool lameRan = [&] {
    bool ok = false;
    lame = Seconds([&] {
      ok = RunTool(u"lame"_s, {u"--quiet"_s, u"-b"_s, u"128"_s, wav, folder + u"/lame.mp3"_s});
    });
    return ok;
  }();
  const double decode = Seconds([&] {
    platform::_ConvertFile(folder + u"/ours.mp3"_s, folder + u"/ours.wav"_s, platform::kMp3ToWav, 1,
                           1, 0);
  });
  double mpg123 = 0;
  const bool mpg123Ran = [&] {
    bool ok = false;
    mpg123 = Seconds([&] {
      ok = RunTool(u"mpg123"_s,
                   {u"-q"_s, u"-w"_s, folder + u"/mpg123.wav"_s, folder + u"/ours.mp3"_s});
    });
    return ok;
  }();
  if (!lameRan || !mpg123Ran) {
    std::fputs("lame and mpg123 must be installed for the reference figures\n", stderr);
    return 1;
  }
  std::printf("5-minute sine tone, 44.1 kHz stereo\n");
  Report("WAV to MP3", encode, "lame -b 128", lame);
  Report("MP3 to WAV", decode, "mpg123 -w", mpg123);

  // Adding: 2,000 short MP3 files without trailers.
  const QString songs = folder + u"/songs"_s;
  QDir().mkpath(songs);
  test::WriteSineMp3(songs + u"/seed.mp3"_s, 1.0);
  QStringList files;
  for (int i = 0; i < 2000; ++i) {
    files.append(songs + u"/song"_s + QString::number(i) + u".mp3"_s);
    QFile::copy(songs + u"/seed.mp3"_s, files.last());
  }
  bench::BenchAdder adding(folder);
  qsizetype added = 0;
  const double seconds = Seconds([&] { added = adding.adder.AddSongs(files).size(); });
  std::printf("adding %lld MP3 files without trailers: %.2f s, %.0f files per second\n",
              static_cast<long long>(added), seconds, double(added) / seconds);
  return 0;
}
