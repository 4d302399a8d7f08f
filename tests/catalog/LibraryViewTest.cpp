#include <QFile>

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

TEST_F(LibraryViewTest, SortsByTextWithEmptyKeysFirstAndStoresTheKey) {
  Add(u"b"_s, u"Zed"_s, u"3:07"_s, u"/m/1.mp3"_s);
  Add(u"a"_s, {}, u"10:02"_s, u"/m/2.mp3"_s);
  Add(u"c"_s, u" alpha "_s, u"4:00"_s, u"/m/3.mp3"_s);
  view_.Sort(1);
  EXPECT_EQ(Column(1), (QStringList{{}, u" alpha "_s, u"Zed"_s}));
  view_.Sort(8);
  EXPECT_EQ(Column(8), (QStringList{u"10:02"_s, u"3:07"_s, u"4:00"_s}));
  EXPECT_EQ(view_.SortKey(), 8);
  EXPECT_EQ(ReadIniString(Path(u"VeltoDj.ini"_s), u"PlayList"_s, u"SortKey"_s), u"8");
  // Case does not count, for accented letters too; "_" sorts after the letters, as it
  // does among upper-case texts.
  Add(u"\u00e9t\u00e9"_s, {}, {}, u"/m/4.mp3"_s);
  Add(u"_x"_s, {}, {}, u"/m/5.mp3"_s);
  Add(u"\u00c9T\u00c9 B"_s, {}, {}, u"/m/6.mp3"_s);
  Add(u"B"_s, {}, {}, u"/m/7.mp3"_s);
  view_.Sort(0);
  EXPECT_EQ(Column(0), (QStringList{u"a"_s, u"b"_s, u"B"_s, u"c"_s, u"_x"_s, u"\u00e9t\u00e9"_s,
                                    u"\u00c9T\u00c9 B"_s}));
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
