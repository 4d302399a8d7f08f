#pragma once

#include <QWidget>

#include "catalog/ReplayGainJob.h"

class QProgressBar;
class QToolButton;

namespace audiolume {

/**
 * The library window's ReplayGain scan: a progress bar with a stop button, shown while a
 * scan runs in the background. Songs that could not be measured or written are named
 * when it ends. UI thread only.
 */
class ReplayGainScanBar : public QWidget {
  Q_OBJECT

 public:
  ReplayGainScanBar(TrailerTag& trailer, Prompter& prompter, QWidget* parent = nullptr);

  /** Scans the songs, by album; ignored while a scan runs. */
  void Scan(const QList<ReplayGainJob::Song>& songs);
  ReplayGainJob& Job() { return job_; }

 private:
  void Ended(const ReplayGainJob::Report& report);

  Prompter& prompter_;
  ReplayGainJob job_;
  QProgressBar* progress_;
  QToolButton* stop_;
};

}  // namespace audiolume
