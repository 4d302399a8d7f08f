#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/CatalogWindows.h"
#include "app/CdRecorder.h"
#include "app/Collection.h"
#include "app/LibraryDiskSync.h"
#include "app/RecorderWindows.h"
#include "app/VeltoDj.h"
#include "catalog/GetSongInfoFromUser.h"
#include "catalog/Lyrics.h"
#include "catalog/PlayList.h"
#include "catalog/PlayListMgr.h"
#include "fakes/CurrentDirGuard.h"
#include "fakes/DiscImages.h"
#include "fakes/SineFiles.h"
#include "fakes/TestFiles.h"
#include "library/LibraryRowsMime.h"
#include "library/PlayListText.h"
#include "platform/AudioSink.h"
#include "platform/SingleInstance.h"
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
    collection_.library.LoadSongData();
  }

  PlayContext Context() { return Context(engine_); }
  PlayContext Context(PlayerEngine& engine) {
    AppServices& services = veltoDj_.Services();
    return {engine,
            collection_.library,
            collection_.database,
            services.Catalog(),
            services.Diagnose(),
            prompter_,
            veltoDj_.SettingsFile(),
            veltoDj_.StartupPlaylistFile(),
            veltoDj_.ThemeFolder(),
            {},
            {},
            nullptr,
            {}};
  }
  // An engine over queue that plays at the real pace, for tests that act while a song
  // plays.
  std::unique_ptr<PlayerEngine> RealPaceEngine(PlayQueue& queue) {
    return std::make_unique<PlayerEngine>(queue, collection_.library, veltoDj_.Services().Catalog(),
                                          prompter_, QString(),
                                          PlayerEngine::BackEnds{platform::MakeNullAudioSink()});
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
                    u"null"_s,
                    {}},
                   prompter_};
  Collection collection_{veltoDj_.WorkingDirectory(), veltoDj_.Services(), {}};
  PlayQueue queue_{[] { return 0.5; }};
  PlayerEngine engine_{queue_,
                       collection_.library,
                       veltoDj_.Services().Catalog(),
                       prompter_,
                       {},
                       {platform::MakeNullAudioSink(50)}};
};

TEST_F(PlayWindowTest, MenusExistAndOnlyBuiltCommandsAreEnabled) {
  Play play(Context());
  for (const QString& name :
       {u"mnuLoadDatabase"_s, u"mnuSaveDatabase"_s, u"mnuSaveDatabaseAs"_s, u"mnuExportDatabase"_s,
        u"mnuClearDatabase"_s, u"mnuCaptureDiagnostic"_s}) {
    ASSERT_NE(play.Menu(name), nullptr) << name.toStdString();
    EXPECT_TRUE(play.Menu(name)->isEnabled()) << name.toStdString();
  }
  for (const QString& name :
       {u"mnuAddSongs"_s, u"mnuAutoDJ"_s, u"mnuUserManual"_s, u"mnuShowRecorder"_s}) {
    ASSERT_NE(play.Menu(name), nullptr) << name.toStdString();
    EXPECT_FALSE(play.Menu(name)->isEnabled()) << name.toStdString();
  }
  play.Menu(u"mnuSaveDatabase"_s)->trigger();
  EXPECT_EQ(prompter_.ShownMessages().last().text, u"Song data has been saved.");
  EXPECT_TRUE(QFile::exists(collection_.library.DatabasePath()));
}

// The choices go into the settings, where each song's opening reads them; a choice made by
// twpl or another copy shows when the menu opens.
TEST_F(PlayWindowTest, TheReplayGainMenuKeepsItsChoicesInTheSettings) {
  Play play(Context());
  const QString settings = veltoDj_.SettingsFile();
  ASSERT_NE(play.Menu(u"mnuReplayGainAlbum"_s), nullptr);
  EXPECT_TRUE(play.Menu(u"mnuReplayGainOff"_s)->isChecked());
  EXPECT_TRUE(play.Menu(u"mnuPreventClipping"_s)->isChecked());

  play.Menu(u"mnuReplayGainAlbum"_s)->trigger();
  EXPECT_EQ(ReadIniString(settings, u"ReplayGain"_s, u"Mode"_s), u"album");
  EXPECT_FALSE(play.Menu(u"mnuReplayGainOff"_s)->isChecked());
  play.Menu(u"mnuPreventClipping"_s)->trigger();
  EXPECT_EQ(ReadIniString(settings, u"ReplayGain"_s, u"PreventClipping"_s), u"False");

  WriteIniString(settings, u"ReplayGain"_s, u"Mode"_s, u"track"_s);
  auto* menu = play.findChild<QMenu*>(u"mnuReplayGain"_s);
  ASSERT_NE(menu, nullptr);
  Q_EMIT menu->aboutToShow();
  EXPECT_TRUE(play.Menu(u"mnuReplayGainTrack"_s)->isChecked());
  EXPECT_FALSE(play.Menu(u"mnuReplayGainAlbum"_s)->isChecked());
  EXPECT_FALSE(play.Menu(u"mnuPreventClipping"_s)->isChecked());
}

