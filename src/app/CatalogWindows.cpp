#include "app/CatalogWindows.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QUrl>

#include "app/AppServices.h"
#include "app/Collection.h"
#include "catalog/Edit_pic.h"
#include "catalog/GetSongInfoFromUser.h"
#include "catalog/Lyrics.h"
#include "catalog/PlayList.h"
#include "catalog/PlayListMgr.h"
#include "player/Play.h"
#include "player/PlayerEngine.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kMusicLib = u"MusicLib"_s;
const QString kPlayListMgr = u"PlayListMgr"_s;
const QString kTrackInfo = u"TrackInfo"_s;
const QString kLyrics = u"Lyrics"_s;

}  // namespace

CatalogWindows::CatalogWindows(Collection& collection, AppServices& services, Play& play,
                               PlayerEngine& engine, std::function<void()> openAddSongs,
                               std::function<void(QMenu*)> fillPortableMenu)
    : collection_(collection),
      services_(services),
      play_(play),
      engine_(engine),
      openAddSongs_(std::move(openAddSongs)),
      fillPortableMenu_(std::move(fillPortableMenu)),
      current_(engine, play),
      panel_(collection.library),
      view_(collection.library, panel_, services.Log(), services.SettingsFile(),
            [&collection](int row) { return collection.rowWriter.Write(row); }),
      autoDj_(collection.library, [] { return QRandomGenerator::global()->generateDouble(); }),
      store_(collection.library.WorkingDir()),
      manager_(store_, current_, services.Catalog(), services.Asker(), services.Error(),
               services.Check(), services.SettingsFile(), services.Log()),
      song_(collection.library, collection.adder, collection.id3, collection.rowWriter,
            collection.database),
      texts_(collection.adder, song_),
      trackInfo_(song_, collection.library, collection.trailer, collection.database) {
  categories_.Load(collection.library.WorkingDir() + u"/VeltoDj.cat"_s, collection.genres);
  ConnectPlayer();
  // Rows twpl saved meanwhile: the panel forgets removed ones, the grid shows the rest.
  collection.library.SetListener({[this](int row) {
                                    panel_.RowRemoved(row);
                                    view_.RowRemoved(row);
                                  },
                                  [this] { view_.RefreshDataList(); }});
}

CatalogWindows::~CatalogWindows() {
  collection_.library.SetListener({});
  delete library_;
  delete managerWindow_;
  delete lyrics_;
  delete trackInfoWindow_;
  delete artWindow_;
}

PlayList* CatalogWindows::Library() {
  if (library_) return library_;
  library_ = new PlayList({view_, panel_, categories_, autoDj_, collection_.database,
                           collection_.trailer, manager_, current_, services_.Catalog(),
                           services_.Asker(), services_.Log(), services_.SettingsFile(),
                           openAddSongs_, [this] { play_.Companions().Open(kPlayListMgr); },
                           [this] { ClearCurrent(); }, [this] { engine_.lstTitle_DblClick(0); },
                           [this](const QString& file) { EditTrackInfo(file); },
                           [this](const QString& file) { EditArt(file); },
                           [this] { play_.Companions().Open(u"Recorder"_s); }});
  library_->setAttribute(Qt::WA_DeleteOnClose);
  library_->Form_Load();
  return library_;
}

PlayListMgr* CatalogWindows::Manager() {
  if (managerWindow_) return managerWindow_;
  managerWindow_ = new PlayListMgr(
      {manager_, current_, collection_.library, services_.Catalog(), services_.Asker(),
       [](const QString& file) { return QFileInfo::exists(file); },
       [this](int entry) { engine_.lstTitle_DblClick(entry); },
       [this] {
         play_.Companions().Open(kMusicLib);
         library_->lblAutoSelect_Click();
       },
       [this](const QStringList& files) { ExportToWav(files); },
       [this](const QString& file) { EditTrackInfo(file); }, fillPortableMenu_});
  managerWindow_->setAttribute(Qt::WA_DeleteOnClose);
  managerWindow_->Form_Load();
  return managerWindow_;
}

Lyrics* CatalogWindows::LyricsWindow() {
  if (lyrics_) return lyrics_;
  lyrics_ = new Lyrics({texts_, services_.Catalog(), services_.Asker(),
                        [this](const QString& file) { EditTrackInfo(file); },
                        [this](const QString& address) { OpenWebAddress(address); },
                        [this](const QString& file) { EditArt(file); }});
  lyrics_->setAttribute(Qt::WA_DeleteOnClose);
  if (!engine_.CurrentFile().isEmpty()) lyrics_->SetSongFile(engine_.CurrentFile());
  return lyrics_;
}

GetSongInfoFromUser* CatalogWindows::TrackInfoWindow() {
  if (trackInfoWindow_) return trackInfoWindow_;
  trackInfoWindow_ = new GetSongInfoFromUser(
      {trackInfo_, categories_, collection_.genres, services_.Catalog(), services_.Asker(),
       services_.SettingsFile(),
       [this](const QString& from, int step) { return MoveInLibrary(from, step); },
       [this](const QString& file, int tab) {
         play_.Companions().Open(kLyrics);
         lyrics_->EditLyrics(file, tab);
       },
       [this](const QString& address) { OpenWebAddress(address); },
       [this] {
         if (library_) library_->RefreshDataList();
         if (lyrics_) lyrics_->SongSaved(trackInfo_.Path());
       },
       [this] {
         if (lyrics_) lyrics_->SongReloaded();
       }});
  trackInfoWindow_->setAttribute(Qt::WA_DeleteOnClose);
  // Opened from the player's menu: the song playing, else the first of its queue.
  QString file = engine_.CurrentFile();
  if (file.isEmpty() && engine_.Queue().Length() > 0) file = engine_.Queue().Entry(1).path;
  if (!file.isEmpty()) trackInfoWindow_->EditTrackInfo(file);
  return trackInfoWindow_;
}

