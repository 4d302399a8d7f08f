#include <QDir>
#include <QtEndian>
#include <limits>

#include "fakes/TestFiles.h"
#include "library/LibraryFixture.h"
#include "library/RecordCodec.h"
#include "support/AppError.h"
#include "support/Runtime.h"

namespace audiolume::test {
namespace {

QByteArray Text(const QByteArray& bytes) {
  return QByteArray(1, char(bytes.size() & 0xFF)) + char(bytes.size() >> 8) + bytes;
}

template <typename T>
QByteArray Little(T value) {
  value = qToLittleEndian(value);
  return QByteArray(reinterpret_cast<const char*>(&value), sizeof(T));
}

// A record of the layout before version 1.28: nine texts, date, count, two texts, track.
QByteArray LegacyRecord(const QByteArray& title) {
  QByteArray out;
  for (const QByteArray& text :
       {title, QByteArray("Alb"), QByteArray("Art"), QByteArray("Rock"), QByteArray("old tempo"),
        QByteArray("Mood"), QByteArray("Sit"), QByteArray("Pref"), QByteArray("4:01")}) {
    out += Text(text);
  }
  return out + Little<double>(36000.25) + Little<qint32>(3) + Text("/m/" + title + ".mp3") +
         Text("SN") + Little<qint16>(2);
}

QString FromOleDateText(double date) {
  return FromOleDate(date).toString(u"yyyy-MM-dd hh:mm:ss"_s);
}

using SongLibraryTest = LibraryFixture;

TEST_F(SongLibraryTest, FullRecordsRoundTripWithoutTheFileOnlyTexts) {
  SongRecord first = SampleRecord(u"Bjørk ☂"_s);
  first.Lyrics = u"la la"_s;
  first.Notes = u"line 1\r\nline 2"_s;
  first.Bios = u"born"_s;
  library_.AddOrReplaceRecord(first);
  library_.AddOrReplaceRecord(SampleRecord(u"second"_s));
  ASSERT_TRUE(library_.SaveSongData());
  EXPECT_FALSE(library_.SongDataModified());
  EXPECT_TRUE(
      test::ReadAll(library_.DatabasePath()).startsWith("3.12      " + Text(first.Title.toUtf8())));

  SongLibrary loaded(dir_.path(), error_, check_);
  loaded.LoadSongData();
  ASSERT_EQ(loaded.SongCount(), 2);
  SongRecord expected = first;
  expected.Lyrics.clear();
  expected.Notes.clear();
  expected.Bios.clear();
  EXPECT_EQ(loaded.SongRecords(1), expected);
  EXPECT_EQ(loaded.SongRecords(2), SampleRecord(u"second"_s));
  EXPECT_EQ(loaded.SongText(1, 9), SongLibrary::FormatLastPlayed(45000.5));
  EXPECT_EQ(loaded.SongText(2, 10), u"12");
  EXPECT_EQ(loaded.SongText(2, 11), u"/music/second.mp3");
  EXPECT_EQ(loaded.SongOrder(2), 2);
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());
}

TEST_F(SongLibraryTest, RecordLayoutIsByteExact) {
  SongRecord r;
  r.Title = u"T"_s;
  r.LastPlayed = 1.5;
  r.PlayFreq = 258;
  r.Filename = u"é"_s;
  r.TrackNumber = -2;
  r.Reserved[7] = u"z"_s;
  QByteArray bytes;
  RecordCodec::AppendRecord(bytes, r);
  QByteArray expected = Text("T") + QByteArray(16, '\0') + Little<double>(1.5) +
                        Little<qint32>(258) + Text("\xC3\xA9") + Text("") + Little<qint16>(-2) +
                        QByteArray(2 * 13, '\0') + Text("z");
  EXPECT_EQ(bytes.toHex(), expected.toHex());
}

TEST_F(SongLibraryTest, VersionTextChoosesTheLayoutAsText) {
  for (const char* version : {"1.28", "3.12", "10.0"}) {
    EXPECT_TRUE(RecordCodec::IsFullLayout(QString::fromLatin1(version))) << version;
  }
  EXPECT_FALSE(RecordCodec::IsFullLayout(u"1.27      "_s));
  EXPECT_FALSE(RecordCodec::IsFullLayout(u"0.9"_s));

  test::WriteAll(library_.DatabasePath(), "1.27      " + LegacyRecord("One") + LegacyRecord("Two"));
  library_.LoadSongData();
  ASSERT_EQ(library_.SongCount(), 2);
  const SongRecord& r = library_.SongRecords(2);
  EXPECT_EQ(r.Title, u"Two");
  EXPECT_EQ(r.Genre, u"Rock");
  EXPECT_EQ(r.Tempo, u"");
  EXPECT_EQ(r.Mood, u"Mood");
  EXPECT_EQ(r.TrackTime, u"4:01");
  EXPECT_EQ(r.LastPlayed, 0.0);
  EXPECT_EQ(r.PlayFreq, 3);
  EXPECT_EQ(r.Filename, u"/m/Two.mp3");
  EXPECT_EQ(r.SerialNumber, u"SN");
  EXPECT_EQ(r.TrackNumber, 2);
  EXPECT_EQ(library_.SongText(2, 9), u"");  // the zero date shows as never played

  test::WriteAll(library_.DatabasePath(), "3.12      ");
  library_.LoadSongData();
  EXPECT_EQ(library_.SongCount(), 0);
  EXPECT_TRUE(library_.SongDataLoaded());
}

TEST_F(SongLibraryTest, DamagedDatabaseKeepsEarlierRowsReportsOnceAndStaysOnDisk) {
  QByteArray two;
  RecordCodec::AppendRecord(two, SampleRecord(u"a"_s));
  RecordCodec::AppendRecord(two, SampleRecord(u"b"_s));
  const QByteArray cases[] = {
      "3.12      " + two.left(two.size() - 3),               // truncated record
      "3.12      " + two.left(two.size() / 2) + "\xFF\xFF",  // a length past the end
      "3.1"};                                                // not even a header
  const int rows[] = {1, 1, 0};
  for (int i = 0; i < 3; ++i) {
    prompter_.ClearRecord();
    test::WriteAll(library_.DatabasePath(), cases[i]);
    library_.LoadSongData();
    EXPECT_EQ(library_.SongCount(), rows[i]) << i;
    ASSERT_EQ(prompter_.ShownMessages().size(), 1) << i;
    const QString shown = prompter_.ShownMessages()[0].text;
    EXPECT_TRUE(shown.startsWith(u"Input past end of file: "_s + library_.DatabasePath())) << i;
    EXPECT_TRUE(shown.endsWith(u"\nin PlayList.LoadSongData"_s));
    EXPECT_EQ(test::ReadAll(library_.DatabasePath()), cases[i]);
    EXPECT_FALSE(library_.SongDataModified());
  }
}

TEST_F(SongLibraryTest, FailedSaveLeavesDatabaseAndBackupAsTheyWere) {
  library_.AddOrReplaceRecord(SampleRecord(u"a"_s));
  ASSERT_TRUE(library_.SaveSongData());
  const QByteArray firstSave = test::ReadAll(library_.DatabasePath());
  library_.AddOrReplaceRecord(SampleRecord(u"b"_s));
  ASSERT_TRUE(library_.SaveSongData());
  EXPECT_EQ(test::ReadAll(Path(u"TWPL.MD9"_s)), firstSave);
  const QByteArray secondSave = test::ReadAll(library_.DatabasePath());

  // A folder in the way of "TWPL.tmp" makes the write fail, even for root.
  ASSERT_TRUE(QDir(dir_.path()).mkdir(u"TWPL.tmp"_s));
  library_.AddOrReplaceRecord(SampleRecord(u"c"_s));
  EXPECT_FALSE(library_.SaveSongData());
  EXPECT_TRUE(error_.IsSet());
  EXPECT_TRUE(library_.SongDataModified());
  EXPECT_EQ(test::ReadAll(library_.DatabasePath()), secondSave);
  EXPECT_EQ(test::ReadAll(Path(u"TWPL.MD9"_s)), firstSave);
}

TEST_F(SongLibraryTest, LegacyTextDatabaseIsImportedOnceAndSaved) {
  test::WriteAll(Path(u"VeltoDj.dat"_s),
                 "header line without separators\r\n"
                 "Song\xFF"
                 "Album\xFF"
                 "Artist\xFFGenre\xFF\xFF\xFF\xFF\xFF"
                 "3:07\xFF"
                 "02-03-99/ 10:11:12\xFF"
                 "4\xFF/m/song.mp3\r\n"
                 "Other\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF"
                 "1\xFF/m/other.mp3\r\n");
  library_.LoadSongData();
  ASSERT_EQ(library_.SongCount(), 2);
  const SongRecord& song = library_.SongRecords(1);
  EXPECT_EQ(song.Title, u"Song");
  EXPECT_EQ(song.TrackTime, u"3:07");
  EXPECT_EQ(FromOleDateText(song.LastPlayed), u"1999-02-03 10:11:12");
  EXPECT_EQ(song.PlayFreq, 4);
  EXPECT_EQ(song.Filename, u"/m/song.mp3");
  EXPECT_GT(library_.SongRecords(2).LastPlayed, 40000);  // no date: stamped now
  EXPECT_TRUE(QFile::exists(library_.DatabasePath()));
  EXPECT_TRUE(QFile::exists(Path(u"VeltoDj.dat"_s)));

  SongLibrary again(dir_.path(), error_, check_);
  again.LoadSongData();
  EXPECT_EQ(again.SongCount(), 2);
}

TEST_F(SongLibraryTest, OverflowPast32767SongsKeepsTheEarlierRows) {
  QByteArray file = "3.12      ";
  QByteArray record;
  RecordCodec::AppendRecord(record, SongRecord());
  file += record.repeated(SongLibrary::kMaxSongs + 1);
  test::WriteAll(library_.DatabasePath(), file);
  library_.LoadSongData();
  EXPECT_EQ(library_.SongCount(), SongLibrary::kMaxSongs);
  ASSERT_EQ(prompter_.ShownMessages().size(), 1);
  EXPECT_TRUE(prompter_.ShownMessages()[0].text.startsWith(u"Overflow"_s));
  EXPECT_THROW(library_.AddSongRow(u"t"_s, {}, {}, {}, u"/x.mp3"_s), AppError);
  EXPECT_EQ(library_.SongCount(), SongLibrary::kMaxSongs);
}

TEST_F(SongLibraryTest, LastPlayedDatesOfEveryCenturyYearSurviveLoadAndSave) {
  QList<double> dates;
  for (int year = 1930; year <= 2099; ++year) {
    dates.append(ToOleDate(QDate(year, 1, 1), QTime(13, 14, 15)));
    SongRecord r = SampleRecord(QString::number(year));
    r.LastPlayed = dates.last();
    library_.AddOrReplaceRecord(r);
  }
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(library_.SaveSongData());
    library_.LoadSongData();
  }
  for (int row = 1; row <= library_.SongCount(); ++row) {
    EXPECT_EQ(library_.SongRecords(row).LastPlayed, dates[row - 1]) << row;
  }
  // A date typed into the column reads its two-digit year near today.
  library_.SongText(1, SongLibrary::kLastPlayedColumn) = u"01-01-31/ 10:00:00"_s;
  ASSERT_TRUE(library_.SaveSongData());
  EXPECT_EQ(OleDay(library_.SongRecords(1).LastPlayed).year(), 2031);
}

