#include "app/Jukebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTimer>

#include "app/AppHome.h"
#include "app/CatalogWindows.h"
#include "app/CdRecorder.h"
#include "app/Collection.h"
#include "app/LibraryDiskSync.h"
#include "app/MprisService.h"
#include "app/PortableExport.h"
#include "app/RecorderWindows.h"
#include "catalog/AddSongs.h"
#include "platform/AudioSink.h"
#include "platform/TerminationSignals.h"
#include "player/Play.h"
#include "player/PlayerEngine.h"
#include "player/PlayerRemote.h"
#include "player/ReplayGainOptions.h"
#include "support/MessageIds.h"
#include "support/Runtime.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

Jukebox::Jukebox(StartupOptions options, QString instanceName)
    : veltoDj_(std::move(options), prompter_), instance_(std::move(instanceName)) {}

int Jukebox::Run() {
  veltoDj_.Initialize();
  AppServices& services = veltoDj_.Services();
  const SongFilePresence::CdMounts cdMounts = [this] {
    return platform::CdDriveList::MountPoints(veltoDj_.CdDrives());
  };
  Collection collection(veltoDj_.WorkingDirectory(), services, cdMounts);
  MessageCatalog& catalog = services.Catalog();
  prompter_.SetAppearance(catalog.GetMsg(RC_TWPL_Title), catalog.MessageFont());
  veltoDj_.Load();
  if (veltoDj_.FontSize() > 0 || veltoDj_.FontHeight() > 0) {
    QFont font = QApplication::font();
    if (veltoDj_.FontSize() > 0) {
      font.setPointSize(veltoDj_.FontSize());
    } else {
      font.setPixelSize(veltoDj_.FontHeight());
    }
    QApplication::setFont(font);
  }
  veltoDj_.ParseCommandLine();
  if (veltoDj_.ActivatePreviousInstance(instance_)) {
    // The running copy plays the song; this one leaves after giving it a moment.
    QTimer::singleShot(500, qApp, &QCoreApplication::quit);
    return QApplication::exec();
  }
  veltoDj_.RecoverPreviousLibrary();
  collection.library.LoadSongData();

  PlayQueue queue([] { return QRandomGenerator::global()->generateDouble(); });
  PlayerEngine::BackEnds backEnds{platform::MakeAudioSink(veltoDj_.AudioChoice())};
  ReplayGainOptions::Apply(
      backEnds, [settings = veltoDj_.SettingsFile()] { return ReplayGainOptions::Read(settings); });
  PlayerEngine engine(queue, collection.library, catalog, services.Asker(), catalog.ErrorTextFile(),
                      std::move(backEnds));
  engine.External().SetFiles(veltoDj_.SettingsFile(), veltoDj_.WorkingDirectory());
  engine.SetCdAudio(std::make_unique<platform::CdAudio>(veltoDj_.FirstCdDevice()));
  engine.SetEntryReader(
      [&collection](const QString& file) { return collection.entries.EntryOf(file); });
  CatalogWindows* catalogWindows = nullptr;  // made once the player exists
  // Without a folder the window opens on the last one; with one, it adds its songs at once.
  const auto addSongsFrom = [this, &collection, &catalog, &services,
                             &catalogWindows](const QString& folder) {
    AddSongs window(collection.adder, collection.trailer, collection.genres, services.Log(),
                    catalog, services.Asker(), veltoDj_.SettingsFile(),
                    veltoDj_.WorkingDirectory());
    if (folder.isEmpty()) {
      window.Form_Load();
    } else {
      window.Dir1_Change(folder);
      QTimer::singleShot(0, &window, &AddSongs::imgOK_Click);
    }
    window.exec();
    if (catalogWindows) catalogWindows->SongsAdded();
  };
  const auto openAddSongs = [addSongsFrom] { addSongsFrom({}); };
  PortableExport portable(services, collection, veltoDj_.WorkingDirectory(), engine, queue);
  const auto fillPortableMenu = [&portable](QMenu* menu) { portable.FillMenu(menu); };
  Play play({engine, collection.library, collection.database, catalog, services.Diagnose(),
             services.Asker(), veltoDj_.SettingsFile(), veltoDj_.StartupPlaylistFile(),
             veltoDj_.ThemeFolder(),
             [&collection](const QString& file) {
               QString type;
               return collection.ReadArt(file, type);
             },
             openAddSongs, &collection.conversion, fillPortableMenu, cdMounts, addSongsFrom});
  portable.SetParentWindow(&play);
  CatalogWindows windows(collection, services, play, engine, openAddSongs, fillPortableMenu);
  // The recorder waits for a busy drive with the windows painting.
  const QString ripper =
      AppHome::HelperProgramDir(QCoreApplication::applicationDirPath()) + u"/twcd"_s;
  CdRecorder recorder(veltoDj_.CdDrives(), services, collection.library, collection.trailer, ripper,
                      PauseWithEvents, [&play, &catalog](const QString& text) {
                        // The job goes on while the failure stays on the screen.
                        auto* box =
                            new QMessageBox(QMessageBox::Warning, catalog.GetMsg(RC_TWPL_Title),
                                            text, QMessageBox::Ok, &play);
                        box->setAttribute(Qt::WA_DeleteOnClose);
                        box->setModal(false);
                        box->show();
                      });
  RecorderWindows recorderWindows(recorder, services, play);
  engine.SetCdTracks([&recorder] { return recorder.DiscTracks(); });
  // While the sound card's input is recorded, or files are converted or sent to the
  // portable player, the player is quiet.
  engine.SetRefusals([&recorder] { return recorder.job.IsRecordingAnalog(); },
                     [&collection, &portable] {
                       return collection.conversion.IsConverting() || portable.IsRunning();
                     });
  PlayerRemote remote(
      engine, collection.library,
      [&collection](const QString& file, SongRecord& record) {
        collection.adder.ReadSongInformation(file, record);
      },
      [&collection](const QString& file, QString& type) { return collection.ReadArt(file, type); },
      QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
          u"/audiolume/covers"_s);
  const MprisService mpris(
      remote,
      [&play] {
        play.showNormal();
        play.raise();
        play.activateWindow();
      },
      [&play] { play.CloseFromOutside(); });
  catalogWindows = &windows;
  LibraryDiskSync diskSync(collection.library, engine, services.Error(), services.Log(),
                           [&windows] { return windows.EditingLibrary(); });
  QObject::connect(&instance_, &platform::SingleInstance::MessageReceived, &play,
                   &Play::HandleOtherCopy);
  play.Form_Load(veltoDj_.RunCount(), veltoDj_.PlayVolume());
  play.show();
  play.OpenFiles(veltoDj_.FilesToPlay());
  // Quitting the event loop would close the windows one by one, and the player would
  // remember the others as closed.
  const platform::TerminationSignals closeOnSignal([&play] { play.CloseFromOutside(); });
  const int code = QApplication::exec();
  play.Form_Unload();
  diskSync.Unload();
  veltoDj_.Unload();
  return code;
}

}  // namespace audiolume
