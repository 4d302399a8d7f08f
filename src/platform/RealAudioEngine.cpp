#include "platform/RealAudioEngine.h"

namespace audiolume::platform {

RealAudioEngine::RealAudioEngine(std::shared_ptr<AudioSink> sink, Opener open)
    : pipeline_(std::move(sink)), open_(std::move(open)) {
  connect(&pipeline_, &AudioPipeline::Finished, this, [this] { ended_ = true; });
  connect(&pipeline_, &AudioPipeline::Failed, this, [this] { damaged_ = true; });
  connect(&pipeline_, &AudioPipeline::Joined, this, &RealAudioEngine::NextStarted);
}

qint16 RealAudioEngine::RaSetup(qint32& engine, qint32& handle, qint32 /*flags*/) {
  setUp_ = true;
  engine = 1;
  handle = 1;
  return kOk;
}

qint16 RealAudioEngine::RaRegisterNotifyWnd(qint32, qint32, qint32, qint32) {
  return kOk;
}
qint16 RealAudioEngine::RaSetClientLocale(qint32, qint32) {
  return kOk;
}
qint16 RealAudioEngine::RaSetClientId(qint32, const QString&) {
  return kOk;
}
qint16 RealAudioEngine::RaVolumeSupport(qint32, qint32) {
  return 1;
}

qint16 RealAudioEngine::RaOpen(qint32 /*handle*/, qint32 /*flags*/, const QString& path) {
  if (!setUp_) return kNotSetUp;
  pipeline_.Stop();
  opened_.reset();
  ended_ = damaged_ = paused_ = false;
  try {
    opened_ = open_(path);
  } catch (const DecodeError& error) {
    return error.kind() == DecodeError::Kind::CannotOpen ? kCannotOpen : kNotDecodable;
  }
  return kOk;
}

qint16 RealAudioEngine::RaBegin(qint32) {
  if (paused_) {
    pipeline_.Resume();
  } else if (opened_) {
    pipeline_.Play(std::move(opened_));
  } else if (!pipeline_.IsActive()) {
    return kNothingOpen;
  }
  paused_ = false;
  return kOk;
}

bool RealAudioEngine::QueueNext(const QString& path) {
  return pipeline_.QueueNext(OpenOrNothing(open_, path));
}

qint32 RealAudioEngine::Tenths(qint64 frames) const {
  return qint32(frames * 10 / std::max(1, pipeline_.SampleRate()));
}

qint16 RealAudioEngine::RaGetStatus(qint32, qint32& position, qint32& length) {
  length = Tenths(pipeline_.LengthFrames());
  // The player takes the last 0.4 s for the end of the stream; the decoder runs ahead of
  // what is heard, so the place stays short of them until everything has been played.
  position = ended_ || damaged_
                 ? length
                 : std::min(Tenths(pipeline_.PositionFrames()), std::max(0, length - 4));
  if (damaged_) {
    damaged_ = false;
    ended_ = true;  // reported once; the song then counts as over
    return kDamaged;
  }
  return kOk;
}

qint16 RealAudioEngine::RaPause(qint32) {
  if (!pipeline_.IsActive()) return kNothingOpen;
  pipeline_.Pause();
  paused_ = true;
  return kOk;
}

// A seek before RaBegin readies the opened song paused at that place; RaBegin continues it.
qint16 RealAudioEngine::RaSeek(qint32, qint32 position) {
  if (opened_) {
    const qint64 rate = opened_->Format().sampleRate;
    pipeline_.Cue(std::move(opened_), position * rate / 10);
    paused_ = true;
    return kOk;
  }
  if (!pipeline_.IsActive()) return kNothingOpen;
  pipeline_.Seek(qint64(position) * pipeline_.SampleRate() / 10);
  return kOk;
}

qint16 RealAudioEngine::RaSetVolume(qint32, qint32 level) {
  pipeline_.SetVolume(std::clamp(level, 0, 100) / 100.0);
  return kOk;
}

qint16 RealAudioEngine::RaClose(qint32) {
  pipeline_.Stop();
  opened_.reset();
  paused_ = false;
  return kOk;
}

qint16 RealAudioEngine::RaShutdown(qint32 handle) {
  RaClose(handle);
  setUp_ = false;
  return kOk;
}

}  // namespace audiolume::platform
