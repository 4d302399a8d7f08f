#include "player/Play.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShowEvent>
#include <QStandardPaths>
#include <QStatusBar>

#include "library/DatabaseCommands.h"
#include "library/DefaultPlaylist.h"
#include "library/LibraryRowsMime.h"
#include "library/SongLibrary.h"
#include "platform/SingleInstance.h"
#include "player/PlayMenus.h"
#include "player/PlayerEngine.h"
#include "player/PlayerPanel.h"
#include "player/frmFileConversion.h"
#include "support/AppVersion.h"
#include "support/CurrentError.h"
#include "support/Diagnostics.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"
#include "support/Runtime.h"
#include "support/WindowPlacement.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kPlayer = u"Player"_s;
// Boxes open one over another are closed up to this many, so that one that refuses to
// close cannot hold the loop.
constexpr int kMaxBoxesClosed = 16;

QString Bool(bool value) {
  return value ? u"True"_s : u"False"_s;
}

}  // namespace

Play::Play(PlayContext context, QWidget* parent)
    : QMainWindow(parent),
      context_(std::move(context)),
      companions_(*this),
      resume_(context_.engine, context_.settingsFile) {
  setObjectName(u"Play"_s);
  setWindowTitle(context_.catalog.GetMsg(RC_PlayerTitle));
  setAcceptDrops(true);
  menus_ = new PlayMenus(*this, context_.catalog, bool(context_.openAddSongs),
                         context_.conversion != nullptr, context_.fillPortableMenu, menuBar(),
                         context_.settingsFile);
  BuildPlayer();
  ConnectEngine();
  SetView(kFull);
}

void Play::BuildPlayer() {
  picPlayer_ = new PlayerPanel(context_.engine, context_.catalog, context_.themeFolder, this);
  connect(picPlayer_, &PlayerPanel::PlayPressed, this, &Play::PlayFromList);
  connect(picPlayer_, &PlayerPanel::SizeDownClicked, this, &Play::imgSizeDown_Click);
  connect(picPlayer_, &PlayerPanel::SizeUpClicked, this, &Play::imgSizeUp_Click);
  connect(picPlayer_, &PlayerPanel::PlayOrderChosen, this, &Play::cmdPlayOrder_Click);
  connect(picPlayer_, &PlayerPanel::PlayCycleChosen, this, &Play::cmdPlayOption_Click);
  connect(picPlayer_, &PlayerPanel::MenuItemClicked, this, [this](const QString& item) {
    if (QAction* action = Menu(item); action->isEnabled()) action->trigger();
  });

  imgDisplay_ = new QLabel(this);
  imgDisplay_->setObjectName(u"imgDisplay"_s);
  imgDisplay_->setFixedSize(160, 160);
  imgDisplay_->setAlignment(Qt::AlignCenter);
  imgDisplay_->setToolTip(context_.catalog.GetMsg(RC_ArtImageTTips));
  lstTitle_ = new QListWidget(this);
  lstTitle_->setObjectName(u"lstTitle"_s);
  lstTitle_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstTitle_->setMinimumWidth(260);
  connect(lstTitle_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    context_.engine.lstTitle_DblClick(lstTitle_->row(item));
  });
  connect(lstTitle_, &QListWidget::currentRowChanged, &context_.engine,
          &PlayerEngine::SetListIndex);

  auto* central = new QWidget(this);
  auto* layout = new QHBoxLayout(central);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(picPlayer_, 0, Qt::AlignTop);
  layout->addWidget(imgDisplay_, 0, Qt::AlignTop);
  layout->addWidget(lstTitle_, 1);
  setCentralWidget(central);
  ShowArt({});
}

