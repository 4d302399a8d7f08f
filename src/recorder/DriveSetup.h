#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QProcess;

namespace audiolume {

class ErrorLog;
class MessageCatalog;
class Prompter;
class RecordDisc;

/**
 * Readies the CD drive for digital recording: runs the drive test program on the disc,
 * keeps its findings (the drive's section of "TWCD.ini", copied into the settings file)
 * and turns error correction on when the drive read differently (never off: that is the
 * user's choice); a drive that fails, or missing ripper programs, set the recorder to
 * analog capture, which each recording still asks about. Also the advanced options'
 * auto-configure, which forgets the drive's set-up. UI thread only; the test program
 * runs as a process that is watched, never waited for, so the windows stay alive and
 * the test can be cancelled.
 */
class DriveSetup : public QObject {
  Q_OBJECT

 public:
  struct Context {
    RecordDisc& disc;
    MessageCatalog& catalog;
    Prompter& prompter;
    QString settingsFile;
    QString appDir;      // "TWCD.ini", "TWCD.log", "TWCDSetup.out", "RecordInit.log"
    QString programDir;  // where twcd and twcd-setup are installed
  };

  explicit DriveSetup(Context context, QObject* parent = nullptr);
  /** A test still running is stopped and left to end by itself. */
  ~DriveSetup() override;

  /** Starts the drive test; TestEnded follows, at once when there is nothing to run. The
   *  test program may run InitTimeOut seconds (300 when unset, then written back). */
  void StartDriveTest();
  /** Ends a running test at once: the test program is stopped and not waited for (a
   *  drive that hangs holds it; it is cleaned up when it ends), and the drive stays as
   *  it was before the test. TestEnded follows with an empty result. */
  void CancelDriveTest();
  /** From the start of a test until TestEnded. */
  bool IsTesting() const { return testing_; }
  /** The last test's CONFIG_OK; empty when the recorder switched to analog without a
   *  test, or the test was cancelled. */
  const QString& Result() const { return result_; }
  /** The whole test, waited for in an event loop of its own (the command line). */
  QString RunDriveTest();
  /** Records analog from now on; reason (when given) is shown first. */
  void SwitchToAnalog(const QString& reason);
  /** Forgets the drive's set-up ("TWCD.ini") and the trimming values. */
  void AutoConfigure();

 Q_SIGNALS:
  void TestEnded(const QString& result);

 private:
  void ReleaseDisc();
  /** Starts the test program; false when there is no disc to test. */
  bool StartTestProgram();
  void TestProgramEnded();
  /** Stops the test program and leaves it to end by itself. */
  void AbandonTestProgram();
  /** Reads the test's findings into the settings; CONFIG_OK. */
  QString Conclude();
  void End(const QString& result);
  void Log(const QString& line) const;
  QString Control(const QString& section, const QString& key) const;

  Context context_;
  QProcess* test_ = nullptr;
  QTimer timeOut_;
  QString result_;
  bool testing_ = false;
  bool held_ = false;         // the recorder window had the drive open
  bool suppressed_ = false;   // the window's lookup was suppressed before
  bool controlMade_ = false;  // "TWCD.ini" was made by this test
};

}  // namespace audiolume