void CatalogWindows::EditTrackInfo(const QString& file) {
  play_.Companions().Open(kTrackInfo);
  trackInfoWindow_->EditTrackInfo(file);
}

void CatalogWindows::EditArt(const QString& file) {
  if (!artWindow_) {
    artWindow_ = new Edit_pic(
        {collection_.trailer, collection_.rowWriter, services_.Catalog(), services_.Asker(),
         services_.SettingsFile(),
         [](const QString& program, const QString& picture) {
           return QProcess::startDetached(program, {picture});
         },
         [](const QString& picture) { QDesktopServices::openUrl(QUrl::fromLocalFile(picture)); }});
    artWindow_->setAttribute(Qt::WA_DeleteOnClose);
  }
  artWindow_->LinkPicture(file);
  artWindow_->show();
  play_.Companions().KeepClear(*artWindow_);
  artWindow_->raise();
}

// The library grid's keyboard navigation from the song's place in the grid (the grid's
// current row for a song the library does not hold): the row step places away becomes
// the current one, and its song is shown.
QString CatalogWindows::MoveInLibrary(const QString& from, int step) {
  LibraryView& view = view_;
  if (view.Count() == 0) return {};
  const int row = collection_.library.FindSongByFilename(from);
  int start = view.Current();
  for (int position = 1; row > 0 && position <= view.Count(); ++position) {
    if (view.RowAt(position) == row) {
      start = position;
      break;
    }
  }
  const int position = std::clamp(start + step, 1, view.Count());
  if (position == start) return {};
  view.Click(position, false, false);
  if (library_) library_->ShowCurrent();
  return collection_.library.SongText(view.RowAt(position), SongLibrary::kFilenameColumn);
}

// The browser set in the settings, else the desktop's own.
void CatalogWindows::OpenWebAddress(const QString& address) {
  const QString browser =
      ReadIniString(services_.SettingsFile(), u"Record"_s, u"Internet Browser"_s).trimmed();
  if (browser.isEmpty()) {
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
  } else if (!QProcess::startDetached(browser, {address})) {
    services_.Asker().Tell(u"Can't find "_s + browser, MessageIcon::Exclamation);
  }
}

void CatalogWindows::ConnectPlayer() {
  play_.Companions().Add(kMusicLib, [this] { return Library(); });
  play_.Companions().Add(kPlayListMgr, [this] { return Manager(); });
  play_.Companions().Add(kLyrics, [this] { return LyricsWindow(); });
  play_.Companions().Add(kTrackInfo, [this] { return TrackInfoWindow(); });
  const std::pair<QString, std::function<void()>> items[] = {
      {u"mnuShowMusicLib"_s, [this] { play_.Companions().Open(kMusicLib); }},
      {u"mnuShowPlayListMgr"_s, [this] { play_.Companions().Open(kPlayListMgr); }},
      {u"mnuShowTrackInfo"_s, [this] { play_.Companions().Open(kTrackInfo); }},
      {u"mnuEditTrackInfo"_s, [this] { play_.Companions().Open(kTrackInfo); }},
      {u"mnuShowLyrics"_s, [this] { play_.Companions().Open(kLyrics); }},
      {u"mnuOpenPlayList"_s, [this] { play_.Companions().Open(kPlayListMgr); }},
      {u"mnuSavePlayList"_s,
       [this] {
         play_.Companions().Open(kPlayListMgr);
         managerWindow_->mnuSavePlayList_Click();
       }},
      {u"mnuDeletePlayList"_s,
       [this] {
         play_.Companions().Open(kPlayListMgr);
         managerWindow_->imgRemove_Click();
       }},
      {u"mnuAutoDJ"_s, [this] {
         play_.Companions().Open(kMusicLib);
         library_->lblAutoSelect_Click();
       }}};
  for (const auto& [name, handler] : items) {
    QAction* item = play_.Menu(name);
    item->setEnabled(true);
    item->setCheckable(false);
    QObject::connect(item, &QAction::triggered, &play_, handler);
  }
  QObject::connect(&engine_, &PlayerEngine::QueueChanged, &play_, [this] {
    if (managerWindow_) managerWindow_->LoadPlayList();
  });
  QObject::connect(&engine_, &PlayerEngine::SongStarted, &play_, [this](int, const QString& file) {
    if (library_) library_->SetPlayingFile(file);
    if (lyrics_) lyrics_->SetSongFile(file);
  });
  QObject::connect(&play_, &Play::LibraryReplaced, &play_, [this] {
    if (library_) library_->LibraryReplaced();
  });
}

void CatalogWindows::SongsAdded() {
  if (library_) library_->RefreshDataList();
}

void CatalogWindows::ClearCurrent() {
  if (managerWindow_ && managerWindow_->isVisible()) {
    managerWindow_->mnuNew_Click();
  } else {
    play_.lblClear_Click();
  }
}

void CatalogWindows::ExportToWav(const QStringList& files) {
  MessageCatalog& catalog = services_.Catalog();
  const std::optional<QString> folder = services_.Asker().FolderName(
      catalog.GetMsg(RC_ConvPlayList_Wav), collection_.library.WorkingDir());
  if (!folder) return;
  engine_.Stop_Player();
  collection_.conversion.ConvertFiles(files, *folder, FileConversion::Direction::Mp3ToWav, 0);
}

}  // namespace audiolume