TEST_F(PlayWindowTest, LayoutAndQueueSurviveARestartAndOffScreenPositionsComeOnScreen) {
  PlayListText::Write(veltoDj_.StartupPlaylistFile(),
                      {{u"/m/a.mp3"_s, u"A"_s, u"Artist"_s, {}}, {u"/m/b.mp3"_s, u"B"_s, {}, {}}});
  {
    Play play(Context());
    play.Form_Load(2, 65);
    EXPECT_EQ(play.findChild<QListWidget*>(u"lstTitle"_s)->count(), 2);
    play.move(30, 45);
    play.SetPlayListTitle(u"Road trip"_s);
    play.Form_Unload();
  }
  EXPECT_EQ(Setting(u"PlayList Title"_s), u"Road trip");
  EXPECT_EQ(Setting(u"Left"_s), u"450");
  EXPECT_EQ(Setting(u"Top"_s), u"675");
  EXPECT_EQ(Setting(u"MusicLib"_s), u"False");
  EXPECT_EQ(Setting(u"View Mode"_s), u"2");
  EXPECT_EQ(ReadIniString(veltoDj_.SettingsFile(), u"Record"_s, u"Play volume"_s), u"65");
  EXPECT_EQ(PlayListText::Read(veltoDj_.StartupPlaylistFile()).size(), 2);

  Play again(Context());
  again.Form_Load(3, 50);
  EXPECT_EQ(again.pos(), QPoint(30, 45));
  EXPECT_EQ(again.PlayListTitle(), u"Road trip");

  // A place saved far to the right, on a larger display, is moved onto the screen.
  WriteIniString(veltoDj_.SettingsFile(), u"Player"_s, u"Left"_s, u"9999999"_s);
  Play offScreen(Context());
  offScreen.Form_Load(3, 50);
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(offScreen.y(), 45);
  EXPECT_EQ(offScreen.x(), std::max(area.left(), area.right() + 1 - offScreen.width()));
}

TEST_F(PlayWindowTest, ViewsDeleteKeyAndPlayOrderControls) {
  PlayListText::Write(veltoDj_.StartupPlaylistFile(), {{u"/m/a.mp3"_s, u"A"_s, {}, {}},
                                                       {u"/m/b.mp3"_s, u"B"_s, {}, {}},
                                                       {u"/m/c.mp3"_s, u"C"_s, {}, {}}});
  Play play(Context());
  play.Form_Load(2, 50);
  play.show();
  auto* list = play.findChild<QListWidget*>(u"lstTitle"_s);
  auto* art = play.findChild<QLabel*>(u"imgDisplay"_s);
  auto* volume = play.findChild<QSlider*>(u"VolumeSlider"_s);
  EXPECT_EQ(play.View(), Play::kFull);
  EXPECT_TRUE(list->isVisible());
  EXPECT_TRUE(art->isVisible());

  play.imgSizeUp_Click();  // already the largest view
  EXPECT_EQ(play.View(), Play::kFull);
  play.imgSizeDown_Click();
  EXPECT_EQ(play.View(), Play::kMini);
  EXPECT_FALSE(list->isVisible());
  EXPECT_TRUE(volume->isVisible());
  EXPECT_FALSE(play.Menu(u"mnuShowArt"_s)->isEnabled());
  play.Menu(u"mnuTinyView"_s)->trigger();
  EXPECT_FALSE(volume->isVisible());
  EXPECT_TRUE(play.Menu(u"mnuTinyView"_s)->isChecked());
  play.Menu(u"mnuFullView"_s)->trigger();
  play.Menu(u"mnuShowArt"_s)->trigger();
  EXPECT_FALSE(art->isVisible());

  list->item(0)->setSelected(true);
  list->item(2)->setSelected(true);
  QTest::keyClick(list, Qt::Key_Delete);
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->item(0)->text(), u"B");

  auto* order = play.findChild<QComboBox*>(u"cmdPlayOrder"_s);
  play.Menu(u"mnuPlayShuffle"_s)->trigger();
  EXPECT_EQ(order->currentIndex(), 1);
  EXPECT_EQ(queue_.PlayOrder(), PlayQueue::Order::Random);
  EXPECT_EQ(ReadIniString(veltoDj_.SettingsFile(), u"Player"_s, u"Play Order"_s), u"1");

  engine_.AddDroppedFiles(
      {u"/m/new.MP3"_s, u"/m/cover.jpg"_s, u"/m/old.ra"_s, u"/m/a.Flac"_s, u"/m/b.opus"_s});
  EXPECT_EQ(list->count(), 5);
  QWidget companion;
  companion.resize(200, 100);
  companion.show();
  play.Companions().Add(u"MusicLib"_s, [&companion] { return &companion; });
  play.Companions().Open(u"MusicLib"_s);
  play.Menu(u"mnuAutoArrange"_s)->trigger();
  EXPECT_EQ(companion.frameGeometry().top(), play.frameGeometry().bottom() + 1);
  EXPECT_EQ(companion.x(), play.frameGeometry().left());

  play.Form_Unload();
  EXPECT_EQ(Setting(u"View Mode"_s), u"2");
  EXPECT_EQ(Setting(u"Show art"_s), u"False");
  EXPECT_EQ(PlayListText::Read(veltoDj_.StartupPlaylistFile()).size(), 5);
}

