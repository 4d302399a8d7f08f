#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/CdAudio.h"
#include "platform/RealAudioEngine.h"
#include "platform/XAudioPlayer.h"
#include "player/CdModeQueue.h"
#include "player/ExternalPlayer.h"
#include "player/PlayQueue.h"

namespace audiolume {

class MessageCatalog;
class Prompter;
class SongLibrary;

/**
 * The player: transport, the queue's next song, end-of-song detection, position and time
 * display, volume with fade-in, and play statistics. Songs go to the MPEG back-end or the
 * RealAudio-style one by their extension. The window shows what the signals say and calls
 * the handlers; timer ticks are public so that tests can drive them. UI thread only.
 */
class PlayerEngine : public QObject {
  Q_OBJECT

 public:
  /** Both back-ends play into the one sink, never at the same time. */
  struct BackEnds {
    std::unique_ptr<platform::AudioSink> sink;
    // By content, so that a song whose name lies plays on either back-end.
    platform::XAudioPlayer::Opener mpegOpen = platform::OpenSongDecoder;
    platform::RealAudioEngine::Opener otherOpen = platform::OpenPlayerDecoder;
  };
  /** A song file's entry in the queue: its title and artist, by the one reader of them. */
  using EntryReader = std::function<PlayListEntry(const QString& file)>;
  /** The player's short waits (100 to 700 ms): a delay before the rest of a step runs. */
  using Delay = std::function<void(int milliseconds, std::function<void()> then)>;

  static constexpr int kVolumeMaximum = 100;

  PlayerEngine(PlayQueue& queue, SongLibrary& library, MessageCatalog& catalog, Prompter& prompter,
               QString errorTextFile, BackEnds backEnds, QObject* parent = nullptr);
  ~PlayerEngine() override;

  /** Without one, songs join the queue under their file names. */
  void SetEntryReader(EntryReader reader) { readEntry_ = std::move(reader); }
  /** The drive the CD mode controls. */
  void SetCdAudio(std::unique_ptr<platform::CdAudio> cd) { cd_ = std::move(cd); }
  /** The disc's tracks for the CD mode, played digitally; empty without a disc. */
  void SetCdTracks(CdModeQueue::TrackLister tracks) { cdQueue_.SetLister(std::move(tracks)); }
  /** In CD mode the transport controls the CD drive's own playback. */
  void SetCDMode(bool on);
  bool CDMode() const { return cdMode_; }
  /** The program that plays instead of the built-in player, when one is chosen. */
  ExternalPlayer& External() { return external_; }
  void SetDelay(Delay delay) { delay_ = std::move(delay); }
  /** While one of these answers true, the player refuses to play. */
  void SetRefusals(std::function<bool()> recordingAnalog, std::function<bool()> converting);

  // The transport.
  void Button_Play_MouseDown();
  void Button_Pause_MouseDown();
  void Button_Pause_MouseUp();
  void Button_Stop_MouseDown();
  void cmdSkipForward_Click();
  void cmdSkipBack_Click();
  void PlayCurrentSong();
  void PlaySongFile(const QString& file);
  void PlayNextSong();
  /** Readies entry index (from 1) paused at seconds into it, as if play had been paused
   *  there: nothing is heard, counted or faded in, and Play continues from that place.
   *  False, with nothing readied, when the file cannot be opened. */
  bool CueSong(int index, double seconds);
  void Play_Single_Song(const QString& file);
  void Stop_Player();
  /** The position bar dragged to value (of the bar's range). */
  void PositionScroll_Scroll(int value);
  /** The volume slider runs inverted: 0 is loudest, kVolumeMaximum silent. */
  void VolumeSlider_Change(int value);
  /** Sets the volume from outside the window (the desktop's sound menu); the window's
   *  slider follows. */
  void MoveVolumeSlider(int value);
  int VolumeSliderValue() const { return volumeSlider_; }
  /** The level the back-ends get, 0 silent to 100 full. */
  int VolumeLevel() const { return kVolumeMaximum - volumeSlider_; }
  /** The level the user chose: during a fade-in, the one it rises to. */
  int ChosenVolumeLevel() const;

  /** The play order and cycle of the queue; changing them here tells the windows and the
   *  desktop. */
  void SetPlayOrder(PlayQueue::Order order);
  void SetPlayCycle(PlayQueue::Cycle cycle);

  /** The entry selected in the window's list (0-based), which play starts from. */
  void SetListIndex(int listIndex) { listIndex_ = listIndex; }
  void lstTitle_DblClick(int listIndex);

  // The queue.
  void AddSongToPlayList(const QString& file, int position);
  void RemoveFromPlayList(int listIndex);
  /** Files dropped from the desktop; song files the player plays join the queue. */
  void AddDroppedFiles(const QStringList& files);
  /** Library rows dropped on the queue, in the library window's order, join its end. */
  void AddLibraryRows(const QList<int>& rows);
  /** Appends entries as they stand (a playlist file's songs, AutoDJ's choice); the queue
   *  is announced changed once, however many they are. */
  void AppendEntries(const QList<PlayListEntry>& entries);
  /** Moves an entry (from 0) to another place; the song playing stays the current one. */
  void MoveEntry(int from, int to);
  void ResetPlayerVars();
  PlayQueue& Queue() { return queue_; }

