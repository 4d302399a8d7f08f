// Sending songs to a portable player that mounts as a folder, through the export:
// 20 MP3 files (about 60 MB) sent as they are to a folder on the same disk, beside `cp`
// of the same files (target: within 1.2 times); then 10 of them re-encoded from 192 to
// 128 kbit/s on one core, beside `lame --mp3input -b 128` run on each in turn (target:
// within 1.1 times), and the same export with one re-encoding per core for comparison.
// Each song the export sends is synced to the device before it takes its name; `cp` is
// also shown followed by `sync`, which is what the person must do before unplugging.
//
// Usage: bench_export [FOLDER]   (default: a temporary folder; needs lame and cp)
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "BenchLibrary.h"
#include "BenchTiming.h"
#include "fakes/SineFiles.h"
#include "library/SongFilePresence.h"
#include "platform/FileConverter.h"
#include "player/RioExport.h"

using namespace audiolume;
using namespace Qt::Literals::StringLiterals;

using bench::Report;
using bench::RunTool;
using bench::Seconds;

namespace {

// Runs one export to its end; the number of songs that arrived.
int Export(bench::BenchLibrary& context, const QString& folder, const QStringList& files,
           const QString& device, int bitRate, int workers) {
  SongFilePresence presence({}, context.catalog, context.prompter);
  RioExport rio(context.catalog, context.prompter, presence, folder, platform::MakeFolderPlayer);
  rio.SetWorkers(workers);
  QList<PlayListEntry> songs;
  for (const QString& file : files) songs.append({file, QFileInfo(file).baseName(), {}, {}});
  QEventLoop loop;
  QObject::connect(&rio, &RioExport::Finished, &loop, &QEventLoop::quit);
  rio.ExportToRio(songs, {bitRate, false, device});
  if (rio.IsRunning()) loop.exec();
  return rio.Outcome().sent;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QTemporaryDir temporary;
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
  const QString songs = folder + u"/songs"_s;
  for (const QString& name : {u"songs"_s, u"player2"_s, u"player3"_s, u"lame"_s}) {
    QDir(folder).mkpath(name);
  }
  // One song of about 3 MB at 192 kbit/s, copied under 20 names.
  const QString wav = folder + u"/tone.wav"_s;
  if (!test::WriteSineWav(wav, 125.0, 330.0) ||
      platform::_ConvertFile(wav, songs + u"/seed.mp3"_s, platform::kWavToMp3, 1, 1, 192000) != 0) {
    return 1;
  }
  QStringList files;
  for (int i = 1; i <= 20; ++i) {
    files.append(songs + u"/Song "_s + QString::number(i) + u".mp3"_s);
    QFile::copy(songs + u"/seed.mp3"_s, files.last());
  }
  bench::BenchLibrary context(folder);
  RunTool(u"sync"_s, {});

  // The best of three rounds each, every round into fresh folders after a sync, so that
  // one round does not pay for the writing of another.
  double ours = 1e9;
  double cp = 1e9;
  double cpSync = 1e9;
  for (int round = 0; round < 3; ++round) {
    const QString suffix = QString::number(round);
    for (const QString& name : {u"player"_s, u"cp"_s, u"cp-sync"_s}) {
      QDir(folder).mkpath(name + suffix);
    }
    RunTool(u"sync"_s, {});
    int sent = 0;
    ours = std::min(ours, Seconds([&] {
                      sent = Export(context, folder, files, folder + u"/player"_s + suffix, 0, 0);
                    }));
    if (sent != 20) return 1;
    RunTool(u"sync"_s, {});
    cp = std::min(
        cp, Seconds([&] { RunTool(u"cp"_s, files + QStringList{folder + u"/cp"_s + suffix}); }));
    RunTool(u"sync"_s, {});
    cpSync = std::min(cpSync, Seconds([&] {
                        RunTool(u"cp"_s, files + QStringList{folder + u"/cp-sync"_s + suffix});
                        RunTool(u"sync"_s, {});
                      }));
  }
  std::printf("20 MP3 files, %.0f MB, sent as they are\n",
              double(QFileInfo(files.first()).size()) * 20 / 1e6);
  Report("export", ours, "cp", cp, 1.2);
  Report("export", ours, "cp, then sync", cpSync, 1.2);

  const QStringList ten = files.mid(0, 10);
  int oneCore = 0;
  const double single =
      Seconds([&] { oneCore = Export(context, folder, ten, folder + u"/player2"_s, 128000, 1); });
  const double lame = Seconds([&] {
    for (const QString& file : ten) {
      RunTool(u"lame"_s, {u"--quiet"_s, u"--mp3input"_s, u"-b"_s, u"128"_s, file,
                          folder + u"/lame/"_s + QFileInfo(file).fileName()});
    }
  });
  int allCores = 0;
  const double both =
      Seconds([&] { allCores = Export(context, folder, ten, folder + u"/player3"_s, 128000, 0); });
  if (oneCore != 10 || allCores != 10) return 1;
  std::printf("10 MP3 files re-encoded from 192 to 128 kbit/s and sent\n");
  Report("export, one core", single, "lame --mp3input, in turn", lame, 1.1);
  std::printf("%-22s %6.2f s   (%d cores)\n", "export, every core", both,
              QThread::idealThreadCount());
  return 0;
}