// The player opens the library and the playlist manager, takes library rows dropped on
// its queue, shows them in the manager, and reopens the library at the next start.
// The desktop's Quit (or a logout's signal) while a question is on the screen ends the
// question, then the window; the windows open then open again at the next start.
TEST_F(PlayWindowTest, QuitFromTheDesktopClosesAnOpenBoxAndThenTheWindow) {
  Play play(Context());
  play.Form_Load(2, 50);
  play.show();
  QWidget companion;
  play.Companions().Add(u"MusicLib"_s, [&companion] { return &companion; });
  play.Companions().Open(u"MusicLib"_s);
  QDialog box(&play);
  QTimer::singleShot(0, &play, [&play] { play.CloseFromOutside(); });
  EXPECT_EQ(box.exec(), QDialog::Rejected);
  EXPECT_TRUE(QTest::qWaitFor([&play] { return !play.isVisible(); }, 2000));
  EXPECT_FALSE(companion.isVisible());
  EXPECT_EQ(Setting(u"MusicLib"_s), u"True");
}

// Files opened from the desktop (here by another copy) join the queue; the first plays.
TEST_F(PlayWindowTest, OpenedFilesJoinTheQueueAndTheFirstPlays) {
  PlayListText::Write(veltoDj_.StartupPlaylistFile(), {{u"/m/a.mp3"_s, u"A"_s, {}, {}}});
  const QString song = dir_.filePath(u"Song ? one.mp3"_s);
  const QString flac = dir_.filePath(u"two.flac"_s);
  ASSERT_TRUE(test::WriteSineMp3(song, 0.5));
  ASSERT_TRUE(test::WriteSineFlac(flac, 0.5));
  test::WriteAll(dir_.filePath(u"notes.txt"_s), "not a song");
  Play play(Context());
  play.Form_Load(2, 50);
  play.HandleOtherCopy(
      platform::SingleInstance::FilesMessage({song, dir_.filePath(u"notes.txt"_s), flac}));
  ASSERT_EQ(queue_.Length(), 3);
  EXPECT_EQ(queue_.Entry(1).path, u"/m/a.mp3");
  EXPECT_EQ(queue_.Entry(2).path, song);
  EXPECT_EQ(queue_.Entry(3).path, flac);
  EXPECT_TRUE(engine_.IsPlaying());
  EXPECT_EQ(engine_.CurrentFile(), song);

  // While a song plays, more files only join the queue.
  play.OpenFiles({flac});
  EXPECT_EQ(queue_.Length(), 4);
  EXPECT_EQ(engine_.CurrentFile(), song);
  engine_.Stop_Player();
}

