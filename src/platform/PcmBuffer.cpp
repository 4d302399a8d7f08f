#include "platform/PcmBuffer.h"

#include <cstring>

#include "platform/AudioDecoder.h"

namespace audiolume::platform {

PcmBuffer::PcmBuffer(qint64 capacity, std::chrono::milliseconds stallLimit)
    : capacity_(capacity), stallLimit_(stallLimit) {
  open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

bool PcmBuffer::Push(const char* data, qint64 size) {
  std::unique_lock lock(mutex_);
  while (size > 0) {
    const bool room = room_.wait_for(lock, stallLimit_,
                                     [&] { return stopped_ || qint64(bytes_.size()) < capacity_; });
    if (stopped_) return false;
    if (!room) {
      throw DecodeError(DecodeError::Kind::OutputStalled,
                        QStringLiteral("The sound device stopped taking audio."));
    }
    const qint64 part = std::min(size, capacity_ - qint64(bytes_.size()));
    bytes_.insert(bytes_.end(), data, data + part);
    data += part;
    size -= part;
  }
  return true;
}

void PcmBuffer::WaitEmpty() {
  std::unique_lock lock(mutex_);
  room_.wait_for(lock, stallLimit_, [&] { return stopped_ || bytes_.empty(); });
}

void PcmBuffer::SetStopped(bool stopped) {
  std::lock_guard lock(mutex_);
  stopped_ = stopped;
  if (stopped) bytes_.clear();
  room_.notify_all();
}

qint64 PcmBuffer::QueuedBytes() {
  std::lock_guard lock(mutex_);
  return qint64(bytes_.size());
}

qint64 PcmBuffer::EndOfPushed() {
  std::lock_guard lock(mutex_);
  // Bytes still queued are played after everything the output has taken so far.
  return bytes_.empty() ? endOfPushed_ : taken_ + qint64(bytes_.size());
}

qint64 PcmBuffer::bytesAvailable() const {
  return capacity_ + QIODevice::bytesAvailable();
}

qint64 PcmBuffer::readData(char* data, qint64 maxSize) {
  std::lock_guard lock(mutex_);
  const qint64 taken = std::min(maxSize, qint64(bytes_.size()));
  std::copy(bytes_.begin(), bytes_.begin() + taken, data);
  bytes_.erase(bytes_.begin(), bytes_.begin() + taken);
  std::memset(data + taken, 0, size_t(maxSize - taken));
  if (taken > 0) endOfPushed_ = taken_ + taken;
  taken_ += maxSize;
  room_.notify_all();
  return maxSize;
}

}  // namespace audiolume::platform
