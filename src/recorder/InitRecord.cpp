#include "recorder/InitRecord.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "recorder/DriveSetup.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

InitRecord::InitRecord(DriveSetup& setup, MessageCatalog& catalog, Prompter& prompter,
                       std::function<void()> showCddbPrefs, QWidget* parent)
    : QDialog(parent),
      setup_(setup),
      catalog_(catalog),
      prompter_(prompter),
      showCddbPrefs_(std::move(showCddbPrefs)) {
  setObjectName(u"InitRecord"_s);
  setWindowTitle(catalog.GetMsg(RC_InitRecording));
  QString intro;
  for (const int line : {RC_InitRec_Msg1, RC_InitRec_Msg2, RC_InitRec_Msg3, RC_InitRec_Msg4}) {
    intro += catalog.GetMsg(line) + u'\n';
  }
  auto* text = new QLabel(intro + u'\n' + catalog.GetMsg(RC_AutoConfig_Msg5), this);
  text->setWordWrap(true);
  lblInitStatus_ = new QLabel(this);
  lblInitStatus_->setObjectName(u"lblInitStatus"_s);
  auto* imgOK = new QPushButton(catalog.GetMsg(RC_OK), this);
  imgOK->setObjectName(u"imgOK"_s);
  auto* imgCancel = new QPushButton(catalog.GetMsg(RC_Cancel), this);
  imgCancel->setObjectName(u"imgCancel"_s);
  connect(imgOK, &QPushButton::clicked, this, &InitRecord::imgOK_Click);
  connect(imgCancel, &QPushButton::clicked, this, &InitRecord::imgCancel_Click);
  timerInitRecord_.setInterval(1000);
  connect(&timerInitRecord_, &QTimer::timeout, this, &InitRecord::timerInitRecord_Timer);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(imgOK);
  buttons->addWidget(imgCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addWidget(lblInitStatus_);
  layout->addLayout(buttons);
}

void InitRecord::imgOK_Click() {
  for (QPushButton* button : findChildren<QPushButton*>()) button->setEnabled(false);
  lblInitStatus_->setText(catalog_.GetMsg(RC_Wait));
  step_ = 0;
  timerInitRecord_.start();
}

void InitRecord::imgCancel_Click() {
  const int answer = prompter_.Ask(catalog_.GetMsg(RC_InitRec_Cancel1),
                                   catalog_.GetMsg(RC_OK) + u'|' + catalog_.GetMsg(RC_Cancel),
                                   MessageIcon::Question);
  if (answer != 1) return;
  setup_.SwitchToAnalog({});
  reject();
}

void InitRecord::timerInitRecord_Timer() {
  switch (step_++) {
    case 0:
      timerInitRecord_.stop();  // the test takes its time; the next step waits for it
      result_ = setup_.RunDriveTest();
      timerInitRecord_.start();
      break;
    case 1:
      if (showCddbPrefs_) showCddbPrefs_();
      break;
    case 2: lblInitStatus_->setText(catalog_.GetMsg(RC_Finished)); break;
    default:
      timerInitRecord_.stop();
      accept();
      break;
  }
}

}  // namespace audiolume
