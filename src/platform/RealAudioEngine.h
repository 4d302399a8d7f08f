#pragma once

#include <QObject>
#include <functional>

#include "platform/AudioPipeline.h"

namespace audiolume::platform {

/**
 * The back-end for WAV and every other format libsndfile reads, driven by the calls the
 * player polls it with. Positions and lengths are in tenths of a second; every call
 * answers 0 or an error code whose text is in the error-text file, section "RealAudio".
 * UI thread only.
 */
class RealAudioEngine : public QObject {
  Q_OBJECT

 public:
  enum ErrorCode : qint16 {
    kOk = 0,
    kNotSetUp = 1,
    kCannotOpen = 2,
    kNotDecodable = 3,
    kDamaged = 4,
    kNothingOpen = 8,
  };
  using Opener = std::function<std::unique_ptr<AudioDecoder>(const QString&)>;

  explicit RealAudioEngine(std::shared_ptr<AudioSink> sink, Opener open = OpenSndfileDecoder);

  qint16 RaSetup(qint32& engine, qint32& handle, qint32 flags);
  qint16 RaRegisterNotifyWnd(qint32 handle, qint32, qint32, qint32);
  qint16 RaSetClientLocale(qint32 handle, qint32 locale);
  qint16 RaSetClientId(qint32 handle, const QString& id);
  /** Nonzero: the engine sets its own volume. */
  qint16 RaVolumeSupport(qint32 handle, qint32 maximum);
  qint16 RaOpen(qint32 handle, qint32 flags, const QString& path);
  qint16 RaBegin(qint32 handle);
  /** position reaches length when the song has ended, and stays below its last 0.4 s
   *  until then. */
  qint16 RaGetStatus(qint32 handle, qint32& position, qint32& length);
  qint16 RaPause(qint32 handle);
  qint16 RaSeek(qint32 handle, qint32 position);
  qint16 RaSetVolume(qint32 handle, qint32 level);
  qint16 RaClose(qint32 handle);
  qint16 RaShutdown(qint32 handle);

  /** Opens the song to follow the playing one in the same stream, without a break; false
   *  when it cannot (not opened, another rate or channel count, nothing playing). */
  bool QueueNext(const QString& path);

 Q_SIGNALS:
  /** The queued song follows: its first sample is being heard; the status is its own. */
  void NextStarted();

 private:
  qint32 Tenths(qint64 frames) const;

  AudioPipeline pipeline_;
  Opener open_;
  std::unique_ptr<AudioDecoder> opened_;
  bool setUp_ = false;
  bool paused_ = false;
  bool ended_ = false;
  bool damaged_ = false;
};

}  // namespace audiolume::platform
