// Loads, saves and exports a library of 32,767 songs with realistic field lengths, and
// prints each time beside the time plain file I/O takes to read or write the same bytes.
// "load" is a load into an empty library; "reload" replaces a loaded library by the
// database again (loading another database), which also frees the old rows; "cold" is the
// first load of a new process, which also maps the memory the rows take for the first
// time (page faults, costly on virtual machines).
// Targets: load at most 25 ms, save at most 40 ms.
//
// Usage: bench_library [FOLDER]   (default: a temporary folder)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "BenchLibrary.h"
#include "library/DatabaseCommands.h"

using namespace audiolume;
using namespace Qt::Literals::StringLiterals;

namespace {

// The best of a few runs, in milliseconds: the figure least disturbed by the machine.
double BestOf(const std::function<double()>& measure, int runs = 5) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) best = std::min(best, measure());
  return best;
}

double BestMs(const std::function<void()>& work, int runs = 5) {
  return BestOf(
      [&] {
        QElapsedTimer timer;
        timer.start();
        work();
        return timer.nsecsElapsed() / 1e6;
      },
      runs);
}

void Report(const char* what, double ours, const char* reference, double plain) {
  std::printf("%-8s %8.1f ms    %-28s %8.1f ms    ratio %.1f\n", what, ours, reference, plain,
              ours / plain);
}

}  // namespace

double ColdLoadMs(const QString& folder) {
  return BestOf([&] {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {u"--load-once"_s, folder});
    child.waitForFinished(60000);
    return child.readAllStandardOutput().trimmed().toDouble();
  });
}

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  if (argc == 3 && QByteArray(argv[1]) == "--load-once") {
    return bench::PrintLoadMs(QString::fromLocal8Bit(argv[2]));
  }
  QTemporaryDir temporary;
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();

  bench::BenchLibrary context(folder);
  SongLibrary& library = context.library;
  for (int i = 0; i < SongLibrary::kMaxSongs; ++i)
    library.AddOrReplaceRecord(bench::RealisticSong(i));
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
  const double load = BestOf([&] {
    library.Clear();  // the old rows are freed before the timer starts
    QElapsedTimer timer;
    timer.start();
    library.LoadSongData();
    return timer.nsecsElapsed() / 1e6;
  });
  const double reload = BestMs([&] { library.LoadSongData(); });
  const double cold = ColdLoadMs(folder);
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
  Report("reload", reload, "plain read of the database", plainRead);
  Report("cold", cold, "plain read of the database", plainRead);
  Report("save", save, "plain write of the database", plainWrite);
  Report("export", exportMs, "plain write of the export", plainExport);
  std::printf("target: load at most 25 ms, save at most 40 ms: %s\n",
              load <= 25 && save <= 40 ? "met" : "NOT met");
  return 0;
}
