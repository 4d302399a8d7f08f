#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "PromptedHome.h"
#include "fakes/FakePortablePlayer.h"
#include "fakes/SineFiles.h"
#include "fakes/StalledPipe.h"
#include "library/SongFilePresence.h"
#include "player/Export.h"
#include "player/RioExport.h"
#include "player/RioMenu.h"
#include "support/CurrentError.h"
#include "support/ErrorLog.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/ScriptedPrompter.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::FakePortablePlayer;

class ExportWindowTest : public ::testing::Test, public test::PromptedHome {
 protected:
  QString Ini() const { return dir_.filePath(u"Diamond.ini"_s); }
  QString Option(const QString& key) const { return ReadIniString(Ini(), u"General"_s, key); }
  QAction* Item(const QString& name) const { return menu_.findChild<QAction*>(name); }

  QMenu menu_;
  FakePortablePlayer::Script script_;
  FakePortablePlayer::Record record_;
};

TEST_F(ExportWindowTest, MenuKeepsTheOptionsAndAsksForThePlayerBeforeTheFirstExport) {
  int exports = 0;
  new RioMenu(&menu_, catalog_, prompter_, Ini(), [&] { ++exports; });
  EXPECT_TRUE(Item(u"mnuRioNoConversion"_s)->isChecked());  // nothing chosen yet
  Item(u"mnuRio80"_s)->trigger();
  EXPECT_EQ(Option(u"Bit rate"_s), u"80000");
  EXPECT_TRUE(Item(u"mnuRio80"_s)->isChecked());
  EXPECT_FALSE(Item(u"mnuRio128"_s)->isChecked());
  EXPECT_FALSE(Item(u"mnuRioNoConversion"_s)->isChecked());
  Item(u"mnuRioClearMemory"_s)->trigger();
  EXPECT_EQ(Option(u"Clear memory"_s), u"1");
  EXPECT_TRUE(Item(u"mnuRioClearMemory"_s)->isChecked());
  Item(u"mnuRioClearMemory"_s)->trigger();
  EXPECT_EQ(Option(u"Clear memory"_s), u"0");

  prompter_.QueueText(std::nullopt);  // the folder dialog cancelled: no export
  Item(u"mnuExportToRio"_s)->trigger();
  EXPECT_EQ(exports, 0);
  prompter_.QueueText(dir_.path());
  Item(u"mnuExportToRio"_s)->trigger();
  EXPECT_EQ(Option(u"Device Path"_s), dir_.path());
  EXPECT_EQ(exports, 1);
  Item(u"mnuExportToRio"_s)->trigger();  // asked only once
  EXPECT_EQ(exports, 2);
}

TEST_F(ExportWindowTest, ClosingTheWindowCancelsTheExportAndWaitsForItsEnd) {
  const QString song = dir_.filePath(u"song.mp3"_s);
  ASSERT_TRUE(test::WriteSineMp3(song, 1.0));
  script_.stallAt = 50;
  RioExport rio(catalog_, prompter_, presence_, dir_.path(), [this](const QString&) {
    return std::make_unique<FakePortablePlayer>(script_, record_);
  });
  Export window(rio, catalog_);
  QString seen;
  QTimer::singleShot(0, &window, [&] {
    rio.tmrRioProgress_Timer();
    seen = window.findChild<QLabel*>(u"lblSongNumber"_s)->text() + u' ' +
           window.findChild<QLabel*>(u"lblProgress"_s)->text();
    window.close();  // the export is still sending: this cancels it
  });
  window.Run({{song, u"Song"_s, {}, {}}, {song, u"Again"_s, {}, {}}}, RioOptions{});
  EXPECT_EQ(seen, u"1 / 2 50 %");
  EXPECT_FALSE(rio.IsRunning());
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(record_.stops, 1);
  EXPECT_EQ(record_.downloads.size(), 1);
  EXPECT_EQ(prompter_.ShownMessages().last().text, u"No song was downloaded into Rio."_s);
}

TEST_F(ExportWindowTest, ALongPlayerFolderIsReadBackWhole) {
  const QString folder = u"/media/"_s + QString(300, u'x');
  ASSERT_TRUE(RioOptions::WriteDevice(Ini(), folder));
  EXPECT_EQ(RioOptions::Read(Ini()).device, folder);
}

// A device that stopped answering holds the copying thread in the kernel: neither the
// answers to the time-out question nor Cancel wait for it.
TEST_F(ExportWindowTest, AStalledCopyNeverHoldsTheWindow) {
  QDir(dir_.path()).mkdir(u"player"_s);
  test::StalledPipe pipe(dir_.filePath(u"stalled.mp3"_s), 4000);
  ASSERT_TRUE(pipe.Made());
  RioExport rio(catalog_, prompter_, presence_, dir_.path(), platform::MakeFolderPlayer);
  Export window(rio, catalog_);
  RioOptions options;
  options.device = dir_.filePath(u"player"_s);
  QElapsedTimer clock;
  QTimer::singleShot(100, &window, [&] {
    clock.start();
    prompter_.QueueAnswer(1);  // Retry
    rio.tmrDownloadTimeOut_Timer();
    prompter_.QueueAnswer(2);  // Cancel this song
    rio.tmrDownloadTimeOut_Timer();
    window.findChild<QPushButton*>(u"cmdCancelAllDownload"_s)->click();
  });
  const QString song = dir_.filePath(u"stalled.mp3"_s);
  window.Run({{song, u"One"_s, {}, {}}, {song, u"Two"_s, {}, {}}}, options);
  EXPECT_LT(clock.elapsed(), 1500);
  EXPECT_FALSE(rio.IsRunning());
  EXPECT_EQ(prompter_.ShownMessages().last().text, u"No song was downloaded into Rio."_s);
}

}  // namespace
}  // namespace audiolume
