#include "recorder/frmCDDBLogin.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

frmCDDBLogin::frmCDDBLogin(MessageCatalog& catalog, QString settingsFile, QWidget* parent)
    : QDialog(parent), settingsFile_(std::move(settingsFile)) {
  setObjectName(u"frmCDDBLogin"_s);
  setWindowTitle(catalog.GetMsg(RC_CDDBConnect));
  auto* text = new QLabel(
      catalog.GetMsg(RC_ConnectCDDB) + u"\n\n"_s + catalog.GetMsg(RC_CDDB_Explanation1), this);
  text->setWordWrap(true);
  chkShow_ = new QCheckBox(catalog.GetMsg(RC_DontShowAgain), this);
  chkShow_->setObjectName(u"chkShow"_s);
  auto* btnYes = new QPushButton(catalog.GetMsg(RC_Yes), this);
  btnYes->setObjectName(u"btnYes"_s);
  btnYes->setDefault(true);
  auto* btnNo = new QPushButton(catalog.GetMsg(RC_No), this);
  btnNo->setObjectName(u"btnNo"_s);
  connect(btnYes, &QPushButton::clicked, this, &frmCDDBLogin::btnYes_Click);
  connect(btnNo, &QPushButton::clicked, this, &frmCDDBLogin::btnNo_Click);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnYes);
  buttons->addWidget(btnNo);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addWidget(chkShow_);
  layout->addLayout(buttons);
}

void frmCDDBLogin::btnYes_Click() {
  declined_ = false;
  accept();
}

void frmCDDBLogin::btnNo_Click() {
  declined_ = true;
  reject();
}

void frmCDDBLogin::done(int result) {
  WriteIniString(settingsFile_, u"CDDB"_s, u"ShowCDDBDlg"_s,
                 chkShow_->isChecked() ? u"False"_s : u"True"_s);
  QDialog::done(result);
}

}  // namespace audiolume
