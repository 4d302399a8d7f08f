// The library window's work on a full library of 32,767 songs: the sort by each column,
// both ways, beside std::stable_sort of the same keys made beforehand, the window's first paint
// beside an empty table's, a keystroke of the search beside a plain scan of the same
// folded texts, AutoDJ beside a plain scan of the same texts, and AutoDJ of the whole
// library into the player's queue beside filling a list with its titles once.
#include <QApplication>
#include <QCollator>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <optional>

#include "BenchLibrary.h"
#include "app/AppServices.h"
#include "app/Collection.h"
#include "app/PlayerPlaylist.h"
#include "catalog/AutoDj.h"
#include "catalog/CategoryLists.h"
#include "catalog/LibraryGrid.h"
#include "catalog/LibraryView.h"
#include "catalog/PlayList.h"
#include "catalog/PlayListManager.h"
#include "catalog/PlayListPanel.h"
#include "catalog/PlayListStore.h"
#include "catalog/SongSearch.h"
#include "catalog/SongSort.h"
#include "catalog/StartupPlaylistFile.h"
#include "library/PlayTime.h"
#include "platform/AudioSink.h"
#include "player/Play.h"
#include "player/PlayQueue.h"
#include "player/PlayerEngine.h"
#include "player/PlayerRemote.h"
#include "support/CommandLinePrompter.h"

using namespace Qt::Literals::StringLiterals;
using namespace audiolume;

namespace {

// Varied categories and times so that every column sorts real work.
SongRecord VariedSong(int i) {
  SongRecord r = bench::RealisticSong(i);
  const QString tempos[] = {u"Slow"_s, u"Medium"_s, u"Fast"_s, {}};
  const QString moods[] = {u"Happy"_s, u"Mellow"_s, u"Sad;Calm"_s, u"Energetic"_s, {}};
  r.Tempo = tempos[i % 4];
  r.Mood = moods[(i / 3) % 5];
  r.Genre = i % 7 == 0 ? u"Rock"_s : i % 7 == 1 ? u"Punk Rock"_s : u"Jazz"_s;
  r.Situation = i % 11 == 0 ? QString() : u"Situation "_s + QString::number(i % 23);
  r.TrackTime = QString::number(1 + (i * 7) % 12) + u':' + QString::number(10 + i % 50);
  return r;
}

// The milliseconds of the best of three runs.
template <typename F>
double BestMs(F work) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    QElapsedTimer timer;
    timer.start();
    work();
    best = std::min(best, timer.nsecsElapsed() / 1e6);
  }
  return best;
}

