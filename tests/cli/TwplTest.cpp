#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "cli/TwplFixture.h"
#include "fakes/SineFiles.h"
#include "fakes/TaggedFiles.h"
#include "fakes/TestFiles.h"
#include "library/SongLibrary.h"
#include "support/CurrentError.h"
#include "support/ErrorCheck.h"
#include "support/ErrorLog.h"
#include "support/ScriptedPrompter.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST_F(TwplTest, MessagesListsEveryNumberWithNameAndText) {
  const Result result = Run({u"messages"_s});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  const QStringList lines = result.out.split(u'\n');
  ASSERT_EQ(lines.size(), 529);  // 528 lines and the final line end
  EXPECT_EQ(lines[0], u"501\tRC_InSuff_DiskSpace\tInsufficient space in the Destination Drive");
  EXPECT_EQ(lines[176 - 1], u"676\tRC_DB_Saved\tSong data has been saved.");
  EXPECT_EQ(lines[527], u"1028\tRC_GetTrackID\tGetting ID of track {track number}");
  EXPECT_TRUE(lines[48].startsWith(u"549\t"_s) && lines[48].endsWith(u"\t"_s));
  // The shipped message file was generated from the same table and copied into the home.
  EXPECT_TRUE(test::ReadAll(Home() + u"/TWPL_Msg.eng"_s)
                  .contains("RC_DB_Saved=Song data has been saved.\n"));
  EXPECT_TRUE(QFile::exists(Home() + u"/TWPL_Err.eng"_s));
}

TEST_F(TwplTest, MsgLooksUpAndSubstitutes) {
  EXPECT_EQ(Run({u"msg"_s, u"676"_s}).out, u"Song data has been saved.\n");
  EXPECT_EQ(Run({u"msg"_s, u"599"_s, u"a.txt"_s}).out, u"a.txt already exists.\n");
}

TEST_F(TwplTest, BadCommandsAndArgumentsAreUsageErrors) {
  for (const QStringList& args :
       {QStringList{u"nonsense"_s}, QStringList{u"msg"_s, u"x"_s}, QStringList{u"msg"_s},
        QStringList{u"messages"_s, u"1"_s}, QStringList{}}) {
    const Result result = Run(args);
    EXPECT_EQ(result.code, 2) << args.join(u' ').toStdString();
    EXPECT_TRUE(result.err.contains(u"usage: twpl"_s));
    EXPECT_TRUE(result.out.isEmpty());
  }
}

TEST_F(TwplTest, DiagnosticsPrintsThePathOfTheCapture) {
  const Result result = Run({u"diagnostics"_s});
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(result.out, Home() + u"/Diagnostic.log\n"_s);
  EXPECT_TRUE(
      test::ReadAll(Home() + u"/Diagnostic.log"_s).startsWith("Tunewright JukeBox 3.12.030"));
}

TEST_F(TwplTest, LibraryListExportAndTheGuardedCommands) {
  MakeLibrary();
  const Result list = Run({u"library"_s, u"list"_s});
  ASSERT_EQ(list.code, 0) << list.err.toStdString();
  EXPECT_EQ(list.out,
            u"One\tAlbum\tArtist\t\t\t\t\t\t3:07\t\t0\t/m/one.mp3\n"
            u"Two\t\tB\t\t\t\t\t\t1:00\t\t0\t/m/two.mp3\n"_s);

  EXPECT_EQ(Run({u"library"_s, u"export"_s, u"out.txt"_s}).code, 0);
  const QByteArray exported = test::ReadAll(dir_.filePath(u"out.txt"_s));
  EXPECT_TRUE(exported.endsWith("/m/two.mp3\tTwo\t\tB\t\t\t\t\t\t1:00\t\t\r\n"));
  EXPECT_EQ(Run({u"library"_s, u"export"_s, u"out.txt"_s}).code, 1);  // exists: not replaced
  EXPECT_EQ(Run({u"library"_s, u"export"_s, u"out.txt"_s, u"--replace"_s}).code, 0);

  EXPECT_EQ(Run({u"library"_s, u"save-as"_s, u"copy.TWD"_s}).code, 0);
  EXPECT_EQ(test::ReadAll(dir_.filePath(u"copy.TWD"_s)), test::ReadAll(Home() + u"/TWPL.TWD"_s));

  EXPECT_EQ(Run({u"library"_s, u"clear"_s}).code, 1);
  EXPECT_EQ(Run({u"library"_s, u"list"_s}).out.count(u'\n'), 2);
  EXPECT_EQ(Run({u"library"_s, u"clear"_s, u"--yes"_s}).code, 0);
  EXPECT_EQ(Run({u"library"_s, u"list"_s}).out, u"");
  EXPECT_TRUE(QFile::exists(Home() + u"/TWPL saved.TWD"_s));

  EXPECT_EQ(Run({u"library"_s, u"load"_s, u"copy.TWD"_s}).code, 0);
  EXPECT_EQ(Run({u"library"_s, u"list"_s}).out.count(u'\n'), 2);
  EXPECT_EQ(Run({u"library"_s, u"save"_s}).code, 0);
  EXPECT_TRUE(QFile::exists(Home() + u"/TWPL.MD9"_s));
  EXPECT_EQ(Run({u"library"_s, u"bogus"_s}).code, 2);
}

