#include "player/Play.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "library/DatabaseCommands.h"
#include "library/SongLibrary.h"
#include "support/AppVersion.h"
#include "support/CurrentError.h"
#include "support/Diagnostics.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"
#include "support/Runtime.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kPlayer = u"Player"_s;

QString Bool(bool value) {
  return value ? u"True"_s : u"False"_s;
}

}  // namespace

Play::Play(PlayContext context, QWidget* parent)
    : QMainWindow(parent),
      context_(std::move(context)),
      lblSongName_(new QLabel(this)),
      lblArtist_(new QLabel(this)),
      lstTitle_(new QListWidget(this)) {
  setObjectName(u"Play"_s);
  setWindowTitle(context_.catalog.GetMsg(RC_PlayerTitle));
  lblSongName_->setObjectName(u"lblSongName"_s);
  lblArtist_->setObjectName(u"lblArtist"_s);
  lstTitle_->setObjectName(u"lstTitle"_s);
  lstTitle_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  QFont titleFont = lblSongName_->font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
  titleFont.setBold(true);
  lblSongName_->setFont(titleFont);
  lblSongName_->setText(context_.catalog.GetMsg(RC_TWPL_Title));

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(lblSongName_);
  layout->addWidget(lblArtist_);
  layout->addWidget(lstTitle_, 1);
  setCentralWidget(central);
  BuildMenus();
  resize(520, 420);
}

QMenu* Play::AddMenu(int captionId) {
  return menuBar()->addMenu(context_.catalog.GetMsg(captionId));
}

// Items whose handler is not given belong to parts of the jukebox still to come; they
// are shown so that the menus keep their final shape, but cannot be chosen yet.
QAction* Play::AddItem(QMenu* menu, const QString& name, int captionId, void (Play::*handler)()) {
  QAction* action = menu->addAction(context_.catalog.GetMsg(captionId));
  action->setObjectName(name);
  action->setEnabled(handler != nullptr);
  if (handler) connect(action, &QAction::triggered, this, handler);
  actions_.insert(name, action);
  return action;
}