void Play::ConnectEngine() {
  PlayerEngine& engine = context_.engine;
  connect(&engine, &PlayerEngine::SongStarted, this,
          [this](int index, const QString& file, const QString&, const QString&) {
            if (index >= 1) lstTitle_->setCurrentRow(index - 1);
            ShowArt(file);
          });
  connect(&engine, &PlayerEngine::SelectionChanged, this, [this](int row) {
    if (row >= 0 && row < lstTitle_->count()) lstTitle_->setCurrentRow(row);
  });
  connect(&engine, &PlayerEngine::QueueChanged, this, &Play::ShowQueue);
  connect(&engine, &PlayerEngine::OrderChanged, this, &Play::ShowPlayOrder);
}

void Play::Form_Load(int runCount, int playVolume) {
  tmrWelcome_.setSingleShot(true);
  tmrWelcome_.setInterval(500);
  connect(&tmrWelcome_, &QTimer::timeout, this, &Play::mnuShowWelcome_Click);
  if (runCount == 1) tmrWelcome_.start();
  ReadPlaySettings();
  ShowPlayerChoice();
  RestorePosition(runCount);
  const int volume =
      std::clamp(PlayerEngine::kVolumeMaximum - playVolume, 0, PlayerEngine::kVolumeMaximum);
  picPlayer_->ShowVolume(volume);
  context_.engine.VolumeSlider_Change(volume);
  LoadStartupPlaylist();
  if (const int index = resume_.Restore()) ShowWaitingSong(index);
  ShowLibraryCount();
  companions_.Reopen(context_.settingsFile, kPlayer);
}

void Play::ReadPlaySettings() {
  const QString& file = context_.settingsFile;
  showArt_ = ReadIniDefault(file, kPlayer, u"Show art"_s, u"True"_s) == u"True";
  showPlayList_ = ReadIniDefault(file, kPlayer, u"Show PlayList"_s, u"True"_s) == u"True";
  playListTitle_ = ReadIniString(file, kPlayer, u"PlayList Title"_s);
  const int order = int(Val(ReadIniString(file, kPlayer, u"Play Order"_s)));
  const int option = int(Val(ReadIniString(file, kPlayer, u"Play Option"_s)));
  cmdPlayOrder_Click(std::clamp(order, 0, 1));
  cmdPlayOption_Click(std::clamp(option, 0, 1));
  ShowPlayOrder();
  SetView(
      ViewMode(std::clamp(int(Val(ReadIniDefault(file, kPlayer, u"View Mode"_s, u"2"_s))), 0, 2)));
}

void Play::cmdPlayOrder_Click(int index) {
  context_.engine.SetPlayOrder(PlayQueue::Order(index));
}

void Play::cmdPlayOption_Click(int index) {
  context_.engine.SetPlayCycle(PlayQueue::Cycle(index));
}

// The desktop may change the order and cycle too: the controls and the settings follow
// the queue, whoever changed it.
void Play::ShowPlayOrder() {
  const int order = int(context_.engine.Queue().PlayOrder());
  const int option = int(context_.engine.Queue().PlayCycle());
  picPlayer_->ShowPlayOrder(order, option);
  Menu(u"mnuPlayInOrder"_s)->setChecked(order == 0);
  Menu(u"mnuPlayShuffle"_s)->setChecked(order == 1);
  Menu(u"mnuPlayOnce"_s)->setChecked(option == 0);
  Menu(u"mnuPlayContinuous"_s)->setChecked(option == 1);
  WriteIniString(context_.settingsFile, kPlayer, u"Play Order"_s, QString::number(order));
  WriteIniString(context_.settingsFile, kPlayer, u"Play Option"_s, QString::number(option));
}