// The milliseconds from making a window to its first paint.
template <typename Make>
double FirstPaintMs(Make make) {
  QElapsedTimer timer;
  timer.start();
  std::unique_ptr<QWidget> window = make();
  window->show();
  window->grab();  // paints the whole window once
  return timer.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  CommandLinePrompter prompter({}, stderr);
  AppServices services(dir.path(), dir.filePath(u"registry.ini"_s), prompter);
  Collection collection(dir.path(), services, {});
  SongLibrary& library = collection.library;
  for (int i = 0; i < SongLibrary::kMaxSongs; ++i) library.AddOrReplaceRecord(VariedSong(i));
  PlayListPanel panel(library);
  LibraryView view(library, panel, services.Log(), services.SettingsFile(), [](int) { return 0; });

  std::printf(
      "sort of %d songs (ms)   first   ours   descending   std::stable_sort of ready keys   "
      "ratio of the slower\n",
      library.SongCount());
  const QCollator collator = SongSort::DesktopCollator();
  for (const int column : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, SongSort::kTrackNumberColumn}) {
    // Each run starts from the library's own order, as the reference starts unsorted.
    const auto reverse = [&library] {
      for (int position = 1; position <= library.SongCount(); ++position) {
        library.SongOrder(position) = qint16(library.SongCount() + 1 - position);
      }
    };
    QElapsedTimer first;
    first.start();
    reverse();
    view.Sort(column);
    const double firstMs = first.nsecsElapsed() / 1e6;
    const double descending = BestMs([&] {
      reverse();
      view.Sort(column, true);
    });
    const double ours = BestMs([&] {
      reverse();
      view.Sort(column);
    });
    // The reference's keys: numbers for the value columns, collation keys for the texts.
    std::vector<double> values;
    std::vector<QCollatorSortKey> texts;
    const bool byValue = column >= 8 && column != SongLibrary::kFilenameColumn;
    for (int row = 1; row <= library.SongCount(); ++row) {
      const QString text = library.SongText(row, column).trimmed();
      if (column == 8) values.push_back(PlayTime::ConvertToSeconds(text));
      if (column == SongLibrary::kLastPlayedColumn) {
        values.push_back(SongLibrary::ParseLastPlayed(text).value_or(0));
      }
      if (column == SongLibrary::kPlayFreqColumn) values.push_back(text.toDouble());
      if (column == SongSort::kTrackNumberColumn) {
        values.push_back(library.SongRecords(row).TrackNumber);
      }
      if (!byValue) texts.push_back(collator.sortKey(text));
    }
    bool ordered = true;
    for (int position = 2; position <= library.SongCount(); ++position) {
      const auto before = std::size_t(view.RowAt(position - 1) - 1);
      const auto after = std::size_t(view.RowAt(position) - 1);
      ordered = ordered && (byValue ? values[before] <= values[after]
                                    : texts[before].compare(texts[after]) <= 0);
    }
    // The same keys a sort compares: the column's, then the album's and the track number,
    // side by side in one vector, made beforehand.
    struct Ready {
      double value;
      std::optional<QCollatorSortKey> text;
      QCollatorSortKey album;
      qint16 track;
    };
    std::vector<Ready> ready;
    for (int row = library.SongCount(); row >= 1; --row) {
      const auto i = std::size_t(row - 1);
      ready.push_back({byValue ? values[i] : 0,
                       byValue ? std::nullopt : std::optional<QCollatorSortKey>(texts[i]),
                       collator.sortKey(library.SongText(row, 1).trimmed()),
                       library.SongRecords(row).TrackNumber});
    }
    const double reference = BestMs([&ready] {
      std::vector<Ready> work = ready;
      std::stable_sort(work.begin(), work.end(), [](const Ready& a, const Ready& b) {
        const int primary = a.text              ? a.text->compare(*b.text)
                            : a.value < b.value ? -1
                                                : int(a.value > b.value);
        if (primary != 0) return primary < 0;
        if (const int album = a.album.compare(b.album)) return album < 0;
        return a.track < b.track;
      });
    });
    std::printf("column %2d%s %14.1f %6.1f %12.1f %32.1f %9.2f\n", column, ordered ? "  " : " !",
                firstMs, ours, descending, reference, std::max(ours, descending) / reference);
  }

  CategoryLists categories;
  AutoDj autoDj(library, [] { return 0.5; });
  PlayListStore store(dir.path());
  StartupPlaylistFile current(dir.filePath(u"PlayList.txt"_s), services.SettingsFile());
  PlayListManager manager(store, current, services.Catalog(), prompter, services.Error(),
                          services.Check(), services.SettingsFile(), services.Log());
  const auto openWindow = [&] {
    auto made = std::make_unique<PlayList>(LibraryWindowContext{view,
                                                                panel,
                                                                categories,
                                                                autoDj,
                                                                collection.database,
                                                                collection.trailer,
                                                                manager,
                                                                current,
                                                                services.Catalog(),
                                                                prompter,
                                                                services.Log(),
                                                                services.SettingsFile(),
                                                                {},
                                                                {},
                                                                [] {},
                                                                {},
                                                                {},
                                                                {},
                                                                {}});
    made->Form_Load();
    return made;
  };
  const double window = FirstPaintMs(openWindow);
  const double emptyTable = FirstPaintMs([] { return std::make_unique<QTableView>(); });
  std::printf("library window to first paint (ms): %.1f   empty table view: %.1f\n", window,
              emptyTable);

  // One keystroke at a time, as the user types into the search box of an open window.
  const std::unique_ptr<PlayList> opened = openWindow();
  PlayList& searching = *opened;
  searching.show();
  auto* search = searching.findChild<QLineEdit*>(u"txtSearch"_s);
  const QString typed = u"artist name 12"_s;
  const auto keystroke = [&](qsizetype length) {
    search->setText(typed.left(length));
    searching.Grid()->viewport()->repaint();
  };
  QElapsedTimer firstSearch;
  firstSearch.start();
  keystroke(1);  // the first search folds every row's texts
  const double foldMs = firstSearch.nsecsElapsed() / 1e6;
  double worst = 0;
  double sum = 0;
  for (qsizetype length = 1; length <= typed.size(); ++length) {
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
      keystroke(length - 1);  // the text before the key
      QElapsedTimer timer;
      timer.start();
      keystroke(length);
      best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    worst = std::max(worst, best);
    sum += best;
  }
  const int found = searching.Grid()->model()->rowCount();
  std::vector<QString> folded;
  for (int row = 1; row <= library.SongCount(); ++row) {
    QString joined;
    for (int column = 0; column < 8; ++column) joined += library.SongText(row, column) + u'\n';
    const QString& file = library.SongText(row, SongLibrary::kFilenameColumn);
    joined += file.mid(file.lastIndexOf(u'/') + 1) + u'\n';
    folded.push_back(SongSearch::Fold(joined));
  }
  double scanWorst = 0;
  double scanSum = 0;
  int scanFound = 0;
  for (qsizetype length = 1; length <= typed.size(); ++length) {
    const QStringList words = typed.left(length).split(u' ', Qt::SkipEmptyParts);
    const double ms = BestMs([&] {
      scanFound = 0;
      for (const QString& text : folded) {
        scanFound += std::all_of(words.begin(), words.end(),
                                 [&text](const QString& word) { return text.contains(word); });
      }
    });
    scanWorst = std::max(scanWorst, ms);
    scanSum += ms;
  }
  std::printf(
      "search keystroke, filter and grid (ms): worst %.2f, mean %.2f (%d found; first, "
      "folding every row: %.1f)   plain scan of folded texts: worst %.2f, mean %.2f (%d)\n",
      worst, sum / double(typed.size()), found, foldMs, scanWorst, scanSum / double(typed.size()),
      scanFound);
  search->clear();

  AutoDj::Selection selection;
  selection.first = {3, {u"Rock"_s, u"Jazz"_s}, false};
  selection.second = AutoDj::Criterion{4, {u"Fast"_s, u"Medium"_s}, false};
  selection.third = AutoDj::Criterion{5, {u"Sad"_s}, true};
  selection.hours = u"10"_s;
  selection.random = true;
  int picked = 0;
  const double ours = BestMs([&] { picked = int(autoDj.Select(selection).rows.size()); });
  int scanned = 0;
  const double scan = BestMs([&] {
    scanned = 0;
    for (int row = 1; row <= library.SongCount(); ++row) {
      scanned += library.SongText(row, 3).contains(u"Rock"_s) &&
                 library.SongText(row, 4).contains(u"Fast"_s) &&
                 !library.SongText(row, 5).contains(u"Sad"_s);
    }
  });
  std::printf("AutoDJ, three criteria, 10-hour cut (ms): %.2f (%d songs)   plain scan: %.2f\n",
              ours, picked, scan);

  // The player as the jukebox wires it: its window shows the queue, the desktop's remote
  // hears of every change.
  PlayQueue queue([] { return 0.5; });
  PlayerEngine engine(queue, library, services.Catalog(), prompter,
                      services.Catalog().ErrorTextFile(), {platform::MakeNullAudioSink()});
  Play play({engine,
             library,
             collection.database,
             services.Catalog(),
             services.Diagnose(),
             prompter,
             services.SettingsFile(),
             dir.filePath(u"PlayList.txt"_s),
             {},
             {},
             {},
             nullptr,
             {}});
  PlayerRemote remote(engine, library, {}, {}, dir.filePath(u"covers"_s));
  PlayerPlaylist player(engine, play);
  AutoDj::Selection everything;
  everything.first = {3, autoDj.ValueList(3), false};
  everything.hours = u"100000"_s;
  const AutoDj::Result all = autoDj.Select(everything);
  const double toQueue = BestMs([&] {
    player.Clear();
    player.AppendMany(autoDj.Entries(autoDj.Select(everything)));
  });
  const double fillList = BestMs([&] {
    QListWidget list;
    for (const PlayListEntry& entry : autoDj.Entries(all)) list.addItem(entry.title);
  });
  std::printf(
      "AutoDJ of %d songs into the player's queue (ms): %.1f (%d queued)   one list "
      "filled with their titles: %.1f\n",
      int(all.rows.size()), toQueue, queue.Length(), fillList);
  return 0;
}
