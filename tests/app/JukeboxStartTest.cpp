#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/VeltoDj.h"
#include "fakes/CurrentDirGuard.h"
#include "fakes/TestFiles.h"
#include "library/DefaultPlaylist.h"
#include "library/PlayListText.h"
#include "platform/SingleInstance.h"
#include "support/AppVersion.h"
#include "support/IniSettings.h"
#include "support/ScriptedPrompter.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

class JukeboxStartTest : public ::testing::Test {
 protected:
  StartupOptions Options(const QString& home, const QString& shipped,
                         const QString& commandLine = {}) const {
    return {home,
            dir_.filePath(u"registry.ini"_s),
            dir_.filePath(u"data"_s),
            shipped,
            u"D=/images/a.cue;e=/dev/sr1"_s,
            commandLine,
            u"null"_s,
            {}};
  }
  QString Home() const { return dir_.filePath(u"home"_s); }
  QString Ini(const QString& section, const QString& key) const {
    return ReadIniString(Home() + u"/VeltoDj.ini"_s, section, key);
  }

  QTemporaryDir dir_;
  QTemporaryDir emptyShipped_;
  ScriptedPrompter prompter_;
  test::CurrentDirGuard guard_;
};

TEST_F(JukeboxStartTest, FirstStartWithTheShippedFilesBootstrapsAndCountsRuns) {
  for (int run = 1; run <= 2; ++run) {
    VeltoDj veltoDj(Options(Home(), QString::fromUtf8(SHIPPED_DIR)), prompter_);
    veltoDj.Initialize();
    veltoDj.Load();
    EXPECT_EQ(veltoDj.RunCount(), run);
  }
  EXPECT_EQ(QDir::currentPath(), Home());
  EXPECT_EQ(test::ReadAll(Home() + u"/VeltoDj.ini"_s).left(40),
            test::ReadAll(QString::fromUtf8(SHIPPED_DIR) + u"/VeltoDj.dft"_s).left(40));
  EXPECT_EQ(Ini(u"General"_s, u"CD Drive List"_s), u"D:E:");
  EXPECT_EQ(Ini(u"General"_s, u"CD Drive Count"_s), u"2");
  EXPECT_TRUE(QFile::exists(Home() + u"/TWPL_Msg.eng"_s));
  Registry registry{platform::RegistryStore(dir_.filePath(u"registry.ini"_s))};
  EXPECT_EQ(registry.ReadRegValue(Hive::LocalMachine, kProgramKey, u"sNumOfRuns"_s), u"2");
  // A home given explicitly is never registered.
  EXPECT_EQ(registry.ReadRegValue(Hive::LocalMachine, kProgramKey, u"AppPath"_s), u"");
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());
}

TEST_F(JukeboxStartTest, OnlyTheDefaultSettingsFileBecomesAByteCopy) {
  QDir().mkpath(Home());
  const QByteArray defaults = "[Record]\r\nPlay volume=70\r\nShell Option=3\r\n";
  test::WriteAll(Home() + u"/VeltoDj.dft"_s, defaults);
  test::WriteAll(Home() + u"/TWPL.DAT"_s, "3.12      ");
  VeltoDj veltoDj(Options(Home(), emptyShipped_.path()), prompter_);
  veltoDj.Initialize();
  EXPECT_EQ(veltoDj.PlayVolume(), 50);  // read before the bootstrap, with its default
  veltoDj.Load();
  EXPECT_TRUE(test::ReadAll(Home() + u"/VeltoDj.ini"_s).startsWith(defaults));
  EXPECT_TRUE(QFile::exists(Home() + u"/TWPL.TWD"_s));
  EXPECT_FALSE(QFile::exists(Home() + u"/TWPL.DAT"_s));
  // The missing error-text file is reported once.
  ASSERT_EQ(prompter_.ShownMessages().size(), 1);
  EXPECT_TRUE(prompter_.ShownMessages()[0].text.startsWith(u"Missing Err file"_s));
}

TEST_F(JukeboxStartTest, ABadSettingIsReportedAndTheReadsAfterItStillHappen) {
  QDir().mkpath(Home());
  test::WriteAll(Home() + u"/VeltoDj.ini"_s,
                 "[Record]\nShell Option=99999\nPlay volume=70\nInternet URL=http://x\n");
  VeltoDj veltoDj(Options(Home(), emptyShipped_.path()), prompter_);
  veltoDj.Initialize();
  EXPECT_EQ(veltoDj.PlayVolume(), 70);
  EXPECT_EQ(veltoDj.Settings().internetUrl, u"http://x");
  ASSERT_FALSE(prompter_.ShownMessages().isEmpty());
  EXPECT_TRUE(prompter_.ShownMessages().last().text.startsWith(u"Overflow"_s));
}

