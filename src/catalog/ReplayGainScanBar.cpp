#include "catalog/ReplayGainScanBar.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QToolButton>

#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

ReplayGainScanBar::ReplayGainScanBar(TrailerTag& trailer, Prompter& prompter, QWidget* parent)
    : QWidget(parent),
      prompter_(prompter),
      job_(trailer, prompter, this),
      progress_(new QProgressBar(this)),
      stop_(new QToolButton(this)) {
  setObjectName(u"ReplayGainScan"_s);
  progress_->setObjectName(u"prgReplayGain"_s);
  progress_->setFormat(u"ReplayGain: %v of %m songs"_s);
  stop_->setObjectName(u"cmdStopReplayGain"_s);
  stop_->setText(u"Stop"_s);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(progress_, 1);
  layout->addWidget(stop_);
  connect(stop_, &QToolButton::clicked, &job_, &ReplayGainJob::Cancel);
  connect(&job_, &ReplayGainJob::Progressed, this, [this](int done, int total) {
    progress_->setMaximum(total);
    progress_->setValue(done);
  });
  connect(&job_, &ReplayGainJob::Finished, this, &ReplayGainScanBar::Ended);
  hide();
}

void ReplayGainScanBar::Scan(const QList<ReplayGainJob::Song>& songs) {
  if (job_.Running() || songs.isEmpty()) return;
  progress_->setMaximum(int(songs.size()));
  progress_->setValue(0);
  show();
  job_.Start(songs);
}

void ReplayGainScanBar::Ended(const ReplayGainJob::Report& report) {
  hide();
  if (report.failed.isEmpty()) return;
  prompter_.Tell(
      u"ReplayGain values were not stored for these songs:\n"_s + report.failed.join(u'\n'),
      MessageIcon::Exclamation);
}

}  // namespace audiolume
