#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "platform/GainDecoder.h"
#include "player/PlayerEngine.h"

namespace audiolume {

/**
 * How the player levels songs by their ReplayGain tags, kept in the settings file
 * ("VeltoDj.ini"), section "ReplayGain": "Mode" (off, track or album; off when missing or
 * unknown), "Preamp" (dB added to every gain; 0 when missing) and "PreventClipping"
 * ("True" or "False"; True when missing).
 */
class ReplayGainOptions {
 public:
  static platform::ReplayGainSettings Read(const QString& iniFile);
  static bool WriteMode(const QString& iniFile, platform::ReplayGainMode mode);
  static bool WritePreventClipping(const QString& iniFile, bool prevent);

  /** The mode a name ("off", "track", "album", in any case) stands for; nothing for others. */
  static std::optional<platform::ReplayGainMode> ModeNamed(const QString& name);

  /** Makes the player's back-ends level the songs they open as settings wants it when each
   *  song is opened. */
  static void Apply(PlayerEngine::BackEnds& backEnds,
                    const std::function<platform::ReplayGainSettings()>& settings);
};

}  // namespace audiolume