TEST_F(TwplTest, TagsShowWriteAndArt) {
  QByteArray audio(4000, 'a');
  QByteArray id3 = QByteArray("TAG") + QByteArray("Old").leftJustified(30, ' ') +
                   QByteArray("Band").leftJustified(30, '\0') + QByteArray(30, ' ') + "1999" +
                   QByteArray(30, ' ') + char(17);
  test::WriteAll(dir_.filePath(u"song.mp3"_s), audio + id3);

  Result shown = Run({u"tags"_s, u"show"_s, u"song.mp3"_s});
  ASSERT_EQ(shown.code, 0) << shown.err.toStdString();
  QStringList lines = shown.out.split(u'\n');
  ASSERT_EQ(lines.size(), 2 + 28 + 9 + 7 + 1);
  EXPECT_EQ(lines[0], u"Trailer\tno");
  EXPECT_EQ(lines[1], u"TrailerVersion\t");
  EXPECT_EQ(lines[2], u"Title\tOld");
  EXPECT_EQ(lines[5], u"Genre\tRock");
  EXPECT_EQ(lines[11], u"LastPlayed\t1899-12-30 00:00:00");
  EXPECT_EQ(lines[29], u"Reserved8\t");
  EXPECT_EQ(lines[30], u"ID3Present\tyes");
  EXPECT_EQ(lines[32], u"ID3Artist\tBand");
  EXPECT_EQ(lines[36], u"ID3Genre\t17");
  EXPECT_EQ(lines[38], u"ArtLength\t0");
  EXPECT_EQ(lines.mid(39, 7),
            (QStringList{u"StdTitle\t"_s, u"StdArtist\t"_s, u"StdAlbum\t"_s, u"StdGenre\t"_s,
                         u"StdYear\t"_s, u"StdTrack\t"_s, u"StdPicture\t"_s}));

  // A file tagged by another program: its standard tag, and its cover as the art.
  const QString modern = dir_.filePath(u"modern.ogg"_s);
  ASSERT_TRUE(test::WriteSineOgg(modern, 0.5));
  test::StandardTagValues values;
  values.title = u"Ogg Title"_s;
  values.artist = u"Ogg Artist"_s;
  values.year = 2021;
  values.picture = test::SmallPng();
  values.pictureMime = u"image/png"_s;
  ASSERT_TRUE(test::WriteStandardTag(modern, values));
  lines = Run({u"tags"_s, u"show"_s, u"modern.ogg"_s}).out.split(u'\n');
  ASSERT_EQ(lines.size(), 2 + 28 + 9 + 7 + 1);
  EXPECT_EQ(lines[2], u"Title\tOgg Title");
  EXPECT_EQ(lines[37], u"ArtType\tpng");
  EXPECT_EQ(lines.mid(39, 7), (QStringList{u"StdTitle\tOgg Title"_s, u"StdArtist\tOgg Artist"_s,
                                           u"StdAlbum\t"_s, u"StdGenre\t"_s, u"StdYear\t2021"_s,
                                           u"StdTrack\t"_s, u"StdPicture\timage/png"_s}));

  Result written = Run({u"tags"_s, u"write"_s, u"song.mp3"_s, u"Title=New"_s, u"Lyrics=one\\ntwo"_s,
                        u"PlayFreq=3"_s, u"ID3Year=2024"_s, u"--answer"_s, u"tunewright"_s});
  EXPECT_EQ(written.out, u"0\n");
  lines = Run({u"tags"_s, u"show"_s, u"song.mp3"_s}).out.split(u'\n');
  EXPECT_EQ(lines[0], u"Trailer\tyes");
  EXPECT_EQ(lines[1], u"TrailerVersion\t3.12");
  EXPECT_EQ(lines[2], u"Title\tNew");
  EXPECT_EQ(lines[12], u"PlayFreq\t3");
  EXPECT_EQ(lines[13], u"Filename\t"_s + dir_.filePath(u"song.mp3"_s));
  EXPECT_EQ(lines[18], u"Lyrics\tone\\ntwo");
  EXPECT_EQ(lines[31], u"ID3Title\tNew");
  EXPECT_EQ(lines[34], u"ID3Year\t2024");
  EXPECT_TRUE(test::ReadAll(dir_.filePath(u"song.mp3"_s)).startsWith(audio));

  test::WriteAll(dir_.filePath(u"cover.jpg"_s), "picture bytes");
  EXPECT_EQ(Run({u"tags"_s, u"art"_s, u"song.mp3"_s, u"cover.jpg"_s}).out, u"0\n");
  EXPECT_EQ(Run({u"tags"_s, u"art"_s, u"song.mp3"_s, u"cover.png"_s}).out, u"4\n");
  EXPECT_EQ(Run({u"tags"_s, u"extract-art"_s, u"song.mp3"_s, u"out.jpg"_s}).code, 0);
  EXPECT_EQ(test::ReadAll(dir_.filePath(u"out.jpg"_s)), "picture bytes");
  lines = Run({u"tags"_s, u"show"_s, u"song.mp3"_s}).out.split(u'\n');
  EXPECT_EQ(lines[37], u"ArtType\tjpg");
  EXPECT_EQ(lines[38], u"ArtLength\t13");

  test::WriteAll(dir_.filePath(u"plain.mp3"_s), audio);
  EXPECT_EQ(Run({u"tags"_s, u"extract-art"_s, u"plain.mp3"_s, u"x.jpg"_s}).code, 1);
  EXPECT_EQ(Run({u"tags"_s, u"write"_s, u"song.mp3"_s, u"Nope=1"_s}).code, 2);
  EXPECT_EQ(Run({u"tags"_s, u"write"_s, u"song.mp3"_s, u"--answer"_s, u"maybe"_s}).code, 2);
  // A missing song is a failure, not a command line twpl does not take.
  const Result missing = Run({u"tags"_s, u"show"_s, u"gone.mp3"_s});
  EXPECT_EQ(missing.code, 1);
  EXPECT_FALSE(missing.err.contains(u"usage:"_s)) << missing.err.toStdString();
}

