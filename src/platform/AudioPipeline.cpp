#include "platform/AudioPipeline.h"

#include <chrono>
#include <vector>

namespace audiolume::platform {

namespace {

constexpr qint64 kChunkFrames = 4608;  // four MPEG frames
// How long the end of a joined song waits for the UI to queue the song after it.
constexpr std::chrono::seconds kFollowerWait{2};

}  // namespace

std::unique_ptr<AudioDecoder> OpenOrNothing(
    const std::function<std::unique_ptr<AudioDecoder>(const QString&)>& open, const QString& path) {
  if (path.isEmpty()) return nullptr;
  try {
    return open(path);
  } catch (const DecodeError&) {
    return nullptr;
  }
}

AudioPipeline::AudioPipeline(std::shared_ptr<AudioSink> sink, QObject* parent)
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
    ended_ = false;
    awaitingNext_ = false;
    next_.reset();
    paused_ = paused;
    seek_.reset();
    if (position_ > 0) seek_ = SeekRequest{position_.load(), 0};
  }
  format_ = decoder->Format();
  joinsHeard_ = 0;
  rate_ = format_.sampleRate;
  sink_->SetVolume(volume_);
  thread_ = std::thread(&AudioPipeline::Run, this, std::move(decoder), ++song_);
}

void AudioPipeline::Stop() {
  ++song_;  // whatever the old song still reports is dropped
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    next_.reset();
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

bool AudioPipeline::QueueNext(std::unique_ptr<AudioDecoder> next) {
  const bool joins = next && IsActive() && next->Format() == format_;
  bool queued = false;
  {
    std::lock_guard lock(mutex_);
    awaitingNext_ = false;
    next_.reset();
    if (joins && !ended_) {
      next_ = std::move(next);
      queued = true;
    }
  }
  wake_.notify_all();
  return queued;
}

// The UI queues the song after a joined one once it hears of the join: a sink faster than
// real time (the file output) must not run past that song's end before then.
std::unique_ptr<AudioDecoder> AudioPipeline::TakeNext(quint64 joins) {
  std::unique_lock lock(mutex_);
  const auto seekHere = [&] { return seek_ && seek_->joins == joins; };
  wake_.wait_for(lock, kFollowerWait, [&] { return !awaitingNext_ || stop_ || seekHere(); });
  if (stop_ || seekHere()) return nullptr;
  ended_ = !next_;
  awaitingNext_ = !ended_;
  return std::move(next_);
}

void AudioPipeline::Seek(qint64 frame) {
  {
    std::lock_guard lock(mutex_);
    seek_ =
        SeekRequest{std::clamp<qint64>(frame, 0, std::max<qint64>(0, length_ - 1)), joinsHeard_};
  }
  wake_.notify_all();
}

void AudioPipeline::SetVolume(double volume) {
  volume_ = volume;
  sink_->SetVolume(volume);
}

// At a join the stream goes on into the next song at once; the switch is announced when
// the sink has played what it held of the song before, that is once as many frames of the
// new song have been written after it. Until then position and length stay the old
// song's, at its end.
void AudioPipeline::Run(std::unique_ptr<AudioDecoder> decoder, quint64 song) {
  const PcmFormat format = decoder->Format();
  std::vector<qint16> samples(size_t(kChunkFrames * format.channels));
  // Progress goes out ten times a second of wall-clock time, however fast the sink is.
  auto lastReport = std::chrono::steady_clock::now();
  quint64 joins = 0;
  qint64 heardIn = -1;      // frames still to write until the last join is heard; -1: none
  qint64 joinedFrames = 0;  // of the new song, written before its join is heard
  const auto announceJoin = [&] {
    length_ = decoder->LengthFrames();
    position_ = joinedFrames;
    heardIn = -1;
    Post(song, [this] {
      ++joinsHeard_;
      Q_EMIT Joined();
    });
  };
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
          if (seek_->joins == joins) {
            decoder->Seek(seek_->frame);
            position_ = seek_->frame;
          }
          seek_.reset();
        }
      }
      const qint64 frames = decoder->Read(samples.data(), kChunkFrames);
      if (frames == 0) {
        if (auto next = TakeNext(joins)) {
          decoder = std::move(next);
          ++joins;
          joinedFrames = 0;
          heardIn = sink_->QueuedFrames();
          if (heardIn <= 0) announceJoin();
          continue;
        }
        if (!ended_) continue;  // a stop or a seek came first
        sink_->Drain();
        Post(song, [this] { Q_EMIT Finished(); });
        break;
      }
      sink_->Write(samples.data(), frames);
      if (heardIn >= 0) {
        joinedFrames += frames;
        if (joinedFrames >= heardIn) announceJoin();
      } else {
        position_ += frames;
      }
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
  {
    std::lock_guard lock(mutex_);
    ended_ = true;  // nothing can follow a song that is over
    next_.reset();
  }
  sink_->Stop();
}

}  // namespace audiolume::platform
