#include "app/RecorderWindows.h"

#include <QAction>

#include "app/AppServices.h"
#include "app/CdRecorder.h"
#include "player/Play.h"
#include "recorder/RecordFrm.h"
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
  window_ = new RecordFrm({recorder_.disc, recorder_.lookup, recorder_.job, services_.Catalog(),
                           services_.Asker(), services_.SettingsFile(), services_.Home(),
                           [this] { return ShowCddbPrefs(); }, [this] { return AskCddbLogin(); }});
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

bool RecorderWindows::AskCddbLogin() {
  frmCDDBLogin login(services_.Catalog(), services_.SettingsFile(), window_);
  login.exec();
  return !login.Declined();
}

}  // namespace audiolume
