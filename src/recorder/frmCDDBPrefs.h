#pragma once

#include <QDialog>

#include "recorder/CddbSettings.h"
#include "recorder/CddbSites.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace audiolume {

class MessageCatalog;

/**
 * The CDDB preferences: whether lookups happen, where titles are looked up (MusicBrainz,
 * CDDB, or MusicBrainz then CDDB), whether to ask first, the user name, the protocol
 * (cddbp or HTTP), and the server with its port, typed or picked from the list of public
 * sites a server gives. OK writes section CDDB; Cancel writes nothing.
 */
class frmCDDBPrefs : public QDialog {
  Q_OBJECT

 public:
  frmCDDBPrefs(MessageCatalog& catalog, QString settingsFile, QWidget* parent = nullptr);

  void Form_Load();
  void btnOK_Click();
  void btnCancel_Click();
  void btnGetSrvrs_Click();
  void lstServers_Click(int row);
  /** The protocol changed: the port follows when it was the other protocol's usual one. */
  void rdoProtocol_Click();
  CddbSites& Sites() { return sites_; }
  /** The settings as the controls show them. */
  CddbSettings Chosen() const;

 private:
  void ShowServerLine();

  MessageCatalog& catalog_;
  QString settingsFile_;
  CddbSites sites_;
  QLineEdit* txtUserName_;
  QCheckBox* chkNeverCDDB_;
  QCheckBox* chkQueryDlg_;
  QComboBox* cmbLookup_;
  QRadioButton* rdoProtocol0_;
  QRadioButton* rdoProtocol1_;
  QLineEdit* txtServer_;
  QSpinBox* txtPort_;
  QLabel* lblServerPath_;
  QListWidget* lstServers_;
  QPushButton* btnGetSrvrs_;
  QLabel* lblStatus_;
};

}  // namespace audiolume
