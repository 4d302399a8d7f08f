#include "player/ConversionQueue.h"

#include <QEventLoop>
#include <QThread>
#include <atomic>
#include <thread>

namespace audiolume {

struct ConversionQueue::Entry {
  Job job;
  std::thread thread;
  std::atomic<int> cancel = 0;
  std::atomic<int> result = 0;
  bool finished = false;  // the job has returned and the UI thread has heard so
};

ConversionQueue::ConversionQueue(int workers)
    : workers_(workers > 0 ? workers : std::max(1, QThread::idealThreadCount())) {}

ConversionQueue::~ConversionQueue() {
  StopAll();
}

void ConversionQueue::StopAll() {
  CancelAll();
  JoinAll();
}

int ConversionQueue::Add(Job job) {
  const int ticket = nextTicket_++;
  auto entry = std::make_shared<Entry>();
  entry->job = std::move(job);
  entries_.emplace(ticket, std::move(entry));
  waiting_.push_back(ticket);
  StartWaiting();
  return ticket;
}

void ConversionQueue::StartWaiting() {
  while (running_ < workers_ && !waiting_.empty()) {
    const int ticket = waiting_.front();
    waiting_.pop_front();
    const std::shared_ptr<Entry> entry = entries_.at(ticket);
    ++running_;
    entry->thread = std::thread([this, entry, ticket] {
      const platform::ConvertProgress progress = [&entry = *entry](double) {
        return entry.cancel.load();
      };
      entry->result = entry->job(progress);
      QMetaObject::invokeMethod(
          this, [this, ticket] { Ended(ticket); }, Qt::QueuedConnection);
    });
  }
}

void ConversionQueue::Ended(int ticket) {
  const auto found = entries_.find(ticket);
  if (found == entries_.end() || found->second->finished) return;
  Entry& entry = *found->second;
  if (entry.thread.joinable()) entry.thread.join();
  entry.finished = true;
  --running_;
  StartWaiting();
  Q_EMIT Finished(ticket);
}

bool ConversionQueue::IsFinished(int ticket) const {
  const auto found = entries_.find(ticket);
  return found != entries_.end() && found->second->finished;
}

int ConversionQueue::Take(int ticket) {
  const auto found = entries_.find(ticket);
  if (found == entries_.end()) return platform::kConvertCancelledBatch;
  const int result = found->second->result;
  entries_.erase(found);
  return result;
}

int ConversionQueue::Wait(int ticket) {
  const auto found = entries_.find(ticket);
  if (found == entries_.end()) return platform::kConvertCancelledBatch;
  const std::shared_ptr<Entry> entry = found->second;
  if (!entry->finished) {
    QEventLoop loop;
    connect(this, &ConversionQueue::Finished, &loop, [&loop, ticket](int ended) {
      if (ended == ticket) loop.quit();
    });
    loop.exec();
  }
  if (!entry->finished) {
    // The loop was ended under us: nothing may outlive the caller's stack.
    abandoned_ = true;
    StopAll();
  }
  return Take(ticket);
}

void ConversionQueue::Cancel(int ticket) {
  const auto found = entries_.find(ticket);
  if (found == entries_.end()) return;
  found->second->cancel = platform::kConvertCancelledBatch;
  if (!found->second->thread.joinable() && !found->second->finished) {
    // Not started yet: it ends here, as a cancelled job.
    std::erase(waiting_, ticket);
    found->second->result = platform::kConvertCancelledBatch;
    found->second->finished = true;
    QMetaObject::invokeMethod(
        this, [this, ticket] { Q_EMIT Finished(ticket); }, Qt::QueuedConnection);
  }
}

void ConversionQueue::CancelAll() {
  for (const auto& [ticket, entry] : entries_) Cancel(ticket);
}

void ConversionQueue::JoinAll() {
  for (auto& [ticket, entry] : entries_) {
    if (!entry->thread.joinable()) continue;
    entry->thread.join();
    entry->finished = true;
    --running_;
  }
}

}  // namespace audiolume
