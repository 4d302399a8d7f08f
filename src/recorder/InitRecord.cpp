#include "recorder/InitRecord.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "recorder/DriveSetup.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr int kProgressSteps = 30;

}  // namespace

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
  picInitProgress_ = new QProgressBar(this);
  picInitProgress_->setObjectName(u"picInitProgress"_s);
  picInitProgress_->setRange(0, kProgressSteps);
  picInitProgress_->setTextVisible(false);
  picInitProgress_->hide();
  imgOK_ = new QPushButton(catalog.GetMsg(RC_OK), this);
  imgOK_->setObjectName(u"imgOK"_s);
  auto* imgCancel = new QPushButton(catalog.GetMsg(RC_Cancel), this);
  imgCancel->setObjectName(u"imgCancel"_s);
  connect(imgOK_, &QPushButton::clicked, this, &InitRecord::imgOK_Click);
  connect(imgCancel, &QPushButton::clicked, this, &InitRecord::imgCancel_Click);
  timerInitRecord_.setInterval(1000);
  connect(&timerInitRecord_, &QTimer::timeout, this, &InitRecord::timerInitRecord_Timer);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(imgOK_);
  buttons->addWidget(imgCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addWidget(lblInitStatus_);
  layout->addWidget(picInitProgress_);
  layout->addLayout(buttons);
}

void InitRecord::imgOK_Click() {
  imgOK_->setEnabled(false);
  lblInitStatus_->setText(catalog_.GetMsg(RC_Wait));
  step_ = 0;
  timerInitRecord_.start();
}

void InitRecord::imgCancel_Click() {
  // The test goes on while the question is open; the steps wait for the answer.
  timerInitRecord_.stop();
  const int answer = prompter_.Ask(catalog_.GetMsg(RC_InitRec_Cancel1),
                                   catalog_.GetMsg(RC_OK) + u'|' + catalog_.GetMsg(RC_Cancel),
                                   MessageIcon::Question);
  if (answer != 1) {
    if (!imgOK_->isEnabled()) timerInitRecord_.start();
    return;
  }
  setup_.CancelDriveTest();
  QDialog::reject();
}

void InitRecord::reject() {
  imgCancel_Click();
}

void InitRecord::timerInitRecord_Timer() {
  switch (step_) {
    case 0:
      step_ = 1;
      picInitProgress_->setValue(0);
      picInitProgress_->show();
      // What the start has to say (a missing program) is said before the steps go on.
      timerInitRecord_.stop();
      setup_.StartDriveTest();
      timerInitRecord_.start();
      break;
    case 1:
      if (setup_.IsTesting()) {
        // Steps of 1 to 30, then again from 1: the test may take minutes.
        picInitProgress_->setValue(picInitProgress_->value() % kProgressSteps + 1);
        return;
      }
      picInitProgress_->setValue(kProgressSteps);
      step_ = 2;
      ShowCddbPrefs();
      break;
    case 2:
      step_ = 3;
      lblInitStatus_->setText(catalog_.GetMsg(RC_Finished));
      break;
    default:
      timerInitRecord_.stop();
      accept();
      break;
  }
}

void InitRecord::ShowCddbPrefs() {
  if (!showCddbPrefs_) return;
  // The steps wait while the preferences are open.
  timerInitRecord_.stop();
  showCddbPrefs_();
  timerInitRecord_.start();
}

}  // namespace audiolume
