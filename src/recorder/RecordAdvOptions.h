#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace audiolume {

class MessageCatalog;
class Prompter;

/**
 * The advanced digital options: the trimming passed to the ripper (track offset, start
 * time, record length) and the drive's extraction settings in "TWCD.ini"; Auto Configure
 * forgets the drive's set-up after asking.
 */
class RecordAdvOptions : public QDialog {
  Q_OBJECT

 public:
  RecordAdvOptions(MessageCatalog& catalog, Prompter& prompter, QString settingsFile,
                   QString appDir, int drive, std::function<void()> autoConfigure,
                   QWidget* parent = nullptr);

  void imgOK_Click();
  void imgAutoConfigure_Click();
  QLineEdit* Box(const QString& name) const;

 private:
  QString DriveSection() const;

  MessageCatalog& catalog_;
  Prompter& prompter_;
  QString settingsFile_;
  QString appDir_;
  int drive_;
  std::function<void()> autoConfigure_;
  QComboBox* RecSpeed_;
  QCheckBox* Multipass_;
};

}  // namespace audiolume
