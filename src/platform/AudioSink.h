#pragma once

#include <QtGlobal>
#include <memory>

#include "platform/AudioDecoder.h"

namespace audiolume::platform {

/**
 * Where decoded audio goes. Start, Write, Drain and Stop are called by the pipeline's
 * decoding thread; SetVolume and SetPaused by any thread. Write blocks until the output
 * has room, which paces the decoder at the speed of playback.
 */
class AudioSink {
 public:
  virtual ~AudioSink() = default;

  /** Throws DecodeError when the output cannot take this format. */
  virtual void Start(const PcmFormat& format) = 0;
  virtual void Write(const qint16* samples, qint64 frames) = 0;
  /** Returns once everything written has been played. */
  virtual void Drain() = 0;
  virtual void Stop() = 0;
  /** 0.0 silent to 1.0 full. */
  virtual void SetVolume(double volume) = 0;
  virtual void SetPaused(bool paused) = 0;
  /** The frames written that have not been heard yet. */
  virtual qint64 QueuedFrames() { return 0; }
};

/**
 * A sink without a sound card: it takes the audio at the pace it would be played, or
 * `speed` times faster (for tests), and discards it.
 */
std::unique_ptr<AudioSink> MakeNullAudioSink(double speed = 1.0);

/**
 * The sound card through Qt Multimedia's default output, or nothing when no output
 * device answers.
 */
std::unique_ptr<AudioSink> MakeDeviceAudioSink();

/**
 * The stream as 16-bit PCM WAV in path, written as fast as it is decoded. A stream of
 * another rate or channel count goes on in "BASE-2.EXT", "BASE-3.EXT"...
 */
std::unique_ptr<AudioSink> MakeFileAudioSink(const QString& path);

/** AUDIOLUME_AUDIO: "file:PATH" the file sink; "null" or no device: the null sink;
 *  otherwise the sound card. */
std::unique_ptr<AudioSink> MakeAudioSink(const QString& choice, double nullSpeed = 1.0);

}  // namespace audiolume::platform
