#include "platform/AudioPipeline.h"

#include <chrono>
#include <vector>

namespace audiolume::platform {

namespace {

constexpr qint64 kChunkFrames = 4608;  // four MPEG frames

}  // namespace

AudioPipeline::AudioPipeline(std::unique_ptr<AudioSink> sink, QObject* parent)
    : QObject(parent), sink_(std::move(sink)) {}

AudioPipeline::~AudioPipeline() {
  Stop();
}

template <typename Event>
void AudioPipeline::Post(quint64 song, Event event) {
  QMetaObject::invokeMethod(
      this,
      [this, song, event] {
        if (song == song_) event();
      },
      Qt::QueuedConnection);
}

void AudioPipeline::Play(std::unique_ptr<AudioDecoder> decoder) {
  Start(std::move(decoder), 0, false);
}

void AudioPipeline::Cue(std::unique_ptr<AudioDecoder> decoder, qint64 frame) {
  Start(std::move(decoder), frame, true);
}

// The thread finds the pause and the place set before it runs: nothing is written to the
// sink until Resume, and then from frame on.
void AudioPipeline::Start(std::unique_ptr<AudioDecoder> decoder, qint64 frame, bool paused) {
  Stop();
  length_ = decoder->LengthFrames();
  position_ = std::clamp<qint64>(frame, 0, std::max<qint64>(0, length_ - 1));
  {
    std::lock_guard lock(mutex_);
    stop_ = false;
    paused_ = paused;
    seek_.reset();
    if (position_ > 0) seek_ = position_.load();
  }
  rate_ = decoder->Format().sampleRate;
  sink_->SetVolume(volume_);
  thread_ = std::thread(&AudioPipeline::Run, this, std::move(decoder), ++song_);
}

void AudioPipeline::Stop() {
  ++song_;  // whatever the old song still reports is dropped
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  sink_->Stop();  // unblocks a waiting write
  thread_.join();
}

void AudioPipeline::Pause() {
  std::lock_guard lock(mutex_);
  paused_ = true;
}

void AudioPipeline::Resume() {
  {
    std::lock_guard lock(mutex_);
    paused_ = false;
  }
  wake_.notify_all();
}

void AudioPipeline::Seek(qint64 frame) {
  {
    std::lock_guard lock(mutex_);
    seek_ = std::clamp<qint64>(frame, 0, std::max<qint64>(0, length_ - 1));
  }
  wake_.notify_all();
}

void AudioPipeline::SetVolume(double volume) {
  volume_ = volume;
  sink_->SetVolume(volume);
}

void AudioPipeline::Run(std::unique_ptr<AudioDecoder> decoder, quint64 song) {
  const PcmFormat format = decoder->Format();
  std::vector<qint16> samples(size_t(kChunkFrames * format.channels));
  // Progress goes out ten times a second of wall-clock time, however fast the sink is.
  auto lastReport = std::chrono::steady_clock::now();
  try {
    sink_->Start(format);
    while (true) {
      {
        std::unique_lock lock(mutex_);
        if (paused_ && !stop_) {
          sink_->SetPaused(true);
          wake_.wait(lock, [&] { return !paused_ || stop_; });
          sink_->SetPaused(false);
        }
        if (stop_) break;
        if (seek_) {
          decoder->Seek(*seek_);
          position_ = *seek_;
          seek_.reset();
        }
      }
      const qint64 frames = decoder->Read(samples.data(), kChunkFrames);
      if (frames == 0) {
        sink_->Drain();
        Post(song, [this] { Q_EMIT Finished(); });
        break;
      }
      sink_->Write(samples.data(), frames);
      position_ += frames;
      const auto now = std::chrono::steady_clock::now();
      if (now - lastReport >= std::chrono::milliseconds(100)) {
        lastReport = now;
        const qint64 position = position_;
        const qint64 length = length_;
        Post(song, [this, position, length] { Q_EMIT Progress(position, length); });
      }
    }
  } catch (const DecodeError& error) {
    const QString message = QString::fromStdString(error.what());
    Post(song, [this, message] { Q_EMIT Failed(message); });
  }
  sink_->Stop();
}

}  // namespace audiolume::platform
