#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "cli/TwplFixture.h"
#include "fakes/SineFiles.h"
#include "fakes/TestFiles.h"
#include "library/SongLibrary.h"
#include "support/CurrentError.h"
#include "support/ErrorCheck.h"
#include "support/ErrorLog.h"
#include "support/IniSettings.h"
#include "support/ScriptedPrompter.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

// twpl's library commands beside a library object of the jukebox's on the same
// application directory.
class TwplLibraryTest : public TwplTest {
 protected:
  QStringList ListedFiles() {
    QStringList files;
    for (const QString& line : Run({u"library"_s, u"list"_s}).out.split(u'\n', Qt::SkipEmptyParts))
      files.append(line.section(u'\t', 11));
    return files;
  }
  QString Listed(const QString& file) {
    for (const QString& line : Run({u"library"_s, u"list"_s}).out.split(u'\n')) {
      if (line.section(u'\t', 11) == file) return line;
    }
    return {};
  }

  CurrentError error_;
  ErrorLog log_{dir_.filePath(u"TW_Error.log"_s), error_};
  ScriptedPrompter prompter_;
  ErrorCheck check_{error_, log_, prompter_};
};

TEST_F(TwplLibraryTest, ASongTwplAddsWhileTheJukeboxRunsSurvivesTheJukeboxsSave) {
  MakeLibrary();
  SongLibrary jukebox(Home(), error_, check_);
  jukebox.LoadSongData();
  const QString flac = dir_.filePath(u"new.flac"_s);
  ASSERT_TRUE(test::WriteSineFlac(flac, 0.3));
  ASSERT_EQ(Run({u"library"_s, u"add"_s, u"new.flac"_s}).code, 0);

  EXPECT_TRUE(jukebox.TakeInDiskChanges());  // the window shows it before any save
  ASSERT_EQ(jukebox.SongCount(), 3);
  EXPECT_EQ(jukebox.SongText(3, SongLibrary::kFilenameColumn), flac);
  jukebox.SongText(1, 0) = u"Edited in the window"_s;
  jukebox.SetSongDataModified(true);
  ASSERT_TRUE(jukebox.SaveSongData());
  EXPECT_EQ(ListedFiles(), (QStringList{u"/m/one.mp3"_s, u"/m/two.mp3"_s, flac}));
  EXPECT_TRUE(Listed(u"/m/one.mp3"_s).startsWith(u"Edited in the window\t"_s));

  // The other way round: twpl's next save keeps the jukebox's.
  ASSERT_EQ(Run({u"library"_s, u"delete"_s, u"/m/two.mp3"_s}).code, 0);
  jukebox.NoteSongPlayed(flac);
  ASSERT_TRUE(jukebox.SavePlayCounts());
  EXPECT_EQ(ListedFiles(), (QStringList{u"/m/one.mp3"_s, flac}));
  EXPECT_EQ(Listed(flac).section(u'\t', 10, 10), u"1");
}

// On Linux Song.mp3 and song.mp3 are two songs: adding, editing and deleting one leaves
// the other alone.
TEST_F(TwplLibraryTest, SongsWhoseNamesDifferOnlyInCaseStayApart) {
  const QString upper = dir_.filePath(u"Song.mp3"_s);
  const QString lower = dir_.filePath(u"song.mp3"_s);
  ASSERT_TRUE(test::WriteSineMp3(upper, 0.3));
  ASSERT_TRUE(test::WriteSineMp3(lower, 0.3));
  ASSERT_TRUE(test::WriteSineOgg(dir_.filePath(u"Tune.ogg"_s), 0.3));
  ASSERT_TRUE(test::WriteSineOgg(dir_.filePath(u"tune.ogg"_s), 0.3));
  Result result = Run({u"library"_s, u"add"_s, u"Song.mp3"_s, u"Tune.ogg"_s});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  result = Run({u"library"_s, u"add"_s, u"song.mp3"_s, u"tune.ogg"_s});
  EXPECT_EQ(result.out, u"3\t"_s + lower + u"\n4\t"_s + dir_.filePath(u"tune.ogg"_s) + u"\n"_s);

  ASSERT_EQ(Run({u"info"_s, u"save"_s, u"song.mp3"_s, u"Title=Lower case"_s}).code, 0);
  EXPECT_TRUE(Listed(lower).startsWith(u"Lower case\t"_s));
  EXPECT_TRUE(Listed(upper).startsWith(u"Song\t"_s));

  result = Run({u"library"_s, u"delete"_s, u"--with-files"_s, u"song.mp3"_s});
  EXPECT_EQ(result.out, u"removed 1\n");
  EXPECT_FALSE(QFile::exists(lower));
  EXPECT_TRUE(QFile::exists(upper));
  EXPECT_EQ(ListedFiles(),
            (QStringList{upper, dir_.filePath(u"Tune.ogg"_s), dir_.filePath(u"tune.ogg"_s)}));
}

