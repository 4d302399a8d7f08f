#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <functional>

namespace audiolume {

/**
 * The one thread of a long job (adding songs, scanning loudness), below the player's
 * priority: Start runs the work there, then hands its result to done on the owner's
 * thread once the thread has ended. Destroying it while the work runs handles the owner's
 * events until the work ends, since the work may be waiting there for an answer; the job
 * tells its work to stop before that. The owner's thread only.
 */
class BackgroundWork {
 public:
  explicit BackgroundWork(QObject& owner) : owner_(owner) {}
  ~BackgroundWork();
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

  template <typename Result>
  void Start(std::function<Result()> work, std::function<void(const Result&)> done) {
    thread_ = QThread::create([this, work = std::move(work), done = std::move(done)] {
      const Result result = work();
      QMetaObject::invokeMethod(&owner_, [this, result, done] {
        End();
        done(result);
      });
    });
    thread_->start(QThread::LowPriority);
  }
  bool Running() const { return thread_ != nullptr; }

 private:
  void End();

  QObject& owner_;
  QThread* thread_ = nullptr;
};

}  // namespace audiolume
