#include <QFile>
#include <QLockFile>

#include "fakes/TestFiles.h"
#include "library/DatabaseLock.h"
#include "library/LibraryFixture.h"
#include "library/RecordCodec.h"
#include "support/AppError.h"

namespace audiolume::test {
namespace {

// Two libraries on one application directory: the jukebox's and the one twpl loads for a
// command. Each saves what the other saved meanwhile along with its own changes.
class SharedDatabaseTest : public LibraryFixture {
 protected:
  void SetUp() override {
    for (const QString& name : {u"a.mp3"_s, u"b.flac"_s, u"c.ogg"_s, u"d.mp3"_s}) {
      SongRecord record = SampleRecord(name);
      record.Filename = u"/music/"_s + name;
      library_.AddOrReplaceRecord(record);
    }
    ASSERT_TRUE(library_.SaveSongData());
    library_.LoadSongData();
    other_.LoadSongData();
  }

  // The rows of the database on disk now, as a fresh load reads them.
  QStringList StoredTitles() {
    SongLibrary fresh(dir_.path(), error_, check_);
    fresh.LoadSongData();
    QStringList titles;
    for (int row = 1; row <= fresh.SongCount(); ++row) titles.append(fresh.SongText(row, 0));
    return titles;
  }

  SongLibrary other_{dir_.path(), error_, check_};
};

TEST_F(SharedDatabaseTest, EachSaveKeepsWhatTheOtherSavedMeanwhile) {
  SongRecord added = SampleRecord(u"new"_s);
  added.Filename = u"/music/New.opus"_s;
  other_.AddOrReplaceRecord(added);
  other_.SongText(2, 1) = u"Album from twpl"_s;  // b.flac, not touched here
  other_.SongText(3, 0) = u"Title from twpl"_s;  // c.ogg, edited here too
  ASSERT_TRUE(other_.SaveSongData());

  library_.SongText(1, 0) = u"Edited here"_s;  // a.mp3
  library_.SongText(3, 0) = u"Mine wins"_s;    // c.ogg
  library_.SongText(3, 2) = u"Artist here"_s;
  library_.SetSongDataModified(true);
  ASSERT_TRUE(library_.SaveSongData());

  EXPECT_EQ(StoredTitles(), (QStringList{u"Edited here"_s, u"Title b.flac"_s, u"Mine wins"_s,
                                         u"Title d.mp3"_s, u"Title new"_s}));
  ASSERT_EQ(library_.SongCount(), 5);
  EXPECT_EQ(library_.SongText(2, 1), u"Album from twpl");
  EXPECT_EQ(library_.SongText(3, 2), u"Artist here");
  EXPECT_EQ(library_.SongText(5, 11), u"/music/New.opus");
  EXPECT_EQ(library_.SongOrder(5), 5);  // the new row is listed last
  EXPECT_FALSE(library_.SongDataModified());

  // The other side, saving again, keeps this side's edits in turn.
  other_.SongText(4, 0) = u"Twpl again"_s;
  ASSERT_TRUE(other_.SaveSongData());
  EXPECT_EQ(StoredTitles(), (QStringList{u"Edited here"_s, u"Title b.flac"_s, u"Mine wins"_s,
                                         u"Twpl again"_s, u"Title new"_s}));
}

TEST_F(SharedDatabaseTest, RowsRemovedElsewhereGoUnlessEditedHere) {
  library_.SongOrder(1) = 4;  // the window lists d, b, c, a
  library_.SongOrder(4) = 1;
  library_.SongMark(1) = 1;  // d is selected
  QList<int> removing;
  int takenIn = 0;
  library_.SetListener({[&](int row) { removing.append(row); }, [&] { ++takenIn; }});
  other_.DeleteSongRecord(3);  // c.ogg, edited here: stays
  other_.DeleteSongRecord(2);  // b.flac, untouched here: goes
  ASSERT_TRUE(other_.SaveSongData());
  library_.SongText(3, 5) = u"Calm"_s;

  EXPECT_TRUE(library_.TakeInDiskChanges());
  EXPECT_EQ(removing, QList<int>{2});
  EXPECT_EQ(takenIn, 1);
  ASSERT_EQ(library_.SongCount(), 3);
  EXPECT_EQ(library_.SongText(2, 11), u"/music/c.ogg");
  EXPECT_EQ(library_.SongText(2, 5), u"Calm");
  // d (now row 3) is still listed first and still selected; a last.
  EXPECT_EQ(library_.SongOrder(1), 3);
  EXPECT_EQ(library_.SongOrder(2), 2);
  EXPECT_EQ(library_.SongOrder(3), 1);
  EXPECT_EQ(library_.SongMark(1), 1);
  EXPECT_FALSE(library_.TakeInDiskChanges());  // nothing new since

  // A row removed here stays removed though the other side still has it.
  library_.DeleteSongRecord(1);
  ASSERT_TRUE(library_.SaveSongData());
  EXPECT_EQ(StoredTitles(), (QStringList{u"Title c.ogg"_s, u"Title d.mp3"_s}));
}

TEST_F(SharedDatabaseTest, PlaysCountedOnBothSidesAddUp) {
  library_.NoteSongPlayed(u"/music/a.mp3"_s);
  library_.NoteSongPlayed(u"/music/a.mp3"_s);
  other_.NoteSongPlayed(u"/music/a.mp3"_s);
  ASSERT_TRUE(other_.SavePlayCounts());
  ASSERT_TRUE(library_.SavePlayCounts());
  EXPECT_FALSE(library_.PlaysUnsaved());
  SongLibrary fresh(dir_.path(), error_, check_);
  fresh.LoadSongData();
  EXPECT_EQ(fresh.SongRecords(1).PlayFreq, 12 + 3);
  EXPECT_EQ(library_.SongText(1, SongLibrary::kPlayFreqColumn), u"15");
}

// Saving the plays stores nothing else: an edit the user has not agreed to save yet
// stays out of the file, and stays here.
TEST_F(SharedDatabaseTest, SavingPlaysLeavesUnsavedEditsOut) {
  library_.SongText(2, 0) = u"Not saved yet"_s;
  library_.SetSongDataModified(true);
  library_.NoteSongPlayed(u"/music/b.flac"_s);
  ASSERT_TRUE(library_.SavePlayCounts());
  SongLibrary fresh(dir_.path(), error_, check_);
  fresh.LoadSongData();
  EXPECT_EQ(fresh.SongText(2, 0), u"Title b.flac");
  EXPECT_EQ(fresh.SongRecords(2).PlayFreq, 13);
  EXPECT_EQ(library_.SongText(2, 0), u"Not saved yet");
  EXPECT_TRUE(library_.SongDataModified());
}

// Two rows may name one file; the first here goes with the first there, the second with
// the second.
TEST_F(SharedDatabaseTest, TwoRowsOfOneFileKeepTheirOwnEdits) {
  library_.AddSongRow(u"Copy"_s, {}, {}, {}, u"/music/a.mp3"_s);
  ASSERT_TRUE(library_.SaveSongData());
  other_.LoadSongData();
  other_.SongText(5, 0) = u"Second edited"_s;
  ASSERT_TRUE(other_.SaveSongData());
  library_.SongText(1, 0) = u"First edited"_s;
  ASSERT_TRUE(library_.SaveSongData());
  EXPECT_EQ(StoredTitles(), (QStringList{u"First edited"_s, u"Title b.flac"_s, u"Title c.ogg"_s,
                                         u"Title d.mp3"_s, u"Second edited"_s}));
}

TEST_F(SharedDatabaseTest, ASaveWaitsForTheLockAndFailsWithoutTouchingTheFile) {
  const QByteArray before = ReadAll(library_.DatabasePath());
  library_.SongText(1, 0) = u"Changed"_s;
  {
    const DatabaseLock held(dir_.path());
    EXPECT_FALSE(library_.SaveSongData());
    EXPECT_EQ(error_.Number(), kErrPathFileAccess);
    EXPECT_TRUE(error_.Description().contains(u"being saved by another program"_s));
    error_.Clear();
  }
  EXPECT_EQ(ReadAll(library_.DatabasePath()), before);
  EXPECT_TRUE(library_.SaveSongData());  // the lock is free again
  EXPECT_FALSE(QFile::exists(Path(u"TWPL.TWD.lock"_s)));
}

// A file cut short by damage is not taken as the other side removing the rows after it.
TEST_F(SharedDatabaseTest, ADamagedDatabaseOnDiskRemovesNothing) {
  QByteArray damaged = ReadAll(library_.DatabasePath());
  damaged.chop(damaged.size() / 2);
  WriteAll(library_.DatabasePath(), damaged);
  library_.TakeInDiskChanges();
  EXPECT_EQ(library_.SongCount(), 4);
  ASSERT_TRUE(library_.SaveSongData());
  EXPECT_EQ(StoredTitles().size(), 4);
}

TEST_F(SharedDatabaseTest, OnLinuxSongsWhoseNamesDifferInCaseAreDifferentSongs) {
  SongRecord upper = SampleRecord(u"upper"_s);
  upper.Filename = u"/music/Song.mp3"_s;
  library_.AddOrReplaceRecord(upper);
  EXPECT_EQ(library_.FindSongByFilename(u"/music/song.mp3"_s), 0);
  SongRecord lower = SampleRecord(u"lower"_s);
  lower.Filename = u"/music/song.mp3"_s;
  EXPECT_EQ(library_.AddOrReplaceRecord(lower), 6);  // a second row, not a replacement
  EXPECT_EQ(library_.FindSongByFilename(u"/music/Song.mp3"_s), 5);
  EXPECT_EQ(library_.FindSongByFilename(u"/music/song.mp3"_s), 6);
  EXPECT_EQ(library_.SongText(5, 0), u"Title upper");

  // A record brought from Windows matches whatever the case, when it is the only one.
  library_.AddSongRow(u"Win"_s, {}, {}, {}, u"C:\\Music\\Track.mp3"_s);
  EXPECT_EQ(library_.FindSongByFilename(u"c:\\music\\TRACK.MP3"_s), 7);
  library_.AddSongRow(u"Win 2"_s, {}, {}, {}, u"C:\\MUSIC\\track.mp3"_s);
  EXPECT_EQ(library_.FindSongByFilename(u"c:\\music\\TRACK.MP3"_s), 0);
  EXPECT_EQ(library_.FindSongByFilename(u"C:\\MUSIC\\track.mp3"_s), 8);

  // Looked up many at once, each path finds what it finds alone, also when named twice.
  library_.AddSongRow(u"Win 3"_s, {}, {}, {}, u"D:\\Other.mp3"_s);
  const QStringList paths{u"/music/song.mp3"_s,      u"c:\\music\\TRACK.MP3"_s,
                          u"C:\\MUSIC\\track.mp3"_s, u"/music/Song.mp3"_s,
                          u"/music/none.mp3"_s,      u"/music/song.mp3"_s,
                          u"d:\\OTHER.mp3"_s};
  std::vector<int> alone;
  for (const QString& path : paths) alone.push_back(library_.FindSongByFilename(path));
  EXPECT_EQ(library_.FindSongsByFilename(paths), alone);
  EXPECT_EQ(alone, (std::vector<int>{6, 0, 8, 5, 0, 6, 9}));
}

// Columns 0 to 8 are stored trimmed, also for a row the windows never touched.
TEST_F(SharedDatabaseTest, EveryRowIsStoredWithTrimmedTexts) {
  SongRecord padded = SampleRecord(u"x"_s);
  padded.Title = u" Blue Café "_s;
  padded.Preference = u"\t5 "_s;
  padded.TrackTime = u" 3:07"_s;
  QByteArray file = "3.12      ";
  RecordCodec::AppendRecord(file, padded);
  WriteAll(library_.DatabasePath(), file);
  library_.LoadSongData();
  ASSERT_TRUE(library_.SaveSongData());

  const QByteArray bytes = ReadAll(library_.DatabasePath());
  ByteReader in(bytes, 10);
  const SongRecord stored = RecordCodec::ReadRecord(in);
  EXPECT_EQ(stored.Title, u"Blue Café");
  EXPECT_EQ(stored.Preference, u"5");
  EXPECT_EQ(stored.TrackTime, u"3:07");
  EXPECT_EQ(stored.Album, padded.Album);
}

}  // namespace
}  // namespace audiolume::test