TEST_F(TwplTest, ATagWriteThatIsKilledOrRunsOutOfSpaceLosesNothing) {
  const QString song = dir_.filePath(u"song.mp3"_s);
  test::WriteAll(song, QByteArray(30000, 'a'));
  ASSERT_EQ(Run({u"tags"_s, u"write"_s, u"song.mp3"_s, u"Title=Old"_s}).out, u"0\n");
  const QByteArray before = test::ReadAll(song);
  // Long lyrics make the new tags larger than the old, and the file-size limit stops the
  // write half-way: a kill, or, with the signal ignored, a full disk.
  const QString limit = u"--fsize="_s + QString::number(before.size() + 4000);
  const QStringList write{u"tags"_s, u"write"_s, u"song.mp3"_s, u"Title=New"_s,
                          u"Lyrics="_s + QString(40000, u'l')};
  RunWith({u"prlimit"_s, limit}, write);
  EXPECT_TRUE(Run({u"tags"_s, u"show"_s, u"song.mp3"_s}).out.contains(u"\nTitle\tOld\n"_s));
  EXPECT_EQ(test::ReadAll(song), before);

  const Result full = RunWith(
      {u"bash"_s, u"-c"_s, u"trap '' XFSZ; exec \"$@\""_s, u"-"_s, u"prlimit"_s, limit}, write);
  EXPECT_EQ(full.out, u"61\n");
  EXPECT_EQ(test::ReadAll(song), before);
  EXPECT_FALSE(QFile::exists(song + u".audiolume-journal"_s));
}

TEST_F(TwplTest, AFileThisProcessMayNotWriteIsSaidSoAndLeftAlone) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run twpl as another user";
  // The song has its owner's write permission, but twpl runs as somebody else.
  QDir().mkpath(Home());
  const QString song = dir_.filePath(u"theirs.mp3"_s);
  test::WriteAll(song, QByteArray(5000, 'a'));
  for (const QString& path : {dir_.path(), Home()}) {
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadOther | QFile::WriteOther | QFile::ExeOther);
  }
  const Result result =
      RunWith({u"setpriv"_s, u"--reuid=nobody"_s, u"--regid=nogroup"_s, u"--clear-groups"_s},
              {u"tags"_s, u"write"_s, u"theirs.mp3"_s, u"Title=Mine"_s});
  EXPECT_EQ(result.out, u"70\n");
  EXPECT_TRUE(result.err.contains(u"Can't write"_s, Qt::CaseInsensitive))
      << result.err.toStdString();
  EXPECT_EQ(test::ReadAll(song), QByteArray(5000, 'a'));
}

TEST_F(TwplTest, PlayConvertQueryAndAdd) {
  ASSERT_TRUE(test::WriteSineMp3(dir_.filePath(u"one.mp3"_s), 1.0));
  ASSERT_TRUE(test::WriteSineWav(dir_.filePath(u"two.wav"_s), 1.0));
  test::WriteAll(dir_.filePath(u"broken.mp3"_s), "not audio");

  const Result played = Run({u"play"_s, u"--null-audio"_s, u"--speed"_s, u"20"_s, u"one.mp3"_s,
                             u"broken.mp3"_s, u"two.wav"_s});
  EXPECT_EQ(played.out, u"1\t"_s + dir_.filePath(u"one.mp3"_s) + u"\n3\t"_s +
                            dir_.filePath(u"two.wav"_s) + u"\ndone\n"_s);
  EXPECT_EQ(played.code, 1);
  EXPECT_TRUE(played.err.contains(u"The song file is not in a format the player can decode."_s));

  EXPECT_EQ(Run({u"query"_s, u"one.mp3"_s}).out.section(u'\t', 2), u"5\t2\n");
  QDir(dir_.path()).mkdir(u"out"_s);
  const Result converted = Run(
      {u"convert"_s, u"--to"_s, u"out"_s, u"--mp3"_s, u"--bitrate"_s, u"96000"_s, u"two.wav"_s});
  EXPECT_EQ(converted.out, u"converted 1\n");
  EXPECT_TRUE(Run({u"query"_s, u"out/two.mp3"_s}).out.startsWith(u"96000\t"_s));
  EXPECT_EQ(Run({u"convert"_s, u"--to"_s, u"out"_s, u"--wav"_s, u"broken.mp3"_s}).code, 1);
  EXPECT_EQ(Run({u"convert"_s, u"--wav"_s, u"one.mp3"_s}).code, 2);

  const Result added = Run({u"library"_s, u"add"_s, u"one.mp3"_s, u"out/two.mp3"_s});
  EXPECT_EQ(added.out, u"1\t"_s + dir_.filePath(u"one.mp3"_s) + u"\n2\t"_s +
                           dir_.filePath(u"out/two.mp3"_s) + u"\n"_s);
  EXPECT_EQ(Run({u"library"_s, u"add"_s, u"one.mp3"_s}).out, u"");
  EXPECT_EQ(Run({u"library"_s, u"add"_s, u"--yes-to-all"_s, u"one.mp3"_s}).out,
            u"1\t"_s + dir_.filePath(u"one.mp3"_s) + u"\n"_s);
  EXPECT_EQ(Run({u"library"_s, u"list"_s}).out.count(u'\n'), 2);
}

TEST_F(TwplTest, FieldsWithLineBreaksTabsAndBackslashesStayOneLineAndOneColumn) {
  for (const QString& name : {u"two\nlines.mp3"_s, u"tab\there.mp3"_s, u"back\\slash.mp3"_s}) {
    ASSERT_TRUE(test::WriteSineMp3(dir_.filePath(name), 0.3));
  }
  const Result added =
      Run({u"library"_s, u"add"_s, u"two\nlines.mp3"_s, u"tab\there.mp3"_s, u"back\\slash.mp3"_s});
  EXPECT_EQ(added.out.count(u'\n'), 3);
  EXPECT_TRUE(added.out.contains(u"1\t"_s + dir_.filePath(u"two\\nlines.mp3\n"_s)));
  const QStringList lines = Run({u"library"_s, u"list"_s}).out.split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3);
  for (const QString& line : lines) EXPECT_EQ(line.count(u'\t'), 11) << line.toStdString();
  EXPECT_TRUE(lines[1].endsWith(u"tab\\there.mp3"_s));
  EXPECT_TRUE(lines[2].endsWith(u"back\\\\slash.mp3"_s));

  // tags write reads the same escapes back.
  ASSERT_EQ(Run({u"tags"_s, u"write"_s, u"back\\slash.mp3"_s, u"Notes=a\\tb\\\\c\\nd"_s}).code, 0);
  EXPECT_TRUE(Run({u"tags"_s, u"show"_s, u"back\\slash.mp3"_s})
                  .out.contains(u"\nNotes\ta\\tb\\\\c\\nd\n"_s));
}