  /** Notifications of the MPEG back-end. */
  void XaNotifyWindowProc(quint32 message, qint64 wParam, qint64 lParam);

  // Timer ticks.
  void PositionTimer_Timer();
  void EOFTimer_Timer();
  void EOFPositionTimer_Timer();
  void FadeTimer_Timer();
  QTimer& PositionTimer() { return positionTimer_; }
  QTimer& EOFTimer() { return eofTimer_; }

  bool IsPlaying() const { return playing_; }
  bool IsPaused() const { return paused_; }
  /** The "m:ss/m:ss" text of the elapsed time. */
  QString PositionLabel() const { return positionLabel_; }
  int DurationSeconds() const { return duration_; }
  /** The song's place and length as the position bar last showed them; 0 before. */
  double PositionSeconds() const;
  double LengthSeconds() const { return lengthSeconds_; }
  /** Moves the song to a time, as dragging the position bar there does. */
  void SeekToSeconds(double seconds);
  /** The file of the song started last; empty before any. */
  const QString& CurrentFile() const { return currentFile_; }

  /** The RealAudio text of an error code, from the error-text file. */
  QString RealAudioErrorText(int code) const;

  void ShutdownAudio();

 Q_SIGNALS:
  void SongStarted(int index, const QString& file, const QString& title, const QString& artist);
  void LabelsCleared();
  void TimeChanged(const QString& text);
  void PositionChanged(int value, int maximum);
  void ButtonsChanged(bool playDown, bool pauseDown);
  void SelectionChanged(int listIndex);
  void QueueChanged();
  void VolumeSliderMoved(int value);
  /** The user (or the desktop) set the volume; a fade-in's steps are not such a change. */
  void VolumeChosen();
  /** The song was moved to a place, by the position bar or from outside. */
  void Sought(double seconds);
  /** The play order or cycle changed. */
  void OrderChanged();
  /** The song a single-play run was playing has ended and no other follows. */
  void PlayEnded();
  /** A song could not be played; message is the back-end's error text. */
  void SongFailed(const QString& file, const QString& message);

 private:
  bool DriveAudio() const;
  enum class Kind { None, Mpeg, Other };
  static Kind Classify(const QString& file);
  void NextSong(int step);
  void AfterNextSong();
  void StartOther();
  /** Readies the queue's next song (in random order drawn now, and kept for the change)
   *  to follow the current one without a break, when it plays on the same back-end;
   *  replaces or drops what was readied before. */
  void QueueFollowing();
  /** The readied song took over at the audible boundary: the end-of-song work without a
   *  stop or a fade-in. */
  void OnNextStarted();
  /** Shows the other back-end's place; false when it reports an error. */
  bool ShowOtherStatus();
  bool OpenCued(double seconds);
  void BackEndFailed(int code);
  void StartRunOn(int interval);
  void ShowSong();
  void cmdXaUpdateTimecode();
  void cmdXaUpdatePosition();
  void SetButtons(bool playDown, bool pauseDown);
  void ShowPosition(int value, int maximum, double lengthSeconds);
  void ApplyVolume();
  /** Moves the song to value of the bar's range, which is seconds into it. */
  void SeekTo(int value, double seconds);
  void Wait(int milliseconds, std::function<void()> then);

  PlayQueue& queue_;
  SongLibrary& library_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
  QString errorTextFile_;
  ExternalPlayer external_;
  std::unique_ptr<platform::XAudioPlayer> xaudio_;
  std::unique_ptr<platform::RealAudioEngine> realAudio_;
  std::unique_ptr<platform::CdAudio> cd_ = std::make_unique<platform::CdAudio>(QString());
  bool cdMode_ = false;
  CdModeQueue cdQueue_;
  bool cdAnalog_ = false;  // a track plays through the drive's own output
  qint32 raHandle_ = 0;
  bool volumeSupported_ = false;
  EntryReader readEntry_;
  Delay delay_;
  std::function<bool()> recordingAnalog_ = [] { return false; };
  std::function<bool()> converting_ = [] { return false; };

  QTimer positionTimer_;
  QTimer eofTimer_;
  QTimer eofPositionTimer_;
  QTimer fadeTimer_;

  bool playing_ = false;
  bool paused_ = false;
  bool newSong_ = false;
  bool seekable_ = false;
  bool singleSong_ = false;
  bool playDownAtPause_ = false;
  Kind current_ = Kind::None;
  QString currentFile_;
  int listIndex_ = 0;
  int volumeSlider_ = 50;
  int fadeDistance_ = 0;
  int minutes_ = 0;
  int seconds_ = 0;
  int duration_ = 0;
  // The position bar as last shown, for remote controls: its value, range and seconds.
  int shownPosition_ = 0;
  int shownRange_ = 0;
  double lengthSeconds_ = 0;
  qint64 positionOffset_ = 0;
  qint64 positionRange_ = 0;
  QString positionLabel_;
  bool joinQueued_ = false;   // the next song follows the current one without a break
  bool mpegReady_ = false;    // the MPEG back-end announced an opened song
  bool streamEnded_ = false;  // the MPEG song's stream is over; the display runs on
  int runOnEnd_ = 0;          // the second the run-on counts to
  int failuresInRow_ = 0;
  quint64 generation_ = 0;  // changes whenever pending waits must be dropped
};

}  // namespace audiolume