TEST_F(PlayWindowTest, LibraryWindowsOpenFromThePlayerAndShareItsQueue) {
  SongLibrary& library = collection_.library;
  for (const QString& title : {u"Alpha"_s, u"Beta"_s, u"Gamma"_s}) {
    library.AddSongRow(title, {}, u"Band"_s, u"2:00"_s, u"/m/"_s + title + u".mp3"_s);
  }
  {
    Play play(Context());
    // The portable player's menu is filled the same way in the playlist manager.
    int fills = 0;
    CatalogWindows windows(collection_, veltoDj_.Services(), play, engine_, {},
                           [&fills](QMenu* menu) {
                             ++fills;
                             menu->addAction(u"Export"_s)->setObjectName(u"mnuExportToRio"_s);
                           });
    play.Form_Load(2, 50);
    play.show();
    play.Menu(u"mnuShowMusicLib"_s)->trigger();
    PlayList* libraryWindow = windows.Library();
    ASSERT_TRUE(libraryWindow->isVisible());

    auto* queue = play.findChild<QListWidget*>(u"lstTitle"_s);
    QMimeData* rows = LibraryRowsMime::Make({3, 1});
    const QPoint at = queue->rect().center();
    QDragEnterEvent enter(queue->mapTo(&play, at), Qt::CopyAction, rows, Qt::LeftButton, {});
    QApplication::sendEvent(&play, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(queue->mapTo(&play, at)), Qt::CopyAction, rows, Qt::LeftButton, {});
    QApplication::sendEvent(&play, &drop);
    delete rows;
    ASSERT_EQ(queue_.Length(), 2);
    EXPECT_EQ(queue_.Entry(1).title, u"Gamma");
    EXPECT_EQ(queue_.Entry(2).path, u"/m/Alpha.mp3");

    play.Menu(u"mnuShowPlayListMgr"_s)->trigger();
    EXPECT_EQ(fills, 1);
    EXPECT_NE(windows.Manager()->findChild<QAction*>(u"mnuExportToRio"_s), nullptr);
    auto* songs = windows.Manager()->findChild<QListWidget*>(u"lstSongList"_s);
    ASSERT_EQ(songs->count(), 2);
    EXPECT_EQ(songs->item(0)->text(), u"Gamma - Band");
    songs->setCurrentRow(0);
    QTest::keyClick(songs, Qt::Key_Delete);
    EXPECT_EQ(queue_.Length(), 1);
    EXPECT_EQ(play.findChild<QListWidget*>(u"lstTitle"_s)->count(), 1);
    // The manager opens the track information of its selected song.
    songs->setCurrentRow(0);
    windows.Manager()->findChild<QAction*>(u"mnuEditTrackInfo"_s)->trigger();
    ASSERT_TRUE(play.Companions().Opened(u"TrackInfo"_s));
    EXPECT_TRUE(play.Companions().Opened(u"TrackInfo"_s)->isVisible());

    libraryWindow->resize(libraryWindow->width(), 480);
    windows.Manager()->close();
    play.close();
    EXPECT_EQ(Setting(u"MusicLib"_s), u"True");
    EXPECT_EQ(Setting(u"PlayListMgr"_s), u"False");
  }
  Play play(Context());
  CatalogWindows windows(collection_, veltoDj_.Services(), play, engine_, {}, {});
  play.Form_Load(3, 50);
  ASSERT_TRUE(play.Companions().Opened(u"MusicLib"_s));
  EXPECT_EQ(play.Companions().Opened(u"MusicLib"_s)->height(), 480);  // the size it was left at
  EXPECT_FALSE(play.Companions().Opened(u"PlayListMgr"_s));
  // The lyrics button opens the lyrics window; the track information is kept open.
  QTest::mouseClick(play.findChild<QToolButton*>(u"lblLyrics"_s), Qt::LeftButton);
  ASSERT_TRUE(play.Companions().Opened(u"Lyrics"_s));
  EXPECT_TRUE(play.Companions().Opened(u"Lyrics"_s)->isVisible());
  QTest::mouseClick(play.findChild<QToolButton*>(u"lblTrackInfo"_s), Qt::LeftButton);
  ASSERT_TRUE(play.Companions().Opened(u"TrackInfo"_s));
  EXPECT_TRUE(play.Companions().Opened(u"TrackInfo"_s)->isVisible());
  play.close();
  EXPECT_EQ(Setting(u"TrackInfo"_s), u"True");
}

// The track information steps through the library's order from the song it shows, also
// when the player or the playlist manager opened it.
TEST_F(PlayWindowTest, TrackInformationStepsFromTheSongItShows) {
  QStringList files;
  for (const QString& title : {u"Alpha"_s, u"Beta"_s, u"Gamma"_s, u"Delta"_s}) {
    files.append(dir_.filePath(title + u".mp3"_s));
    test::WriteAll(files.last(), "not audio");
    collection_.library.AddSongRow(title, {}, u"Band"_s, u"2:00"_s, files.last());
  }
  Play play(Context());
  CatalogWindows windows(collection_, veltoDj_.Services(), play, engine_, {}, {});
  play.Form_Load(2, 50);
  windows.EditTrackInfo(files[2]);
  GetSongInfoFromUser* window = windows.TrackInfoWindow();
  auto* title = window->findChild<QLineEdit*>(u"txtTrackInfo0"_s);
  ASSERT_EQ(title->text(), u"Gamma");
  QTest::keyClick(window, Qt::Key_Down);
  EXPECT_EQ(title->text(), u"Delta");
  windows.EditTrackInfo(files[1]);
  QTest::keyClick(window, Qt::Key_Up);
  EXPECT_EQ(title->text(), u"Alpha");
  play.close();
}

