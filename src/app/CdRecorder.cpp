#include "app/CdRecorder.h"

#include "app/AppServices.h"
#include "library/PlayListText.h"
#include "platform/AudioCapture.h"
#include "platform/AudioDecoder.h"
#include "platform/CdDevice.h"
#include "recorder/CdDisc.h"
#include "recorder/CddbSettings.h"
#include "support/AppVersion.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

CdRecorder::CdRecorder(QList<platform::CdDrive> drives, AppServices& services, SongLibrary& library,
                       TrailerTag& trailer, QString ripper, std::function<void(int ms)> wait,
                       std::function<void(const QString&)> showFailure)
    : mci(std::move(drives)),
      cache(services.Home() + u"/cdPlayer.ini"_s, services.Home() + u"/CdPlayer.tmp"_s),
      disc({mci, services.Catalog(), services.Asker(), cache, services.Error(), services.Check(),
            services.Log(), services.Home() + u"/RecordInit.log"_s, wait}),
      cddb(disc.Disc(), services.Catalog(), kAppVersion + kAppBuild),
      musicBrainz(disc.Disc(), services.Log()),
      job({library, trailer, services.Catalog(), services.Asker(), services.SettingsFile(),
           services.Home(), std::move(ripper), std::move(showFailure), std::move(wait),
           platform::MakeDeviceCapture}),
      catalog_(services.Catalog()) {
  cddb.SetSettings(CddbSettings::Load(services.SettingsFile()));
  musicBrainz.SetSettings(cddb.Settings());
}

bool CdRecorder::SelectDrive(const QString& letter) {
  const QList<platform::CdDrive>& drives = mci.Drives();
  for (qsizetype i = 0; i < drives.size(); ++i) {
    if (drives[i].letter.compare(letter.left(2), Qt::CaseInsensitive) == 0) {
      disc.SetSelectedDrive(int(i));
      return true;
    }
  }
  return false;
}

QList<PlayListEntry> CdRecorder::DiscTracks() {
  if (mci.Drives().isEmpty()) return {};
  const QString device = mci.Drives().first().device;
  platform::CdDevice drive(device);
  if (drive.Media() != platform::CdMedia::Disc) return {};
  const platform::CdToc& toc = drive.Toc();
  CdDisc titles;
  titles.serialNumber = QString::number(platform::AudioCdSerial(toc), 16).toUpper();
  cache.ReadCDPlayerData(titles);
  QList<PlayListEntry> tracks;
  for (qsizetype i = 0; i < toc.tracks.size(); ++i) {
    if (!toc.tracks[i].audio) continue;
    const QString title = titles.titles.value(i);
    tracks.append(
        {platform::CdTrackPath(device, toc.tracks[i].number),
         title.isEmpty() ? catalog_.GetMsgWithValue(RC_TrackNum, QString::number(i + 1)) : title,
         titles.artist,
         {}});
  }
  return tracks;
}

}  // namespace audiolume
