#include <QDir>
#include <QFile>

#include "catalog/AutoDj.h"
#include "catalog/PlayListManager.h"
#include "catalog/PlayListPanel.h"
#include "catalog/PlayListStore.h"
#include "catalog/StartupPlaylistFile.h"
#include "fakes/TestFiles.h"
#include "library/LibraryFixture.h"
#include "support/MessageCatalog.h"

namespace audiolume::test {
namespace {

class PlayListFilesTest : public LibraryFixture {
 protected:
  PlayListStore store_{dir_.path()};
  MessageCatalog catalog_{dir_.path(), Path(u"VeltoDj.ini"_s), log_, prompter_};
  StartupPlaylistFile current_{Path(u"PlayList.txt"_s), Path(u"VeltoDj.ini"_s)};
  PlayListManager manager_{
      store_, current_, catalog_, prompter_, error_, check_, Path(u"VeltoDj.ini"_s), log_};
};

TEST_F(PlayListFilesTest, KeepsOtherBlocksByteExactAndReplacesInPlace) {
  const QByteArray other =
      "[First]\r\n 1 \xFF/m/a.mp3\xFF"
      "A\xFF"
      "Art!SB!Hall\r\n 2 \xFF/m/long\r\n"
      "name.mp3\xFF"
      "B\xFF"
      "Band\r\n[Second]\r\n 1 \xFF/m/c.mp3\xFF"
      "C\xFF\r\n";
  WriteAll(Path(u"Playlist.dat"_s), other);
  EXPECT_EQ(manager_.Titles(), (QStringList{u"First"_s, u"Second"_s, u"(New)"_s}));
  const auto first = store_.Songs(u"First"_s);
  ASSERT_TRUE(first && first->size() == 2);
  EXPECT_EQ(first->at(0).preset, u"Hall");
  EXPECT_EQ(first->at(1).path, u"/m/long\r\nname.mp3"_s.remove(u"\r\n"_s));

  current_.Append({u"/m/x.mp3"_s, u"X"_s, u"Y"_s, {}});
  prompter_.QueueAnswer(1);  // replace the stored playlist
  ASSERT_TRUE(manager_.Save(u"First"_s));
  const QByteArray saved = ReadAll(Path(u"Playlist.dat"_s));
  EXPECT_EQ(saved,
            "[First]\r\n 1 \xFF/m/x.mp3\xFFX\xFFY\r\n" + other.mid(other.indexOf("[Second]")));
  EXPECT_EQ(ReadAll(Path(u"PlayList.bak"_s)), other);

  for (const QString& name : {u"(new)"_s, u" (NEW) "_s}) EXPECT_FALSE(manager_.Save(name));
  prompter_.QueueAnswer(1);
  ASSERT_TRUE(manager_.Delete(u"Second"_s));
  prompter_.QueueAnswer(1);
  ASSERT_TRUE(manager_.Delete(u"First"_s));
  EXPECT_EQ(ReadAll(Path(u"Playlist.dat"_s)), QByteArray());
  EXPECT_EQ(manager_.Titles(), QStringList{u"(New)"_s});
}

TEST_F(PlayListFilesTest, AFailedWriteLeavesThePlaylistFileAlone) {
  WriteAll(Path(u"Playlist.dat"_s), "[Old]\r\n");
  QDir(dir_.path()).mkdir(u"PlayList.tmp"_s);  // the work file cannot be written
  current_.Append({u"/m/x.mp3"_s, u"X"_s, {}, {}});
  EXPECT_FALSE(manager_.Save(u"New one"_s));
  EXPECT_EQ(ReadAll(Path(u"Playlist.dat"_s)), "[Old]\r\n");
}

TEST_F(PlayListFilesTest, LoadLeavesOutMissingSongsAndReportsThem) {
  WriteAll(Path(u"Playlist.dat"_s),
           "[Trip]\r\n 1 \xFF/m/here.mp3\xFFHere\xFF\r\n 2 \xFF/m/gone.mp3\xFFGone\xFF\r\n");
  ASSERT_TRUE(manager_.Load(u"Trip"_s, [](const QString& f) { return f.contains(u"here"_s); }));
  ASSERT_EQ(current_.Entries().size(), 1);
  EXPECT_EQ(manager_.Missing(), QStringList{u"/m/gone.mp3"_s});
  EXPECT_EQ(
      prompter_.ShownMessages().last().text,
      u"Can't find the following song:\n/m/gone.mp3\nThis song will be omitted from the playlist."_s);
  current_.Write();
  EXPECT_EQ(PlayListText::Read(Path(u"PlayList.txt"_s)).size(), 1);
  EXPECT_FALSE(manager_.Load(u"Nothing"_s, [](const QString&) { return true; }));

  store_.WriteRecentFiles({u"/m/a b.mp3"_s, u"/m/c.mp3"_s});
  EXPECT_EQ(store_.RecentFiles(), (QStringList{u"/m/a b.mp3"_s, u"/m/c.mp3"_s}));
}

TEST_F(PlayListFilesTest, TheLibraryPanelAsksAboutMissingSongsAndKeepsTheRecentPlaylist) {
  library_.LoadSongData();
  library_.AddSongRow(u"In"_s, {}, {}, u"1:00"_s, u"/m/in.mp3"_s);
  library_.AddSongRow(u"Also"_s, {}, {}, u"2:00"_s, u"/m/also.mp3"_s);
  WriteAll(Path(u"Playlist.dat"_s),
           "[Mix]\r\n 1 \xFF/m/in.mp3\xFFIn\xFF\r\n 2 \xFF/m/x.mp3\xFFX\xFF\r\n"
           " 3 \xFF/m/y.mp3\xFFY\xFF\r\n 4 \xFF/m/also.mp3\xFF"
           "Also\xFF\r\n");
  PlayListPanel panel(library_);
  prompter_.QueueAnswer(2);  // don't ask again: y.mp3 is skipped silently
  ASSERT_TRUE(manager_.LoadIntoPanel(u"Mix"_s, panel));
  EXPECT_EQ(panel.Count(), 2);
  EXPECT_EQ(panel.PlayTime(), u"0:03:00");
  EXPECT_EQ(prompter_.ShownMessages().size(), 1);
  EXPECT_EQ(prompter_.ShownMessages()[0].text, u"Can't find '/m/x.mp3' in the database."_s);

  panel.Clear();
  prompter_.QueueAnswer(3);  // Cancel stops at the first missing song
  ASSERT_TRUE(manager_.LoadIntoPanel(u"Mix"_s, panel));
  EXPECT_EQ(panel.Count(), 1);
  EXPECT_EQ(panel.Title(), u"Mix");

  manager_.SaveRecentPlayList(panel);
  PlayListPanel next(library_);
  manager_.LoadRecentPlayList(next);
  EXPECT_EQ(next.Title(), u"Mix");
  ASSERT_EQ(next.Count(), 1);
  EXPECT_EQ(next.Entries()[0].row, 1);

  // When the recent playlist cannot be written, its entries go to the error log.
  QFile::remove(Path(u"RecentPlayList.txt"_s));
  QDir(dir_.path()).mkdir(u"RecentPlayList.txt"_s);
  manager_.SaveRecentPlayList(panel);
  EXPECT_EQ(prompter_.ShownMessages().last().text, u"Error while saving recent playlist"_s);
  EXPECT_TRUE(ReadAll(Path(u"TW_Error.log"_s)).contains("In, index=1"));
}

TEST_F(PlayListFilesTest, EveryNameAndSongStaysInItsOwnLinesOfThePlaylistFile) {
  WriteAll(Path(u"Playlist.dat"_s), "[Old]\r\n 1 \xFF/m/o.mp3\xFFO\xFF\r\n");
  const QByteArray before = ReadAll(Path(u"Playlist.dat"_s));
  current_.Append({u"/m/a.mp3"_s, u"First\nline"_s, u"Duo\r\nTrio"_s, {}});
  current_.Append({u"/m/b.mp3"_s, u"B"_s, u"Band"_s, {}});
  for (const QString& name : {u"Mix ]2"_s, u"[Mix"_s, u"Mix\n2"_s, u"Mix\r"_s}) {
    EXPECT_FALSE(manager_.Save(name)) << name.toStdString();
    EXPECT_EQ(prompter_.ShownMessages().last().text, PlayListManager::UnstorableNameText(name));
  }
  EXPECT_EQ(ReadAll(Path(u"Playlist.dat"_s)), before);

  ASSERT_TRUE(manager_.Save(u"Mix [2"_s));  // a "[" inside is fine
  EXPECT_EQ(manager_.Titles(), (QStringList{u"Old"_s, u"Mix [2"_s, u"(New)"_s}));
  const auto songs = store_.Songs(u"Mix [2"_s);
  ASSERT_TRUE(songs && songs->size() == 2);
  EXPECT_EQ(songs->at(0), (PlayListEntry{u"/m/a.mp3"_s, u"First line"_s, u"Duo Trio"_s, {}}));
  EXPECT_EQ(songs->at(1).path, u"/m/b.mp3");

  // A name another program stored with a NUL in it can still be shown and deleted.
  QByteArray withNul("[Mi");
  withNul += '\0';
  WriteAll(Path(u"Playlist.dat"_s), withNul + "x]\r\n 1 \xFF/m/o.mp3\xFFO\xFF\r\n");
  EXPECT_EQ(manager_.Titles(), (QStringList{u"Mix"_s, u"(New)"_s}));
  ASSERT_TRUE(store_.Songs(u"Mix"_s));
  EXPECT_TRUE(store_.Remove(u"Mix"_s));
}

class AutoDjTest : public LibraryFixture {
 protected:
  void Song(const QString& genre, const QString& mood, const QString& time) {
    const int row = library_.AddSongRow(genre + mood, {}, {}, time,
                                        u"/m/"_s + QString::number(library_.SongCount() + 1));
    library_.SongText(row, 3) = genre;
    library_.SongText(row, 5) = mood;
  }
  QList<int> Run(const AutoDj::Selection& selection) { return autoDj_.Select(selection).rows; }

