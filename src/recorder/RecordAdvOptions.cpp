#include "recorder/RecordAdvOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

/** The boxes: control name, caption, and where the value lives. */
struct Field {
  const char* name;
  int caption;
  bool inDriveSection;  // else section Record of the settings file
  const char* key;
};

constexpr Field kFields[] = {{"TrackOffset", RC_TrackOffset, false, "TrackOffset"},
                             {"StartTime", RC_StartTime, false, "StartTime"},
                             {"RecordLength", RC_RecordLen, false, "RecordLength"},
                             {"Block", RC_Block, true, "BLOCK"},
                             {"Overlap", RC_OverLap, true, "OVERLAP"},
                             {"MaxMismatch", RC_MaxMismatch, true, "MAX_MISMATCHES"}};

}  // namespace

RecordAdvOptions::RecordAdvOptions(MessageCatalog& catalog, Prompter& prompter,
                                   QString settingsFile, QString appDir, int drive,
                                   std::function<void()> autoConfigure, QWidget* parent)
    : QDialog(parent),
      catalog_(catalog),
      prompter_(prompter),
      settingsFile_(std::move(settingsFile)),
      appDir_(std::move(appDir)),
      drive_(drive),
      autoConfigure_(std::move(autoConfigure)) {
  setObjectName(u"RecordAdvOptions"_s);
  setWindowTitle(catalog.GetMsg(RC_RecAdvOptions));
  auto* form = new QFormLayout;
  const QString control = appDir_ + u"/TWCD.ini"_s;
  for (const Field& field : kFields) {
    const QString key = QString::fromLatin1(field.key);
    auto* box = new QLineEdit(field.inDriveSection ? ReadIniString(control, DriveSection(), key)
                                                   : ReadIniString(settingsFile_, u"Record"_s, key),
                              this);
    box->setObjectName(QString::fromLatin1(field.name));
    // Numbers only: anything else is simply not taken.
    box->setValidator(
        new QIntValidator(field.caption == RC_TrackOffset ? -100000 : 0, 100000, box));
    form->addRow(catalog.GetMsg(field.caption), box);
  }
  RecSpeed_ = new QComboBox(this);
  RecSpeed_->setObjectName(u"RecSpeed"_s);
  RecSpeed_->addItem(u"Max"_s, u"0"_s);
  for (const int speed : {1, 2, 4, 8, 16, 24, 32, 48}) {
    RecSpeed_->addItem(QString::number(speed) + u'x', QString::number(speed));
  }
  RecSpeed_->setCurrentIndex(
      std::max(0, RecSpeed_->findData(ReadIniString(control, DriveSection(), u"SPEED"_s))));
  form->addRow(catalog.GetMsg(RC_RecSpeed), RecSpeed_);
  Multipass_ = new QCheckBox(catalog.GetMsg(RC_MultiPass), this);
  Multipass_->setObjectName(u"Multipass"_s);
  Multipass_->setChecked(ReadIniString(control, DriveSection(), u"MULTIPASS"_s) == u"YES");
  form->addRow(QString(), Multipass_);
  auto* imgOK = new QPushButton(catalog.GetMsg(RC_OK), this);
  imgOK->setObjectName(u"imgOK"_s);
  auto* imgCancel = new QPushButton(catalog.GetMsg(RC_Cancel), this);
  imgCancel->setObjectName(u"imgCancel"_s);
  auto* imgAutoConfigure = new QPushButton(catalog.GetMsg(RC_AutoConfigure), this);
  imgAutoConfigure->setObjectName(u"imgAutoConfigure"_s);
  connect(imgOK, &QPushButton::clicked, this, &RecordAdvOptions::imgOK_Click);
  connect(imgCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(imgAutoConfigure, &QPushButton::clicked, this, &RecordAdvOptions::imgAutoConfigure_Click);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(imgAutoConfigure);
  buttons->addStretch();
  buttons->addWidget(imgOK);
  buttons->addWidget(imgCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
}

QString RecordAdvOptions::DriveSection() const {
  return u"DRIVE_"_s + QString::number(drive_ + 1);
}

QLineEdit* RecordAdvOptions::Box(const QString& name) const {
  return findChild<QLineEdit*>(name);
}

void RecordAdvOptions::imgOK_Click() {
  const QString control = appDir_ + u"/TWCD.ini"_s;
  for (const Field& field : kFields) {
    const QString key = QString::fromLatin1(field.key);
    const QString value = Box(QString::fromLatin1(field.name))->text().trimmed();
    if (field.inDriveSection) {
      WriteIniString(control, DriveSection(), key, value);
    } else {
      WriteIniString(settingsFile_, u"Record"_s, key, value);
    }
  }
  WriteIniString(control, DriveSection(), u"SPEED"_s, RecSpeed_->currentData().toString());
  WriteIniString(control, DriveSection(), u"MULTIPASS"_s,
                 Multipass_->isChecked() ? u"YES"_s : u"NO"_s);
  accept();
}

void RecordAdvOptions::imgAutoConfigure_Click() {
  const int answer = prompter_.Ask(
      catalog_.GetMsg(RC_ReConfigCD1) + u'\n' + catalog_.GetMsg(RC_ReConfigCD2),
      catalog_.GetMsg(RC_OK) + u'|' + catalog_.GetMsg(RC_Cancel), MessageIcon::Question);
  if (answer != 1) return;
  if (autoConfigure_) autoConfigure_();
  for (const char* name : {"TrackOffset", "StartTime"})
    Box(QString::fromLatin1(name))->setText(u"0"_s);
  Box(u"RecordLength"_s)->clear();
  accept();
}

}  // namespace audiolume
