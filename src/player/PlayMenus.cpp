#include "player/PlayMenus.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "player/ReplayGainOptions.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

PlayMenus::PlayMenus(Play& play, MessageCatalog& catalog, bool addsSongs, bool converts,
                     const std::function<void(QMenu*)>& fillPortableMenu, QMenuBar* bar,
                     const QString& settingsFile)
    : QObject(&play), play_(play), catalog_(catalog), bar_(bar) {
  Build(addsSongs, converts, fillPortableMenu, settingsFile);
}

QAction* PlayMenus::Item(const QString& name) const {
  return actions_.value(name);
}

QMenu* PlayMenus::AddMenu(int captionId) {
  return bar_->addMenu(catalog_.GetMsg(captionId));
}

// Items whose handler is not given belong to parts of the jukebox still to come; they
// are shown so that the menus keep their final shape, but cannot be chosen yet.
QAction* PlayMenus::AddItem(QMenu* menu, const QString& name, int captionId,
                            void (Play::*handler)()) {
  QAction* action = menu->addAction(catalog_.GetMsg(captionId));
  action->setObjectName(name);
  action->setEnabled(handler != nullptr);
  if (handler) connect(action, &QAction::triggered, &play_, handler);
  actions_.insert(name, action);
  return action;
}

void PlayMenus::Build(bool addsSongs, bool converts,
                      const std::function<void(QMenu*)>& fillPortableMenu,
                      const QString& settingsFile) {
  QMenu* library = AddMenu(RC_LibManager);
  AddItem(library, u"mnuLoadDatabase"_s, RC_Load_DB, &Play::mnuLoadDatabase_Click);
  AddItem(library, u"mnuSaveDatabase"_s, RC_Save_DB, &Play::mnuSaveDatabase_Click);
  AddItem(library, u"mnuSaveDatabaseAs"_s, RC_Save_DBAs, &Play::mnuSaveDatabaseAs_Click);
  AddItem(library, u"mnuExportDatabase"_s, RC_Export_DB, &Play::mnuExportDatabase_Click);
  AddItem(library, u"mnuClearDatabase"_s, RC_Clear_DB, &Play::mnuClearDatabase_Click);
  library->addSeparator();
  AddItem(library, u"mnuAddSongs"_s, RC_AddTrackToML,
          addsSongs ? &Play::mnuAddSongs_Click : nullptr);
  AddItem(library, u"mnuConvMp3ToWav"_s, RC_Convert_Mp3ToWav,
          converts ? &Play::mnuConvMp3ToWav_Click : nullptr);
  AddItem(library, u"mnuConvWavToMp3"_s, RC_Convert_WavToMp3,
          converts ? &Play::mnuConvWavToMp3_Click : nullptr);
  AddItem(library, u"ExportToWAV"_s, RC_ExpostPLToWav,
          converts ? &Play::mnuConvMp3ToWav_Click : nullptr);
  QMenu* rio = library->addMenu(catalog_.GetMsg(RC_RioOptions));
  if (fillPortableMenu) {
    fillPortableMenu(rio);
    for (QAction* item : rio->actions()) actions_.insert(item->objectName(), item);
  } else {
    rio->setEnabled(false);
  }
  library->addSeparator();
  QAction* close = AddItem(library, u"imgClose"_s, RC_Close, nullptr);
  close->setEnabled(true);
  close->setShortcut(QKeySequence::Quit);
  connect(close, &QAction::triggered, &play_, &QWidget::close);

  QMenu* edit = AddMenu(RC_Edit);
  AddItem(edit, u"mnuOpenPlayList"_s, RC_OpenPlaylist);
  AddItem(edit, u"mnuSavePlayList"_s, RC_SavePlayList);
  AddItem(edit, u"mnuDeletePlayList"_s, RC_DeletePL);
  AddItem(edit, u"mnuClearPlayList"_s, RC_ClearPL, &Play::lblClear_Click);
  edit->addSeparator();
  AddItem(edit, u"mnuDeleteTrack"_s, RC_DeleteTrack, &Play::mnuDeleteTrack_Click);
  AddItem(edit, u"mnuEditTrackInfo"_s, RC_EditTrackInfo);
  AddItem(edit, u"mnuAutoDJ"_s, RC_AutoDJ);

  QMenu* view = AddMenu(RC_View);
  AddItem(view, u"mnuShowArt"_s, RC_ShowArt, &Play::mnuShowArt_Click)->setCheckable(true);
  AddItem(view, u"mnuShowPlayList"_s, RC_ShowPL, &Play::mnuShowPlayList_Click)->setCheckable(true);
  for (const auto& [name, caption] : {std::pair{u"mnuShowTrackInfo"_s, RC_ShowTrackInfo},
                                      {u"mnuShowLyrics"_s, RC_Lyrics},
                                      {u"mnuShowPlayListMgr"_s, RC_ShowPLControl},
                                      {u"mnuShowMusicLib"_s, RC_ShowML},
                                      {u"mnuShowRecorder"_s, RC_ShowRec}}) {
    AddItem(view, name, caption)->setCheckable(true);
  }
  view->addSeparator();
  const std::tuple<QString, int, Play::ViewMode> views[] = {
      {u"mnuFullView"_s, RC_FullView, Play::kFull},
      {u"mnuMiniView"_s, RC_MiniView, Play::kMini},
      {u"mnuTinyView"_s, RC_TinyView, Play::kTiny}};
  // Lambdas capture plain copies: GCC 12 loses structured bindings captured by a lambda
  // in sanitized builds.
  for (const auto& [name, caption, viewMode] : views) {
    QAction* item = AddItem(view, name, caption);
    item->setCheckable(true);
    item->setEnabled(true);
    const Play::ViewMode mode = viewMode;
    connect(item, &QAction::triggered, &play_, [&play = play_, mode] { play.SetView(mode); });
  }
  view->addSeparator();
  AddItem(view, u"mnuAutoArrange"_s, RC_AutoArrangeWin, &Play::mnuAutoArrange_Click);

  QMenu* controls = AddMenu(RC_PlayCtrl);
  // The transport from the keyboard, in every window of the jukebox; text fields keep
  // their own keys (Space, Ctrl+arrows move by words).
  const std::tuple<QString, QString, QList<QKeySequence>, void (Play::*)()> transport[] = {
      {u"mnuPlayPause"_s,
       catalog_.GetMsg(RC_PlayTTips) + u'/' + catalog_.GetMsg(RC_PauseTTips),
       {Qt::Key_Space, Qt::Key_MediaTogglePlayPause},
       &Play::mnuPlayPause_Click},
      {u"mnuStop"_s, catalog_.GetMsg(RC_StopTTips), {Qt::Key_MediaStop}, &Play::mnuStop_Click},
      {u"mnuNext"_s,
       catalog_.GetMsg(RC_ForwardTTips),
       {QKeySequence(Qt::CTRL | Qt::Key_Right), Qt::Key_MediaNext},
       &Play::mnuNext_Click},
      {u"mnuPrevious"_s,
       catalog_.GetMsg(RC_PreviousTTips),
       {QKeySequence(Qt::CTRL | Qt::Key_Left), Qt::Key_MediaPrevious},
       &Play::mnuPrevious_Click}};
  for (const auto& [name, caption, keys, handler] : transport) {
    QAction* action = controls->addAction(caption);
    action->setObjectName(name);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::ApplicationShortcut);
    connect(action, &QAction::triggered, &play_, handler);
    actions_.insert(name, action);
  }
  controls->addSeparator();
  QMenu* cycle = controls->addMenu(catalog_.GetMsg(RC_PlayCycle));
  QMenu* order = controls->addMenu(catalog_.GetMsg(RC_PlayOrder));
  const std::tuple<QMenu*, QString, int, void (Play::*)(int), int> choices[] = {
      {cycle, u"mnuPlayOnce"_s, RC_Once, &Play::cmdPlayOption_Click, 0},
      {cycle, u"mnuPlayContinuous"_s, RC_Continuous, &Play::cmdPlayOption_Click, 1},
      {order, u"mnuPlayInOrder"_s, RC_InOrder, &Play::cmdPlayOrder_Click, 0},
      {order, u"mnuPlayShuffle"_s, RC_Shuffle, &Play::cmdPlayOrder_Click, 1}};
  for (const auto& [menu, name, caption, choose, choice] : choices) {
    QAction* item = AddItem(menu, name, caption);
    item->setCheckable(true);
    item->setEnabled(true);
    const auto handler = choose;
    const int index = choice;
    connect(item, &QAction::triggered, &play_,
            [&play = play_, handler, index] { (play.*handler)(index); });
  }
  QMenu* players = controls->addMenu(catalog_.GetMsg(RC_Menu_PlayerSelection));
  AddItem(players, u"mnuUseTWPLPlayer"_s, RC_Use_TWPlayer, &Play::mnuUseTWPLPlayer_Click)
      ->setCheckable(true);
  AddItem(players, u"mnuUseWinAmpPlayer"_s, RC_Use_WinAmp, &Play::mnuUseWinAmpPlayer_Click)
      ->setCheckable(true);
  AddItem(players, u"mnuChangeWinAmpPath"_s, RC_Change_WinAmpPath,
          &Play::mnuChangeWinAmpPath_Click);
  BuildReplayGain(controls, settingsFile);

  QMenu* help = AddMenu(RC_Menu_Help);
  AddItem(help, u"mnuShowWelcome"_s, RC_ShowWelcome, &Play::mnuShowWelcome_Click);
  AddItem(help, u"mnuUserManual"_s, RC_UserManual);
  AddItem(help, u"mnuCaptureDiagnostic"_s, RC_CapDiagInfo, &Play::mnuCaptureDiagnostic_Click);
  AddItem(help, u"mnuAbout"_s, RC_About_TWPL, &Play::mnuAbout_Click);
}