void Play::BuildMenus() {
  QMenu* library = AddMenu(RC_LibManager);
  AddItem(library, u"mnuLoadDatabase"_s, RC_Load_DB, &Play::mnuLoadDatabase_Click);
  AddItem(library, u"mnuSaveDatabase"_s, RC_Save_DB, &Play::mnuSaveDatabase_Click);
  AddItem(library, u"mnuSaveDatabaseAs"_s, RC_Save_DBAs, &Play::mnuSaveDatabaseAs_Click);
  AddItem(library, u"mnuExportDatabase"_s, RC_Export_DB, &Play::mnuExportDatabase_Click);
  AddItem(library, u"mnuClearDatabase"_s, RC_Clear_DB, &Play::mnuClearDatabase_Click);
  library->addSeparator();
  AddItem(library, u"mnuAddSongs"_s, RC_AddTrackToML);
  AddItem(library, u"mnuConvMp3ToWav"_s, RC_Convert_Mp3ToWav);
  AddItem(library, u"mnuConvWavToMp3"_s, RC_Convert_WavToMp3);
  AddItem(library, u"ExportToWAV"_s, RC_ExpostPLToWav);
  QMenu* rio = library->addMenu(context_.catalog.GetMsg(RC_RioOptions));
  AddItem(rio, u"mnuExportToRio"_s, RC_ExpostPLRio);
  AddItem(rio, u"mnuRio128"_s, RC_128kbps);
  AddItem(rio, u"mnuRio80"_s, RC_Mp3_80kbps);
  AddItem(rio, u"mnuRio64"_s, RC_64kbps);
  AddItem(rio, u"mnuRioNoConversion"_s, RC_NoBitrateConvert);
  AddItem(rio, u"mnuRioClearMemory"_s, RC_ClearRioMem);
  library->addSeparator();
  QAction* close = AddItem(library, u"imgClose"_s, RC_Close, nullptr);
  close->setEnabled(true);
  close->setShortcut(QKeySequence::Quit);
  connect(close, &QAction::triggered, this, &QWidget::close);

  QMenu* edit = AddMenu(RC_Edit);
  AddItem(edit, u"mnuOpenPlayList"_s, RC_OpenPlaylist);
  AddItem(edit, u"mnuSavePlayList"_s, RC_SavePlayList);
  AddItem(edit, u"mnuDeletePlayList"_s, RC_DeletePL);
  AddItem(edit, u"mnuClearPlayList"_s, RC_ClearPL);
  edit->addSeparator();
  AddItem(edit, u"mnuDeleteTrack"_s, RC_DeleteTrack);
  AddItem(edit, u"mnuEditTrackInfo"_s, RC_EditTrackInfo);
  AddItem(edit, u"mnuAutoDJ"_s, RC_AutoDJ);

  QMenu* view = AddMenu(RC_View);
  for (const auto& [name, caption] : {std::pair{u"mnuShowArt"_s, RC_ShowArt},
                                      {u"mnuShowTrackInfo"_s, RC_ShowTrackInfo},
                                      {u"mnuShowPlayList"_s, RC_ShowPL},
                                      {u"mnuShowPlayListMgr"_s, RC_ShowPLControl},
                                      {u"mnuShowMusicLib"_s, RC_ShowML},
                                      {u"mnuShowRecorder"_s, RC_ShowRec}}) {
    AddItem(view, name, caption)->setCheckable(true);
  }
  view->addSeparator();
  for (const auto& [name, caption] : {std::pair{u"mnuFullView"_s, RC_FullView},
                                      {u"mnuMiniView"_s, RC_MiniView},
                                      {u"mnuTinyView"_s, RC_TinyView}}) {
    AddItem(view, name, caption)->setCheckable(true);
  }
  view->addSeparator();
  AddItem(view, u"mnuAutoArrange"_s, RC_AutoArrangeWin);

  QMenu* controls = AddMenu(RC_PlayCtrl);
  QMenu* cycle = controls->addMenu(context_.catalog.GetMsg(RC_PlayCycle));
  AddItem(cycle, u"mnuPlayOnce"_s, RC_Once)->setCheckable(true);
  AddItem(cycle, u"mnuPlayContinuous"_s, RC_Continuous)->setCheckable(true);
  QMenu* order = controls->addMenu(context_.catalog.GetMsg(RC_PlayOrder));
  AddItem(order, u"mnuPlayInOrder"_s, RC_InOrder)->setCheckable(true);
  AddItem(order, u"mnuPlayShuffle"_s, RC_Shuffle)->setCheckable(true);
  QMenu* players = controls->addMenu(context_.catalog.GetMsg(RC_Menu_PlayerSelection));
  AddItem(players, u"mnuUseTWPLPlayer"_s, RC_Use_TWPlayer)->setCheckable(true);
  AddItem(players, u"mnuUseWinAmpPlayer"_s, RC_Use_WinAmp)->setCheckable(true);
  AddItem(players, u"mnuChangeWinAmpPath"_s, RC_Change_WinAmpPath);

  QMenu* help = AddMenu(RC_Menu_Help);
  AddItem(help, u"mnuShowWelcome"_s, RC_ShowWelcome);
  AddItem(help, u"mnuUserManual"_s, RC_UserManual);
  AddItem(help, u"mnuCaptureDiagnostic"_s, RC_CapDiagInfo, &Play::mnuCaptureDiagnostic_Click);
  AddItem(help, u"mnuAbout"_s, RC_About_TWPL, &Play::mnuAbout_Click);
}

void Play::Form_Load(int runCount, int playVolume) {
  playVolume_ = playVolume;
  RestorePosition(runCount);
  LoadStartupPlaylist();
  ShowLibraryCount();
}