TEST_F(JukeboxStartTest, UnregisteredStartUsesTheDataFolderAndRegistersIt) {
  VeltoDj veltoDj(Options({}, emptyShipped_.path()), prompter_);
  veltoDj.Initialize();
  const QString home = dir_.filePath(u"data/Audiolume"_s);
  EXPECT_EQ(veltoDj.WorkingDirectory(), home);
  Registry registry{platform::RegistryStore(dir_.filePath(u"registry.ini"_s))};
  EXPECT_EQ(registry.ReadRegValue(Hive::LocalMachine, kProgramKey, u"AppPath"_s), home);
  EXPECT_TRUE(test::ReadAll(home + u"/TW_Error.log"_s)
                  .contains("This version is not registered in the Windows Registry.;"));
  EXPECT_TRUE(QFile::exists(home + u"/Install.log"_s));

  // The next start finds it through the registry, with no home given.
  VeltoDj again(Options({}, emptyShipped_.path()), prompter_);
  EXPECT_EQ(again.WorkingDirectory(), home);
}

// "Open with" on several files starts a copy that hands them all to the running one; the
// start-up playlist is left as it is.
TEST_F(JukeboxStartTest, FilesOnTheCommandLineAreHandedToTheRunningCopy) {
  const QString song = dir_.filePath(u"My Song #1.mp3"_s);
  const QString other = dir_.filePath(u"Ünïcode\nname.flac"_s);
  test::WriteAll(song, "not really audio");
  test::WriteAll(other, "not really audio");
  const QString name = u"audiolume-test-"_s + QString::number(QCoreApplication::applicationPid());

  VeltoDj first(Options(Home(), emptyShipped_.path()), prompter_);
  first.Initialize();
  PlayListText::Write(first.StartupPlaylistFile(), {{u"/m/kept.mp3"_s, u"Kept"_s, {}, {}}});
  platform::SingleInstance firstInstance(name);
  EXPECT_FALSE(first.ActivatePreviousInstance(firstInstance));
  QStringList received;
  QObject::connect(&firstInstance, &platform::SingleInstance::MessageReceived,
                   [&](const QString& key) { received.append(key); });

  const QStringList arguments{song, QUrl::fromLocalFile(other).toString(), u"/no/such.mp3"_s};
  StartupOptions options = Options(Home(), emptyShipped_.path(), arguments.join(u' '));
  options.arguments = arguments;
  VeltoDj second(options, prompter_);
  second.Initialize();
  second.ParseCommandLine();
  EXPECT_EQ(second.FilesToPlay(), (QStringList{song, other}));
  platform::SingleInstance secondInstance(name);
  EXPECT_TRUE(second.ActivatePreviousInstance(secondInstance));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !received.isEmpty(); }, 5000));
  ASSERT_EQ(received.size(), 1);
  EXPECT_EQ(platform::SingleInstance::FilesOf(received[0]), (QStringList{song, other}));
  EXPECT_EQ(PlayListText::Read(first.StartupPlaylistFile()).size(), 1);
  EXPECT_TRUE(
      test::ReadAll(Home() + u"/TW_Error.log"_s).contains("Command Line =" + song.toUtf8()));

  VeltoDj option(Options(Home(), emptyShipped_.path(), u"-minimized"_s), prompter_);
  option.ParseCommandLine();
  EXPECT_TRUE(option.FilesToPlay().isEmpty());
  EXPECT_FALSE(platform::SingleInstance::FilesOf(u"F12"_s));
}

TEST_F(JukeboxStartTest, PreviousInstallationsNewestLibraryIsRecovered) {
  Registry registry{platform::RegistryStore(dir_.filePath(u"registry.ini"_s))};
  const QString oldKey = kProgramKeyBase + u"\\3.11.020"_s;
  for (const QString& folder : {u"old"_s, u"older"_s}) {
    QDir(dir_.path()).mkdir(folder);
    test::WriteAll(dir_.filePath(folder + u"/twpl.twd"_s), "3.12      " + folder.toUtf8());
    registry.SetRegValue(Hive::LocalMachine, oldKey + folder, u"String"_s, u"AppPath"_s,
                         dir_.filePath(folder));
  }
  test::WriteAll(dir_.filePath(u"old/PlayList.txt"_s),
                 " 1 \xFF/a.mp3\xFF"
                 "a\xFF\r\n");
  QFile older(dir_.filePath(u"older/twpl.twd"_s));
  ASSERT_TRUE(older.open(QIODevice::ReadWrite));
  older.setFileTime(QDateTime::currentDateTime().addDays(-30), QFileDevice::FileModificationTime);
  older.close();

  VeltoDj veltoDj(Options(Home(), emptyShipped_.path()), prompter_);
  veltoDj.Initialize();
  veltoDj.RecoverPreviousLibrary();
  EXPECT_EQ(test::ReadAll(Home() + u"/TWPL.TWD"_s), "3.12      old");
  EXPECT_EQ(PlayListText::Read(veltoDj.StartupPlaylistFile()).size(), 1);
}

