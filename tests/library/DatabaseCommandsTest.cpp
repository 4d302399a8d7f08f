#include <QDir>

#include "fakes/TestFiles.h"
#include "library/DatabaseCommands.h"
#include "library/LibraryFixture.h"
#include "support/MessageCatalog.h"

namespace audiolume::test {
namespace {

class DatabaseCommandsTest : public LibraryFixture {
 protected:
  void SetUp() override {
    SongRecord b = SampleRecord(u"b"_s);
    b.Title = u"  Padded  "_s;
    library_.AddOrReplaceRecord(SampleRecord(u"a"_s));
    library_.AddOrReplaceRecord(b);
    ASSERT_TRUE(library_.SaveSongData());
    library_.LoadSongData();
    prompter_.ClearRecord();
  }
  QStringList Shown() const {
    QStringList texts;
    for (const auto& shown : prompter_.ShownMessages()) texts.append(shown.text);
    return texts;
  }

  MessageCatalog catalog_{dir_.path(), Path(u"VeltoDj.ini"_s), log_, prompter_};
  DatabaseCommands commands_{library_, catalog_, prompter_, error_, check_};
};

TEST_F(DatabaseCommandsTest, ExportWritesHeaderAndRowsInDisplayOrder) {
  library_.SongOrder(1) = 2;
  library_.SongOrder(2) = 1;
  const QString file = Path(u"export.txt"_s);
  EXPECT_EQ(commands_.ExportDatabaseTo(file), DatabaseCommands::Outcome::Done);
  const QByteArray header =
      "Song Filename\tSong Title\tAlbum\tArtist\tGenre\tTempo\tMood\tSituation\tPreference\tPlay "
      "Time\t\t\r\n";
  const QByteArray rowB =
      "/music/b.mp3\tPadded\tAlbum b\tArtist b\tGenre\tFast\tHappy\tParty\t5\t3:07\t\t\r\n";
  const QByteArray rowA =
      "/music/a.mp3\tTitle a\tAlbum a\tArtist a\tGenre\tFast\tHappy\tParty\t5\t3:07\t\t\r\n";
  EXPECT_EQ(test::ReadAll(file), header + rowB + rowA);

  library_.Clear();
  prompter_.QueueAnswer(1);  // replace the existing export
  EXPECT_EQ(commands_.ExportDatabaseTo(file), DatabaseCommands::Outcome::Done);
  EXPECT_EQ(test::ReadAll(file), header);
}

TEST_F(DatabaseCommandsTest, ExportOffersTheMusicFolderUnderItsTitle) {
  QDir(dir_.path()).mkdir(u"Music"_s);
  commands_.ExportDatabase();  // cancelled
  EXPECT_EQ(Shown(), QStringList{u"Save Database As ..."_s});
  EXPECT_EQ(prompter_.LastFolder(), Path(u"Music"_s));
}

TEST_F(DatabaseCommandsTest, SaveAsAsksBeforeReplacingAndCopiesTheFileOnDisk) {
  const QString target = Path(u"copy.TWD"_s);
  test::WriteAll(target, "keep me");
  prompter_.QueueAnswer(2);  // No
  EXPECT_EQ(commands_.SaveDatabaseAsTo(target), DatabaseCommands::Outcome::Declined);
  EXPECT_EQ(test::ReadAll(target), "keep me");
  EXPECT_EQ(Shown().last(), target + u" already exists.\nReplace existing file?"_s);
  EXPECT_EQ(prompter_.ShownMessages().last().buttons, u"&Yes|&No");

  library_.AddSongRow(u"unsaved"_s, {}, {}, {}, u"/u.mp3"_s);
  prompter_.QueueAnswer(1);
  EXPECT_EQ(commands_.SaveDatabaseAsTo(target), DatabaseCommands::Outcome::Done);
  EXPECT_EQ(test::ReadAll(target), test::ReadAll(library_.DatabasePath()));

  // The dialog asks again after a No, and a cancel ends the command.
  prompter_.QueueText(target);
  prompter_.QueueAnswer(2);
  prompter_.QueueText(std::nullopt);
  commands_.SaveDatabaseAs();
  EXPECT_EQ(prompter_.ShownMessages().size(), 5);
}

TEST_F(DatabaseCommandsTest, LoadAnotherKeepsTheCurrentAsSavedCopy) {
  const QByteArray current = test::ReadAll(library_.DatabasePath());
  SongLibrary other(Path(u"other"_s), error_, check_);
  QDir(dir_.path()).mkdir(u"other"_s);
  other.AddOrReplaceRecord(SampleRecord(u"z"_s));
  ASSERT_TRUE(other.SaveSongData());

  ASSERT_TRUE(commands_.LoadDatabaseFrom(other.DatabasePath()));
  EXPECT_EQ(library_.SongCount(), 1);
  EXPECT_EQ(library_.SongText(1, 0), u"Title z");
  EXPECT_EQ(test::ReadAll(Path(u"TWPL saved.TWD"_s)), current);
  EXPECT_FALSE(QFile::exists(Path(u"Temp.Tmp"_s)));
  EXPECT_EQ(Shown(), QStringList{u"The current database will be saved as  'TWPL Saved.TWD' "_s});

  EXPECT_FALSE(commands_.LoadDatabaseFrom(Path(u"missing.TWD"_s)));
  EXPECT_EQ(library_.SongCount(), 1);
}

TEST_F(DatabaseCommandsTest, ClearAsksThenEmptiesKeepingABackup) {
  const QByteArray current = test::ReadAll(library_.DatabasePath());
  prompter_.QueueAnswer(2);
  EXPECT_FALSE(commands_.ClearDatabase());
  EXPECT_EQ(library_.SongCount(), 2);

  prompter_.QueueAnswer(1);
  EXPECT_TRUE(commands_.ClearDatabase());
  EXPECT_EQ(library_.SongCount(), 0);
  EXPECT_EQ(test::ReadAll(Path(u"TWPL saved.TWD"_s)), current);
  EXPECT_TRUE(Shown().contains(u"Are you sure you want to clear the Database?"_s));

  ASSERT_TRUE(commands_.SaveDatabase());
  EXPECT_EQ(test::ReadAll(library_.DatabasePath()), "3.12      ");
  EXPECT_EQ(Shown().last(), u"Song data has been saved.");
}

TEST_F(DatabaseCommandsTest, FailedSaveIsReportedInsteadOfConfirmed) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir(u"TWPL.tmp"_s));
  EXPECT_FALSE(commands_.SaveDatabase());
  ASSERT_EQ(Shown().size(), 1);
  EXPECT_TRUE(Shown()[0].endsWith(u"\nin PlayList.mnuSaveDatabase_Click"_s));
  EXPECT_FALSE(Shown()[0].contains(u"Song data has been saved."_s));
}

}  // namespace
}  // namespace audiolume::test