// The category file's sections count in any letter case; other sections are left out.
TEST_F(TwplTest, CategoriesListTheGenresAndTheCategoryFile) {
  QDir().mkpath(Home());
  test::WriteAll(Home() + u"/VeltoDj.cat"_s,
                 "[TEMPO]\r\nSlow\r\nFast\r\n[Mood]\r\nHappy\r\n\r\n[Colours]\r\nRed\r\n"
                 "[situation]\r\nDriving\r\n[Preference]\r\n5\r\n");
  const Result result = Run({u"categories"_s});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
  const QStringList genres = lines.filter(QRegularExpression(u"^genre\t"_s));
  EXPECT_GT(genres.size(), 100);  // the shipped genre catalog
  EXPECT_TRUE(genres.contains(u"genre\tRock"_s));
  EXPECT_EQ(lines.mid(genres.size()),
            (QStringList{u"tempo\tSlow"_s, u"tempo\tFast"_s, u"mood\tHappy"_s,
                         u"situation\tDriving"_s, u"preference\t5"_s}));
  EXPECT_EQ(Run({u"categories"_s, u"extra"_s}).code, 2);
}

// The track information's save from the command line: the song's fields, its year and
// picture, then the ticked fields copied to the rest of its album.
TEST_F(TwplTest, InfoSaveWritesTheSongAndAppliesToItsAlbum) {
  MakeLibrary();
  for (const QString& name : {u"a.mp3"_s, u"b.mp3"_s, u"c.mp3"_s}) {
    ASSERT_TRUE(test::WriteSineMp3(dir_.filePath(name), 0.3));
  }
  ASSERT_EQ(Run({u"library"_s, u"add"_s, u"a.mp3"_s, u"b.mp3"_s, u"c.mp3"_s}).code, 0);
  ASSERT_EQ(Run({u"library"_s, u"edit"_s, u"b.mp3"_s, u"Album=Live"_s}).code, 0);
  QImage cover(20, 20, QImage::Format_RGB32);
  cover.fill(Qt::green);
  ASSERT_TRUE(cover.save(dir_.filePath(u"cover.png"_s)));

  const Result result =
      Run({u"info"_s, u"save"_s, u"a.mp3"_s, u"Album=Live"_s, u"Mood=Happy"_s, u"Year=1984"_s,
           u"Art=cover.png"_s, u"--apply-to-album"_s, u"Mood,Year,Art"_s});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_EQ(result.out, u"4\t"_s + dir_.filePath(u"b.mp3"_s) + u"\n"_s);
  for (const QString& name : {u"a.mp3"_s, u"b.mp3"_s}) {
    const QString shown = Run({u"tags"_s, u"show"_s, name}).out;
    EXPECT_TRUE(shown.contains(u"\nMood\tHappy\n"_s)) << name.toStdString();
    EXPECT_TRUE(shown.contains(u"\nID3Year\t1984\n"_s)) << name.toStdString();
    EXPECT_TRUE(shown.contains(u"\nArtType\tjpg\n"_s)) << name.toStdString();
  }
  EXPECT_FALSE(Run({u"tags"_s, u"show"_s, u"c.mp3"_s}).out.contains(u"Happy"_s));
  EXPECT_EQ(Run({u"info"_s, u"save"_s, u"gone.mp3"_s, u"Title=X"_s}).code, 1);
  EXPECT_EQ(Run({u"info"_s, u"save"_s, u"a.mp3"_s, u"Colour=Red"_s}).code, 2);
  EXPECT_EQ(Run({u"info"_s, u"save"_s, u"a.mp3"_s, u"--apply-to-album"_s, u"Colour"_s}).code, 2);
}

// A FLAC song's save keeps what only the library holds, for the song and its album.
TEST_F(TwplTest, InfoSaveOfAFlacSongKeepsItsLibraryFields) {
  MakeLibrary();
  for (const QString& name : {u"a.flac"_s, u"b.flac"_s}) {
    ASSERT_TRUE(test::WriteSineFlac(dir_.filePath(name), 0.3));
    test::StandardTagValues tag;
    tag.title = name;
    tag.album = u"Night"_s;
    ASSERT_TRUE(test::WriteStandardTag(dir_.filePath(name), tag));
  }
  ASSERT_EQ(Run({u"library"_s, u"add"_s, u"a.flac"_s, u"b.flac"_s}).code, 0);
  for (const QString& name : {u"a.flac"_s, u"b.flac"_s}) {
    ASSERT_EQ(Run({u"library"_s, u"edit"_s, name, u"Tempo=Slow"_s, u"Mood=Calm"_s}).code, 0);
  }
  const QString before = Run({u"library"_s, u"list"_s}).out;
  ASSERT_TRUE(before.contains(u"\tSlow\tCalm\t"_s));

  const Result result =
      Run({u"info"_s, u"save"_s, u"a.flac"_s, u"Year=2000"_s, u"--apply-to-album"_s, u"Year"_s});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_TRUE(result.out.endsWith(u"\t"_s + dir_.filePath(u"b.flac"_s) + u"\n"_s));
  EXPECT_EQ(Run({u"library"_s, u"list"_s}).out, before);
}

