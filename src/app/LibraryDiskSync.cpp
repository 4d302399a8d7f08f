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

void LibraryDiskSync::tmrSavePlays_Timer() {
  tmrSavePlays_.stop();
  if (library_.SavePlayCounts()) return;
  log_.LogError(u"in Play.SavePlayCounts"_s);
  error_.Clear();
}

void LibraryDiskSync::Activated() {
  // Rows must not move under a cell being typed into or a question about them; the next
  // save takes them in.
  if (!editing_() && !QApplication::activeModalWidget()) library_.TakeInDiskChanges();
}

void LibraryDiskSync::Unload() {
  tmrSavePlays_Timer();
}

}  // namespace audiolume
