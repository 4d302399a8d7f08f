#pragma once

#include "app/VeltoDj.h"
#include "platform/SingleInstance.h"
#include "support/QtPrompter.h"

namespace audiolume {

/** The jukebox program: start-up in its fixed order, the main window, shut-down. */
class Jukebox {
 public:
  Jukebox(StartupOptions options, QString instanceName);

  /** Runs the program until its main window closes; returns the exit code. */
  int Run();

 private:
  QtPrompter prompter_;
  VeltoDj veltoDj_;
  platform::SingleInstance instance_;
};

}  // namespace audiolume