// FLAC and Opus songs are added with their own tags and play time, and an edit goes into
// their Vorbis comments; not a byte is appended to them.
TEST_F(TwplTest, ModernFormatsAreAddedAndEditedInTheirOwnTags) {
  MakeLibrary();
  const QString flac = dir_.filePath(u"song.flac"_s);
  ASSERT_TRUE(test::WriteSineFlac(flac, 2.0));
  test::StandardTagValues values;
  values.title = u"Flac Title"_s;
  values.artist = u"Flac Artist"_s;
  values.album = u"Flac Album"_s;
  values.year = 1997;
  ASSERT_TRUE(test::WriteStandardTag(flac, values));
  const QString opus = dir_.filePath(u"song.opus"_s);
  ASSERT_TRUE(test::WriteSineOpus(opus, 3.0));
  const qint64 flacSize = QFileInfo(flac).size();
  const qint64 opusSize = QFileInfo(opus).size();

  Result result = Run({u"library"_s, u"add"_s, u"song.flac"_s, u"song.opus"_s});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  const QString list = Run({u"library"_s, u"list"_s}).out;
  EXPECT_TRUE(list.contains(u"Flac Title\tFlac Album\tFlac Artist\t\t\t\t\t\t0:02\t"_s))
      << list.toStdString();
  EXPECT_TRUE(list.contains(u"song\t\t\t\t\t\t\t\t0:03\t"_s)) << list.toStdString();
  EXPECT_EQ(QFileInfo(flac).size(), flacSize);
  EXPECT_EQ(QFileInfo(opus).size(), opusSize);

  result = Run({u"library"_s, u"edit"_s, u"song.flac"_s, u"Title=New Title"_s, u"Genre=Ambient"_s,
                u"Mood=Calm"_s});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  const QString shown = Run({u"tags"_s, u"show"_s, u"song.flac"_s}).out;
  EXPECT_TRUE(shown.startsWith(u"Trailer\tno\n"_s));
  EXPECT_TRUE(shown.contains(u"\nStdTitle\tNew Title\n"_s));
  EXPECT_TRUE(shown.contains(u"\nStdGenre\tAmbient\n"_s));
  EXPECT_TRUE(shown.contains(u"\nStdYear\t1997\n"_s));  // what the edit does not name stays
  EXPECT_TRUE(Run({u"library"_s, u"list"_s}).out.contains(u"New Title\tFlac Album"_s));
  EXPECT_EQ(QDir(dir_.path()).entryList({u".audiolume*"_s}, QDir::Files | QDir::Hidden).size(), 0);
}

// info save of a FLAC song stores its lyrics and picture in the file's own tag and its
// notes in the library, where the next run finds them; what cannot be stored fails aloud.
TEST_F(TwplTest, InfoSaveKeepsWhatIsTypedForAFlacSongOrSaysWhyNot) {
  MakeLibrary();
  ASSERT_TRUE(test::WriteSineFlac(dir_.filePath(u"song.flac"_s), 0.5));
  ASSERT_TRUE(test::WriteSineOgg(dir_.filePath(u"loose.ogg"_s), 0.5));
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(dir_.filePath(u"COVER.BMP"_s), "BMP"));
  ASSERT_EQ(Run({u"library"_s, u"add"_s, u"song.flac"_s}).code, 0);

  Result result = Run({u"info"_s, u"save"_s, u"song.flac"_s, u"Lyrics=la la"_s, u"Notes=Live"_s,
                       u"Art=COVER.BMP"_s});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  const QString shown = Run({u"tags"_s, u"show"_s, u"song.flac"_s}).out;
  EXPECT_TRUE(shown.contains(u"\nLyrics\tla la\n"_s)) << shown.toStdString();
  EXPECT_TRUE(shown.contains(u"\nStdPicture\timage/bmp\n"_s)) << shown.toStdString();
  HomeLibrary home(Home());
  SongLibrary& library = home.library;
  const int row = library.FindSongByFilename(dir_.filePath(u"song.flac"_s));
  ASSERT_GT(row, 0);
  EXPECT_EQ(library.SongRecords(row).Notes, u"Live");

  result = Run({u"info"_s, u"save"_s, u"loose.ogg"_s, u"Notes=Lost"_s});
  EXPECT_EQ(result.code, 1);
  EXPECT_TRUE(result.err.contains(u"does not hold this song"_s)) << result.err.toStdString();
}

TEST_F(TwplTest, LibrarySortEditAndDelete) {
  MakeLibrary();
  const QString song = dir_.filePath(u"song.mp3"_s);
  ASSERT_TRUE(test::WriteSineMp3(song, 0.3));
  ASSERT_EQ(Run({u"library"_s, u"add"_s, u"song.mp3"_s}).code, 0);

  Result result = Run({u"library"_s, u"list"_s, u"--sort"_s, u"8"_s});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[0].startsWith(u"song\t"_s));  // "0:00" sorts before "1:00" and "3:07"
  EXPECT_TRUE(lines[1].startsWith(u"Two\t"_s));
  // The stored sort key orders the next plain listing too.
  EXPECT_EQ(Run({u"library"_s, u"list"_s}).out, result.out);

  result = Run({u"library"_s, u"edit"_s, u"song.mp3"_s, u"Mood=Happy;Calm"_s, u"Title=Sine"_s});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_TRUE(Run({u"tags"_s, u"show"_s, u"song.mp3"_s}).out.contains(u"Mood\tHappy;Calm\n"_s));
  EXPECT_TRUE(Run({u"library"_s, u"list"_s}).out.contains(u"Sine\t"_s));
  EXPECT_EQ(Run({u"library"_s, u"edit"_s, u"song.mp3"_s, u"Year=1999"_s}).code, 2);
  EXPECT_EQ(Run({u"library"_s, u"edit"_s, u"other.mp3"_s, u"Title=X"_s}).code, 1);

  result = Run({u"library"_s, u"delete"_s, u"--with-files"_s, u"song.mp3"_s, u"/m/none.mp3"_s});
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.out, u"removed 1\n"_s);
  EXPECT_TRUE(result.err.contains(u"/m/none.mp3"_s));
  EXPECT_FALSE(QFile::exists(song));
  EXPECT_TRUE(QFile::exists(dir_.filePath(u"share/Trash/files/song.mp3"_s)));
  EXPECT_EQ(Run({u"library"_s, u"list"_s}).out.count(u'\n'), 2);
}