// "find" prints what "list" prints of the songs holding every word, in the stored order;
// case and accents aside.
TEST_F(TwplLibraryTest, FindPrintsTheListLinesOfTheSongsHoldingEveryWord) {
  {
    HomeLibrary home(Home());
    home.library.AddSongRow(u"Caf\u00e9 del Mar"_s, u"Album"_s, u"Energy 52"_s, u"10:02"_s,
                            u"/m/cafe.mp3"_s);
    home.library.AddSongRow(u"J\u00f3ga"_s, {}, u"Bj\u00f6rk"_s, u"3:07"_s, u"/m/J\u00f3ga.flac"_s);
    home.library.AddSongRow(u"Hunter"_s, {}, u"BJORK"_s, u"4:00"_s, u"/m/hunter.ogg"_s);
    ASSERT_TRUE(home.library.SaveSongData());
  }
  const Result list = Run({u"library"_s, u"list"_s, u"--sort"_s, u"8"_s, u"--descending"_s});
  ASSERT_EQ(list.code, 0) << list.err.toStdString();
  const QStringList lines = list.out.split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[0].startsWith(u"Caf\u00e9 del Mar\t"_s));  // 10:02, 4:00, 3:07
  EXPECT_TRUE(lines[2].startsWith(u"J\u00f3ga\t"_s));
  EXPECT_EQ(ReadIniString(Home() + u"/VeltoDj.ini"_s, u"PlayList"_s, u"SortDescending"_s), u"True");

  Result found = Run({u"library"_s, u"find"_s, u"bjork"_s});
  EXPECT_EQ(found.code, 0);
  EXPECT_EQ(found.out, lines[1] + u'\n' + lines[2] + u'\n');
  EXPECT_EQ(Run({u"library"_s, u"find"_s, u"J\u00d3GA"_s, u"flac"_s}).out, lines[2] + u'\n');
  EXPECT_EQ(Run({u"library"_s, u"find"_s, u"CAFE"_s, u"energy"_s}).out, lines[0] + u'\n');
  found = Run({u"library"_s, u"find"_s, u"cafe"_s, u"bjork"_s});
  EXPECT_EQ(found.code, 0);
  EXPECT_EQ(found.out, u"");
  EXPECT_EQ(Run({u"library"_s, u"find"_s}).code, 2);
  EXPECT_EQ(Run({u"library"_s, u"list"_s, u"--descending"_s}).code, 2);
  EXPECT_EQ(Run({u"library"_s, u"list"_s, u"--sort"_s, u"14"_s}).code, 2);
}

TEST_F(TwplLibraryTest, AddingFilesItRefusesOrPastAFullLibraryFails) {
  test::WriteAll(dir_.filePath(u"broken.mp3"_s), "not audio");
  ASSERT_TRUE(test::WriteSineMp3(dir_.filePath(u"one.mp3"_s), 0.3));
  Result result = Run({u"library"_s, u"add"_s, u"broken.mp3"_s, u"one.mp3"_s});
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.out, u"1\t"_s + dir_.filePath(u"one.mp3"_s) + u"\n"_s);
  EXPECT_EQ(Run({u"library"_s, u"add"_s, u"gone.mp3"_s}).code, 1);
  EXPECT_EQ(Run({u"library"_s, u"add"_s, u"one.mp3"_s}).code, 0);  // already there: kept

  {
    SongLibrary full(Home(), error_, check_);
    full.LoadSongData();
    while (full.SongCount() < SongLibrary::kMaxSongs) {
      full.AddSongRow(u"t"_s, {}, {}, u"1:00"_s, u"/m/"_s + QString::number(full.SongCount()));
    }
    ASSERT_TRUE(full.SaveSongData());
  }
  ASSERT_TRUE(test::WriteSineMp3(dir_.filePath(u"two.mp3"_s), 0.3));
  result = Run({u"library"_s, u"add"_s, u"two.mp3"_s});
  EXPECT_EQ(result.code, 1);
  EXPECT_TRUE(result.err.contains(u"Overflow"_s)) << result.err.toStdString();
}

// A folder is looked through with its sub-folders; what is not a song is only counted.
TEST_F(TwplLibraryTest, AddingAFolderAddsItsTreeAndReportsWhatItSkipped) {
  QDir(dir_.path()).mkpath(u"Music/Artist/Album"_s);
  ASSERT_TRUE(test::WriteSineMp3(dir_.filePath(u"Music/Artist/Album/01 One.mp3"_s), 0.3));
  ASSERT_TRUE(test::WriteSineFlac(dir_.filePath(u"Music/Artist/Album/02 Two.flac"_s), 0.3));
  ASSERT_TRUE(test::WriteSineOpus(dir_.filePath(u"Music/three.opus"_s), 0.3));
  test::WriteAll(dir_.filePath(u"Music/Artist/Album/cover.jpg"_s), "picture");
  test::WriteAll(dir_.filePath(u"Music/Artist/Album/broken.mp3"_s), "not audio");
  ASSERT_TRUE(QFile::link(dir_.filePath(u"Music"_s), dir_.filePath(u"Music/Artist/again"_s)));
  const Result result = Run({u"library"_s, u"add"_s, u"Music"_s});
  EXPECT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_EQ(result.out, u"1\t"_s + dir_.filePath(u"Music/three.opus"_s) + u"\n2\t"_s +
                            dir_.filePath(u"Music/Artist/Album/01 One.mp3"_s) + u"\n3\t"_s +
                            dir_.filePath(u"Music/Artist/Album/02 Two.flac"_s) + u"\n"_s);
  EXPECT_EQ(result.err, u"3 songs added, 2 other files skipped\n");
  EXPECT_EQ(ListedFiles().size(), 3);
}

}  // namespace
}  // namespace audiolume
