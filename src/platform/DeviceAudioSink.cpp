#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>
#include <QPointer>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>

#include "platform/AudioSink.h"

namespace audiolume::platform {

namespace {

QAudioFormat QtFormat(const PcmFormat& format) {
  QAudioFormat qt;
  qt.setSampleRate(format.sampleRate);
  qt.setChannelCount(format.channels);
  qt.setSampleFormat(QAudioFormat::Int16);
  return qt;
}

/**
 * The bytes between the decoding thread and Qt's audio output, which pulls them on the
 * UI thread. Bounded, so the decoder runs only a fraction of a second ahead. When the
 * decoder falls behind, the output gets silence rather than a stop.
 */
class PcmBuffer : public QIODevice {
 public:
  explicit PcmBuffer(qint64 capacity) : capacity_(capacity) { open(QIODevice::ReadOnly); }

  bool Push(const char* data, qint64 size) {
    std::unique_lock lock(mutex_);
    while (size > 0) {
      room_.wait(lock, [&] { return stopped_ || qint64(bytes_.size()) < capacity_; });
      if (stopped_) return false;
      const qint64 part = std::min(size, capacity_ - qint64(bytes_.size()));
      bytes_.insert(bytes_.end(), data, data + part);
      data += part;
      size -= part;
    }
    return true;
  }

  void WaitEmpty() {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return stopped_ || bytes_.empty(); });
  }

  void SetStopped(bool stopped) {
    std::lock_guard lock(mutex_);
    stopped_ = stopped;
    if (stopped) bytes_.clear();
    room_.notify_all();
  }

  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override { return capacity_ + QIODevice::bytesAvailable(); }

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    std::lock_guard lock(mutex_);
    const qint64 taken = std::min(maxSize, qint64(bytes_.size()));
    std::copy(bytes_.begin(), bytes_.begin() + taken, data);
    bytes_.erase(bytes_.begin(), bytes_.begin() + taken);
    std::memset(data + taken, 0, size_t(maxSize - taken));
    room_.notify_all();
    return maxSize;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  qint64 capacity_;
  std::mutex mutex_;
  std::condition_variable room_;
  std::deque<char> bytes_;
  bool stopped_ = false;
};

/** Lives on the UI thread, where Qt's audio output must be driven. */
class DeviceAudioSink : public QObject, public AudioSink {
 public:
  explicit DeviceAudioSink(QAudioDevice device) : device_(std::move(device)) {
    moveToThread(QCoreApplication::instance()->thread());
  }
  ~DeviceAudioSink() override {
    if (auto buffer = Buffer()) buffer->SetStopped(true);
  }

  void Start(const PcmFormat& format) override {
    format_ = format;
    const qint64 bytesPerSecond = qint64(format.sampleRate) * format.channels * 2;
    auto buffer = std::make_shared<PcmBuffer>(bytesPerSecond / 4);
    {
      std::lock_guard lock(bufferMutex_);
      buffer_ = buffer;
    }
    // The output is made on the UI thread; the decoder may fill the buffer meanwhile.
    QMetaObject::invokeMethod(this, [this, format, buffer] {
      output_.reset(new QAudioSink(device_, QtFormat(format)));
      output_->setVolume(volume_.load());
      output_->start(buffer.get());
      keepAlive_ = buffer;
    });
  }

  void Write(const qint16* samples, qint64 frames) override {
    if (auto buffer = Buffer()) {
      buffer->Push(reinterpret_cast<const char*>(samples), frames * format_.channels * 2);
    }
  }

  void Drain() override {
    if (auto buffer = Buffer()) buffer->WaitEmpty();
  }

  void Stop() override {
    if (auto buffer = Buffer()) buffer->SetStopped(true);
    QMetaObject::invokeMethod(this, [this] {
      if (output_) output_->stop();
      output_.reset();
      keepAlive_.reset();
    });
  }

  void SetVolume(double volume) override {
    volume_ = volume;
    QMetaObject::invokeMethod(this, [this, volume] {
      if (output_) output_->setVolume(volume);
    });
  }

  void SetPaused(bool paused) override {
    QMetaObject::invokeMethod(this, [this, paused] {
      if (!output_) return;
      paused ? output_->suspend() : output_->resume();
    });
  }

 private:
  std::shared_ptr<PcmBuffer> Buffer() {
    std::lock_guard lock(bufferMutex_);
    return buffer_;
  }

  QAudioDevice device_;
  PcmFormat format_;  // decoding thread only
  std::unique_ptr<QAudioSink> output_;
  std::mutex bufferMutex_;
  std::shared_ptr<PcmBuffer> buffer_;  // shared by the decoding thread and the UI thread
  std::shared_ptr<PcmBuffer> keepAlive_;
  std::atomic<double> volume_{1.0};
};

}  // namespace

std::unique_ptr<AudioSink> MakeDeviceAudioSink() {
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull()) return nullptr;
  // A device may be listed yet not answer (no sound server): try it before trusting it.
  QAudioSink probe(device, QtFormat({44100, 2}));
  QBuffer silence;
  silence.setData(QByteArray(4096, '\0'));
  silence.open(QIODevice::ReadOnly);
  probe.start(&silence);
  const bool works = probe.error() == QAudio::NoError;
  probe.stop();
  if (!works) return nullptr;
  return std::make_unique<DeviceAudioSink>(device);
}

}  // namespace audiolume::platform
