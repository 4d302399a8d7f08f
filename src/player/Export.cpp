#include "player/Export.h"

#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "player/RioExport.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

Export::Export(RioExport& rio, MessageCatalog& catalog, QWidget* parent)
    : QDialog(parent),
      rio_(rio),
      lblHeading_(new QLabel(this)),
      lblDetail_(new QLabel(this)),
      lblSongNumber_(new QLabel(this)),
      lblProgress_(new QLabel(this)),
      progress_(new QProgressBar(this)),
      cmdCancelDownload_(new QPushButton(catalog.GetMsg(RC_Cancel), this)),
      cmdCancelAllDownload_(new QPushButton(catalog.GetMsg(RC_CancelAll), this)) {
  setObjectName(u"Export"_s);
  setWindowTitle(catalog.GetMsg(RC_DownloadRio));
  setModal(true);
  lblHeading_->setObjectName(u"lblHeading"_s);
  lblDetail_->setObjectName(u"lblDetail"_s);
  lblSongNumber_->setObjectName(u"lblSongNumber"_s);
  lblProgress_->setObjectName(u"lblProgress"_s);
  progress_->setObjectName(u"prgDownload"_s);
  cmdCancelDownload_->setObjectName(u"cmdCancelDownload"_s);
  cmdCancelAllDownload_->setObjectName(u"cmdCancelAllDownload"_s);
  progress_->setRange(0, 100);
  progress_->setTextVisible(false);  // the label beside it shows the percentage
  lblProgress_->setMinimumWidth(lblProgress_->fontMetrics().horizontalAdvance(u"100 %"_s) + 4);
  lblDetail_->setWordWrap(true);
  QFont bold = lblHeading_->font();
  bold.setBold(true);
  lblHeading_->setFont(bold);

  auto* panel = new QHBoxLayout;
  panel->addWidget(new QLabel(catalog.GetMsg(RC_DownloadProgress), this));
  panel->addWidget(progress_, 1);
  panel->addWidget(lblProgress_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdCancelDownload_);
  buttons->addWidget(cmdCancelAllDownload_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblHeading_);
  layout->addWidget(lblDetail_);
  layout->addWidget(lblSongNumber_);
  layout->addLayout(panel);
  layout->addLayout(buttons);
  resize(460, 170);

  connect(cmdCancelDownload_, &QPushButton::clicked, this, &Export::cmdCancelDownload_Click);
  connect(cmdCancelAllDownload_, &QPushButton::clicked, this, &Export::cmdCancelAllDownload_Click);
  connect(&rio_, &RioExport::Captions, this, [this](const QString& heading, const QString& detail) {
    lblHeading_->setText(heading);
    lblDetail_->setText(detail);
  });
  connect(&rio_, &RioExport::SongNumber, this, [this](int number, int count) {
    lblSongNumber_->setText(QString::number(number) + u" / "_s + QString::number(count));
  });
  connect(&rio_, &RioExport::ProgressChanged, this, &Export::ShowProgress);
  connect(&rio_, &RioExport::Finished, this, &QDialog::accept);
}

void Export::Run(const QList<PlayListEntry>& songs, const RioOptions& options) {
  show();
  rio_.ExportToRio(songs, options);
  // An export that ended at once (the player not ready) has closed the window already.
  if (rio_.IsRunning()) exec();
}

void Export::ShowProgress(int percent) {
  const bool sending = percent >= 0;
  progress_->setVisible(sending);
  lblProgress_->setVisible(sending);
  if (!sending) return;
  progress_->setValue(percent);
  lblProgress_->setText(QString::number(percent) + u" %"_s);
}

void Export::cmdCancelDownload_Click() {
  rio_.cmdCancelDownload_Click();
}

void Export::cmdCancelAllDownload_Click() {
  rio_.cmdCancelAllDownload_Click();
}

// Escape or the window's close button cancel the export; the window goes once it ended.
void Export::reject() {
  if (!rio_.IsRunning()) {
    QDialog::reject();
    return;
  }
  rio_.cmdCancelAllDownload_Click();
}

}  // namespace audiolume
