#pragma once

#include <QIODevice>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace audiolume::platform {

/**
 * The bytes between the decoding thread and the sound card's output, which pulls them on
 * the output's own thread. Bounded, so the decoder runs only a fraction of a second
 * ahead. When the decoder falls behind, the output gets silence rather than a stop; when
 * the output stops pulling (a device unplugged or suspended), Push gives up after the
 * stall limit instead of waiting for ever.
 */
class PcmBuffer : public QIODevice {
 public:
  PcmBuffer(qint64 capacity, std::chrono::milliseconds stallLimit);

  /** Queues the bytes, waiting for room. Throws DecodeError when the output took nothing
   *  for the stall limit; false once stopped. Decoding thread. */
  bool Push(const char* data, qint64 size);
  /** Returns once the output has taken everything, or it stalls, or the buffer stops. */
  void WaitEmpty();
  void SetStopped(bool stopped);
  /** The bytes pushed that the output has not taken yet. */
  qint64 QueuedBytes();
  /** Where the last byte pushed ends in what the output has taken, the silence it got
   *  while the buffer was empty included: how much it must play to have played it all. */
  qint64 EndOfPushed();

  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override;

 protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  qint64 capacity_;
  std::chrono::milliseconds stallLimit_;
  std::mutex mutex_;
  std::condition_variable room_;
  std::deque<char> bytes_;
  bool stopped_ = false;
  qint64 taken_ = 0;        // every byte the output took, silence included
  qint64 endOfPushed_ = 0;  // where in those the last byte pushed and taken ends
};

}  // namespace audiolume::platform
