#include "player/ReplayGainOptions.h"

#include <array>

#include "support/IniSettings.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kReplayGainSection = u"ReplayGain"_s;

const std::array<std::pair<platform::ReplayGainMode, QString>, 3> kModeNames = {
    {{platform::ReplayGainMode::Off, u"off"_s},
     {platform::ReplayGainMode::Track, u"track"_s},
     {platform::ReplayGainMode::Album, u"album"_s}}};

}  // namespace

platform::ReplayGainSettings ReplayGainOptions::Read(const QString& iniFile) {
  platform::ReplayGainSettings settings;
  settings.mode = ModeNamed(ReadIniString(iniFile, kReplayGainSection, u"Mode"_s))
                      .value_or(platform::ReplayGainMode::Off);
  settings.preampDb = ReadIniString(iniFile, kReplayGainSection, u"Preamp"_s).toDouble();
  settings.preventClipping =
      ReadIniDefault(iniFile, kReplayGainSection, u"PreventClipping"_s, u"True"_s) != u"False";
  return settings;
}

bool ReplayGainOptions::WriteMode(const QString& iniFile, platform::ReplayGainMode mode) {
  for (const auto& [known, name] : kModeNames) {
    if (known == mode) return WriteIniString(iniFile, kReplayGainSection, u"Mode"_s, name);
  }
  return false;
}

bool ReplayGainOptions::WritePreventClipping(const QString& iniFile, bool prevent) {
  return WriteIniString(iniFile, kReplayGainSection, u"PreventClipping"_s,
                        prevent ? u"True"_s : u"False"_s);
}

std::optional<platform::ReplayGainMode> ReplayGainOptions::ModeNamed(const QString& name) {
  for (const auto& [mode, known] : kModeNames) {
    if (name.trimmed().compare(known, Qt::CaseInsensitive) == 0) return mode;
  }
  return std::nullopt;
}

void ReplayGainOptions::Apply(PlayerEngine::BackEnds& backEnds,
                              const std::function<platform::ReplayGainSettings()>& settings) {
  backEnds.mpegOpen = platform::ReplayGainOpener(backEnds.mpegOpen, settings);
  backEnds.otherOpen = platform::ReplayGainOpener(backEnds.otherOpen, settings);
}

}  // namespace audiolume