// The track information and the lyrics editor it opens edit one song: lyrics saved in the
// editor stay when the track information is saved after them.
TEST_F(PlayWindowTest, TrackInformationAndItsLyricsEditorEditOneSong) {
  const QString file = dir_.filePath(u"Song.mp3"_s);
  ASSERT_TRUE(test::WriteSineMp3(file, 0.3));
  collection_.library.AddSongRow(u"Song"_s, {}, u"Band"_s, u"0:00"_s, file);
  Play play(Context());
  CatalogWindows windows(collection_, veltoDj_.Services(), play, engine_, {}, {});
  play.Form_Load(2, 50);
  windows.EditTrackInfo(file);
  GetSongInfoFromUser* info = windows.TrackInfoWindow();
  QTest::keyClicks(info->findChild<QLineEdit*>(u"txtTrackInfo0"_s), u" Two"_s);
  QTest::mouseClick(info->findChild<QPushButton*>(u"lblLyrics"_s), Qt::LeftButton);
  Lyrics* lyrics = windows.LyricsWindow();
  ASSERT_TRUE(lyrics->isVisible());
  QTest::keyClicks(lyrics->findChild<QPlainTextEdit*>(u"txtLyrics"_s), u"La la"_s);
  QTest::mouseClick(lyrics->findChild<QPushButton*>(u"imgOK"_s), Qt::LeftButton);
  QTest::mouseClick(info->findChild<QPushButton*>(u"imgOK"_s), Qt::LeftButton);
  SongRecord record;
  collection_.trailer.ReadSongTags(file, record);
  EXPECT_EQ(record.Lyrics, u"La la");
  EXPECT_EQ(record.Title, u"Song Two");
  play.close();
}

// A play counted in the jukebox reaches the database a moment after the song starts,
// without the edit the user has not saved yet; rows twpl saved meanwhile show in the
// library window when the jukebox is active again, and its panel forgets the removed one.
TEST_F(PlayWindowTest, PlaysAreSavedAndRowsTwplSavedAreTakenIn) {
  SongLibrary& library = collection_.library;
  const QString song = dir_.filePath(u"Song.flac"_s);
  ASSERT_TRUE(test::WriteSineFlac(song, 0.5));
  library.AddSongRow(u"Flac"_s, {}, u"Band"_s, u"0:01"_s, song);
  library.AddSongRow(u"Gone"_s, {}, u"Band"_s, u"2:00"_s, u"/m/gone.mp3"_s);
  ASSERT_TRUE(library.SaveSongData());
  AppServices& services = veltoDj_.Services();
  Play play(Context());
  CatalogWindows windows(collection_, services, play, engine_, {}, {});
  LibraryDiskSync sync(library, engine_, services.Error(), services.Log(),
                       [&windows] { return windows.EditingLibrary(); });
  play.Form_Load(2, 50);
  PlayList* libraryWindow = windows.Library();
  libraryWindow->lstSongData_DblClick(2);
  auto* panel = libraryWindow->findChild<QListWidget*>(u"lstPlayList"_s);
  ASSERT_EQ(panel->count(), 1);
  library.SongText(1, 5) = u"Unsaved mood"_s;
  library.SetSongDataModified(true);

  engine_.AddSongToPlayList(song, 1);
  engine_.SetListIndex(0);
  engine_.Button_Play_MouseDown();
  SongLibrary twpl(veltoDj_.WorkingDirectory(), services.Error(), services.Check());
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        twpl.LoadSongData();
        return twpl.SongCount() == 2 && twpl.SongRecords(1).PlayFreq == 1;
      },
      6000));
  EXPECT_EQ(twpl.SongText(1, 5), u"");

  twpl.DeleteSongRecord(2);
  twpl.AddSongRow(u"From twpl"_s, {}, {}, u"1:00"_s, u"/m/new.ogg"_s);
  ASSERT_TRUE(twpl.SaveSongData());
  sync.Activated();
  ASSERT_EQ(library.SongCount(), 2);
  EXPECT_EQ(library.SongText(2, 0), u"From twpl");
  EXPECT_EQ(library.SongText(1, 5), u"Unsaved mood");
  EXPECT_EQ(panel->count(), 0);
  EXPECT_EQ(libraryWindow->findChild<QTableView*>(u"lstSongData"_s)->model()->rowCount(), 2);

  // A play not yet saved when the jukebox ends is saved then.
  library.NoteSongPlayed(song);
  sync.Unload();
  twpl.LoadSongData();
  EXPECT_EQ(twpl.SongRecords(1).PlayFreq, 2);
}

