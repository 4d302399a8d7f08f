#pragma once

#include <QString>

namespace audiolume {

class ErrorLog;
class MessageCatalog;
class Prompter;
class RecordDisc;

/**
 * Readies the CD drive for digital recording: runs the drive test program on the disc,
 * keeps its findings (the drive's section of "TWCD.ini", copied into the settings file)
 * and decides error correction from them; a drive that fails, or missing ripper
 * programs, switch the recorder to analog capture for good. Also the advanced options'
 * auto-configure, which forgets the drive's set-up. UI thread only; the test program
 * runs as a process watched while the windows stay alive.
 */
class DriveSetup {
 public:
  struct Context {
    RecordDisc& disc;
    MessageCatalog& catalog;
    Prompter& prompter;
    QString settingsFile;
    QString appDir;      // "TWCD.ini", "TWCD.log", "TWCDSetup.out", "RecordInit.log"
    QString programDir;  // where twcd and twcd-setup are installed
  };

  explicit DriveSetup(Context context);

  /** The drive test; its CONFIG_OK, or empty when the recorder switched to analog
   *  without a test. */
  QString RunDriveTest();
  /** Runs a command line in the application directory and waits for it, at most
   *  InitTimeOut seconds (300 when unset, then written back); its exit code, -1 when it
   *  was stopped or could not start. */
  int ExecuteAndWait(const QString& program, const QStringList& args);
  /** Records analog from now on; reason (when given) is shown first. */
  void SwitchToAnalog(const QString& reason);
  /** Forgets the drive's set-up ("TWCD.ini") and the trimming values. */
  void AutoConfigure();

 private:
  QString TestDrive();
  void Log(const QString& line) const;
  QString Control(const QString& section, const QString& key) const;

  Context context_;
};

}  // namespace audiolume