TEST_F(SongLibraryTest, CraftedNumbersAndDatesAreBounded) {
  SongRecord r = SampleRecord(u"a"_s);
  r.PlayFreq = std::numeric_limits<qint32>::max();
  r.LastPlayed = std::numeric_limits<double>::quiet_NaN();
  library_.AddOrReplaceRecord(r);
  r = SampleRecord(u"b"_s);
  r.LastPlayed = 1e300;
  library_.AddOrReplaceRecord(r);
  EXPECT_EQ(library_.SongText(1, SongLibrary::kLastPlayedColumn), u"");
  EXPECT_EQ(library_.SongText(2, SongLibrary::kLastPlayedColumn), u"");
  library_.NoteSongPlayed(u"/music/a.mp3"_s);
  EXPECT_EQ(library_.SongText(1, SongLibrary::kPlayFreqColumn), u"2147483647");
  EXPECT_FALSE(SongLibrary::ParseLastPlayed(u"1-1-99999999999999999999/ 1:00:00"_s).has_value());
  EXPECT_FALSE(SongLibrary::ParseLastPlayed(u"99999999999999999999-1-1/ 1:00:00"_s).has_value());
  ASSERT_TRUE(library_.SaveSongData());
  EXPECT_EQ(library_.SongRecords(2).LastPlayed, 1e300);
}