TEST_F(TwplTest, PlaylistsAreSavedShownLoadedAndDeleted) {
  MakeLibrary();
  const QString song = dir_.filePath(u"odd name [1].mp3"_s);
  ASSERT_TRUE(test::WriteSineMp3(song, 0.2));
  Result result = Run({u"playlist"_s, u"save"_s, u"Trip"_s, u"/m/one.mp3"_s, song});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  result = Run({u"playlist"_s, u"show"_s, u"Trip"_s});
  EXPECT_EQ(result.out, u"1\t/m/one.mp3\tOne\tArtist\t\n2\t"_s + song + u"\todd name [1]\t\t\n"_s);
  EXPECT_EQ(Run({u"playlist"_s, u"save"_s, u"Trip"_s, song}).code, 1);  // answered No
  EXPECT_EQ(Run({u"playlist"_s, u"save"_s, u"(NEW)"_s, song}).code, 1);
  ASSERT_EQ(Run({u"playlist"_s, u"save"_s, u"Later"_s, song}).code, 0);
  EXPECT_EQ(Run({u"playlist"_s, u"list"_s}).out, u"Trip\nLater\n"_s);

  // /m/one.mp3 does not exist: it is reported and left out of the start-up playlist.
  result = Run({u"playlist"_s, u"load"_s, u"Trip"_s});
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(result.out, u"1\t"_s + song + u"\todd name [1]\t\t\n"_s);
  EXPECT_TRUE(result.err.contains(u"/m/one.mp3"_s));
  EXPECT_EQ(test::ReadAll(Home() + u"/PlayList.txt"_s),
            " 1 \xFF" + song.toUtf8() + "\xFFodd name [1]\xFF\r\n");
  EXPECT_EQ(Run({u"playlist"_s, u"show"_s, u"Nothing"_s}).code, 1);

  EXPECT_EQ(Run({u"playlist"_s, u"delete"_s, u"Trip"_s}).code, 1);
  ASSERT_EQ(Run({u"playlist"_s, u"delete"_s, u"Trip"_s, u"--yes"_s}).code, 0);
  EXPECT_EQ(Run({u"playlist"_s, u"list"_s}).out, u"Later\n"_s);

  // The flag may come first; the name stays a name.
  ASSERT_EQ(Run({u"playlist"_s, u"save"_s, u"--replace"_s, u"Later"_s, u"/m/two.mp3"_s}).code, 0);
  EXPECT_EQ(Run({u"playlist"_s, u"list"_s}).out, u"Later\n"_s);
  EXPECT_EQ(Run({u"playlist"_s, u"show"_s, u"Later"_s}).out, u"1\t/m/two.mp3\tTwo\tB\t\n"_s);
  result = Run({u"playlist"_s, u"save"_s, u"Mix ]2"_s, u"/m/two.mp3"_s});
  EXPECT_EQ(result.code, 1);
  EXPECT_TRUE(result.err.contains(u"cannot be used"_s)) << result.err.toStdString();
  EXPECT_EQ(Run({u"playlist"_s, u"list"_s}).out, u"Later\n"_s);

  QFile::remove(Home() + u"/Playlist.dat"_s);
  QDir().mkdir(Home() + u"/Playlist.dat"_s);
  result = Run({u"playlist"_s, u"list"_s});
  EXPECT_EQ(result.code, 1);
  EXPECT_TRUE(result.err.contains(u"Playlist.dat"_s)) << result.err.toStdString();
}

// A FIFO or a device put in place of a file the program reads is refused at once, never
// waited on or read without end.
TEST_F(TwplTest, FilesThatAreNotRegularFilesNeverHangACommand) {
  MakeLibrary();
  for (const QString& name : {u"ID3v1.cat"_s, u"Diamond.ini"_s, u"Playlist.dat"_s}) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(Home() + u'/' + name).constData(), 0600), 0);
  }
  ASSERT_TRUE(QFile::link(u"/dev/zero"_s, Home() + u"/VeltoDj.cat"_s));
  Result result = Run({u"categories"_s});
  EXPECT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_EQ(result.out, QString());
  EXPECT_EQ(Run({u"playlist"_s, u"list"_s}).code, 1);
  result = Run({u"rio"_s, u"export"_s, u"/m/one.mp3"_s});
  EXPECT_EQ(result.code, 2) << result.err.toStdString();  // no player folder could be read
}

TEST_F(TwplTest, SampleSongsJoinTheLibraryAndTheEndOfTheStartupPlaylist) {
  QDir().mkpath(Home());
  const QByteArray old = " 1 \xFF/m/old.mp3\xFFOld\xFF\r\n";
  test::WriteAll(Home() + u"/PlayList.txt"_s, old);
  const QString flac = dir_.filePath(u"Sample Song.flac"_s);
  const QString ogg = dir_.filePath(u"Other.ogg"_s);
  ASSERT_TRUE(test::WriteSineFlac(flac, 0.3));
  ASSERT_TRUE(test::WriteSineOgg(ogg, 0.3));
  Result result = Run({u"playlist"_s, u"add-startup"_s, flac, ogg});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_EQ(result.out, u"1\t"_s + flac + u"\n2\t"_s + ogg + u'\n');
  const QByteArray lines = old + " 1 \xFF" + flac.toUtf8() + "\xFFSample Song\xFF\r\n" + " 1 \xFF" +
                           ogg.toUtf8() + "\xFFOther\xFF\r\n";
  EXPECT_EQ(test::ReadAll(Home() + u"/PlayList.txt"_s), lines);
  EXPECT_EQ(Run({u"library"_s, u"list"_s}).out.count(u'\n'), 2);

  // A song already in the library is not added again, nor listed twice.
  EXPECT_EQ(Run({u"playlist"_s, u"add-startup"_s, ogg}).code, 1);
  EXPECT_EQ(test::ReadAll(Home() + u"/PlayList.txt"_s), lines);
  EXPECT_EQ(Run({u"playlist"_s, u"add-startup"_s}).code, 2);
}

