// A 5-minute WAV to a 128 kbit/s MP3 and that MP3 back to WAV, each beside `lame -b 128`
// and `mpg123 -w` on the same files, in the same run. Target: within 1.1 times of each.
// A batch of eight 1-minute WAV files to MP3 through the conversion batch (one file per
// core) beside `lame -b 128` run on each in turn. Target: 0.6 times on two cores.
// Then adding a folder tree of MP3 files with ID3v2 tags and cover pictures (10,000 unless
// told otherwise) to a library, trailers written, on the adding window's thread: songs per
// second beside TagLib reading the same files' tags and pictures (target: 1,500 a second),
// and the longest time the UI thread was busy at one stretch meanwhile (target: under 50 ms).
//
// Usage: bench_conversion [FOLDER [SONGS]]   (default: a temporary folder; needs lame and mpg123)
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

#include <unistd.h>

#include "BenchAdder.h"
#include "BenchTiming.h"
#include "catalog/SongAddJob.h"
#include "fakes/SineFiles.h"
#include "fakes/TaggedFiles.h"
#include "platform/FileConverter.h"
#include "platform/StandardTags.h"
#include "player/FileConversion.h"

using namespace audiolume;
using namespace Qt::Literals::StringLiterals;

using bench::Report;
using bench::RunTool;
using bench::Seconds;

namespace {

// A tree of folders of 100 songs, each a copy of one tagged seed whose title differs in its
// digits, so that every song has its own tags without TagLib writing each one.
QStringList TaggedSongTree(const QString& top, int count) {
  const QString seed = top + u"/seed.mp3"_s;
  QDir().mkpath(top);
  test::StandardTagValues values;
  values.title = u"Song 000000"_s;
  values.artist = u"Bench Artist"_s;
  values.album = u"Bench Album"_s;
  values.picture = QByteArray(30000, '\x55').prepend(test::SmallPng());
  values.pictureMime = u"image/png"_s;
  if (!test::WriteSineMp3(seed, 1.0) || !test::WriteStandardTag(seed, values, 3)) return {};
  QFile seedFile(seed);
  if (!seedFile.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = seedFile.readAll();
  const qsizetype digits = bytes.indexOf("000000");
  QStringList files;
  for (int i = 0; i < count; ++i) {
    const QString folder = top + u"/Artist "_s + QString::number(i / 1000) + u"/Album "_s +
                           QString::number(i / 100 % 10);
    QDir().mkpath(folder);
    QByteArray song = bytes;
    song.replace(digits, 6, QByteArray::number(i).rightJustified(6, '0'));
    QFile file(folder + u"/"_s + QString::number(i) + u" Song.mp3"_s);
    if (!file.open(QIODevice::WriteOnly) || file.write(song) != song.size()) return {};
    files.append(file.fileName());
  }
  QFile::remove(seed);
  return files;
}

struct UiStretch {
  qsizetype added = 0;
  double seconds = 0;
  double longestMs = 0;
};

// Runs the job as the adding window does while a 1 ms timer on the UI thread notes the
// longest gap between its ticks: the longest time the thread could not answer.
UiStretch AddOnThread(SongAddJob& job, const QList<FolderWalk::Found>& found) {
  UiStretch result;
  QEventLoop loop;
  QElapsedTimer sinceTick;
  QTimer ticker;
  ticker.setTimerType(Qt::PreciseTimer);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    result.longestMs = std::max(result.longestMs, sinceTick.nsecsElapsed() / 1e6 - 1.0);
    sinceTick.restart();
  });
  QObject::connect(&job, &SongAddJob::Finished, [&](const SongAdder::Report& report) {
    result.added = report.added.size();
    loop.quit();
  });
  result.seconds = Seconds([&] {
    sinceTick.start();
    ticker.start(1);
    job.Start(found, 0);
    loop.exec();
  });
  return result;
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

  const int count = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 10000;
  const QStringList files = TaggedSongTree(folder + u"/Music"_s, count);
  if (files.size() != count) return 1;
  // A collection lies on the disk long before it is added: the syncs of the adding must
  // not write out the tree just made.
  ::sync();
  int read = 0;
  const double taglib = Seconds([&] {
    for (const QString& file : files) read += platform::ReadStandardTags(file, true) ? 1 : 0;
  });
  bench::BenchAdder adding(folder);
  SongAddJob job(adding.adder, adding.genres, adding.context.catalog, adding.context.prompter,
                 adding.context.log);
  // The window lists the tree on the UI thread before the songs are added.
  QList<FolderWalk::Found> found;
  const double listing = Seconds([&] { found = FolderWalk(true).Walk({folder + u"/Music"_s}); });
  const UiStretch ui = AddOnThread(job, found);
  std::printf(
      "adding %lld tagged MP3 files with pictures, trailers written: %.2f s, %.0f songs "
      "a second (target 1,500: %s); TagLib reading %d of them: %.2f s, %.0f a second\n",
      static_cast<long long>(ui.added), ui.seconds, ui.added / ui.seconds,
      ui.added / ui.seconds >= 1500 ? "met" : "NOT met", read, taglib, read / taglib);
  std::printf(
      "longest busy stretch of the UI thread meanwhile: %.1f ms (target under 50: %s); "
      "listing the tree before: %.0f ms\n",
      ui.longestMs, ui.longestMs < 50 ? "met" : "NOT met", listing * 1000);
  return 0;
}
