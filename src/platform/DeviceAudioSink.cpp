#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <atomic>
#include <chrono>
#include <limits>
#include <mutex>
#include <thread>

#include "platform/AudioSink.h"
#include "platform/PcmBuffer.h"

namespace audiolume::platform {

namespace {

QAudioFormat QtFormat(const PcmFormat& format) {
  QAudioFormat qt;
  qt.setSampleRate(format.sampleRate);
  qt.setChannelCount(format.channels);
  qt.setSampleFormat(QAudioFormat::Int16);
  return qt;
}

// How long the output may take nothing before the song is given up.
constexpr std::chrono::milliseconds kStallLimit{3000};
// How often the end of a stream asks how far the output has played.
constexpr std::chrono::milliseconds kPlayedPoll{10};

/**
 * Qt's audio output pulls the buffer on a thread of its own, so that nothing the windows
 * do (a long add, a busy dialog) can starve the sound card.
 */
class DeviceAudioSink : public QObject, public AudioSink {
 public:
  explicit DeviceAudioSink(QAudioDevice device) : device_(std::move(device)) {
    outputThread_.setObjectName(QStringLiteral("audio output"));
    outputThread_.start(QThread::TimeCriticalPriority);
    moveToThread(&outputThread_);
  }
  ~DeviceAudioSink() override {
    if (auto buffer = Buffer()) buffer->SetStopped(true);
    // The output belongs to its thread: it is released there before the thread ends.
    QMetaObject::invokeMethod(
        this,
        [this] {
          output_.reset();
          keepAlive_.reset();
          moveToThread(nullptr);  // nothing may be delivered to it once its thread ends
        },
        Qt::BlockingQueuedConnection);
    outputThread_.quit();
    outputThread_.wait();
  }

  void Start(const PcmFormat& format) override {
    format_ = format;
    stopped_ = false;
    const qint64 bytesPerSecond = qint64(format.sampleRate) * format.channels * 2;
    auto buffer = std::make_shared<PcmBuffer>(bytesPerSecond / 4, kStallLimit);
    {
      std::lock_guard lock(bufferMutex_);
      buffer_ = buffer;
    }
    // The output is made on its thread; the decoder may fill the buffer meanwhile.
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

  // The output keeps a buffer of its own (and the sound server another): when ours is
  // empty the end of the stream is still to be heard, and stopping the output then would
  // cut it off.
  void Drain() override {
    const auto buffer = Buffer();
    if (!buffer) return;
    buffer->WaitEmpty();
    const qint64 bytesPerSecond = qint64(format_.sampleRate) * format_.channels * 2;
    const qint64 endMicroseconds = buffer->EndOfPushed() * 1000000 / bytesPerSecond;
    const auto giveUp = std::chrono::steady_clock::now() + kStallLimit;
    while (!stopped_ && PlayedMicroseconds() < endMicroseconds &&
           std::chrono::steady_clock::now() < giveUp) {
      std::this_thread::sleep_for(kPlayedPoll);
    }
  }

  void Stop() override {
    stopped_ = true;
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

  qint64 QueuedFrames() override {
    const auto buffer = Buffer();
    return buffer ? buffer->QueuedBytes() / (format_.channels * 2) : 0;
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

  /** How much of the stream the output has played; everything when it is gone. */
  qint64 PlayedMicroseconds() {
    qint64 played = std::numeric_limits<qint64>::max();
    QMetaObject::invokeMethod(
        this,
        [this, &played] {
          if (output_) played = output_->processedUSecs();
        },
        Qt::BlockingQueuedConnection);
    return played;
  }

  QThread outputThread_;
  QAudioDevice device_;
  PcmFormat format_;  // decoding thread only
  std::atomic<bool> stopped_{false};
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