TEST_F(TwplTest, AutoDjPicksFromTheValueListsAndWritesTheStartupPlaylist) {
  MakeLibrary();
  EXPECT_EQ(Run({u"autodj"_s, u"values"_s, u"artist"_s}).out, u"Artist\nB\n"_s);
  Result result = Run({u"autodj"_s, u"--first"_s, u"artist=Artist;B"_s, u"--hours"_s, u"1"_s});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_EQ(result.out, u"/m/one.mp3\tOne\t3:07\n/m/two.mp3\tTwo\t1:00\n"_s);
  EXPECT_TRUE(result.err.contains(u"2 songs met your Auto-Selection criteria,"_s));
  EXPECT_EQ(test::ReadAll(Home() + u"/PlayList.txt"_s).count('\n'), 2);

  result = Run({u"autodj"_s, u"--first"_s, u"artist=Artist;B"_s, u"--second"_s, u"andnot"_s,
                u"album=Album"_s});
  EXPECT_EQ(result.out, u"/m/two.mp3\tTwo\t1:00\n"_s);
  EXPECT_EQ(Run({u"autodj"_s, u"--first"_s, u"artist=Nobody"_s}).code, 2);
  EXPECT_EQ(Run({u"autodj"_s, u"--third"_s, u"and"_s, u"genre=X"_s}).code, 2);
}

TEST_F(TwplTest, RioExportSendsTheSongsAndTellsWhereTheyArrived) {
  ASSERT_TRUE(test::WriteSineMp3(dir_.filePath(u"one.mp3"_s), 1.0));
  ASSERT_TRUE(test::WriteSineWav(dir_.filePath(u"two.wav"_s), 1.0));
  QDir(dir_.path()).mkdir(u"player"_s);
  const QString player = dir_.filePath(u"player"_s);

  const Result sent = Run({u"rio"_s, u"export"_s, u"--device"_s, u"player"_s, u"--bitrate"_s,
                           u"64000"_s, u"one.mp3"_s, u"gone.mp3"_s, u"two.wav"_s});
  EXPECT_EQ(sent.out, u"1\t"_s + player + u"/one.mp3\n3\t"_s + player +
                          u"/two.wav\n2 songs were downloaded into Rio\n"_s);
  EXPECT_EQ(sent.code, 1);  // the missing song did not arrive
  EXPECT_TRUE(Run({u"query"_s, u"player/one.mp3"_s}).out.startsWith(u"64000\t"_s));
  EXPECT_EQ(test::ReadAll(dir_.filePath(u"player/two.wav"_s)),
            test::ReadAll(dir_.filePath(u"two.wav"_s)));

  // Without --yes the erase question is answered no: the earlier songs stay, and the
  // song at another rate does not replace the one sent before.
  const Result kept = Run({u"rio"_s, u"export"_s, u"--device"_s, u"player"_s, u"--bitrate"_s,
                           u"0"_s, u"--clear"_s, u"one.mp3"_s});
  EXPECT_EQ(kept.code, 0);
  EXPECT_EQ(kept.out, u"1\t"_s + player + u"/one (2).mp3\n1 song was downloaded into Rio\n"_s);
  EXPECT_TRUE(kept.err.contains(u"Erase the 2 songs this program sent earlier to "_s + player))
      << kept.err.toStdString();
  const Result again = Run({u"rio"_s, u"export"_s, u"--device"_s, u"player"_s, u"--bitrate"_s,
                            u"0"_s, u"--clear"_s, u"--yes"_s, u"one.mp3"_s});
  EXPECT_EQ(again.code, 0);
  EXPECT_EQ(again.out.split(u'\n').at(1), u"1 song was downloaded into Rio"_s);
  EXPECT_EQ(QDir(player).entryList(QDir::Files, QDir::Name),
            (QStringList{u"Audiolume.m3u"_s, u"Audiolume.sent"_s, u"one.mp3"_s}));

  const Result nowhere =
      Run({u"rio"_s, u"export"_s, u"--device"_s, u"no such folder"_s, u"one.mp3"_s});
  EXPECT_EQ(nowhere.code, 1);
  EXPECT_EQ(nowhere.out, u"");
  EXPECT_TRUE(nowhere.err.contains(u"The Rio player is not ready."_s));
  EXPECT_EQ(Run({u"rio"_s, u"export"_s, u"one.mp3"_s}).code, 2);  // no player folder set
}

// The trailer goes into MP3 files alone: a WAV file is left as it was, and twpl says why.
TEST_F(TwplTest, TagsWriteAndArtLeaveAWavFileAsItWas) {
  const QString wav = dir_.filePath(u"take.wav"_s);
  ASSERT_TRUE(test::WriteSineWav(wav, 0.5));
  const QByteArray before = test::ReadAll(wav);
  test::WriteAll(dir_.filePath(u"cover.jpg"_s), "picture bytes");
  for (const QStringList& command :
       {QStringList{u"tags"_s, u"write"_s, u"take.wav"_s, u"Title=Mine"_s},
        QStringList{u"tags"_s, u"art"_s, u"take.wav"_s, u"cover.jpg"_s}}) {
    const Result result = Run(command);
    EXPECT_EQ(result.out, u"70\n"_s) << command.join(u' ').toStdString();
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(result.err.contains(wav + u": only MP3 files take the trailer tag"_s))
        << result.err.toStdString();
    EXPECT_EQ(test::ReadAll(wav), before) << command.join(u' ').toStdString();
  }
  EXPECT_TRUE(Run({u"tags"_s, u"show"_s, u"take.wav"_s}).out.startsWith(u"Trailer\tno\n"_s));
}

