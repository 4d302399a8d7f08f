#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>

#include "app/VeltoDj.h"
#include "fakes/CurrentDirGuard.h"
#include "fakes/TestFiles.h"
#include "library/PlayListText.h"
#include "platform/AudioSink.h"
#include "player/Play.h"
#include "player/PlayerEngine.h"
#include "support/IniSettings.h"
#include "support/ScriptedPrompter.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

class PlayWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    veltoDj_.Initialize();
    veltoDj_.Load();
    veltoDj_.Library().LoadSongData();
  }

  PlayContext Context() {
    AppServices& services = veltoDj_.Services();
    return {engine_,
            veltoDj_.Library(),
            veltoDj_.Database(),
            services.Catalog(),
            services.Diagnose(),
            prompter_,
            veltoDj_.SettingsFile(),
            veltoDj_.StartupPlaylistFile(),
            veltoDj_.ThemeFolder(),
            {}};
  }
  QString Setting(const QString& key) const {
    return ReadIniString(veltoDj_.SettingsFile(), u"Player"_s, key);
  }

  test::CurrentDirGuard guard_;
  QTemporaryDir dir_;
  ScriptedPrompter prompter_;
  VeltoDj veltoDj_{{dir_.filePath(u"home"_s),
                    dir_.filePath(u"registry.ini"_s),
                    dir_.path(),
                    QString::fromUtf8(SHIPPED_DIR),
                    {},
                    {},
                    u"null"_s},
                   prompter_};
  PlayQueue queue_{[] { return 0.5; }};
  PlayerEngine engine_{queue_,
                       veltoDj_.Library(),
                       veltoDj_.Services().Catalog(),
                       prompter_,
                       {},
                       {platform::MakeNullAudioSink(50), platform::MakeNullAudioSink(50)}};
};

TEST_F(PlayWindowTest, MenusExistAndOnlyBuiltCommandsAreEnabled) {
  Play play(Context());
  for (const QString& name :
       {u"mnuLoadDatabase"_s, u"mnuSaveDatabase"_s, u"mnuSaveDatabaseAs"_s, u"mnuExportDatabase"_s,
        u"mnuClearDatabase"_s, u"mnuCaptureDiagnostic"_s}) {
    ASSERT_NE(play.Menu(name), nullptr) << name.toStdString();
    EXPECT_TRUE(play.Menu(name)->isEnabled()) << name.toStdString();
  }
  for (const QString& name : {u"mnuAddSongs"_s, u"mnuAutoDJ"_s, u"mnuExportToRio"_s,
                              u"mnuUseWinAmpPlayer"_s, u"mnuShowRecorder"_s}) {
    ASSERT_NE(play.Menu(name), nullptr) << name.toStdString();
    EXPECT_FALSE(play.Menu(name)->isEnabled()) << name.toStdString();
  }
  play.Menu(u"mnuSaveDatabase"_s)->trigger();
  EXPECT_EQ(prompter_.ShownMessages().last().text, u"Song data has been saved.");
  EXPECT_TRUE(QFile::exists(veltoDj_.Library().DatabasePath()));
}

TEST_F(PlayWindowTest, LayoutAndQueueSurviveARestartAndOffScreenPositionsAreIgnored) {
  PlayListText::Write(veltoDj_.StartupPlaylistFile(),
                      {{u"/m/a.mp3"_s, u"A"_s, u"Artist"_s, {}}, {u"/m/b.mp3"_s, u"B"_s, {}, {}}});
  {
    Play play(Context());
    play.Form_Load(2, 65);
    EXPECT_EQ(play.findChild<QListWidget*>(u"lstTitle"_s)->count(), 2);
    play.move(30, 45);
    play.Form_Unload();
  }
  EXPECT_EQ(Setting(u"Left"_s), u"450");
  EXPECT_EQ(Setting(u"Top"_s), u"675");
  EXPECT_EQ(Setting(u"MusicLib"_s), u"False");
  EXPECT_EQ(Setting(u"View Mode"_s), u"2");
  EXPECT_EQ(ReadIniString(veltoDj_.SettingsFile(), u"Record"_s, u"Play volume"_s), u"65");
  EXPECT_EQ(PlayListText::Read(veltoDj_.StartupPlaylistFile()).size(), 2);

  Play again(Context());
  again.Form_Load(3, 50);
  EXPECT_EQ(again.pos(), QPoint(30, 45));

  WriteIniString(veltoDj_.SettingsFile(), u"Player"_s, u"Left"_s, u"9999999"_s);
  Play offScreen(Context());
  offScreen.move(5, 5);
  offScreen.Form_Load(3, 50);
  EXPECT_EQ(offScreen.pos(), QPoint(5, 5));
}

}  // namespace
}  // namespace audiolume
