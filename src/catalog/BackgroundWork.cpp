#include "catalog/BackgroundWork.h"

#include <QCoreApplication>

namespace audiolume {

BackgroundWork::~BackgroundWork() {
  // The events handled may include the work's own end, which deletes the thread.
  while (thread_ && !thread_->wait(10)) QCoreApplication::processEvents();
  delete thread_;
}

void BackgroundWork::End() {
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
}

}  // namespace audiolume
