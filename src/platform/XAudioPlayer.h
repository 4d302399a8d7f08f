#pragma once

#include <QObject>
#include <functional>

#include "platform/AudioPipeline.h"

namespace audiolume::platform {

/**
 * The MPEG audio back-end, driven by the numbered commands and answering with the
 * numbered notifications the player was built around. Decoding is libmpg123's, on the
 * pipeline's own thread; notifications are delivered on the UI thread. UI thread only.
 */
class XAudioPlayer : public QObject {
  Q_OBJECT

 public:
  enum Command {
    kExit = 1,
    kPlay = 3,
    kPause = 4,
    kStop = 5,
    kSeek = 6,
    kInputOpen = 7,
    kInputClose = 8,
    kFinal = 17,
    kNotifyMask = 29,
    kVolume = 48,
  };
  enum Notification : quint32 {
    kReady = 0x9040,
    kState = 0x9045,
    kPosition = 0x904C,
    kTimecode = 0x904E,
    kDuration = 0x9050,
  };
  enum State { kStateStopped = 0, kStatePaused = 1, kStatePlaying = 2, kStateEndOfStream = 3 };
  /** The positions reported by kPosition run from 0 to this range. */
  static constexpr qint32 kPositionRange = 1000;

  using NotifyProc = std::function<void(quint32 message, qint64 wParam, qint64 lParam)>;
  using Opener = std::function<std::unique_ptr<AudioDecoder>(const QString&)>;

  /** player_new: notifications go to notify; decoders come from open. */
  XAudioPlayer(std::shared_ptr<AudioSink> sink, NotifyProc notify, Opener open = OpenMpegDecoder);
  ~XAudioPlayer() override;

  void control_message_send_S(int command, const QString& text);
  void control_message_send_N(int command);
  void control_message_send_I(int command, qint32 value);
  void control_message_send_II(int command, qint32 first, qint32 second);
  void control_message_send_III(int command, qint32 first, qint32 second, qint32 third);

  /** Opens the song to follow the playing one in the same stream, without a break; false
   *  when it cannot (not opened, another rate or channel count, nothing playing). */
  bool QueueNext(const QString& path);

 Q_SIGNALS:
  /** The queued song follows: its first sample is being heard, and its duration and place
   *  have been notified. */
  void NextStarted();

 private:
  void OnProgress(qint64 frame, qint64 length);
  void OnJoined();

  AudioPipeline pipeline_;
  NotifyProc notify_;
  Opener open_;
  std::unique_ptr<AudioDecoder> opened_;
  bool paused_ = false;
  qint64 lastSecond_ = -1;
};

}  // namespace audiolume::platform