// The welcome names the menus as the window shows them and offers the desktop's music folder.
TEST_F(PlayWindowTest, TheWelcomeNamesRealMenusAndOffersTheMusicFolder) {
  const QByteArray home = qgetenv("HOME");
  const QByteArray config = qgetenv("XDG_CONFIG_HOME");
  qputenv("HOME", dir_.filePath(u"desktop"_s).toUtf8());
  qputenv("XDG_CONFIG_HOME", dir_.filePath(u"desktop/.config"_s).toUtf8());
  QDir(dir_.path()).mkpath(u"desktop/Music"_s);
  QStringList added;
  PlayContext context = Context();
  context.addFolder = [&added](const QString& folder) { added.append(folder); };
  Play play(context);
  prompter_.QueueAnswer(2);  // Later
  play.Menu(u"mnuShowWelcome"_s)->trigger();
  prompter_.QueueAnswer(1);  // Add My Music Folder
  play.Menu(u"mnuShowWelcome"_s)->trigger();
  qputenv("HOME", home);
  qputenv("XDG_CONFIG_HOME", config);
  if (config.isNull()) qunsetenv("XDG_CONFIG_HOME");

  EXPECT_EQ(added, QStringList{dir_.filePath(u"desktop/Music"_s)});
  const QString text = prompter_.ShownMessages().last().text;
  // Each step names an item of this window's menus, under the menu that holds it.
  for (const auto& [name, menu, caption] :
       {std::tuple{u"mnuAddSongs"_s, u"Library Manager"_s, u"Add Tracks to Music Library"_s},
        std::tuple{u"mnuShowMusicLib"_s, u"View"_s, u"Show Music Library"_s}}) {
    EXPECT_TRUE(text.contains(u"'"_s + menu + u"' and then '"_s + caption + u"'"_s));
    EXPECT_EQ(play.Menu(name)->text(), caption);
    EXPECT_EQ(qobject_cast<QMenu*>(play.Menu(name)->parent())->title().remove(u'&'), menu);
  }
  EXPECT_TRUE(text.contains(dir_.filePath(u"desktop/Music"_s)));
  EXPECT_EQ(prompter_.ShownMessages().last().buttons, u"&Add My Music Folder|&Later");
}

std::string Text(const QRect& rect) {
  return QStringLiteral("%1,%2 %3x%4")
      .arg(rect.x())
      .arg(rect.y())
      .arg(rect.width())
      .arg(rect.height())
      .toStdString();
}

// Every window opens inside the screen's available area, one after another, and off the
// player where the screen has room, with the player where a first start leaves it and
// with the player left at the lower right of a larger display. Run at several screen sizes.
TEST_F(PlayWindowTest, EveryWindowOpensInsideTheScreen) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  if (area.width() < 1024) GTEST_SKIP() << "the player needs a screen 1024 pixels across";
  const QString song = dir_.filePath(u"Song.flac"_s);
  ASSERT_TRUE(test::WriteSineFlac(song, 0.3));
  collection_.library.AddSongRow(u"Song"_s, {}, u"Band"_s, u"0:00"_s, song);
  PlayListText::Write(veltoDj_.StartupPlaylistFile(), {{song, u"Song"_s, {}, {}}});
  // The recorder over a disc image, its titles not looked up.
  const QString disc = test::WriteCueBin(dir_.path(), u"disc"_s, {{750}, {750}});
  WriteIniString(veltoDj_.SettingsFile(), u"CDDB"_s, u"Server"_s, u"127.0.0.1"_s);
  WriteIniString(veltoDj_.SettingsFile(), u"CDDB"_s, u"UseCDDB"_s, u"False"_s);
  for (const bool lowerRight : {false, true}) {
    SCOPED_TRACE(lowerRight ? "the player left at the lower right" : "the player at first");
    // None of the windows the first round left open comes back on its own.
    for (const QString& key :
         {u"MusicLib"_s, u"PlayListMgr"_s, u"TrackInfo"_s, u"Lyrics"_s, u"Recorder"_s}) {
      WriteIniString(veltoDj_.SettingsFile(), u"Player"_s, key, u"False"_s);
    }
    if (lowerRight) {
      const int twips = Play::kTwipsPerPixel;
      WriteIniString(veltoDj_.SettingsFile(), u"Player"_s, u"Left"_s,
                     QString::number((area.right() + 200) * twips));
      WriteIniString(veltoDj_.SettingsFile(), u"Player"_s, u"Top"_s,
                     QString::number((area.bottom() - 100) * twips));
    }
    PlayContext context = Context();
    context.conversion = &collection_.conversion;
    Play play(context);
    CatalogWindows windows(collection_, veltoDj_.Services(), play, engine_, {}, {});
    CdRecorder recorder({{u"D:"_s, disc}}, veltoDj_.Services(), collection_.library,
                        collection_.trailer, {});
    RecorderWindows recorderWindows(recorder, veltoDj_.Services(), play);
    play.Form_Load(2, 50);
    play.show();
    // The windows shown, each checked to lie inside the area and, where the area has room
    // for it above, below or beside the player, to leave the player uncovered.
    const auto allInside = [&area, &play](const QString& opened) {
      QCoreApplication::processEvents();
      const QRect player = play.frameGeometry();
      QStringList shown;
      for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) continue;
        shown.append(window->objectName());
        const QRect frame = window->frameGeometry();
        EXPECT_TRUE(area.contains(frame))
            << opened.toStdString() << ": " << window->objectName().toStdString() << " at "
            << Text(frame) << " outside " << Text(area);
        const bool room = player.top() - area.top() >= frame.height() ||
                          area.bottom() - player.bottom() >= frame.height() ||
                          player.left() - area.left() >= frame.width() ||
                          area.right() - player.right() >= frame.width();
        EXPECT_FALSE(window != &play && room && frame.intersects(player))
            << opened.toStdString() << ": " << window->objectName().toStdString() << " at "
            << Text(frame) << " covers the player at " << Text(player);
      }
      return shown.join(u' ').toStdString();
    };
    EXPECT_EQ(allInside(u"the player"_s), "Play");
    for (const auto& [item, window] : {std::pair{u"mnuShowMusicLib"_s, "PlayList"},
                                       {u"mnuShowPlayListMgr"_s, "PlayListMgr"},
                                       {u"mnuShowTrackInfo"_s, "GetSongInfoFromUser"},
                                       {u"mnuShowLyrics"_s, "Lyrics"},
                                       {u"mnuShowRecorder"_s, "RecordFrm"},
                                       {u"mnuConvMp3ToWav"_s, "frmFileConversion"}}) {
      play.Menu(item)->trigger();
      EXPECT_NE(allInside(item).find(window), std::string::npos) << window;
    }
    windows.EditArt(song);
    EXPECT_NE(allInside(u"the picture chooser"_s).find("Edit_pic"), std::string::npos);
    // Arranging again keeps them all on the screen.
    play.Menu(u"mnuAutoArrange"_s)->trigger();
    allInside(u"arranged"_s);
    play.close();
  }
}

