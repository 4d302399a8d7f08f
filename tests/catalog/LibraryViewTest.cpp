#include <QFile>
#include <QLocale>
#include <map>

#include "catalog/LibraryView.h"
#include "catalog/PlayListPanel.h"
#include "fakes/TestFiles.h"
#include "fakes/TrashFolder.h"
#include "library/LibraryFixture.h"
#include "library/PlayTime.h"
#include "support/IniSettings.h"

namespace audiolume::test {
namespace {

class LibraryViewTest : public LibraryFixture {
 protected:
  int Add(const QString& title, const QString& album, const QString& time, const QString& file) {
    return library_.AddSongRow(title, album, u"Artist"_s, time, file);
  }
  QStringList Column(int column) const {
    QStringList texts;
    for (int p = 1; p <= view_.Count(); ++p)
      texts.append(library_.SongText(view_.RowAt(p), column));
    return texts;
  }

  PlayListPanel panel_{library_};
  QList<int> written_;
  LibraryView view_{library_, panel_, log_, Path(u"VeltoDj.ini"_s), [this](int row) {
                      written_.append(row);
                      return 0;
                    }};
};

// Five songs whose album and track number order is 5, 4, 3, 2, 1: the order of ties.
class LibrarySortTest : public LibraryViewTest {
 protected:
  void SetUp() override {
    library_.LoadSongData();  // an empty library, loaded
    struct Song {
      QString title, album, artist, genre, tempo, mood, situation, preference, time, played;
      qint32 plays;
      QString file;
      qint16 track;
    };
    const Song songs[] = {
        {u"Song 10"_s, u"Album B"_s, u"\u00c5sa"_s, u"Rock"_s, u"Fast"_s, u"Calm"_s, u"Party 10"_s,
         u"5"_s, u"10:02"_s, u"01-02-24/ 10:00:00"_s, 10, u"/m/Song 10.mp3"_s, 2},
        {u"Song 2"_s,
         u"Album B"_s,
         u"Zed"_s,
         u"rock"_s,
         u"Fast"_s,
         {},
         u"Party 9"_s,
         u"10"_s,
         u"3:07"_s,
         u"12-31-23/ 23:00:00"_s,
         9,
         u"/m/song 2.mp3"_s,
         1},
        {u"song 1"_s,
         u"Album A"_s,
         u"Asa"_s,
         u"Jazz"_s,
         u"Fast"_s,
         {},
         u"Party 9"_s,
         u"1"_s,
         {},
         {},
         0,
         u"/m/Song 2.mp3"_s,
         3},
        {u"Song 2"_s,
         u"Album A"_s,
         u"asa"_s,
         u"Pop"_s,
         u"Fast"_s,
         {},
         {},
         u"5"_s,
         u"0:59"_s,
         u"01-02-24/ 10:00:00"_s,
         100,
         u"/m/b.mp3"_s,
         1},
        {{},
         {},
         u"Bj\u00f6rk"_s,
         {},
         {},
         {},
         u"party 100"_s,
         {},
         u"3:07"_s,
         u"05-05-99/ 08:00:00"_s,
         9,
         u"/m/a.mp3"_s,
         0},
    };
    for (const Song& song : songs) {
      SongRecord r;
      r.Title = song.title;
      r.Album = song.album;
      r.Artist = song.artist;
      r.Genre = song.genre;
      r.Tempo = song.tempo;
      r.Mood = song.mood;
      r.Situation = song.situation;
      r.Preference = song.preference;
      r.TrackTime = song.time;
      r.LastPlayed = SongLibrary::ParseLastPlayed(song.played).value_or(0);
      r.PlayFreq = song.plays;
      r.Filename = song.file;
      r.TrackNumber = song.track;
      library_.AddOrReplaceRecord(r);
    }
  }
  QList<int> Order() const {
    QList<int> rows;
    for (int p = 1; p <= view_.Count(); ++p) rows.append(view_.RowAt(p));
    return rows;
  }
};

// Each column's rows ascending, in groups of equal keys; descending the groups turn round
// and each keeps its album and track-number order.
TEST_F(LibrarySortTest, EveryColumnSortsBothWaysAndTiesKeepAlbumThenTrackOrder) {
  const std::map<int, QList<QList<int>>> ascending = {
      {0, {{5}, {3}, {4, 2}, {1}}},   // empty first, "Song 2" before "Song 10", case aside
      {1, {{5}, {4, 3}, {2, 1}}},     // an album in its track order
      {2, {{4, 3}, {1}, {5}, {2}}},   // "Åsa" beside "Asa", not after "Zed"
      {3, {{5}, {3}, {4}, {2, 1}}},   //
      {4, {{5}, {4, 3, 2, 1}}},       //
      {5, {{5, 4, 3, 2}, {1}}},       //
      {6, {{4}, {3, 2}, {1}, {5}}},   // "Party 9", "Party 10", "party 100"
      {7, {{5}, {3}, {4, 1}, {2}}},   // 1, 5, 10
      {8, {{3}, {4}, {5, 2}, {1}}},   // 0:59, 3:07, 10:02
      {9, {{3}, {5}, {2}, {4, 1}}},   // 1999, the last day of 2023, 2024
      {10, {{3}, {5, 2}, {1}, {4}}},  // 0, 9, 10, 100 plays
      {11, {{5}, {4}, {3, 2}, {1}}},  // file names differing only in case are equal
      {12, {{5, 4, 3, 2, 1}}},        // no text: album and track order alone
      {SongSort::kTrackNumberColumn, {{5}, {4, 2}, {1}, {3}}},
  };
  for (const auto& [column, groups] : ascending) {
    QList<int> up;
    QList<int> down;
    for (const QList<int>& group : groups) up += group;
    for (auto group = groups.rbegin(); group != groups.rend(); ++group) down += *group;
    view_.Sort(column, false);
    EXPECT_EQ(Order(), up) << "column " << column;
    view_.Sort(column, true);
    EXPECT_EQ(Order(), down) << "column " << column << " descending";
  }
}

TEST_F(LibrarySortTest, TheColumnAndDirectionAreStoredAndASecondClickTurnsTheOrder) {
  view_.SortClicked(8);
  EXPECT_EQ(Order(), (QList<int>{3, 4, 5, 2, 1}));
  EXPECT_FALSE(view_.SortDescending());
  view_.SortClicked(8);
  EXPECT_EQ(Order(), (QList<int>{1, 5, 2, 4, 3}));
  EXPECT_EQ(ReadIniString(Path(u"VeltoDj.ini"_s), u"PlayList"_s, u"SortKey"_s), u"8");
  EXPECT_EQ(ReadIniString(Path(u"VeltoDj.ini"_s), u"PlayList"_s, u"SortDescending"_s), u"True");

  // Another view on the same settings, as the next start's window, applies both.
  LibraryView next(library_, panel_, log_, Path(u"VeltoDj.ini"_s), [](int) { return 0; });
  for (int p = 1; p <= 5; ++p) library_.SongOrder(p) = qint16(p);
  next.ApplyStoredSort();
  EXPECT_EQ(Order(), (QList<int>{1, 5, 2, 4, 3}));
  // Another column starts ascending.
  next.SortClicked(10);
  EXPECT_EQ(ReadIniString(Path(u"VeltoDj.ini"_s), u"PlayList"_s, u"SortDescending"_s), u"False");
  EXPECT_EQ(Order(), (QList<int>{3, 5, 2, 1, 4}));
}

TEST_F(LibrarySortTest, TextsFollowTheDesktopsLanguage) {
  // In Swedish "Å" is a letter of its own after "Z".
  QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
  LibraryView swedish(library_, panel_, log_, Path(u"VeltoDj.ini"_s), [](int) { return 0; });
  QLocale::setDefault(QLocale::system());
  swedish.Sort(2, false);
  EXPECT_EQ(Order(), (QList<int>{4, 3, 5, 2, 1}));
}

TEST_F(LibrarySortTest, AnEditedTextSortsByItsNewValue) {
  view_.Sort(0, false);
  view_.BeginEdit(1, 0);  // the empty title
  view_.SetEditText(u"Song 11"_s);
  view_.CloseEdit();
  view_.Sort(0, false);
  EXPECT_EQ(Order(), (QList<int>{3, 4, 2, 1, 5}));
}

// What a sort keeps of the texts between sorts follows an album renamed (the order of
// ties), songs removed and songs added.
TEST_F(LibrarySortTest, TiesFollowARenamedAlbumAndRowsRemovedOrAdded) {
  view_.Sort(4, false);
  ASSERT_EQ(Order(), (QList<int>{5, 4, 3, 2, 1}));
  view_.BeginEdit(view_.PositionOf(2), 1);
  view_.SetEditText(u"Album 0"_s);  // before "Album A"
  view_.CloseEdit();
  view_.Sort(4, false);
  EXPECT_EQ(Order(), (QList<int>{5, 2, 4, 3, 1}));

  view_.Click(view_.PositionOf(4), false, false);
  view_.DeleteSelected(false);  // row 5 becomes row 4
  view_.Sort(4, false);
  EXPECT_EQ(Order(), (QList<int>{4, 2, 3, 1}));

  SongRecord added;
  added.Title = u"Added"_s;
  added.Album = u"Album 1"_s;
  added.Tempo = u"Fast"_s;
  added.Filename = u"/m/added.ogg"_s;
  library_.AddOrReplaceRecord(added);
  view_.RefreshDataList();
  view_.Sort(4, true);
  EXPECT_EQ(Order(), (QList<int>{2, 5, 3, 1, 4}));
}

TEST_F(LibrarySortTest, TheSearchFindsEveryWordBlindToCaseAndAccents) {
  const auto found = [this](const QString& typed) {
    view_.SetSearch(typed);
    return Order();
  };
  view_.Sort(0, false);
  EXPECT_EQ(found(u"asa"_s), (QList<int>{3, 4, 1}));  // "Asa", "asa" and "Åsa"
  EXPECT_EQ(found(u"BJORK"_s), QList<int>{5});
  EXPECT_EQ(found(u"  song   ZED  "_s), QList<int>{2});
  EXPECT_EQ(found(u"10 rock"_s), (QList<int>{2, 1}));
  EXPECT_EQ(found(u"song zzz"_s), QList<int>{});
  EXPECT_EQ(view_.Count(), 0);
  EXPECT_EQ(view_.Total(), 5);
  // The file by its name: "m" of the folder "/m" is in no title, name or category.
  EXPECT_EQ(found(u"/m"_s), QList<int>{});
  EXPECT_EQ(found(u"mp3 calm"_s), QList<int>{1});
  EXPECT_EQ(found(u"\u00c5SA"_s), (QList<int>{3, 4, 1}));
  EXPECT_EQ(found(u" "_s), (QList<int>{5, 3, 4, 2, 1}));
  EXPECT_FALSE(view_.Searching());

  // The order is the sort's; a text edited since is found by its new words.
  view_.Sort(0, true);
  EXPECT_EQ(found(u"song 2"_s), (QList<int>{4, 2, 3}));  // 3 by its file's name
  view_.BeginEdit(1, 0);
  view_.SetEditText(u"Caf\u00e9 del Mar"_s);
  view_.CloseEdit();
  EXPECT_EQ(found(u"cafe"_s), QList<int>{4});
}

// Selecting and deleting act on the songs shown; the marks of hidden songs stay.
TEST_F(LibrarySortTest, SelectionAndDeletionActOnTheSongsShown) {
  view_.Click(5, false, false);  // the song without an album, hidden by the search below
  view_.SetSearch(u"album"_s);
  ASSERT_EQ(Order(), (QList<int>{1, 2, 3, 4}));
  EXPECT_EQ(view_.Current(), 0);
  EXPECT_TRUE(view_.SelectedRows().isEmpty());
  view_.Click(1, false, true);
  view_.Click(3, false, true);
  EXPECT_EQ(view_.SelectedRows(), (QList<int>{1, 3}));
  EXPECT_EQ(view_.StatusLine(3).section(u',', 0, 1), u"3, /m/Song 2.mp3");
  view_.DeleteSelected(false);
  EXPECT_EQ(library_.SongCount(), 3);
  EXPECT_EQ(Order(), (QList<int>{1, 2}));
  view_.SetSearch({});
  ASSERT_EQ(view_.SelectedRows(), QList<int>{3});
  EXPECT_EQ(library_.SongText(3, SongLibrary::kFilenameColumn), u"/m/a.mp3");
}

// Another program removed songs and the library took that in: the selection and the
// current song stay with their songs.
TEST_F(LibraryViewTest, TheSelectionStaysWithItsSongsWhenAnotherProgramRemovesRows) {
  library_.LoadSongData();
  // Rows in another order than the grid's, so that rows and positions differ.
  for (const QString& name : {u"C"_s, u"A"_s, u"D"_s, u"B"_s}) {
    Add(name, {}, {}, u"/m/"_s + name + u".flac"_s);
  }
  ASSERT_TRUE(library_.SaveSongData());
  library_.SetListener(
      {[this](int row) { view_.RowRemoved(row); }, [this] { view_.RefreshDataList(); }});
  view_.Sort(0);
  view_.Click(3, false, false);  // C
  view_.Click(4, false, true);   // and D

  SongLibrary twpl(dir_.path(), error_, check_);
  twpl.LoadSongData();
  twpl.DeleteSongRecord(twpl.FindSongByFilename(u"/m/A.flac"_s));
  twpl.DeleteSongRecord(twpl.FindSongByFilename(u"/m/B.flac"_s));
  ASSERT_TRUE(twpl.SaveSongData());
  ASSERT_TRUE(library_.TakeInDiskChanges());
  QStringList selected;
  for (const int row : view_.SelectedRows()) {
    selected.append(library_.SongText(row, SongLibrary::kFilenameColumn));
  }
  EXPECT_EQ(selected, (QStringList{u"/m/C.flac"_s, u"/m/D.flac"_s}));
  ASSERT_GE(view_.Current(), 1);
  EXPECT_EQ(library_.SongText(view_.RowAt(view_.Current()), 0), u"D");
  library_.SetListener({});
}

TEST_F(LibraryViewTest, ClickShiftAndControlSelect) {
  for (int i = 1; i <= 5; ++i) Add(QString::number(i), {}, {}, u"/m/"_s + QString::number(i));
  view_.Click(2, false, false);
  view_.Click(4, true, false);
  EXPECT_EQ(view_.SelectedRows(), (QList<int>{2, 3, 4}));
  view_.Click(1, false, true);
  view_.Click(3, false, true);
  EXPECT_EQ(view_.SelectedRows(), (QList<int>{1, 2, 4}));
  view_.Click(5, false, false);
  EXPECT_EQ(view_.SelectedRows(), (QList<int>{5}));
  EXPECT_EQ(view_.StatusLine(5), u"5, /m/5, Frequency=0, Last played="_s);
}

TEST_F(LibraryViewTest, EscapeWritesNothingAndLeavingAnEditedRowWritesItBack) {
  Add(u"One"_s, {}, {}, u"/m/1.mp3"_s);
  Add(u"Two"_s, {}, {}, u"/m/2.mp3"_s);
  library_.SetSongDataModified(false);
  view_.Click(1, false, false);
  view_.BeginEdit(1, 0);
  view_.SetEditText(u"Changed"_s);
  EXPECT_EQ(library_.SongText(1, 0), u"Changed");
  view_.CancelEdit();
  view_.Click(2, false, false);
  EXPECT_EQ(library_.SongText(1, 0), u"One");
  EXPECT_TRUE(written_.isEmpty());
  EXPECT_FALSE(library_.SongDataModified());

  view_.BeginEdit(2, 5);
  view_.SetEditText(u"Happy"_s);
  view_.CloseEdit();
  view_.Click(1, false, false);
  EXPECT_EQ(written_, QList<int>{2});
  EXPECT_TRUE(library_.SongDataModified());
  EXPECT_EQ(library_.SongText(2, 5), u"Happy");
}

TEST_F(LibraryViewTest, DeleteKeepsSharedFilesAndDropsEveryPanelEntryOfTheRecord) {
  library_.LoadSongData();  // an empty library, loaded
  const QString shared = Path(u"shared.mp3"_s);
  const QString alone = Path(u"alone.mp3"_s);
  for (const QString& file : {shared, alone}) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  Add(u"A"_s, {}, u"1:00"_s, shared);
  Add(u"B"_s, {}, u"2:00"_s, shared);
  Add(u"C"_s, {}, u"3:00"_s, alone);
  Add(u"D"_s, {}, u"4:00"_s, Path(u"d.mp3"_s));
  for (const int row : {3, 2, 3, 4}) panel_.AddSongToPlaylistByIndex(row);
  EXPECT_EQ(panel_.PlayTime(), u"0:12:00");

  const TrashFolder trash(dir_.path(), Path(u"share"_s));
  view_.Click(1, false, false);
  view_.Click(3, false, true);
  EXPECT_TRUE(view_.DeleteSelected(true).isEmpty());
  EXPECT_TRUE(QFile::exists(shared));
  EXPECT_FALSE(QFile::exists(alone));
  EXPECT_TRUE(QFile::exists(Path(u"share/Trash/files/alone.mp3"_s)));
  EXPECT_EQ(library_.SongCount(), 2);
  ASSERT_EQ(panel_.Count(), 2);
  EXPECT_EQ(panel_.Entries()[0].row, 1);  // B moved up
  EXPECT_EQ(panel_.Entries()[1].row, 2);  // D moved up
  EXPECT_EQ(panel_.PlayTime(), u"0:06:00");
  EXPECT_EQ(view_.RowAt(1), 1);
  EXPECT_EQ(view_.RowAt(2), 2);

  EXPECT_TRUE(view_.RemoveSongFromDatabase(shared, true));
  EXPECT_FALSE(QFile::exists(shared));
  EXPECT_FALSE(view_.RemoveSongFromDatabase(u"/nowhere.mp3"_s, false));

  // Without a trash to go to (its folder cannot be made), the file stays and is named.
  const QString d = Path(u"d.mp3"_s);
  WriteAll(d, "song");
  const TrashFolder noTrash(dir_.path(), d + u"/share"_s);
  view_.Click(1, false, false);
  EXPECT_EQ(view_.DeleteSelected(true), QStringList{d});
  EXPECT_TRUE(QFile::exists(d));
  EXPECT_EQ(library_.SongCount(), 0);
}

TEST(PlayTimeTest, ReadsAndSumsTimeTexts) {
  EXPECT_EQ(PlayTime::ConvertToSeconds(u" 3:07 "_s), 187);
  EXPECT_EQ(PlayTime::ConvertToSeconds(u"1:02:05"_s), 3725);
  EXPECT_EQ(PlayTime::ConvertToSeconds(u"-0:30"_s), -30);
  EXPECT_EQ(PlayTime::ConvertToSeconds(u"45"_s), 45);
  EXPECT_EQ(PlayTime::ConvertToSeconds({}), 0);
  EXPECT_EQ(PlayTime::Sum(u"59:30"_s, u"1:00"_s), u"1:00:30");
  EXPECT_EQ(PlayTime::Sum(u"0:05:00"_s, u"-3:07"_s), u"0:01:53");
}

}  // namespace
}  // namespace audiolume::test
