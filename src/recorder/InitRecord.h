#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace audiolume {

class DriveSetup;
class MessageCatalog;
class Prompter;

/**
 * The drive set-up window: says what will happen, and on OK runs the drive test, then the
 * CDDB preferences, one step a second (timerInitRecord), and closes. While the test runs
 * the window stays alive and shows its progress in steps of 1 to 30, a second each.
 * Cancel (also Escape and closing the window) asks first; it ends a running test at once
 * and leaves the drive as it was, untested: it never chooses analog recording.
 */
class InitRecord : public QDialog {
  Q_OBJECT

 public:
  InitRecord(DriveSetup& setup, MessageCatalog& catalog, Prompter& prompter,
             std::function<void()> showCddbPrefs, QWidget* parent = nullptr);

  void imgOK_Click();
  void imgCancel_Click();
  void timerInitRecord_Timer();
  /** Cancel's question, also for Escape and the window's close button. */
  void reject() override;
  QTimer& Timer() { return timerInitRecord_; }

 private:
  void ShowCddbPrefs();

  DriveSetup& setup_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
  std::function<void()> showCddbPrefs_;
  QLabel* lblInitStatus_;
  QProgressBar* picInitProgress_;
  QPushButton* imgOK_;
  QTimer timerInitRecord_;
  int step_ = 0;
};

}  // namespace audiolume
