#include "catalog/SongAddJob.h"

#include <QCoreApplication>
#include <QThread>

namespace audiolume {

namespace {

// Progress often enough for the bar to move smoothly, seldom enough to cost nothing.
constexpr qint64 kReportMs = 40;

}  // namespace

SongAddJob::SongAddJob(const SongAdder& adder, const GenreCatalog& genres, MessageCatalog& catalog,
                       Prompter& prompter, const ErrorLog& log, QObject* parent)
    : QObject(parent),
      prompter_(prompter, this),
      sync_(id3_, genres, catalog, prompter_),
      trailer_(id3_, sync_, adder.Library(), catalog, prompter_, log),
      adder_(adder, trailer_, prompter_,
             [this](const std::function<void()>& work) { prompter_.OnOwner(work); }) {
  adder_.SetCancel(&cancel_);
}

SongAddJob::~SongAddJob() {
  cancel_ = true;
  // The events handled may include the job's own end, which deletes the thread.
  while (thread_ && !thread_->wait(10)) QCoreApplication::processEvents();
  delete thread_;
}

void SongAddJob::Start(const QList<FolderWalk::Found>& found, int otherFiles) {
  cancel_ = false;
  thread_ = QThread::create([this, found, otherFiles] {
    lastReport_.invalidate();
    const SongAdder::Report report = adder_.AddFound(
        found, otherFiles, [this](const SongAdder::Progress& progress) { Report(progress); });
    QMetaObject::invokeMethod(this, [this, report] {
      thread_->wait();
      delete thread_;
      thread_ = nullptr;
      Q_EMIT Finished(report);
    });
  });
  // The player's threads come first.
  thread_->start(QThread::LowPriority);
}

void SongAddJob::Report(const SongAdder::Progress& progress) {
  const bool last = progress.total > 0 && progress.done == progress.total;
  if (!last && lastReport_.isValid() && lastReport_.elapsed() < kReportMs) return;
  lastReport_.start();
  QMetaObject::invokeMethod(this, [this, progress] { Q_EMIT Progressed(progress); });
}

}  // namespace audiolume
