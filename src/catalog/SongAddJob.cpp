#include "catalog/SongAddJob.h"

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
      otherSync_(otherId3_, genres, catalog, prompter_),
      otherTrailer_(otherId3_, otherSync_, adder.Library(), catalog, prompter_, log),
      adder_(adder, trailer_, prompter_,
             [this](const std::function<void()>& work) { prompter_.OnOwner(work); }) {
  adder_.SetCancel(&cancel_);
  adder_.SetSecondReader(otherTrailer_);
}

// The thread is waited for after this, as the last member goes.
SongAddJob::~SongAddJob() {
  cancel_ = true;
}

void SongAddJob::Start(const QList<FolderWalk::Found>& found, int otherFiles) {
  cancel_ = false;
  work_.Start<SongAdder::Report>(
      [this, found, otherFiles] {
        lastReport_.invalidate();
        return adder_.AddFound(found, otherFiles,
                               [this](const SongAdder::Progress& progress) { Report(progress); });
      },
      [this](const SongAdder::Report& report) { Q_EMIT Finished(report); });
}

void SongAddJob::Report(const SongAdder::Progress& progress) {
  const bool last = progress.total > 0 && progress.done == progress.total;
  if (!last && lastReport_.isValid() && lastReport_.elapsed() < kReportMs) return;
  lastReport_.start();
  QMetaObject::invokeMethod(this, [this, progress] { Q_EMIT Progressed(progress); });
}

}  // namespace audiolume
