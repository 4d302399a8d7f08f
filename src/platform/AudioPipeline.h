#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <functional>
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
 * the UI thread. Signals of a song that was stopped are never delivered. A song queued to
 * follow goes on in the same stream, without a break, when the playing one ends. The sink
 * may be shared with other pipelines that never play at the same time.
 */
class AudioPipeline : public QObject {
  Q_OBJECT

 public:
  explicit AudioPipeline(std::shared_ptr<AudioSink> sink, QObject* parent = nullptr);
  ~AudioPipeline() override;

  /** Plays the song from its beginning, stopping any other first. */
  void Play(std::unique_ptr<AudioDecoder> decoder);
  /** Readies the song paused at frame, before a sample of it is heard: Resume plays on
   *  from there. */
  void Cue(std::unique_ptr<AudioDecoder> decoder, qint64 frame);
  void Pause();
  void Resume();
  void Stop();
  /** The song to follow the playing one in the same stream, replacing any queued before;
   *  null drops it. False, with nothing queued, when nothing plays or the song has another
   *  rate or channel count: the stream could not go on into it. */
  bool QueueNext(std::unique_ptr<AudioDecoder> next);
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
  /** The queued song took over: its first sample is being heard. Position and length are
   *  its own from here. */
  void Joined();
  /** The song could not be decoded any further. */
  void Failed(const QString& message);

 private:
  void Start(std::unique_ptr<AudioDecoder> decoder, qint64 frame, bool paused);
  void Run(std::unique_ptr<AudioDecoder> decoder, quint64 song);
  /** At the end of a song: the queued one to go on into, or null when the song ends here
   *  or a stop or a seek came first. Decoding thread. */
  std::unique_ptr<AudioDecoder> TakeNext(quint64 joins);
  /** Delivers an event of song on the UI thread, unless another song has started. */
  template <typename Event>
  void Post(quint64 song, Event event);

  std::shared_ptr<AudioSink> sink_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  bool ended_ = false;         // the song ended without a queued one to go on into
  bool awaitingNext_ = false;  // a song joined; the UI has not yet said what follows it
  bool paused_ = false;
  /** A place in the song that was heard after `joins` joins; a song decoded to its end
   *  before the seek came cannot go back. */
  struct SeekRequest {
    qint64 frame = 0;
    quint64 joins = 0;
  };
  std::optional<SeekRequest> seek_;
  std::unique_ptr<AudioDecoder> next_;
  PcmFormat format_;  // UI thread only
  std::atomic<qint64> position_{0};
  std::atomic<qint64> length_{0};
  std::atomic<int> rate_{44100};
  quint64 song_ = 0;        // UI thread only
  quint64 joinsHeard_ = 0;  // UI thread only
  double volume_ = 1.0;
};

/** The decoder open gives for path; null for no path or one it cannot open. A song queued
 *  to follow is tried again, and reported, when its turn comes. */
std::unique_ptr<AudioDecoder> OpenOrNothing(
    const std::function<std::unique_ptr<AudioDecoder>(const QString&)>& open, const QString& path);

}  // namespace audiolume::platform
