#include "app/LibraryDiskSync.h"

#include <QApplication>

#include "library/SongLibrary.h"
#include "player/PlayerEngine.h"
#include "support/CurrentError.h"
#include "support/ErrorLog.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

// Long enough that skipping through songs saves once, short enough that a crash or a
// power cut soon after loses little.
constexpr int kSavePlaysDelayMs = 3000;

}  // namespace

LibraryDiskSync::LibraryDiskSync(SongLibrary& library, PlayerEngine& engine, CurrentError& error,
                                 const ErrorLog& log, std::function<bool()> editing)
    : library_(library), error_(error), log_(log), editing_(std::move(editing)) {
  tmrSavePlays_.setSingleShot(true);
  tmrSavePlays_.setInterval(kSavePlaysDelayMs);
  connect(&tmrSavePlays_, &QTimer::timeout, this, &LibraryDiskSync::tmrSavePlays_Timer);
  connect(&engine, &PlayerEngine::SongStarted, this, [this] {
    if (library_.PlaysUnsaved()) tmrSavePlays_.start();
  });
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          [this](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive) Activated();
          });
}

// Taking in what twpl saved may move rows: not under a cell being typed into or a
// question about them.
bool LibraryDiskSync::Busy() const {
  return editing_() || QApplication::activeModalWidget() != nullptr;
}

void LibraryDiskSync::tmrSavePlays_Timer() {
  if (Busy()) {
    tmrSavePlays_.start();  // once the user is done
    return;
  }
  SavePlays();
}

void LibraryDiskSync::SavePlays() {
  tmrSavePlays_.stop();
  if (library_.SavePlayCounts()) return;
  log_.LogError(u"in Play.SavePlayCounts"_s);
  error_.Clear();
}

void LibraryDiskSync::Activated() {
  if (!Busy()) library_.TakeInDiskChanges();  // else the next save takes them in
}

void LibraryDiskSync::Unload() {
  SavePlays();
}

}  // namespace audiolume
