#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QSet>
#include <QTimer>
#include <functional>

#include "platform/AudioCapture.h"
#include "platform/IniDocument.h"
#include "recorder/AccurateRipCheck.h"
#include "recorder/AlbumCover.h"
#include "recorder/RecordList.h"
#include "recorder/RecordSettings.h"

namespace audiolume {

class MessageCatalog;
class Prompter;
class SongLibrary;
class TrailerTag;
struct CdDisc;

/**
 * The recording job: records the record list one track after another through the ripper
 * (started as a process in the application directory, told what to do through
 * "TWCD.ini" and watched through "TWCD.log" and its exit code, never waited on), and adds
 * every finished song to the library with its tags. A state machine advanced by the
 * 1000 ms tick timerRecord_Timer(): phase 0 starts the next track, 1 waits for the ripper
 * to start, 2 follows it to its end, 3 waits for the AccurateRip database's answer after
 * the last track (never longer than its time limit). UI thread only.
 */
class RecordJob : public QObject {
  Q_OBJECT

 public:
  /** A track's status mark. */
  enum class Mark { None, Queued, Recording, Done, Warning, Failed };

  struct Context {
    SongLibrary& library;
    TrailerTag& trailer;
    MessageCatalog& catalog;
    Prompter& prompter;
    QString settingsFile;
    QString appDir;  // the ripper's current folder, with its control and log files
    QString ripper;  // the ripper program
    /** Shows a failure without waiting for the user (a modeless box in the window). */
    std::function<void(const QString& text)> showFailure;
    /** A pause that keeps the windows alive (the job waits after a failure). */
    std::function<void(int ms)> wait;
    /** Analog capture from the sound card; null (or returning null) without one. */
    std::function<std::unique_ptr<platform::AudioCapture>()> makeCapture = {};
    /** How long the ripper may go without progress before the track is given up. */
    qint64 ripperTimeOutMs = 10 * 60 * 1000;
    /** How long the AccurateRip database may take to answer once the last track is done. */
    int accurateRipTimeLimitMs = HttpFetch::kDefaultTimeLimitMs;
  };

  /** Where the track is on the disc and how long it is, for the ripper and the space check. */
  struct Track {
    RecordItem item;
    int seconds = 0;
    QString lengthText;  // "m:ss", as the row shows it
  };

  RecordJob(Context context, QObject* parent = nullptr);
  ~RecordJob() override;

  /** The record list's items with their lengths from the disc. */
  static QList<Track> TracksOf(const QList<RecordItem>& items, const CdDisc& disc);
  /** Why a job with these settings cannot start on device (the drive never configured,
   *  analog capture asked for without a sound card input or of a disc image); empty
   *  when it can. */
  QString Refusal(const RecordSettings& settings, const QString& device) const;
  /** True while a digital recording waits for the drive set-up ("TWCD.ini" is missing). */
  bool NeedsDriveSetUp(const RecordSettings& settings) const;
  /** Starts recording; drive is the selected drive's index, letter its "D:". With the
   *  disc's AccurateRip entry path, the album's rip log names it and the rips are checked
   *  against the database under settings.AccurateRipUrl after the last track. cover, when
   *  given, is the album's front cover for the songs and their folder. */
  void Start(const RecordSettings& settings, QList<Track> tracks, int drive, const QString& letter,
             const QString& device = {}, const QString& accurateRipEntry = {},
             const QByteArray& cover = {});
  void timerRecord_Timer();
  /** Ends the job now: the ripper is stopped and its partial file deleted. */
  void Cancel();

  bool IsRecording() const { return recording_; }
  /** Whether the sound card's input is being recorded (the player must stay quiet). */
  bool IsRecordingAnalog() const { return capture_ != nullptr; }
  QTimer& Timer() { return timerRecord_; }
  /** The command line of the current track, as "CMD" records it. */
  QStringList CommandLine(const Track& track) const;

 Q_SIGNALS:
  void TrackMarked(int track, Mark mark);
  /** Progress of a track: 0 to 100 (or above when unknown) and its text. */
  void TrackProgress(int track, int percent, const QString& text);
  void StatusChanged(const QString& text);
  void ErrorLineChanged(const QString& text);
  /** A track ended with the job's final code (51 no whole song file, 52 the ripper stalled
   *  and was stopped, 53 skipped for want of room); path is its song file. */
  void TrackFinished(int track, int code, const QString& path);
  /** A recorded track as the AccurateRip database judges it, after the last track. */
  void TrackVerified(int track, const audiolume::AccurateRip::Verdict& verdict);
  void JobEnded();

 private:
  void NextTrack();
  bool EnoughSpace(const Track& track);
  void StartDigital(const Track& track);
  void StartAnalog(const Track& track);
  void WaitForRipper();
  void FollowRipper();
  /** Ends the ripper and deletes its partial file. */
  void StopRipper();
  void FollowCapture();
  int FinalCode(int exitCode) const;
  void Finish(int code, bool analog);
  bool CaptureAvailable() const;
  /** Asks the user once per recording whether analog capture may run. */
  bool AnalogAgreed();
  /** Whether the current track goes through the sound card rather than the ripper. */
  bool Capturing() const { return settings_.AR == 1 || analogFallback_; }
  void AddToLibrary(const Track& track);
  void AppendRecordLog(const Track& track, int code, bool analog) const;
  /** The album's own log beside its songs: drive, offset and each track's checksums. */
  void AppendRipLog(const Track& track, int code);
  QString ErrorText(int code) const;
  void EndJob();
  /** A value of "TWCD.log" as read at this tick. */
  QString Log(const QString& key) const;
  void ReadRipLog();
  /** Checks the next rip log of the job with the AccurateRip database, or ends the job. */
  void CheckNextRipLog();
  void RipLogChecked(const QList<AccurateRipCheck::TrackVerdict>& verdicts);

  Context context_;
  RecordSettings settings_;
  QList<Track> tracks_;
  int drive_ = 0;
  QString letter_;
  int phase_ = 0;
  int item_ = -1;
  int lastPercent_ = 0;
  bool recording_ = false;
  QProcess* ripper_ = nullptr;
  std::unique_ptr<platform::AudioCapture> capture_;
  bool analogFallback_ = false;  // the track that failed digitally is captured next
  int analogAnswer_ = 0;         // to AnalogAgreed's question: 0 not asked, 1 yes, 2 no
  QString device_;
  QElapsedTimer started_;
  QElapsedTimer progressed_;  // since the ripper's progress last changed
  platform::IniDocument ripLog_;
  QSet<QString> ripLogs_;  // the rip logs this job has headed
  QString accurateRipEntry_;
  QStringList ripLogsToCheck_;
  AccurateRipCheck accurateRip_;
  QByteArray cover_;
  AlbumCover albumCover_;
  QTimer timerRecord_;
};

}  // namespace audiolume