TEST_F(SongLibraryTest, ADatabaseFromAnotherSystemIsFoundWhateverItsCase) {
  library_.AddOrReplaceRecord(SampleRecord(u"a"_s));
  ASSERT_TRUE(library_.SaveSongData());
  ASSERT_TRUE(QFile::rename(Path(u"TWPL.TWD"_s), Path(u"twpl.twd"_s)));
  SongLibrary other(dir_.path(), error_, check_);
  other.LoadSongData();
  EXPECT_EQ(other.SongCount(), 1);
  ASSERT_TRUE(other.SaveSongData());
  EXPECT_FALSE(QFile::exists(Path(u"TWPL.TWD"_s)));  // no second database beside it
  EXPECT_TRUE(QFile::exists(Path(u"twpl.twd"_s)));
}

TEST_F(SongLibraryTest, AlbumNeighboursShareTextsWithoutMixingThemUp) {
  const QStringList albums{u"Same Album"_s, u"Same Album"_s, u"Ã©"_s, u"é"_s, u"Same Album"_s};
  for (int i = 0; i < albums.size(); ++i) {
    SongRecord r = SampleRecord(QString::number(i));
    r.Album = albums[i];
    library_.AddOrReplaceRecord(r);
  }
  ASSERT_TRUE(library_.SaveSongData());
  library_.LoadSongData();
  ASSERT_EQ(library_.SongCount(), albums.size());
  for (int row = 1; row <= albums.size(); ++row) {
    EXPECT_EQ(library_.SongRecords(row).Album, albums[row - 1]) << row;
  }
  library_.SongRecords(2).Album = u"Changed"_s;  // a shared text changes for its row only
  EXPECT_EQ(library_.SongRecords(1).Album, u"Same Album");
}

