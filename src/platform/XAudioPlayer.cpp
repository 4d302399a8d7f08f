#include "platform/XAudioPlayer.h"

namespace audiolume::platform {

XAudioPlayer::XAudioPlayer(std::shared_ptr<AudioSink> sink, NotifyProc notify, Opener open)
    : pipeline_(std::move(sink)), notify_(std::move(notify)), open_(std::move(open)) {
  connect(&pipeline_, &AudioPipeline::Progress, this, &XAudioPlayer::OnProgress);
  connect(&pipeline_, &AudioPipeline::Joined, this, &XAudioPlayer::OnJoined);
  // A stream that ends, or breaks off, is over: the player moves on either way.
  connect(&pipeline_, &AudioPipeline::Finished, this,
          [this] { notify_(kState, kStateEndOfStream, 0); });
  connect(&pipeline_, &AudioPipeline::Failed, this,
          [this] { notify_(kState, kStateEndOfStream, 0); });
}

XAudioPlayer::~XAudioPlayer() {
  pipeline_.Stop();
}

void XAudioPlayer::control_message_send_S(int command, const QString& text) {
  if (command != kInputOpen) return;
  pipeline_.Stop();
  opened_.reset();
  paused_ = false;
  try {
    opened_ = open_(text);
  } catch (const DecodeError&) {
    return;  // this back-end reports nothing for a file it cannot play
  }
  const PcmFormat format = opened_->Format();
  notify_(kReady, 0, 0);
  notify_(kDuration, opened_->LengthFrames() / format.sampleRate, 0);
  notify_(kPosition, 0, kPositionRange);
}

void XAudioPlayer::control_message_send_N(int command) {
  switch (command) {
    case kPlay:
      if (paused_) {
        pipeline_.Resume();
      } else if (opened_) {
        lastSecond_ = -1;
        pipeline_.Play(std::move(opened_));
      } else {
        return;
      }
      paused_ = false;
      notify_(kState, kStatePlaying, 0);
      break;
    case kPause:
      if (!pipeline_.IsActive()) return;
      pipeline_.Pause();
      paused_ = true;
      notify_(kState, kStatePaused, 0);
      break;
    case kStop:
    case kFinal:
    case kExit:
      pipeline_.Stop();
      paused_ = false;
      notify_(kState, kStateStopped, 0);
      break;
    case kInputClose: opened_.reset(); break;
    default: break;
  }
}

void XAudioPlayer::control_message_send_I(int /*command*/, qint32 /*value*/) {
  // kNotifyMask only chooses which notifications arrive; all of them always do.
}

void XAudioPlayer::control_message_send_II(int command, qint32 first, qint32 second) {
  if (command != kSeek || second <= 0) return;
  if (!opened_) return pipeline_.Seek(pipeline_.LengthFrames() * first / second);
  // A seek before play readies the opened song paused at that place; kPlay continues it.
  const qint64 length = opened_->LengthFrames();
  pipeline_.Cue(std::move(opened_), length * first / second);
  paused_ = true;
  lastSecond_ = -1;
  OnProgress(pipeline_.PositionFrames(), length);
  notify_(kState, kStatePaused, 0);
}

void XAudioPlayer::control_message_send_III(int command, qint32 /*first*/, qint32 second,
                                            qint32 /*third*/) {
  if (command == kVolume) pipeline_.SetVolume(std::clamp(second, 0, 100) / 100.0);
}

bool XAudioPlayer::QueueNext(const QString& path) {
  return pipeline_.QueueNext(OpenOrNothing(open_, path));
}

// The joined song is announced as an opened one is.
void XAudioPlayer::OnJoined() {
  lastSecond_ = -1;
  notify_(kDuration, pipeline_.LengthFrames() / pipeline_.SampleRate(), 0);
  OnProgress(pipeline_.PositionFrames(), pipeline_.LengthFrames());
  Q_EMIT NextStarted();
}

void XAudioPlayer::OnProgress(qint64 frame, qint64 length) {
  const qint64 second = frame / pipeline_.SampleRate();
  if (second != lastSecond_) {
    lastSecond_ = second;
    const qint64 minutes = std::min<qint64>(second / 60, 255);
    notify_(kTimecode, minutes * 256 + (second % 60) * 65536, 0);
  }
  if (length > 0) notify_(kPosition, frame * kPositionRange / length, kPositionRange);
}

}  // namespace audiolume::platform