// Space plays and pauses, Ctrl+Right and Ctrl+Left go to the next and previous song, from
// the keyboard, while a text field keeps its keys; a click on the position bar moves the
// song to the point clicked.
TEST_F(PlayWindowTest, KeysAndThePositionBarDriveThePlayer) {
  const QStringList files{dir_.filePath(u"one.mp3"_s), dir_.filePath(u"Two.flac"_s),
                          dir_.filePath(u"two.ogg"_s)};
  ASSERT_TRUE(test::WriteSineMp3(files[0], 10.0));
  ASSERT_TRUE(test::WriteSineFlac(files[1], 10.0));
  ASSERT_TRUE(test::WriteSineOgg(files[2], 10.0));
  PlayListText::Write(
      veltoDj_.StartupPlaylistFile(),
      {{files[0], u"One"_s, {}, {}}, {files[1], u"Two"_s, {}, {}}, {files[2], u"two"_s, {}, {}}});
  PlayQueue queue([] { return 0.5; });
  const std::unique_ptr<PlayerEngine> engine = RealPaceEngine(queue);
  Play play(Context(*engine));
  play.Form_Load(2, 50);
  play.show();
  QApplication::setActiveWindow(&play);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&play));
  auto* list = play.findChild<QListWidget*>(u"lstTitle"_s);
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Space);
  EXPECT_TRUE(engine->IsPlaying());
  EXPECT_EQ(engine->CurrentFile(), files[0]);
  QTest::keyClick(list, Qt::Key_Space);
  EXPECT_TRUE(engine->IsPaused());
  QTest::keyClick(list, Qt::Key_Space);
  EXPECT_TRUE(engine->IsPlaying());
  QTest::keyClick(list, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(engine->CurrentFile(), files[1]);
  QTest::keyClick(list, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(engine->CurrentFile(), files[2]);
  QTest::keyClick(list, Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(engine->CurrentFile(), files[1]);

  // The menu names the keys; its Stop stops.
  EXPECT_EQ(play.Menu(u"mnuPlayPause"_s)->shortcut(), QKeySequence(Qt::Key_Space));
  EXPECT_EQ(play.Menu(u"mnuNext"_s)->shortcut(), QKeySequence(u"Ctrl+Right"_s));
  EXPECT_EQ(play.Menu(u"mnuPrevious"_s)->shortcut(), QKeySequence(u"Ctrl+Left"_s));
  EXPECT_NE(play.Menu(u"mnuStop"_s)->text(), QString());
  play.Menu(u"mnuStop"_s)->trigger();
  EXPECT_FALSE(engine->IsPlaying());

  // In a text field Space is typed, and nothing plays.
  QLineEdit field;
  field.show();
  QApplication::setActiveWindow(&field);
  field.setFocus();
  QTest::keyClick(&field, Qt::Key_Space);
  EXPECT_EQ(field.text(), u" ");
  EXPECT_FALSE(engine->IsPlaying());

  play.Menu(u"mnuPlayPause"_s)->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return engine->LengthSeconds() > 0; }, 5000));
  QSignalSpy sought(engine.get(), &PlayerEngine::Sought);
  auto* bar = play.findChild<QSlider*>(u"PositionScroll"_s);
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() * 3 / 4, bar->height() / 2));
  ASSERT_EQ(sought.size(), 1);
  EXPECT_NEAR(sought.first().first().toDouble(), 0.75 * engine->LengthSeconds(), 1.0);
  engine->Stop_Player();
}