TEST_F(JukeboxStartTest, AnOldInstallationsLibraryAndDefaultPlaylistAreTakenOver) {
  QDir().mkpath(Home());
  test::WriteAll(dir_.filePath(u"old.TWD"_s), "3.12      ");
  test::WriteAll(Home() + u"/TWPL.TWD"_s, "3.12      current");
  test::WriteAll(Home() + u"/PlayList.dat"_s,
                 "[Other]\r\n 1 \xFF/x.mp3\xFFX\xFF\r\n[Start]\r\n 1 \xFF/a.mp3\xFF"
                 "A\xFF"
                 "Band\r\n");
  test::WriteAll(Home() + u"/DefaultPlayList.ini"_s,
                 "[General]\r\nDatabase Path=" + dir_.filePath(u"old.TWD"_s).toUtf8() +
                     "\r\nPlaylist Path=" + Home().toUtf8() +
                     "/PlayList.dat\r\nStartup Playlist Name=Start\r\n");
  VeltoDj veltoDj(Options(Home(), emptyShipped_.path()), prompter_);
  veltoDj.Initialize();
  veltoDj.Load();
  EXPECT_EQ(test::ReadAll(Home() + u"/TWPL.TWD"_s), "3.12      ");
  EXPECT_EQ(test::ReadAll(Home() + u"/TWPL saved.TWD"_s), "3.12      current");
  EXPECT_TRUE(QFile::exists(Home() + u"/DefaultPlayList.dat"_s));

  QFile::remove(Home() + u"/DefaultPlayList.dat"_s);
  DefaultPlaylist defaults(Home(), {}, veltoDj.Services().Catalog(), prompter_);
  EXPECT_TRUE(defaults.Import());
  const QList<PlayListEntry> startup = PlayListText::Read(veltoDj.StartupPlaylistFile());
  ASSERT_EQ(startup.size(), 1);
  EXPECT_EQ(startup[0], (PlayListEntry{u"/a.mp3"_s, u"A"_s, u"Band"_s, {}}));
  EXPECT_TRUE(test::ReadAll(Home() + u"/DefaultPlayList.dat"_s).startsWith("[Start]\r\n 1 "));
}

// "<CD>" stands for the folder where a drive's disc is mounted; without the disc the user
// is asked, and Escape (the last button) only cancels.
TEST_F(JukeboxStartTest, ADefaultPlaylistOnACdIsReadFromWhereTheDiscIsMounted) {
  QDir().mkpath(Home());
  const QString disc = dir_.filePath(u"media/cdrom"_s);
  QDir().mkpath(disc + u"/Lists"_s);
  test::WriteAll(disc + u"/Lists/Songs.dat"_s,
                 "[Start]\r\n 1 \xFF<CD>\\Music\\a.mp3\xFF"
                 "A\xFF\r\n 2 \xFF/home/b.mp3\xFF"
                 "B\xFF\r\n");
  test::WriteAll(Home() + u"/DefaultPlayList.ini"_s,
                 "[General]\r\nPlaylist Path=<CD>\\Lists\\Songs.dat\r\n"
                 "Startup Playlist Name=Start\r\n");
  VeltoDj veltoDj(Options(Home(), emptyShipped_.path()), prompter_);
  veltoDj.Initialize();
  QList<platform::CdMount> mounts;
  DefaultPlaylist defaults(
      Home(), [&mounts] { return mounts; }, veltoDj.Services().Catalog(), prompter_);
  prompter_.QueueAnswer(3);  // Escape
  EXPECT_FALSE(defaults.Import());
  EXPECT_TRUE(prompter_.ShownMessages().last().buttons.endsWith(u"Cancel"_s));
  EXPECT_FALSE(test::ReadAll(Home() + u"/DefaultPlayList.ini"_s).contains("Ignore"));

  mounts = {{u"D:"_s, dir_.filePath(u"empty"_s)}, {u"E:"_s, disc}};
  ASSERT_TRUE(defaults.Import());
  const QList<PlayListEntry> startup = PlayListText::Read(Home() + u"/PlayList.txt"_s);
  ASSERT_EQ(startup.size(), 2);
  EXPECT_EQ(startup[0].path, disc + u"/Music/a.mp3"_s);
  EXPECT_EQ(startup[1].path, u"/home/b.mp3");

  mounts.clear();
  prompter_.QueueAnswer(2);  // don't show this again
  EXPECT_FALSE(defaults.Import());
  EXPECT_TRUE(test::ReadAll(Home() + u"/DefaultPlayList.ini"_s).contains("Ignore=True"));
}

}  // namespace
}  // namespace audiolume