TEST_F(SongLibraryTest, RowOperations) {
  library_.AddOrReplaceRecord(SampleRecord(u"a"_s));
  const int row = library_.AddSongRow(u"New"_s, u"Alb"_s, u"Art"_s, u"2:00"_s, u"/m/New.mp3"_s);
  EXPECT_EQ(row, 2);
  EXPECT_EQ(library_.SongOrder(2), 2);
  EXPECT_EQ(library_.FindSongByFilename(u"/m/New.mp3"_s), 2);
  EXPECT_EQ(library_.FindSongByFilename(u"/m/none.mp3"_s), 0);

  library_.SetSongDataModified(false);
  library_.NoteSongPlayed(u"/music/a.mp3"_s);
  library_.NoteSongPlayed(u"/music/a.mp3"_s);
  EXPECT_EQ(library_.SongText(1, 10), u"14");
  EXPECT_TRUE(library_.SongText(1, 9).contains(QDate::currentDate().toString(u"MM-dd-yyyy/"_s)));
  EXPECT_FALSE(library_.SongDataModified());

  SongRecord replaced = SampleRecord(u"a"_s);
  replaced.Title = u"Replaced"_s;
  EXPECT_EQ(library_.AddOrReplaceRecord(replaced), 1);
  EXPECT_EQ(library_.SongText(1, 0), u"Replaced");

  ASSERT_TRUE(library_.SaveSongData());
  SongRecord saved;
  EXPECT_EQ(library_.GetSongRecord(u"/m/New.mp3"_s, saved), 0);
  EXPECT_EQ(saved.Title, u"New");
  EXPECT_EQ(saved.LastPlayed, 0.0);  // an appended row keeps the zero date
  EXPECT_EQ(library_.GetSongRecord(u"/m/x.mp3"_s, saved), 1);

  library_.DeleteSongRecord(1);
  EXPECT_EQ(library_.SongCount(), 1);
  EXPECT_EQ(library_.SongText(1, 0), u"New");
  EXPECT_TRUE(library_.SongDataModified());
}

}  // namespace
}  // namespace audiolume::test