// Tiny shows the song and the buttons, Mini adds the sliders and lists, Full adds the art
// and the playlist beside the player.
void Play::SetView(ViewMode view) {
  view_ = view;
  const bool full = view == kFull;
  picPlayer_->ShowSize(view == kTiny, full);
  imgDisplay_->setVisible(full && showArt_);
  lstTitle_->setVisible(full && showPlayList_);
  Menu(u"mnuTinyView"_s)->setChecked(view == kTiny);
  Menu(u"mnuMiniView"_s)->setChecked(view == kMini);
  Menu(u"mnuFullView"_s)->setChecked(full);
  for (const auto& [name, shown] :
       {std::pair{u"mnuShowArt"_s, showArt_}, {u"mnuShowPlayList"_s, showPlayList_}}) {
    Menu(name)->setEnabled(full);
    Menu(name)->setChecked(shown);
  }
  const int heights[] = {1305, 1950, 1950};
  const int minimum = heights[view] / kTwipsPerPixel + menuBar()->sizeHint().height();
  centralWidget()->adjustSize();
  setFixedHeight(std::max(minimum, menuBar()->sizeHint().height() +
                                       centralWidget()->sizeHint().height() +
                                       (full && showPlayList_ ? 120 : 0)));
  setMinimumWidth(0);
  setMaximumWidth(QWIDGETSIZE_MAX);
  adjustSize();
  companions_.Dock();
}

void Play::OpenConversion(bool toWav) {
  if (!frmFileConversion_) {
    auto* window = new frmFileConversion(
        *context_.conversion, context_.catalog, context_.prompter, context_.settingsFile,
        QFileInfo(context_.startupPlaylist).absolutePath(),
        [this] { context_.engine.Stop_Player(); }, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    frmFileConversion_ = window;
  }
  auto* window = static_cast<frmFileConversion*>(frmFileConversion_.data());
  toWav ? window->ShowMp3ToWav() : window->ShowWavToMp3();
  companions_.KeepClear(*window);
}

void Play::mnuConvMp3ToWav_Click() {
  OpenConversion(true);
}

void Play::mnuConvWavToMp3_Click() {
  OpenConversion(false);
}

// The first steps, for a newcomer: they name the menus and items as this window shows them,
// and the desktop's music folder may be added at once.
void Play::mnuShowWelcome_Click() {
  MessageCatalog& catalog = context_.catalog;
  QStringList lines{
      catalog.GetMsg(RC_1st_Time_0),
      QString(),
      catalog.GetMsg(RC_1st_Time_1),
      u"1.  Click on "_s + MenuPath(u"mnuAddSongs"_s) + u" to start creating your music library."_s,
      u"2.  Click on "_s + MenuPath(u"mnuShowMusicLib"_s) +
          u" and drag tracks from the library into the playlist."_s,
      catalog.GetMsg(RC_1st_Time_4)};
  const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
  if (!context_.addFolder || !QFileInfo(music).isDir()) {
    context_.prompter.Tell(lines.join(u'\n'), MessageIcon::Information);
    return;
  }
  lines << QString() << u"Add the songs of your music folder "_s + music + u" now?"_s;
  if (context_.prompter.Ask(lines.join(u'\n'), u"&Add My Music Folder|&Later"_s,
                            MessageIcon::Question) == 1) {
    context_.addFolder(music);
  }
}

QString Play::MenuPath(const QString& item) const {
  const QAction* action = Menu(item);
  const auto* menu = qobject_cast<const QMenu*>(action->parent());
  return u"'"_s + PlainCaption(menu->title()) + u"' and then '"_s + PlainCaption(action->text()) +
         u"'"_s;
}

void Play::ShowPlayerChoice() {
  const bool external = !context_.engine.External().Program().isEmpty();
  Menu(u"mnuUseTWPLPlayer"_s)->setChecked(!external);
  Menu(u"mnuUseWinAmpPlayer"_s)->setChecked(external);
  Menu(u"mnuChangeWinAmpPath"_s)->setVisible(external);
  if (external) statusBar()->showMessage(context_.catalog.GetMsg(RC_PlayerWinAmp));
}

void Play::mnuUseWinAmpPlayer_Click() {
  if (context_.engine.External().Choose(false)) context_.engine.Stop_Player();
  ShowPlayerChoice();
}

void Play::mnuChangeWinAmpPath_Click() {
  if (context_.engine.External().Choose(true)) context_.engine.Stop_Player();
  ShowPlayerChoice();
}

void Play::mnuUseTWPLPlayer_Click() {
  context_.engine.External().UseBuiltIn();
  ShowPlayerChoice();
  ShowLibraryCount();
}

void Play::mnuShowArt_Click() {
  showArt_ = !showArt_;
  SetView(view_);
}

void Play::mnuShowPlayList_Click() {
  showPlayList_ = !showPlayList_;
  SetView(view_);
}

void Play::ShowArt(const QString& file) {
  QPixmap picture;
  if (!file.isEmpty() && context_.readArt) picture.loadFromData(context_.readArt(file));
  if (picture.isNull()) picture.load(context_.themeFolder + u"/Default.jpg"_s);
  imgDisplay_->setPixmap(picture.isNull() ? QPixmap()
                                          : picture.scaled(imgDisplay_->size(), Qt::KeepAspectRatio,
                                                           Qt::SmoothTransformation));
}

void Play::RestorePosition(int runCount) {
  const QString left = ReadIniString(context_.settingsFile, kPlayer, u"Left"_s);
  const QString top = ReadIniString(context_.settingsFile, kPlayer, u"Top"_s);
  if (!left.isEmpty() && !top.isEmpty()) {
    // A place saved on another monitor or a larger display is moved onto a screen.
    const QPoint saved(int(Val(left)) / kTwipsPerPixel, int(Val(top)) / kTwipsPerPixel);
    move(WindowPlacement::OfDesktop().Fit(QRect(saved, frameGeometry().size())).topLeft());
  } else if (runCount == 1) {
    move(pos().x(), 600 / kTwipsPerPixel);
  }
}

// The frame is known once the window is shown: the window is kept inside the screen, and
// the windows reopened at start-up dock to where it stands.
void Play::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (event->spontaneous()) return;
  WindowPlacement::OfDesktop().Keep(*this);
  companions_.Dock();
}

