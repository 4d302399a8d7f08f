// A 5-minute WAV to a 128 kbit/s MP3 and that MP3 back to WAV, each beside `lame -b 128`
// and `mpg123 -w` on the same files, in the same run. Target: within 1.1 times of each.
// A batch of eight 1-minute WAV files to MP3 through the conversion batch (one file per
// core) beside `lame -b 128` run on each in turn. Target: 0.6 times on two cores.
// Then adding 2,000 MP3 files without trailers to a library, in files per second.
//
// Usage: bench_conversion [FOLDER]   (default: a temporary folder; needs lame and mpg123)
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <functional>

#include "BenchAdder.h"
#include "BenchTiming.h"
#include "fakes/SineFiles.h"
#include "platform/FileConverter.h"
#include "player/FileConversion.h"

using namespace audiolume;
using namespace Qt::Literals::StringLiterals;

using bench::Report;
using bench::RunTool;
using bench::Seconds;

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
  Report("WAV to MP3", encode, "lame -b 128", lame, 1.1);
  Report("MP3 to WAV", decode, "mpg123 -w", mpg123, 1.1);

  // A batch of eight WAV files, through the conversion window's batch.
  const QString batch = folder + u"/batch"_s;
  QDir().mkpath(batch + u"/ours"_s);
  QDir().mkpath(batch + u"/lame"_s);
  QStringList wavs;
  for (int i = 0; i < 8; ++i) {
    wavs.append(batch + u"/song"_s + QString::number(i) + u".wav"_s);
    if (!test::WriteSineWav(wavs.last(), 60.0, 220.0 + 55.0 * i)) return 1;
  }
  bench::BenchAdder converting(folder);
  FileConversion conversion(converting.context.catalog, converting.context.prompter,
                            converting.presence, folder);
  int converted = 0;
  const double ours = Seconds([&] {
    converted =
        conversion
            .ConvertFiles(wavs, batch + u"/ours"_s, FileConversion::Direction::WavToMp3, 128000)
            .converted;
  });
  const double theirs = Seconds([&] {
    for (const QString& file : wavs) {
      RunTool(u"lame"_s, {u"--quiet"_s, u"-b"_s, u"128"_s, file,
                          batch + u"/lame/"_s + QFileInfo(file).completeBaseName() + u".mp3"_s});
    }
  });
  if (converted != 8) return 1;
  std::printf("batch of 8 one-minute WAV files, %d cores\n", QThread::idealThreadCount());
  Report("batch to MP3", ours, "lame, in turn", theirs, 0.6);

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