// The song playing when the jukebox ended comes back at the next start, paused in the
// player at its place, which the window shows: Play continues it from there, and only
// the earlier play is counted.
TEST_F(PlayWindowTest, TheSongPlayingAtTheEndContinuesFromItsPlaceAfterARestart) {
  const QStringList files{dir_.filePath(u"a.ogg"_s), dir_.filePath(u"b.mp3"_s)};
  ASSERT_TRUE(test::WriteSineOgg(files[0], 10.0));
  ASSERT_TRUE(test::WriteSineMp3(files[1], 10.0));
  collection_.library.AddSongRow(u"Bee"_s, {}, u"Band"_s, u"0:10"_s, files[1]);
  PlayListText::Write(veltoDj_.StartupPlaylistFile(),
                      {{files[0], u"Ay"_s, {}, {}}, {files[1], u"Bee"_s, u"Band"_s, {}}});
  {
    PlayQueue queue([] { return 0.5; });
    const std::unique_ptr<PlayerEngine> engine = RealPaceEngine(queue);
    Play play(Context(*engine));
    play.Form_Load(2, 50);
    engine->lstTitle_DblClick(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine->LengthSeconds() > 0; }, 5000));
    engine->SeekToSeconds(6.0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine->PositionSeconds() >= 6.0; }, 5000));
    play.Menu(u"mnuPlayPause"_s)->trigger();
    ASSERT_TRUE(engine->IsPaused());
    play.Form_Unload();
  }
  PlayQueue queue([] { return 0.5; });
  const std::unique_ptr<PlayerEngine> engine = RealPaceEngine(queue);
  Play play(Context(*engine));
  const QString playedBefore = collection_.library.SongText(1, SongLibrary::kPlayFreqColumn);
  play.Form_Load(3, 50);
  EXPECT_FALSE(engine->IsPlaying());
  EXPECT_TRUE(engine->IsPaused());
  EXPECT_EQ(engine->CurrentFile(), files[1]);
  EXPECT_EQ(play.findChild<QListWidget*>(u"lstTitle"_s)->currentRow(), 1);
  EXPECT_EQ(play.findChild<QLabel*>(u"lblSongName"_s)->text(), u"Bee");
  EXPECT_EQ(play.findChild<QLabel*>(u"PositionLabel"_s)->text(), u"0:06/0:10");
  const auto* bar = play.findChild<QSlider*>(u"PositionScroll"_s);
  EXPECT_NEAR(double(bar->value()) / bar->maximum(), 0.6, 0.05);
  EXPECT_EQ(collection_.library.SongText(1, SongLibrary::kPlayFreqColumn), playedBefore);
  // Paused, it stays at its place.
  QTest::qWait(300);
  EXPECT_NEAR(engine->PositionSeconds(), 6.0, 0.2);

  play.Menu(u"mnuPlayPause"_s)->trigger();  // as Space does
  EXPECT_TRUE(engine->IsPlaying());
  EXPECT_EQ(engine->CurrentFile(), files[1]);
  ASSERT_TRUE(QTest::qWaitFor([&] { return engine->PositionSeconds() > 6.1; }, 5000));
  EXPECT_LT(engine->PositionSeconds(), 8.0);
  EXPECT_EQ(collection_.library.SongText(1, SongLibrary::kPlayFreqColumn), playedBefore);
  engine->Stop_Player();

  // A song stopped at the end is not taken up.
  play.Form_Unload();
  PlayQueue later([] { return 0.5; });
  const std::unique_ptr<PlayerEngine> next = RealPaceEngine(later);
  Play third(Context(*next));
  third.Form_Load(4, 50);
  EXPECT_EQ(third.findChild<QListWidget*>(u"lstTitle"_s)->currentRow(), 0);
  EXPECT_FALSE(next->IsPaused());

  // A song whose file is gone is not taken up, and nothing is said about it.
  third.Form_Unload();
  WriteIniString(veltoDj_.SettingsFile(), u"Player"_s, u"Resume Song"_s, u"2"_s);
  WriteIniString(veltoDj_.SettingsFile(), u"Player"_s, u"Resume Position"_s, u"3.0"_s);
  ASSERT_TRUE(QFile::remove(files[1]));
  PlayQueue last([] { return 0.5; });
  const std::unique_ptr<PlayerEngine> fourthEngine = RealPaceEngine(last);
  Play fourth(Context(*fourthEngine));
  fourth.Form_Load(5, 50);
  EXPECT_FALSE(fourthEngine->IsPaused());
  EXPECT_EQ(fourthEngine->CurrentFile(), QString());
  EXPECT_EQ(fourth.findChild<QListWidget*>(u"lstTitle"_s)->currentRow(), 0);
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());
}

}  // namespace
}  // namespace audiolume
