#include <chrono>
#include <thread>

#include "platform/AudioSink.h"

namespace audiolume::platform {

namespace {

class NullAudioSink : public AudioSink {
 public:
  explicit NullAudioSink(double speed) : speed_(speed) {}

  void Start(const PcmFormat& format) override {
    format_ = format;
    start_ = Clock::now();
    written_ = 0;
  }

  // Sleeps until the audio written so far would have been played.
  void Write(const qint16* /*samples*/, qint64 frames) override {
    written_ += frames;
    const auto due =
        start_ + std::chrono::duration_cast<Clock::duration>(
                     std::chrono::duration<double>(double(written_) / format_.sampleRate / speed_));
    std::this_thread::sleep_until(due);
  }

  void Drain() override {}
  void Stop() override {}
  void SetVolume(double /*volume*/) override {}

  // Time spent paused does not count as played.
  void SetPaused(bool paused) override {
    if (paused) {
      pausedAt_ = Clock::now();
    } else {
      start_ += Clock::now() - pausedAt_;
    }
  }

 private:
  using Clock = std::chrono::steady_clock;
  double speed_;
  PcmFormat format_;
  Clock::time_point start_ = Clock::now();
  Clock::time_point pausedAt_ = Clock::now();
  qint64 written_ = 0;
};

}  // namespace

std::unique_ptr<AudioSink> MakeNullAudioSink(double speed) {
  return std::make_unique<NullAudioSink>(speed > 0 ? speed : 1.0);
}

std::unique_ptr<AudioSink> MakeAudioSink(const QString& choice, double nullSpeed) {
  if (choice.startsWith(QStringLiteral("file:"))) return MakeFileAudioSink(choice.mid(5));
  if (choice != QStringLiteral("null")) {
    if (auto device = MakeDeviceAudioSink()) return device;
  }
  return MakeNullAudioSink(nullSpeed);
}

}  // namespace audiolume::platform
