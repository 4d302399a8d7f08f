#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "fakes/TestFiles.h"
#include "library/SongLibrary.h"
#include "support/CurrentError.h"
#include "support/ErrorCheck.h"
#include "support/ErrorLog.h"
#include "support/ScriptedPrompter.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

struct Result {
  int code;
  QString out;
  QString err;
};

// Runs twpl on a fresh home and registry, as a script would.
class TwplTest : public ::testing::Test {
 protected:
  Result Run(const QStringList& args) {
    QProcess twpl;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"AUDIOLUME_HOME"_s);
    env.insert(u"AUDIOLUME_REGISTRY"_s, dir_.filePath(u"registry.ini"_s));
    twpl.setProcessEnvironment(env);
    twpl.setWorkingDirectory(dir_.path());
    twpl.start(QString::fromUtf8(TWPL_PATH), QStringList{u"--home"_s, Home()} + args);
    twpl.waitForFinished(30000);
    return {twpl.exitCode(), QString::fromUtf8(twpl.readAllStandardOutput()),
            QString::fromUtf8(twpl.readAllStandardError())};
  }
  QString Home() const { return dir_.filePath(u"home"_s); }

  // A library of two songs, the second listed first.
  void MakeLibrary() {
    QDir().mkpath(Home());
    CurrentError error;
    ErrorLog log(Home() + u"/TW_Error.log"_s, error);
    ScriptedPrompter prompter;
    ErrorCheck check(error, log, prompter);
    SongLibrary library(Home(), error, check);
    library.AddSongRow(u"One"_s, u"Album"_s, u"Artist"_s, u"3:07"_s, u"/m/one.mp3"_s);
    library.AddSongRow(u"Two"_s, {}, u"B"_s, u"1:00"_s, u"/m/two.mp3"_s);
    ASSERT_TRUE(library.SaveSongData());
  }

  QTemporaryDir dir_;
};

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

}  // namespace
}  // namespace audiolume
