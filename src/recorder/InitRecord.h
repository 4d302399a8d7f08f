#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>

class QLabel;

namespace audiolume {

class DriveSetup;
class MessageCatalog;
class Prompter;

/**
 * The drive set-up window: says what will happen, and on OK runs the drive test, then the
 * CDDB preferences, one step a second (timerInitRecord), and closes. Cancel asks first:
 * it leaves digital recording off.
 */
class InitRecord : public QDialog {
  Q_OBJECT

 public:
  InitRecord(DriveSetup& setup, MessageCatalog& catalog, Prompter& prompter,
             std::function<void()> showCddbPrefs, QWidget* parent = nullptr);

  void imgOK_Click();
  void imgCancel_Click();
  void timerInitRecord_Timer();
  /** The drive test's CONFIG_OK once it ran. */
  const QString& Result() const { return result_; }
  QTimer& Timer() { return timerInitRecord_; }

 private:
  DriveSetup& setup_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
  std::function<void()> showCddbPrefs_;
  QLabel* lblInitStatus_;
  QTimer timerInitRecord_;
  int step_ = 0;
  QString result_;
};

}  // namespace audiolume
