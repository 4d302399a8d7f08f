#include "app/RecorderWindows.h"

#include <QAction>
#include <QCoreApplication>

#include "app/AppHome.h"
#include "app/AppServices.h"
#include "app/CdRecorder.h"
#include "player/Play.h"
#include "recorder/DriveSetup.h"
#include "recorder/InitRecord.h"
#include "recorder/RecordAdvOptions.h"
#include "recorder/RecordFrm.h"
#include "recorder/RecordOptions.h"
#include "recorder/frmCDDBLogin.h"
#include "recorder/frmCDDBPrefs.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kRecorder = u"Recorder"_s;

}  // namespace

RecorderWindows::RecorderWindows(CdRecorder& recorder, AppServices& services, Play& play)
    : recorder_(recorder), services_(services), play_(play) {
  play_.Companions().Add(kRecorder, [this] { return Recorder(); });
  QAction* item = play_.Menu(u"mnuShowRecorder"_s);
  item->setEnabled(true);
  item->setCheckable(false);
  QObject::connect(item, &QAction::triggered, &play_,
                   [this] { play_.Companions().Open(kRecorder); });
}

RecorderWindows::~RecorderWindows() {
  delete window_;
}

RecordFrm* RecorderWindows::Recorder() {
  if (window_) return window_;
  window_ = new RecordFrm({recorder_.disc, recorder_.cddb, recorder_.musicBrainz, recorder_.job,
                           services_.Catalog(), services_.Asker(), services_.SettingsFile(),
                           services_.Home(), [this] { return ShowCddbPrefs(); },
                           [this] { return AskCddbLogin(); }, [this] { ShowOptions(); },
                           [this] { SetUpDrive(); }});
  window_->setAttribute(Qt::WA_DeleteOnClose);
  // The disc is read once the window stands where it docks.
  QMetaObject::invokeMethod(window_, &RecordFrm::Form_Load, Qt::QueuedConnection);
  return window_;
}

bool RecorderWindows::ShowCddbPrefs() {
  frmCDDBPrefs prefs(services_.Catalog(), services_.SettingsFile(), window_);
  prefs.Form_Load();
  return prefs.exec() == QDialog::Accepted;
}

void RecorderWindows::ShowOptions() {
  QStringList letters;
  for (const platform::CdDrive& drive : recorder_.mci.Drives()) letters.append(drive.letter);
  RecordOptions options({services_.Catalog(), services_.Asker(), services_.SettingsFile(),
                         services_.Home(), letters, recorder_.disc.SelectedDrive(),
                         [this] { ShowAdvancedOptions(recorder_.disc.SelectedDrive()); },
                         [this] { ShowCddbPrefs(); }, [this] { SetUpDrive(); }},
                        window_);
  if (options.exec() == QDialog::Accepted) recorder_.disc.ChooseDrive(options.SelectedDrive());
}

void RecorderWindows::ShowAdvancedOptions(int drive) {
  DriveSetup setup = MakeDriveSetup();
  RecordAdvOptions advanced(
      services_.Catalog(), services_.Asker(), services_.SettingsFile(), services_.Home(), drive,
      [&setup] { setup.AutoConfigure(); }, window_);
  advanced.exec();
}

void RecorderWindows::SetUpDrive() {
  DriveSetup setup = MakeDriveSetup();
  InitRecord init(
      setup, services_.Catalog(), services_.Asker(), [this] { ShowCddbPrefs(); }, window_);
  init.exec();
}

DriveSetup RecorderWindows::MakeDriveSetup() {
  return DriveSetup({recorder_.disc, services_.Catalog(), services_.Asker(),
                     services_.SettingsFile(), services_.Home(),
                     AppHome::HelperProgramDir(QCoreApplication::applicationDirPath())});
}

bool RecorderWindows::AskCddbLogin() {
  frmCDDBLogin login(services_.Catalog(), services_.SettingsFile(), window_);
  login.exec();
  return !login.Declined();
}

}  // namespace audiolume
