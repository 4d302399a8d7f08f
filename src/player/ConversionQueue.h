#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <map>
#include <memory>

#include "platform/FileConverter.h"

namespace audiolume {

/**
 * Conversions run side by side, one per core, each on a thread of its own, while the UI
 * thread goes on. The UI thread adds jobs in the order of its list and takes their results
 * in whatever order it wants; a job starts as soon as a thread is free. Results reach the
 * UI thread through the event loop (Finished), never by touching the caller's state from
 * a worker. UI thread only, apart from the jobs themselves.
 */
class ConversionQueue : public QObject {
  Q_OBJECT

 public:
  /** A job is handed a progress that answers kConvertCancelledBatch once it is cancelled. */
  using Job = std::function<int(const platform::ConvertProgress&)>;

  /** workers 0 means one per core. */
  explicit ConversionQueue(int workers = 0);
  /** Cancels what is left and waits for the running jobs. */
  ~ConversionQueue() override;

  int Workers() const { return workers_; }

  /** Queues a job; returns its ticket. */
  int Add(Job job);
  bool IsFinished(int ticket) const;
  /** The result of a finished job (a ConvertResult), which is then forgotten. */
  int Take(int ticket);

  /**
   * Lets events run until the job ends and takes its result. When the event loop is
   * ended from outside (the program quits), every job is cancelled and waited for,
   * Abandoned turns true, and the job's result is kConvertCancelledBatch.
   */
  int Wait(int ticket);
  bool Abandoned() const { return abandoned_; }

  /** Stops a job (its partial output is removed) or drops it before it starts. */
  void Cancel(int ticket);
  void CancelAll();
  /** Cancels everything and waits for the running jobs to end. */
  void StopAll();

 Q_SIGNALS:
  /** A job ended; its result waits for Take. */
  void Finished(int ticket);

 private:
  struct Entry;
  void StartWaiting();
  void Ended(int ticket);
  void JoinAll();

  int workers_;
  int nextTicket_ = 1;
  int running_ = 0;
  bool abandoned_ = false;
  std::map<int, std::shared_ptr<Entry>> entries_;
  std::deque<int> waiting_;
};

}  // namespace audiolume