// Edits of an MP3 through twpl reach its ID3v2 tag, where other players read them, and
// leave the tag's other frames as they were.
TEST_F(TwplTest, LibraryEditAndInfoSaveReachAnMp3sId3v2Tag) {
  MakeLibrary();
  const QString song = dir_.filePath(u"song.mp3"_s);
  ASSERT_TRUE(test::WriteSineMp3(song, 0.3));
  test::StandardTagValues values;
  values.title = u"Tagged"_s;
  values.artist = u"Tag Artist"_s;
  values.picture = test::SmallPng();
  ASSERT_TRUE(test::WriteStandardTag(song, values));
  ASSERT_TRUE(test::AddId3v2Frames(song, {{"TXXX", u"Source=Vinyl"_s}}));
  ASSERT_EQ(Run({u"library"_s, u"add"_s, u"song.mp3"_s}).code, 0);

  ASSERT_EQ(Run({u"library"_s, u"edit"_s, u"song.mp3"_s, u"Title=Edited"_s, u"Genre=Jazz"_s}).code,
            0);
  QStringList frames = test::Id3v2Frames(song);
  for (const QString& frame :
       {u"TIT2 Edited"_s, u"TCON Jazz"_s, u"TPE1 Tag Artist"_s, u"TXXX Source\nVinyl"_s}) {
    EXPECT_TRUE(frames.contains(frame)) << frame.toStdString() << frames.join(u'|').toStdString();
  }
  EXPECT_EQ(frames.filter(u"APIC "_s).size(), 1);

  const Result saved = Run({u"info"_s, u"save"_s, u"song.mp3"_s, u"Artist=Someone"_s,
                            u"Year=2001"_s, u"Comment=Great"_s, u"TrackNumber=5"_s});
  ASSERT_EQ(saved.code, 0) << saved.err.toStdString();
  frames = test::Id3v2Frames(song);
  for (const QString& frame : {u"TIT2 Edited"_s, u"TPE1 Someone"_s, u"TDRC 2001"_s, u"COMM Great"_s,
                               u"TRCK 5"_s, u"TXXX Source\nVinyl"_s}) {
    EXPECT_TRUE(frames.contains(frame)) << frame.toStdString() << frames.join(u'|').toStdString();
  }
  EXPECT_EQ(frames.filter(u"APIC "_s).size(), 1);
  const QString shown = Run({u"tags"_s, u"show"_s, u"song.mp3"_s}).out;
  EXPECT_TRUE(shown.startsWith(u"Trailer\tyes\n"_s));
  EXPECT_TRUE(shown.contains(u"\nTitle\tEdited\n"_s)) << shown.toStdString();
  EXPECT_TRUE(shown.contains(u"\nArtist\tSomeone\n"_s)) << shown.toStdString();
}

// The player's playlist names each song as the library does, else as its trailer, its
// standard tag or its ID3v1 tag does, else by its file name.
TEST_F(TwplTest, RioExportNamesTheSongsAsTheLibraryAndTheirTagsDo) {
  test::StandardTagValues values;
  values.title = u"Tag Title"_s;
  for (const QString& name : {u"row.mp3"_s, u"trailer.mp3"_s}) {
    ASSERT_TRUE(test::WriteSineMp3(dir_.filePath(name), 0.5));
    ASSERT_TRUE(test::WriteStandardTag(dir_.filePath(name), values));
  }
  ASSERT_TRUE(test::WriteSineMp3(dir_.filePath(u"plain.mp3"_s), 0.5));
  ASSERT_EQ(Run({u"library"_s, u"add"_s, u"row.mp3"_s}).code, 0);
  {
    // A title edited in the library, as the jukebox keeps it.
    HomeLibrary home(Home());
    home.library.SongText(1, 0) = u"Library Title"_s;
    home.library.SetSongDataModified(true);
    ASSERT_TRUE(home.library.SaveSongData());
  }
  ASSERT_EQ(
      Run({u"tags"_s, u"write"_s, u"trailer.mp3"_s, u"Title=Trailer Title"_s, u"--keep-id3"_s}).out,
      u"0\n"_s);
  const QByteArray trailerBefore = test::ReadAll(dir_.filePath(u"trailer.mp3"_s));
  QDir(dir_.path()).mkdir(u"player"_s);
  const Result sent = Run({u"rio"_s, u"export"_s, u"--device"_s, u"player"_s, u"--bitrate"_s,
                           u"0"_s, u"row.mp3"_s, u"trailer.mp3"_s, u"plain.mp3"_s});
  ASSERT_EQ(sent.code, 0) << sent.err.toStdString();
  const QStringList titles =
      QString::fromUtf8(test::ReadAll(dir_.filePath(u"player/Audiolume.m3u"_s)))
          .split(u'\n')
          .filter(u"#EXTINF:"_s)
          .replaceInStrings(QRegularExpression(u"^#EXTINF:-?\\d+,"_s), QString());
  EXPECT_EQ(titles, (QStringList{u"Library Title"_s, u"Trailer Title"_s, u"plain"_s}));
  EXPECT_EQ(test::ReadAll(dir_.filePath(u"trailer.mp3"_s)), trailerBefore);  // only read
}

}  // namespace
}  // namespace audiolume