  AutoDj autoDj_{library_, [] { return 0.0; }};
};

TEST_F(AutoDjTest, PicksBySubstringNarrowsAndCutsAtThePlayTime) {
  Song(u"Rock"_s, u"Happy"_s, u"25:00"_s);
  Song(u"Punk Rock"_s, u"Calm"_s, u"25:00"_s);
  Song(u"rock"_s, u"Sad"_s, u"25:00"_s);
  Song(u"Rock;Pop"_s, u"Happy Sad"_s, u"25:00"_s);
  Song(u"Jazz"_s, u"Happy"_s, u"25:00"_s);
  EXPECT_EQ(autoDj_.ValueList(3),
            (QStringList{u"Rock"_s, u"Punk Rock"_s, u"rock"_s, u"Pop"_s, u"Jazz"_s}));

  AutoDj::Selection selection;
  selection.first = {3, {u"Rock"_s}, false};
  selection.hours = u"5"_s;
  EXPECT_EQ(Run(selection), (QList<int>{1, 2, 4}));
  selection.second = AutoDj::Criterion{5, {u"Happy"_s, u"Sad"_s}, false};
  EXPECT_EQ(Run(selection), (QList<int>{1, 4}));
  selection.second->andNot = true;
  EXPECT_EQ(Run(selection), (QList<int>{1, 2}));

  selection.second.reset();
  selection.hours = u"1"_s;
  const AutoDj::Result cut = autoDj_.Select(selection);
  EXPECT_EQ(cut.rows, (QList<int>{1, 2, 4}));  // the song crossing the hour stays
  EXPECT_EQ(cut.seconds, 75 * 60);
  selection.first.selected = {u"Rock"_s, u"Jazz"_s};
  selection.hours.clear();
  EXPECT_EQ(Run(selection), QList<int>{1});
  selection.first.selected.clear();
  EXPECT_TRUE(Run(selection).isEmpty());
}

}  // namespace
}  // namespace audiolume::test