void Play::LoadStartupPlaylist() {
  // On a first start an installation's default playlist becomes the start-up playlist.
  if (!QFileInfo::exists(context_.startupPlaylist)) {
    DefaultPlaylist(QFileInfo(context_.startupPlaylist).absolutePath(), context_.cdMounts,
                    context_.catalog, context_.prompter)
        .Import();
  }
  QList<PlayListEntry> entries;
  CurrentError error;
  error.Trap([&] { entries = PlayListText::Read(context_.startupPlaylist); });
  PlayQueue& queue = context_.engine.Queue();
  queue.Clear();
  for (const PlayListEntry& entry : entries) queue.Insert(queue.Length() + 1, entry);
  queue.ResetOrderState();
  ShowQueue();
  if (!entries.isEmpty()) lstTitle_->setCurrentRow(0);
}

// The song the last run ended in, selected and named, until play continues it.
void Play::ShowWaitingSong(int index) {
  const PlayListEntry& entry = context_.engine.Queue().Entry(index);
  lstTitle_->setCurrentRow(index - 1);
  picPlayer_->ShowSong(entry.title, entry.artist);
}

void Play::ShowQueue() {
  const int row = lstTitle_->currentRow();
  lstTitle_->clear();
  for (const PlayListEntry& entry : context_.engine.Queue().Entries()) {
    lstTitle_->addItem(entry.artist.isEmpty() ? entry.title
                                              : entry.title + u" - "_s + entry.artist);
  }
  if (row >= 0 && row < lstTitle_->count()) lstTitle_->setCurrentRow(row);
}

void Play::ShowLibraryCount() {
  statusBar()->showMessage(QString::number(context_.library.SongCount()) +
                           u" songs in the library"_s);
}

void Play::mnuDeleteTrack_Click() {
  QList<int> rows;
  for (const QListWidgetItem* item : lstTitle_->selectedItems()) rows.append(lstTitle_->row(item));
  std::sort(rows.rbegin(), rows.rend());
  for (const int row : rows) context_.engine.RemoveFromPlayList(row);
}

void Play::PlayFromList() {
  context_.engine.SetListIndex(std::max(0, lstTitle_->currentRow()));
  context_.engine.Button_Play_MouseDown();
}

