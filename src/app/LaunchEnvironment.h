#pragma once

#include <QString>

namespace audiolume {

/**
 * What the process environment says about where things are. Read once, by the
 * executables' main functions only; everything below receives these as arguments.
 */
struct LaunchEnvironment {
  QString home;          // AUDIOLUME_HOME, empty when unset
  QString registryPath;  // AUDIOLUME_REGISTRY, else $XDG_CONFIG_HOME/Audiolume/registry.ini
  QString dataHome;      // $XDG_DATA_HOME
  QString audio;         // AUDIOLUME_AUDIO ("null" forces the silent sink)
  QString cdDrives;      // AUDIOLUME_CD_DRIVES, replaces the drive enumeration

  static LaunchEnvironment FromProcess();
};

}  // namespace audiolume
