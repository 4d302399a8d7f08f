#include "app/CdRecorder.h"

#include "app/AppServices.h"
#include "recorder/CddbSettings.h"
#include "support/AppVersion.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

CdRecorder::CdRecorder(QList<platform::CdDrive> drives, AppServices& services,
                       std::function<void(int ms)> wait)
    : mci(std::move(drives)),
      cache(services.Home() + u"/cdPlayer.ini"_s, services.Home() + u"/CdPlayer.tmp"_s),
      disc({mci, services.Catalog(), services.Asker(), cache, services.Error(), services.Check(),
            services.Log(), services.Home() + u"/RecordInit.log"_s, std::move(wait)}),
      lookup(disc.Disc(), services.Catalog(), kAppVersion + kAppBuild) {
  lookup.SetSettings(CddbSettings::Load(services.SettingsFile()));
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

}  // namespace audiolume