void Play::mnuPlayPause_Click() {
  PlayerEngine& engine = context_.engine;
  if (!engine.IsPlaying()) return PlayFromList();
  // As the pause button pressed and let go.
  engine.Button_Pause_MouseDown();
  engine.Button_Pause_MouseUp();
}

void Play::mnuStop_Click() {
  context_.engine.Button_Stop_MouseDown();
}

void Play::mnuNext_Click() {
  context_.engine.cmdSkipForward_Click();
}

void Play::mnuPrevious_Click() {
  context_.engine.cmdSkipBack_Click();
}

void Play::lblClear_Click() {
  context_.engine.Stop_Player();
  context_.engine.ResetPlayerVars();
  ShowArt({});
}

QAction* Play::Menu(const QString& name) const {
  return menus_->Item(name);
}

void Play::mnuAddSongs_Click() {
  context_.openAddSongs();
  ShowLibraryCount();
}

void Play::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete) {
    mnuDeleteTrack_Click();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void Play::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() || LibraryRowsMime::Carries(event->mimeData())) {
    event->acceptProposedAction();
  }
}

void Play::dropEvent(QDropEvent* event) {
  if (LibraryRowsMime::Carries(event->mimeData())) {
    context_.engine.AddLibraryRows(LibraryRowsMime::Rows(event->mimeData()));
    event->acceptProposedAction();
    return;
  }
  QStringList files;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) files.append(url.toLocalFile());
  }
  context_.engine.AddDroppedFiles(files);
  event->acceptProposedAction();
}

void Play::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  resume_.Save();
  context_.engine.SetCDMode(false);  // the playlist, not the disc, is what is kept
  context_.engine.ShutdownAudio();
  const QString& file = context_.settingsFile;
  WriteIniString(file, u"Record"_s, u"Play volume"_s,
                 QString::number(context_.engine.VolumeLevel()));
  WriteIniString(file, kPlayer, u"Left"_s, QString::number(x() * kTwipsPerPixel));
  WriteIniString(file, kPlayer, u"Top"_s, QString::number(y() * kTwipsPerPixel));
  WriteIniString(file, kPlayer, u"View Mode"_s, QString::number(int(view_)));
  WriteIniString(file, kPlayer, u"Show art"_s, Bool(showArt_));
  WriteIniString(file, kPlayer, u"Show PlayList"_s, Bool(showPlayList_));
  for (const QString& window : {u"PlayListMgr"_s, u"TrackInfo"_s, u"MusicLib"_s, u"Recorder"_s}) {
    WriteIniString(file, kPlayer, window, Bool(companions_.WasOpen(window)));
  }
  WriteIniString(file, kPlayer, u"PlayList Title"_s, playListTitle_);
  CurrentError error;
  error.Trap(
      [&] { PlayListText::Write(context_.startupPlaylist, context_.engine.Queue().Entries()); });
}

// The other windows close first; one that keeps its work open keeps the player open.
void Play::closeEvent(QCloseEvent* event) {
  if (!companions_.CloseAll()) {
    event->ignore();
    return;
  }
  Form_Unload();
  event->accept();
}

void Play::HandleOtherCopy(const QString& message) {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  if (const auto files = platform::SingleInstance::FilesOf(message)) OpenFiles(*files);
}

void Play::CloseFromOutside() {
  // Each box runs an event loop of its own: the window can close only once they end.
  for (int box = 0; box < kMaxBoxesClosed; ++box) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) break;
    modal->close();
  }
  QTimer::singleShot(0, this, &QWidget::close);
}

void Play::OpenFiles(const QStringList& files) {
  PlayerEngine& engine = context_.engine;
  const int first = engine.Queue().Length();
  engine.AddDroppedFiles(files);
  if (engine.Queue().Length() == first || engine.IsPlaying()) return;
  engine.SetListIndex(first);
  engine.Button_Play_MouseDown();
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
