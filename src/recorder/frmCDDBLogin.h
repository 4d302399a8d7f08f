#pragma once

#include <QDialog>

class QCheckBox;

namespace audiolume {

class MessageCatalog;

/**
 * "Do you want to connect to the CDDB database?" with Yes and No, and a tick that stops
 * the question from being asked again (ShowCDDBDlg in section CDDB, written on closing).
 */
class frmCDDBLogin : public QDialog {
  Q_OBJECT

 public:
  frmCDDBLogin(MessageCatalog& catalog, QString settingsFile, QWidget* parent = nullptr);

  void btnYes_Click();
  void btnNo_Click();
  bool Declined() const { return declined_; }
  QCheckBox* chkShow() const { return chkShow_; }

 protected:
  void done(int result) override;

 private:
  QString settingsFile_;
  QCheckBox* chkShow_;
  bool declined_ = true;
};

}  // namespace audiolume
