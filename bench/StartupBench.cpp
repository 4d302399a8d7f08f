// The jukebox's start-up, from the start of its set-up to the first paint of the player
// window (offscreen), with a 32,767-song library and a 500-song start-up playlist, beside
// loading that library alone. Each is timed in a new process, as a start-up is.
// Target: the player window painted within 500 ms.
//
// Usage: bench_startup [FOLDER]   (default: a temporary folder)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "BenchLibrary.h"
#include "app/AppHome.h"
#include "app/Jukebox.h"
#include "library/PlayListText.h"

using namespace audiolume;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kPlaylistSongs = 500;

void MakeHome(const QString& home) {
  QDir().mkpath(home);
  bench::BenchLibrary context(home);
  QList<PlayListEntry> playlist;
  for (int i = 0; i < SongLibrary::kMaxSongs; ++i) {
    const SongRecord song = bench::RealisticSong(i);
    context.library.AddOrReplaceRecord(song);
    if (i < kPlaylistSongs) playlist.append({song.Filename, song.Title, song.Artist, {}});
  }
  context.library.SaveSongData();
  PlayListText::Write(home + u"/PlayList.txt"_s, playlist);
}

// Stops the clock at the first paint of the player window, then closes the program.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(const QElapsedTimer& clock) : clock_(clock) {}
  double Ms() const { return ms_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (ms_ < 0 && event->type() == QEvent::Paint && widget &&
        widget->window()->objectName() == u"Play") {
      ms_ = clock_.nsecsElapsed() / 1e6;
      QTimer::singleShot(0, widget->window(), &QWidget::close);
    }
    return false;
  }

 private:
  const QElapsedTimer& clock_;
  double ms_ = -1;
};

int StartOnce(const QString& home) {
  QElapsedTimer clock;
  clock.start();
  FirstPaint paint(clock);
  qApp->installEventFilter(&paint);
  Jukebox jukebox({home,
                   home + u"/registry.ini"_s,
                   home,
                   AppHome::ShippedDataDir(QApplication::applicationDirPath()),
                   {},
                   {},
                   u"null"_s,
                   {}},
                  u"audiolume-bench-"_s + QString::number(QCoreApplication::applicationPid()));
  jukebox.Run();
  std::printf("%.1f\n", paint.Ms());
  return paint.Ms() < 0 ? 1 : 0;
}

double BestInNewProcess(const QString& mode, const QString& home) {
  double best = 1e30;
  for (int run = 0; run < 5; ++run) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {mode, home});
    if (!child.waitForFinished(120000) || child.exitCode() != 0) return -1;
    best = std::min(best, child.readAllStandardOutput().trimmed().toDouble());
  }
  return best;
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");  // the window is painted, never shown on a screen
  QApplication app(argc, argv);
  if (argc == 3 && QByteArray(argv[1]) == "--start")
    return StartOnce(QString::fromLocal8Bit(argv[2]));
  if (argc == 3 && QByteArray(argv[1]) == "--load")
    return bench::PrintLoadMs(QString::fromLocal8Bit(argv[2]));

  QTemporaryDir temporary;
  const QString home = (argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path()) + u"/home"_s;
  MakeHome(home);
  const double start = BestInNewProcess(u"--start"_s, home);
  const double load = BestInNewProcess(u"--load"_s, home);
  if (start < 0 || load < 0) {
    std::fputs("the jukebox did not start\n", stderr);
    return 1;
  }
  std::printf("library of %d songs, start-up playlist of %d songs, each the best of 5 processes\n",
              SongLibrary::kMaxSongs, kPlaylistSongs);
  std::printf("start-up to the first paint %8.1f ms\n", start);
  std::printf("loading the library alone   %8.1f ms\n", load);
  std::printf("target: under 500 ms: %s\n", start < 500 ? "met" : "NOT met");
  return 0;
}
