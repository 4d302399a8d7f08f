#include "recorder/frmCDDBPrefs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "support/MessageCatalog.h"
#include "support/MessageIds.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

frmCDDBPrefs::frmCDDBPrefs(MessageCatalog& catalog, QString settingsFile, QWidget* parent)
    : QDialog(parent), catalog_(catalog), settingsFile_(std::move(settingsFile)), sites_(catalog) {
  setObjectName(u"frmCDDBPrefs"_s);
  setWindowTitle(catalog.GetMsg(RC_CDDBPrefTitle));
  txtUserName_ = new QLineEdit(this);
  txtUserName_->setObjectName(u"txtUserName"_s);
  txtUserName_->setToolTip(catalog.GetMsg(RC_CDDBUserNameTTip));
  chkNeverCDDB_ = new QCheckBox(u"Never look titles up on a CDDB server"_s, this);
  chkNeverCDDB_->setObjectName(u"chkNeverCDDB"_s);
  chkNeverCDDB_->setToolTip(catalog.GetMsg(RC_CDDBAutoConnectTTip));
  chkQueryDlg_ = new QCheckBox(catalog.GetMsg(RC_EnableCDDBDialog), this);
  chkQueryDlg_->setObjectName(u"chkQueryDlg"_s);
  // In the order of CddbSettings::Source.
  cmbLookup_ = new QComboBox(this);
  cmbLookup_->setObjectName(u"cmbLookup"_s);
  cmbLookup_->addItems({u"MusicBrainz"_s, u"CDDB"_s, u"MusicBrainz, then CDDB"_s});
  rdoProtocol0_ = new QRadioButton(u"CDDB (cddbp)"_s, this);
  rdoProtocol0_->setObjectName(u"rdoProtocol0"_s);
  rdoProtocol0_->setToolTip(catalog.GetMsg(RC_CDDBStdProtocolTTip));
  rdoProtocol1_ = new QRadioButton(u"HTTP"_s, this);
  rdoProtocol1_->setObjectName(u"rdoProtocol1"_s);
  rdoProtocol1_->setToolTip(catalog.GetMsg(RC_CDDBToolTip1));
  auto* protocols = new QButtonGroup(this);
  protocols->addButton(rdoProtocol0_, 0);
  protocols->addButton(rdoProtocol1_, 1);
  txtServer_ = new QLineEdit(this);
  txtServer_->setObjectName(u"txtServer"_s);
  txtServer_->setToolTip(catalog.GetMsg(RC_CDDBServerTTip));
  txtPort_ = new QSpinBox(this);
  txtPort_->setObjectName(u"txtPort"_s);
  txtPort_->setRange(1, 65535);
  lblServerPath_ = new QLabel(this);
  lblServerPath_->setObjectName(u"lblServerPath"_s);
  lstServers_ = new QListWidget(this);
  lstServers_->setObjectName(u"lstServers"_s);
  lstServers_->setFont(QFont(u"Monospace"_s));
  btnGetSrvrs_ = new QPushButton(catalog.GetMsg(RC_GetServerList), this);
  btnGetSrvrs_->setObjectName(u"btnGetSrvrs"_s);
  lblStatus_ = new QLabel(this);
  lblStatus_->setObjectName(u"lblStatus"_s);
  auto* btnOK = new QPushButton(catalog.GetMsg(RC_OK), this);
  btnOK->setObjectName(u"btnOK"_s);
  btnOK->setDefault(true);
  auto* btnCancel = new QPushButton(catalog.GetMsg(RC_Cancel), this);
  btnCancel->setObjectName(u"btnCancel"_s);

  connect(btnOK, &QPushButton::clicked, this, &frmCDDBPrefs::btnOK_Click);
  connect(btnCancel, &QPushButton::clicked, this, &frmCDDBPrefs::btnCancel_Click);
  connect(btnGetSrvrs_, &QPushButton::clicked, this, &frmCDDBPrefs::btnGetSrvrs_Click);
  connect(lstServers_, &QListWidget::currentRowChanged, this, &frmCDDBPrefs::lstServers_Click);
  connect(rdoProtocol1_, &QRadioButton::toggled, this, &frmCDDBPrefs::rdoProtocol_Click);
  connect(txtServer_, &QLineEdit::textChanged, this, &frmCDDBPrefs::ShowServerLine);
  connect(txtPort_, &QSpinBox::valueChanged, this, &frmCDDBPrefs::ShowServerLine);
  connect(&sites_, &CddbSites::StatusChanged, lblStatus_, &QLabel::setText);
  connect(&sites_, &CddbSites::SitesReady, this, [this] {
    lstServers_->clear();
    for (const CddbSites::Site& site : sites_.Sites())
      lstServers_->addItem(CddbSites::ListLine(site));
  });
  connect(&sites_, &CddbSites::Finished, this, [this] { btnGetSrvrs_->setEnabled(true); });

  auto* form = new QFormLayout;
  form->addRow(u"Look titles up on"_s, cmbLookup_);
  form->addRow(catalog.GetMsg(RC_UserName), txtUserName_);
  auto* protocolRow = new QHBoxLayout;
  protocolRow->addWidget(rdoProtocol0_);
  protocolRow->addWidget(rdoProtocol1_);
  protocolRow->addStretch();
  form->addRow(catalog.GetMsg(RC_CDDBProtocol), protocolRow);
  auto* serverRow = new QHBoxLayout;
  serverRow->addWidget(txtServer_, 1);
  serverRow->addWidget(txtPort_);
  form->addRow(catalog.GetMsg(RC_CDDBServerQuery), serverRow);
  form->addRow(QString(), lblServerPath_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnGetSrvrs_);
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(chkNeverCDDB_);
  layout->addWidget(chkQueryDlg_);
  layout->addWidget(lstServers_, 1);
  layout->addWidget(lblStatus_);
  layout->addLayout(buttons);
  resize(640, 420);
}

