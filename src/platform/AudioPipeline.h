#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/AudioDecoder.h"
#include "platform/AudioSink.h"

namespace audiolume::platform {

/**
 * Plays one song at a time: a thread of its own decodes and feeds the sink, and the
 * pipeline reports back on the UI thread through its signals. Every member is called on
 * the UI thread. Signals of a song that was stopped are never delivered.
 */
class AudioPipeline : public QObject {
  Q_OBJECT

 public:
  explicit AudioPipeline(std::unique_ptr<AudioSink> sink, QObject* parent = nullptr);
  ~AudioPipeline() override;

  /** Plays the song from its beginning, stopping any other first. */
  void Play(std::unique_ptr<AudioDecoder> decoder);
  /** Readies the song paused at frame, before a sample of it is heard: Resume plays on
   *  from there. */
  void Cue(std::unique_ptr<AudioDecoder> decoder, qint64 frame);
  void Pause();
  void Resume();
  void Stop();
  void Seek(qint64 frame);
  /** 0.0 silent to 1.0 full. */
  void SetVolume(double volume);

  bool IsActive() const { return thread_.joinable(); }
  qint64 PositionFrames() const { return position_; }
  qint64 LengthFrames() const { return length_; }
  int SampleRate() const { return rate_; }

 Q_SIGNALS:
  /** About ten times a second while playing. */
  void Progress(qint64 frame, qint64 length);
  /** The song has been played to its end. */
  void Finished();
  /** The song could not be decoded any further. */
  void Failed(const QString& message);

 private:
  void Start(std::unique_ptr<AudioDecoder> decoder, qint64 frame, bool paused);
  void Run(std::unique_ptr<AudioDecoder> decoder, quint64 song);
  /** Delivers an event of song on the UI thread, unless another song has started. */
  template <typename Event>
  void Post(quint64 song, Event event);

  std::unique_ptr<AudioSink> sink_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  bool paused_ = false;
  std::optional<qint64> seek_;
  std::atomic<qint64> position_{0};
  std::atomic<qint64> length_{0};
  std::atomic<int> rate_{44100};
  quint64 song_ = 0;  // UI thread only
  double volume_ = 1.0;
};

}  // namespace audiolume::platform