void Play::RestorePosition(int runCount) {
  const QRect screen = QApplication::primaryScreen()->availableGeometry();
  const QString left = ReadIniString(context_.settingsFile, kPlayer, u"Left"_s);
  const QString top = ReadIniString(context_.settingsFile, kPlayer, u"Top"_s);
  const int x = int(Val(left)) / kTwipsPerPixel;
  const int y = int(Val(top)) / kTwipsPerPixel;
  // A position saved on a larger screen would put the window out of reach.
  const bool fits = !left.isEmpty() && !top.isEmpty() && x >= 0 && y >= 0 &&
                    x <= screen.width() - width() && y <= screen.height() - height();
  if (fits) {
    move(x, y);
  } else if (runCount == 1) {
    move(x >= 0 && x <= screen.width() - width() ? x : 0, 600 / kTwipsPerPixel);
  }
}

void Play::LoadStartupPlaylist() {
  CurrentError error;
  error.Trap([&] { queue_ = PlayListText::Read(context_.startupPlaylist); });
  ShowQueue();
}

void Play::ShowQueue() {
  lstTitle_->clear();
  for (const PlayListEntry& entry : queue_) {
    lstTitle_->addItem(entry.artist.isEmpty() ? entry.title
                                              : entry.title + u" - "_s + entry.artist);
  }
  if (!queue_.isEmpty()) lstTitle_->setCurrentRow(0);
}

void Play::ShowLibraryCount() {
  statusBar()->showMessage(QString::number(context_.library.SongCount()) +
                           u" songs in the library"_s);
}

void Play::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  const QString& file = context_.settingsFile;
  WriteIniString(file, u"Record"_s, u"Play volume"_s, QString::number(playVolume_));
  WriteIniString(file, kPlayer, u"Left"_s, QString::number(x() * kTwipsPerPixel));
  WriteIniString(file, kPlayer, u"Top"_s, QString::number(y() * kTwipsPerPixel));
  for (const QString& key :
       {u"View Mode"_s, u"Show art"_s, u"Show PlayList"_s, u"PlayList Title"_s}) {
    // Kept as read until the views that own them exist.
    WriteIniString(file, kPlayer, key, ReadIniString(file, kPlayer, key));
  }
  for (const QString& window : {u"PlayListMgr"_s, u"TrackInfo"_s, u"MusicLib"_s, u"Recorder"_s}) {
    WriteIniString(file, kPlayer, window, Bool(false));
  }
  CurrentError error;
  error.Trap([&] { PlayListText::Write(context_.startupPlaylist, queue_); });
}

void Play::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

void Play::HandleOtherCopy(const QString& key) {
  if (key == u"F11") LoadStartupPlaylist();
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void Play::mnuLoadDatabase_Click() {
  if (context_.database.LoadDatabase()) Q_EMIT LibraryReplaced();
  ShowLibraryCount();
}

void Play::mnuSaveDatabase_Click() {
  context_.database.SaveDatabase();
}

void Play::mnuSaveDatabaseAs_Click() {
  context_.database.SaveDatabaseAs();
}

void Play::mnuExportDatabase_Click() {
  context_.database.ExportDatabase();
}

void Play::mnuClearDatabase_Click() {
  if (context_.database.ClearDatabase()) Q_EMIT LibraryReplaced();
  ShowLibraryCount();
}

void Play::mnuCaptureDiagnostic_Click() {
  context_.diagnostics.CaptureDiagnostics();
}

void Play::mnuAbout_Click() {
  MessageCatalog& catalog = context_.catalog;
  QStringList lines{catalog.GetMsg(RC_TWPL_Title) + u' ' + kAppVersion + kAppBuild,
                    catalog.GetMsg(RC_CopyRight), QString(), catalog.GetMsg(RC_Ack)};
  for (const int id : {RC_About_XAudio, RC_About_RA, RC_About_Xing, RC_CDDA}) {
    lines.append(catalog.GetMsg(id));
  }
  lines += {QString(), catalog.GetMsg(RC_CopyRight_1), catalog.GetMsg(RC_CopyRight_2),
            catalog.GetMsg(RC_CopyRight_3)};
  context_.prompter.Tell(lines.join(u'\n'), MessageIcon::Information);
}

}  // namespace audiolume