void frmCDDBPrefs::Form_Load() {
  lblStatus_->setText(catalog_.GetMsg(RC_CDDBLoadPref));
  const CddbSettings settings = CddbSettings::Load(settingsFile_);
  txtUserName_->setText(settings.user);
  chkNeverCDDB_->setChecked(!settings.useCddb);
  chkQueryDlg_->setChecked(settings.showCddbDlg);
  cmbLookup_->setCurrentIndex(int(settings.source));
  (settings.useHttp ? rdoProtocol1_ : rdoProtocol0_)->setChecked(true);
  txtServer_->setText(settings.server);
  txtPort_->setValue(settings.port);
  ShowServerLine();
  lblStatus_->clear();
}

CddbSettings frmCDDBPrefs::Chosen() const {
  CddbSettings settings;
  settings.user = txtUserName_->text();
  settings.useCddb = !chkNeverCDDB_->isChecked();
  settings.showCddbDlg = chkQueryDlg_->isChecked();
  settings.source = CddbSettings::Source(cmbLookup_->currentIndex());
  settings.useHttp = rdoProtocol1_->isChecked();
  settings.server = txtServer_->text().trimmed();
  settings.port = txtPort_->value();
  settings.notConfigured = settings.server.isEmpty();
  return settings;
}

void frmCDDBPrefs::btnOK_Click() {
  const CddbSettings settings = Chosen();
  if (settings.server.isEmpty()) {
    lblStatus_->setText(catalog_.GetMsg(RC_CDDBNameMsg));
    return;
  }
  lblStatus_->setText(catalog_.GetMsg(RC_SavingPref));
  settings.Save(settingsFile_);
  accept();
}

void frmCDDBPrefs::btnCancel_Click() {
  reject();
}

void frmCDDBPrefs::btnGetSrvrs_Click() {
  btnGetSrvrs_->setEnabled(false);
  lstServers_->clear();
  sites_.Fetch(QString::fromLatin1(CddbSettings::kDefaultServer), CddbSettings::kDefaultPort);
}

void frmCDDBPrefs::lstServers_Click(int row) {
  if (row < 0 || row >= sites_.Sites().size()) return;
  txtServer_->setText(CddbSites::HostOfLine(lstServers_->item(row)->text()));
  txtPort_->setValue(sites_.Sites()[row].port);
}

void frmCDDBPrefs::rdoProtocol_Click() {
  // Each protocol has its own usual port; one the user set otherwise stays.
  const bool http = rdoProtocol1_->isChecked();
  const int from = http ? CddbSettings::kDefaultPort : CddbSettings::kDefaultHttpPort;
  if (txtPort_->value() == from) {
    txtPort_->setValue(http ? CddbSettings::kDefaultHttpPort : CddbSettings::kDefaultPort);
  }
  ShowServerLine();
}

void frmCDDBPrefs::ShowServerLine() {
  lblServerPath_->setText(rdoProtocol1_->isChecked()
                              ? u"http://"_s + txtServer_->text() + u"/~cddb/cddb.cgi   Port: "_s +
                                    QString::number(txtPort_->value())
                              : QString());
}

}  // namespace audiolume