// The choice is kept in the settings file, where the player reads it as each song opens:
// it holds from the next song on, and the menu shows what twpl or another copy chose.
void PlayMenus::BuildReplayGain(QMenu* controls, const QString& settingsFile) {
  QMenu* menu = controls->addMenu(u"ReplayGain"_s);
  menu->setObjectName(u"mnuReplayGain"_s);
  auto* modes = new QActionGroup(menu);
  const std::tuple<QString, QString, platform::ReplayGainMode> choices[] = {
      {u"mnuReplayGainOff"_s, u"Off"_s, platform::ReplayGainMode::Off},
      {u"mnuReplayGainTrack"_s, u"Track gain"_s, platform::ReplayGainMode::Track},
      {u"mnuReplayGainAlbum"_s, u"Album gain"_s, platform::ReplayGainMode::Album}};
  for (const auto& [name, caption, choice] : choices) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setCheckable(true);
    modes->addAction(item);
    actions_.insert(name, item);
    const platform::ReplayGainMode mode = choice;
    connect(item, &QAction::triggered, this,
            [settingsFile, mode] { ReplayGainOptions::WriteMode(settingsFile, mode); });
  }
  menu->addSeparator();
  QAction* prevent = menu->addAction(u"Prevent clipping"_s);
  prevent->setObjectName(u"mnuPreventClipping"_s);
  prevent->setCheckable(true);
  actions_.insert(prevent->objectName(), prevent);
  connect(prevent, &QAction::triggered, this, [settingsFile](bool checked) {
    ReplayGainOptions::WritePreventClipping(settingsFile, checked);
  });
  const auto show = [this, settingsFile, prevent] {
    const platform::ReplayGainSettings settings = ReplayGainOptions::Read(settingsFile);
    actions_
        .value(settings.mode == platform::ReplayGainMode::Track   ? u"mnuReplayGainTrack"_s
               : settings.mode == platform::ReplayGainMode::Album ? u"mnuReplayGainAlbum"_s
                                                                  : u"mnuReplayGainOff"_s)
        ->setChecked(true);
    prevent->setChecked(settings.preventClipping);
  };
  show();
  connect(menu, &QMenu::aboutToShow, this, show);
}

}  // namespace audiolume
