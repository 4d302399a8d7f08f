#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <atomic>

#include "catalog/BackgroundWork.h"
#include "catalog/SongAdder.h"
#include "catalog/ThreadPrompter.h"
#include "library/ID3Sync.h"
#include "library/ID3Tag.h"
#include "library/TrailerTag.h"

namespace audiolume {

class ErrorLog;
class GenreCatalog;

/**
 * One run of the adder on a thread of its own, so that the window stays answering and the
 * music plays on: the files are read and written there, with an ID3 working copy of its
 * own; the library is touched and questions are asked on the UI thread between songs.
 * Made and used on the UI thread.
 */
class SongAddJob : public QObject {
  Q_OBJECT

 public:
  SongAddJob(const SongAdder& adder, const GenreCatalog& genres, MessageCatalog& catalog,
             Prompter& prompter, const ErrorLog& log, QObject* parent = nullptr);
  /** A job still running is cancelled, and the events it waits for are handled until it
   *  ends: it may be in the middle of a question. */
  ~SongAddJob() override;

  /** Starts adding the songs found; Finished follows. */
  void Start(const QList<FolderWalk::Found>& found, int otherFiles);
  /** Stops before the next song; what was added stays and the library is saved. */
  void Cancel() { cancel_ = true; }
  bool Running() const { return work_.Running(); }

 Q_SIGNALS:
  /** Now and then while the job runs. */
  void Progressed(const audiolume::SongAdder::Progress& progress);
  void Finished(const audiolume::SongAdder::Report& report);

 private:
  void Report(const SongAdder::Progress& progress);

  ThreadPrompter prompter_;
  ID3Tag id3_;
  ID3Sync sync_;
  TrailerTag trailer_;
  // The working copies of the second thread that reads songs.
  ID3Tag otherId3_;
  ID3Sync otherSync_;
  TrailerTag otherTrailer_;
  SongAdder adder_;
  std::atomic_bool cancel_ = false;
  QElapsedTimer lastReport_;    // on the job's thread
  BackgroundWork work_{*this};  // last: it waits for the thread before the rest goes
};

}  // namespace audiolume
