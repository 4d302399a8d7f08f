#include "player/ResumePoint.h"

#include "player/PlayerEngine.h"
#include "support/IniSettings.h"
#include "support/Runtime.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kSection = u"Player"_s;
const QString kSongKey = u"Resume Song"_s;
const QString kPositionKey = u"Resume Position"_s;

}  // namespace

ResumePoint::ResumePoint(PlayerEngine& engine, QString settingsFile)
    : engine_(engine), settingsFile_(std::move(settingsFile)) {}

void ResumePoint::Save() {
  const PlayQueue& queue = engine_.Queue();
  const int index = queue.CurrentIndex();
  // A disc's track or a song played outside the queue is not taken up again.
  const bool inQueue = !engine_.CDMode() && (engine_.IsPlaying() || engine_.IsPaused()) &&
                       index >= 1 && index <= queue.Length() &&
                       queue.Entry(index).path == engine_.CurrentFile();
  WriteIniString(settingsFile_, kSection, kSongKey, inQueue ? QString::number(index) : QString());
  WriteIniString(settingsFile_, kSection, kPositionKey,
                 inQueue ? QString::number(engine_.PositionSeconds(), 'f', 1) : QString());
}

int ResumePoint::Restore() {
  const int index = int(Val(ReadIniString(settingsFile_, kSection, kSongKey)));
  const double seconds = Val(ReadIniString(settingsFile_, kSection, kPositionKey));
  return engine_.CueSong(index, seconds) ? index : 0;
}

}  // namespace audiolume
