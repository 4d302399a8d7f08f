// Loads, saves and exports a library of 32,767 songs with realistic field lengths, and
// prints each time beside the time plain file I/O takes to read or write the same bytes.
// Target: load and save each under 150 ms.
//
// Usage: bench_library [FOLDER]   (default: a temporary folder)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "BenchLibrary.h"
#include "library/DatabaseCommands.h"

using namespace audiolume;
using namespace Qt::Literals::StringLiterals;

namespace {

// The best of a few runs, in milliseconds: the figure least disturbed by the machine.
double BestMs(const std::function<void()>& work, int runs = 5) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer timer;
    timer.start();
    work();
    best = std::min(best, timer.nsecsElapsed() / 1e6);
  }
  return best;
}

SongRecord RealisticSong(int i) {
  SongRecord r;
  const QString n = QString::number(i);
  r.Title = u"A Song Title of Middling Length "_s + n;
  r.Album = u"The Album Called Something "_s + QString::number(i / 12);
  r.Artist = u"Artist Name "_s + QString::number(i / 40);
  r.Genre = u"Alternative Rock"_s;
  r.Tempo = u"Medium"_s;
  r.Mood = u"Mellow"_s;
  r.Situation = u"Driving"_s;
  r.Preference = u"4"_s;
  r.TrackTime = u"4:"_s + QString::number(10 + i % 50);
  r.LastPlayed = 45000 + i * 0.37;
  r.PlayFreq = i % 97;
  r.Filename = u"/home/listener/Music/Artist Name "_s + QString::number(i / 40) +
               u"/The Album Called Something/"_s + n + u" - A Song Title.mp3"_s;
  r.SerialNumber = u"8A0B-3C1D"_s;
  r.TrackNumber = static_cast<qint16>(i % 14 + 1);
  r.ArtistURL = u"http://artist.example/"_s + QString::number(i / 40);
  return r;
}

void Report(const char* what, double ours, const char* reference, double plain) {
  std::printf("%-8s %8.1f ms    %-28s %8.1f ms    ratio %.1f\n", what, ours, reference, plain,
              ours / plain);
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QTemporaryDir temporary;
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();

  bench::BenchLibrary context(folder);
  SongLibrary& library = context.library;
  for (int i = 0; i < SongLibrary::kMaxSongs; ++i) library.AddOrReplaceRecord(RealisticSong(i));
  DatabaseCommands commands(library, context.catalog, context.prompter, context.error,
                            context.check);

  const double save = BestMs([&] { library.SaveSongData(); });
  const QByteArray database = [&] {
    QFile file(library.DatabasePath());
    file.open(QIODevice::ReadOnly);
    return file.readAll();
  }();
  const double plainWrite = BestMs([&] {
    QFile file(folder + u"/plain.bin"_s);
    file.open(QIODevice::WriteOnly);
    file.write(database);
    file.flush();
  });
  const double load = BestMs([&] { library.LoadSongData(); });
  const double plainRead = BestMs([&] {
    QFile file(library.DatabasePath());
    file.open(QIODevice::ReadOnly);
    volatile qsizetype size = file.readAll().size();
    (void)size;
  });
  const QString exportFile = folder + u"/export.txt"_s;
  const double exportMs = BestMs([&] {
    QFile::remove(exportFile);
    commands.ExportDatabaseTo(exportFile);
  });
  const QByteArray exported = [&] {
    QFile file(exportFile);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
  }();
  const double plainExport = BestMs([&] {
    QFile file(folder + u"/plain.txt"_s);
    file.open(QIODevice::WriteOnly);
    file.write(exported);
    file.flush();
  });

  std::printf("library of %d songs, database %.1f MB, export %.1f MB\n", library.SongCount(),
              database.size() / 1e6, exported.size() / 1e6);
  Report("load", load, "plain read of the database", plainRead);
  Report("save", save, "plain write of the database", plainWrite);
  Report("export", exportMs, "plain write of the export", plainExport);
  std::printf("target: load and save under 150 ms each: %s\n",
              load < 150 && save < 150 ? "met" : "NOT met");
  return 0;
}
