#pragma once

#include <QPointer>

namespace audiolume {

class AppServices;
class CdRecorder;
class DriveSetup;
class Play;
class RecordFrm;

/**
 * The recorder window beside the player: made when first opened from the player's
 * Recorder button or menu item or from the library window, docked under the player and
 * remembered as "Recorder"; and the CDDB dialogs it asks. UI thread only.
 */
class RecorderWindows {
 public:
  RecorderWindows(CdRecorder& recorder, AppServices& services, Play& play);
  ~RecorderWindows();
  RecorderWindows(const RecorderWindows&) = delete;
  RecorderWindows& operator=(const RecorderWindows&) = delete;

  RecordFrm* Recorder();

 private:
  bool ShowCddbPrefs();
  bool AskCddbLogin();
  void ShowOptions();
  void ShowAdvancedOptions(int drive);
  void SetUpDrive();
  DriveSetup MakeDriveSetup();

  CdRecorder& recorder_;
  AppServices& services_;
  Play& play_;
  QPointer<RecordFrm> window_;
};

}  // namespace audiolume
