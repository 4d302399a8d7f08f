#include "recorder/RecordJob.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>
#include <algorithm>
#include <system_error>

#include "library/SongLibrary.h"
#include "library/TrailerTag.h"
#include "platform/CdDevice.h"
#include "platform/CodePage.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "platform/Id3v2Writer.h"
#include "platform/StandardTags.h"
#include "recorder/CdDisc.h"
#include "support/AppVersion.h"
#include "support/ErrorLog.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr int kUnfinished = 51;
constexpr int kStalled = 52;
constexpr int kNoRoom = 53;
constexpr int kWriteFailed = 43;
// The ripper's log is a few hundred bytes; anything much bigger is not its log.
constexpr qint64 kMaxRipLog = 64 * 1024;
constexpr int kJitter = 33;

QString Megabytes(qint64 bytes) {
  return QLocale(QLocale::English).toString(double(bytes) / 1048576.0, 'f', 1);
}

// What the ripper writes into a FLAC song's Vorbis comments; every track writes them all,
// so that none is left from the track before.
void WriteRipperComments(const QString& control, const RecordItem& item) {
  const std::pair<QString, QString> comments[] = {
      {u"TITLE"_s, item.title}, {u"ARTIST"_s, item.artist},
      {u"ALBUM"_s, item.album}, {u"TRACKNUMBER"_s, QString::number(item.track)},
      {u"DATE"_s, item.year},   {u"GENRE"_s, item.genre}};
  for (const auto& [key, value] : comments) WriteIniString(control, u"TWCD"_s, key, value);
}

// The song's tags as other players read them.
platform::StandardTagFields TagFieldsOf(const RecordItem& item) {
  return {item.title, item.artist, item.album, item.genre, {}, item.year.toInt(), item.track, {}};
}

// Numbers in the record log are written in print style: a blank either side.
QString Printed(qint64 value) {
  return u' ' + QString::number(value) + u' ';
}

}  // namespace

RecordJob::RecordJob(Context context, QObject* parent)
    : QObject(parent),
      context_(std::move(context)),
      albumCover_(context_.trailer, context_.catalog, context_.prompter) {
  timerRecord_.setInterval(1000);
  connect(&timerRecord_, &QTimer::timeout, this, &RecordJob::timerRecord_Timer);
  connect(&accurateRip_, &AccurateRipCheck::Finished, this, &RecordJob::RipLogChecked);
}

RecordJob::~RecordJob() {
  if (recording_) Cancel();
}

QString RecordJob::Log(const QString& key) const {
  return ripLog_.Value(u"TWCD"_s, key).value_or(QString());
}

void RecordJob::ReadRipLog() {
  ripLog_ = {};
  // Only a regular file of a log's size: a link to a device or an endless file would hold
  // the job, or fill its memory.
  const QString path = context_.appDir + u"/TWCD.log"_s;
  const QFileInfo file(path);
  if (!file.isFile() || file.size() > kMaxRipLog) return;
  try {
    ripLog_ = platform::IniDocument::Load(path);
  } catch (const std::system_error&) {
    // Read again at the next tick.
  }
}

bool RecordJob::AnalogAgreed() {
  if (analogAnswer_ == 0) {
    // Whatever the card's input hears is recorded: the user says whether that is the drive.
    analogAnswer_ = context_.prompter.Ask(
        u"Record through the sound card's input while the drive plays the track? Only the "
        u"drive's own playback belongs in the song: the input must be connected to the "
        u"drive, not to a microphone."_s,
        context_.catalog.GetMsg(RC_Yes) + u'|' + context_.catalog.GetMsg(RC_No),
        MessageIcon::Question);
  }
  return analogAnswer_ == 1;
}

bool RecordJob::CaptureAvailable() const {
  return context_.makeCapture && context_.makeCapture() != nullptr;
}

QList<RecordJob::Track> RecordJob::TracksOf(const QList<RecordItem>& items, const CdDisc& disc) {
  QList<Track> tracks;
  for (const RecordItem& item : items) {
    const CdDisc::TrackInfo& info = disc.tracks[item.track - 1];
    tracks.append({item, info.Seconds(), info.LengthText()});
  }
  return tracks;
}

QString RecordJob::Refusal(const RecordSettings& settings, const QString& device) const {
  if (settings.AR == 1) {
    // Analog capture records what the drive plays; an image has nothing that plays.
    if (platform::CdDevice::IsImage(device)) {
      return u"Analog recording records what a CD drive plays, and a disc image plays "
             u"nowhere. Choose digital recording in Record Options."_s;
    }
    if (CaptureAvailable()) return {};
    return u"Analog recording needs a sound card input, and none was found. Run the drive "
           u"set-up again to record digitally."_s;
  }
  if (NeedsDriveSetUp(settings)) {
    return context_.catalog.GetMsg(RC_NotConfig_1) + u'\n' +
           context_.catalog.GetMsg(RC_NotConfig_2);
  }
  return {};
}

bool RecordJob::NeedsDriveSetUp(const RecordSettings& settings) const {
  return settings.AR != 1 && !QFileInfo::exists(context_.appDir + u"/TWCD.ini"_s);
}

void RecordJob::Start(const RecordSettings& settings, QList<Track> tracks, int drive,
                      const QString& letter, const QString& device,
                      const QString& accurateRipEntry, const QByteArray& cover) {
  device_ = device;
  accurateRipEntry_ = accurateRipEntry;
  cover_ = cover;
  analogFallback_ = false;
  analogAnswer_ = 0;
  settings_ = settings;
  tracks_ = std::move(tracks);
  ripLogs_.clear();
  albumCover_.Reset();
  drive_ = drive;
  letter_ = letter;
  recording_ = true;
  phase_ = 0;
  item_ = -1;
  for (const Track& track : tracks_) Q_EMIT TrackMarked(track.item.track, Mark::Queued);
  timerRecord_.start();
}

void RecordJob::timerRecord_Timer() {
  if (!recording_) return;
  ReadRipLog();
  switch (phase_) {
    case 0: NextTrack(); break;
    case 1: WaitForRipper(); break;
    case 2: FollowRipper(); break;
    default: break;  // the database's answer ends the job
  }
}

void RecordJob::NextTrack() {
  if (++item_ >= tracks_.size()) {
    ripLogsToCheck_ = ripLogs_.values();
    CheckNextRipLog();
    return;
  }
  if (settings_.AR == 1 && !AnalogAgreed()) {
    EndJob();
    return;
  }
  const Track& track = tracks_[item_];
  // A ripper that ends before it writes its log must not leave the last track's figures.
  QFile::remove(context_.appDir + u"/TWCD.log"_s);
  ripLog_ = {};
  if (!EnoughSpace(track)) {
    Q_EMIT TrackMarked(track.item.track, Mark::Failed);
    Q_EMIT TrackFinished(track.item.track, kNoRoom, track.item.path);
    return;  // the next tick takes the next track
  }
  lastPercent_ = 0;
  if (Capturing()) {
    StartAnalog(track);
  } else {
    StartDigital(track);
  }
  started_.start();
  progressed_.start();
  Q_EMIT TrackMarked(track.item.track, Mark::Recording);
  Q_EMIT StatusChanged(
      context_.catalog.GetMsgWithValue(RC_ReadingTrack, QString::number(track.item.track)));
  phase_ = 1;
}

bool RecordJob::EnoughSpace(const Track& track) {
  const qint64 needed = settings_.BytesNeeded(track.seconds);
  const QString folder = QFileInfo(track.item.path).path();
  QStorageInfo storage(folder);
  const qint64 available = storage.isValid() ? storage.bytesAvailable() : 0;
  if (needed < available) return true;
  context_.prompter.Tell(context_.catalog.GetMsg(RC_InsuffSpace) + u'\n' + Megabytes(available) +
                             u" MB available,"_s + Megabytes(needed) +
                             u" MB needed for recording."_s,
                         MessageIcon::Exclamation);
  ErrorLog::AppendLine(context_.appDir + u"/Rec_err.log"_s,
                       u"********"_s + u", Track ="_s + Printed(track.item.track) +
                           u", SongName = "_s + track.item.title);
  return false;
}

QStringList RecordJob::CommandLine(const Track& track) const {
  QStringList args{u"/T"_s, QString::number(track.item.track), u"/O"_s, u"/format"_s,
                   settings_.EncoderFormat(context_.settingsFile)};
  if (settings_.TrackOffset != u"0" && !settings_.TrackOffset.isEmpty()) {
    args << u"/offset"_s << settings_.TrackOffset;
  }
  const int start = settings_.StartTime.toInt();
  if (!settings_.RecordLength.isEmpty()) {
    args << u"/prevu"_s
         << QString::number(start * 75) + u':' +
                QString::number(settings_.RecordLength.toInt() * 75);
  } else if (start != 0) {
    args << u"/prevu"_s
         << QString::number(start * 75) + u':' + QString::number((track.seconds - start) * 75);
  }
  if (settings_.EC == 0) args << u"/NJC"_s;
  return args;
}

void RecordJob::StartDigital(const Track& track) {
  const QString control = context_.appDir + u"/TWCD.ini"_s;
  const QString number = QString::number(drive_ + 1);
  WriteIniString(control, u"TWCD"_s, u"FILENAME"_s, track.item.path);
  WriteIniString(control, u"DRIVE_"_s + number, u"NJF"_s, settings_.EC == 1 ? u"YES"_s : u"NO"_s);
  WriteIniString(control, u"TWCD"_s, u"DRIVELETTER"_s, letter_.left(1).toUpper());
  WriteIniString(control, u"TWCD"_s, u"DRIVENUMBER"_s, number);
  if (settings_.RF == RecordSettings::kFlac) WriteRipperComments(control, track.item);
  const QString out = context_.appDir + u"/TWCD.out"_s;
  QFile::remove(out);
  const QStringList args = CommandLine(track);
  WriteIniString(context_.settingsFile, u"Record"_s, u"CMD"_s,
                 QFileInfo(context_.ripper).fileName() + u' ' + args.join(u' '));
  ripper_ = new QProcess(this);
  ripper_->setWorkingDirectory(context_.appDir);
  if (ReadIniString(context_.settingsFile, u"Record"_s, u"CreateTWCDOut"_s) == u"Yes") {
    ripper_->setStandardOutputFile(out);
    ripper_->setStandardErrorFile(out, QIODevice::Append);
  } else {
    ripper_->setStandardOutputFile(QProcess::nullDevice());
    ripper_->setStandardErrorFile(QProcess::nullDevice());
  }
  ripper_->start(context_.ripper, args);
}

void RecordJob::StartAnalog(const Track& track) {
  capture_ = context_.makeCapture ? context_.makeCapture() : nullptr;
  if (!capture_) return;  // the next tick finds no capture and reports the track failed
  capture_->_a2d_SetRecSource(settings_.SPDIF == 1 ? u"CDSPDIF"_s : u"CD"_s);
  capture_->_a2d_SetInt(u"/t"_s, track.item.track);
  capture_->_a2d_SetString(u"/f"_s, context_.appDir + u"/tw_a2d.tmp"_s);
  const QString format = settings_.EncoderFormat(context_.settingsFile);
  capture_->_a2d_SetString(u"/format"_s, format);
  static constexpr std::pair<int, int> kBitRates[] = {
      {0, 128000}, {2, 96000}, {4, 64000}, {6, 160000}};
  for (const auto& [code, bitRate] : kBitRates) {
    if (settings_.RF == code) capture_->_a2d_SetInt(u"/bitrate"_s, bitRate);
  }
  if (settings_.RF == 7) capture_->_a2d_SetInt(u"/bitrate"_s, settings_.CBR.toInt() * 1000);
  if (settings_.RF == 8) capture_->_a2d_SetInt(u"/vbr"_s, settings_.VBR.toInt());
  capture_->_a2d_SetString(u"/acd"_s, device_);
  capture_->_a2d_Start();
}

void RecordJob::WaitForRipper() {
  if (Capturing()) {
    phase_ = 2;  // the capture runs from its start
    return;
  }
  const QString done = Log(u"DONE"_s);
  // A ripper that could not even start is over, too.
  if (ripper_->state() == QProcess::Running || done == u"started" || done == u"not_ok" ||
      ripper_->state() == QProcess::NotRunning) {
    phase_ = 2;
  }
}

void RecordJob::FollowCapture() {
  const Track& track = tracks_[item_];
  const int percent = capture_ ? capture_->_a2d_GetProgress() : -1;
  if (percent >= 0) {
    const QString text =
        percent < lastPercent_
            ? context_.catalog.GetMsg(RC_ReSynAnalog)
            : context_.catalog.GetMsgWithValue(RC_PerAnalog, QString::number(percent) + u'%');
    lastPercent_ = percent;
    Q_EMIT TrackProgress(track.item.track, percent, text);
    return;
  }
  analogFallback_ = false;
  int code = capture_ ? capture_->_a2d_CloseWithReturnCode() : -1;
  capture_.reset();
  const QString captured = context_.appDir + u"/tw_a2d.tmp"_s;
  // An earlier song of the track gives way only to a capture that succeeded.
  try {
    if (code == 0) platform::FileOps::MoveFile(captured, track.item.path);
  } catch (const platform::FileError&) {
    code = kWriteFailed;
  }
  QFile::remove(captured);
  // The ripper writes a FLAC song's comments as it reads; a capture has none of its own.
  if (code == 0 && settings_.RF == RecordSettings::kFlac) {
    platform::WriteStandardTags(track.item.path, TagFieldsOf(track.item));
  }
  Finish(code, true);
}

void RecordJob::FollowRipper() {
  if (Capturing()) {
    FollowCapture();
    return;
  }
  const Track& track = tracks_[item_];
  const int percent = Log(u"PERCENT"_s).toInt();
  if (percent != lastPercent_) progressed_.restart();
  if (percent > 100) {
    Q_EMIT TrackProgress(track.item.track, percent, context_.catalog.GetMsg(RC_UnableEstimate));
  } else {
    lastPercent_ = percent;
    Q_EMIT TrackProgress(
        track.item.track, percent,
        context_.catalog.GetMsgWithValue(RC_PerDigital, QString::number(percent) + u'%'));
  }
  if (ripper_->state() != QProcess::NotRunning) {
    if (progressed_.elapsed() < context_.ripperTimeOutMs) return;
    // A ripper that has read nothing for so long will not end by itself.
    StopRipper();
    Finish(kStalled, false);
    return;
  }
  const int exitCode =
      ripper_->exitStatus() == QProcess::NormalExit && ripper_->error() != QProcess::FailedToStart
          ? ripper_->exitCode()
          : -1;
  ripper_->deleteLater();
  ripper_ = nullptr;
  Finish(FinalCode(exitCode), false);
}

int RecordJob::FinalCode(int exitCode) const {
  if (exitCode != 0 && exitCode != kJitter) return exitCode;
  // A ripper that says it is done must have read (nearly) all of the track into the file
  // it was given.
  const QFileInfo song(tracks_[item_].item.path);
  if (lastPercent_ < 95 || !Log(u"DONE"_s).startsWith(u"ok"_s) || !song.isFile() ||
      song.size() == 0) {
    return kUnfinished;
  }
  return exitCode;
}

void RecordJob::Finish(int code, bool analog) {
  const Track& track = tracks_[item_];
  const QString trackText =
      context_.catalog.GetMsgWithValue(RC_TrackNum, QString::number(track.item.track));
  if (analog && code != 0) {
    Q_EMIT TrackMarked(track.item.track, Mark::Failed);
    Q_EMIT ErrorLineChanged(
        trackText + u' ' + context_.catalog.GetMsgWithValue(RC_RecErrorNum, QString::number(code)));
  } else if (code == 0) {
    Q_EMIT TrackMarked(track.item.track, Mark::Done);
  } else if (code == kJitter) {
    Q_EMIT TrackMarked(track.item.track, Mark::Warning);
    Q_EMIT ErrorLineChanged(
        trackText + u' ' + context_.catalog.GetMsgWithValue(RC_JitterNum, Log(u"JITTER_ERRORS"_s)));
  } else {
    Q_EMIT TrackMarked(track.item.track, Mark::Failed);
    const QString line = trackText + u", "_s +
                         context_.catalog.GetMsgWithValue(RC_DigRecError, QString::number(code));
    Q_EMIT ErrorLineChanged(line);
    // The same track is captured through the sound card next, when there is a card input
    // and a drive to play it, and the user wants that.
    analogFallback_ = CaptureAvailable() && !platform::CdDevice::IsImage(device_) && AnalogAgreed();
    QString text = line;
    if (analogFallback_) text += u'\n' + context_.catalog.GetMsg(RC_TryAnalog);
    if (const QString reason = ErrorText(code); !reason.isEmpty()) text += u'\n' + reason;
    if (context_.showFailure) context_.showFailure(text);
    if (context_.wait) context_.wait(5000);
  }
  if (code == 0 || (code == kJitter && !analog)) AddToLibrary(track);
  AppendRecordLog(track, code, analog);
  if (!analog) AppendRipLog(track, code);
  Q_EMIT TrackFinished(track.item.track, code, track.item.path);
  if (analogFallback_) --item_;
  phase_ = 0;
}

void RecordJob::AddToLibrary(const Track& track) {
  const RecordItem& item = track.item;
  SongLibrary& library = context_.library;
  if (library.SongCount() > 0) {
    if (const int row = library.FindSongByFilename(item.path); row > 0) {
      // A song recorded again replaces its own row (and keeps its plays).
      const std::pair<int, QString> columns[] = {
          {0, item.title}, {1, item.album}, {2, item.artist}, {8, track.lengthText}};
      for (const auto& [column, text] : columns) library.SongText(row, column) = text;
      library.SetSongDataModified(true);
    } else {
      library.AddSongRow(item.title, item.album, item.artist, track.lengthText, item.path);
    }
    library.SaveSongData();
  } else {
    // An empty library takes the song in through its import file.
    const QByteArray separator(1, '\xFF');
    QByteArray line = platform::EncodeText(item.title) + separator +
                      platform::EncodeText(item.album) + separator +
                      platform::EncodeText(item.artist) + separator.repeated(6) +
                      platform::EncodeText(track.lengthText) + separator.repeated(3) +
                      platform::EncodeText(item.path) + "\r\n";
    QFile file(context_.appDir + u"/VeltoDj.dat"_s);
    if (file.open(QIODevice::Append)) file.write(line);
  }
  if (settings_.Extension() == u".mp3") {
    // The standard tag that other players and phones read, before the jukebox's own.
    platform::WriteId3v2Tag(item.path, TagFieldsOf(item));
  }
  // Other formats keep their tags in their own way, never in the jukebox's trailer.
  if (!TrailerTag::TakesTrailer(item.path)) return;
  SongRecord record;
  record.Title = item.title;
  record.Album = item.album;
  record.Artist = item.artist;
  record.TrackTime = track.lengthText;
  record.TrackNumber = qint16(item.track);
  record.Filename = item.path;
  context_.trailer.WriteSongTrailer(item.path, record, false);
  if (!cover_.isEmpty()) {
    if (const QString problem = albumCover_.Store(item.path, cover_); !problem.isEmpty())
      Q_EMIT ErrorLineChanged(problem);
  }
}

void RecordJob::AppendRecordLog(const Track& track, int code, bool analog) const {
  const QDateTime now = QDateTime::currentDateTime();
  ErrorLog::AppendLine(
      context_.appDir + u"/Record.log"_s,
      now.toString(u"MM-dd-yyyy"_s) + u", "_s + now.toString(u"HH:mm:ss"_s) + u", Tk="_s +
          Printed(track.item.track) + u", "_s + QFileInfo(track.item.path).fileName() +
          u", RecordTime="_s + Printed(started_.isValid() ? started_.elapsed() / 1000 : 0) +
          u", Percent="_s + Printed(lastPercent_) + u", Speed="_s + Log(u"AVERAGE_SPEED"_s) +
          u", Jitter="_s + Log(u"AVERAGE_JITTER"_s) + u", ExitCode="_s + Printed(code) +
          (analog ? u", Analog Recording"_s : QString()));
}

void RecordJob::AppendRipLog(const Track& track, int code) {
  const QString folder = QFileInfo(track.item.path).path();
  const QString path = folder + u"/rip.log"_s;
  QStringList lines;
  if (!ripLogs_.contains(path)) {
    // A new job's first song in this folder heads its part of the log.
    ripLogs_.insert(path);
    lines << QString()
          << u"Audiolume "_s + kAppVersion + u" rip log, "_s +
                 QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH:mm"_s)
          << u"Drive "_s + letter_ + u' ' + Log(u"DEVICE"_s)
          << u"Read offset: "_s + Log(u"OFFSET"_s) + u" samples"_s
          << u"Error correction: "_s + (settings_.EC == 1 ? u"on"_s : u"off"_s)
          // As the drive took the ripper's settings (an image is always read plainly).
          << u"Reading: paranoia %1, speed %2, %3 sectors per read, overlap %4, %5 retries"_s.arg(
                 Log(u"PARANOIA"_s), Log(u"READ_SPEED"_s), Log(u"SECTORS_PER_READ"_s),
                 Log(u"SEARCH_OVERLAP"_s), Log(u"RETRIES"_s))
          << u"Format: "_s + settings_.EncoderFormat(context_.settingsFile);
    if (!accurateRipEntry_.isEmpty()) {
      lines << QString::fromLatin1(AccurateRipCheck::kEntryLine) + accurateRipEntry_;
    }
  }
  lines << QString()
        << u"Track %1  %2"_s.arg(track.item.track, 2, 10, QChar(u'0'))
               .arg(QFileInfo(track.item.path).fileName())
        << u"  CRC32 of the audio: "_s + Log(u"CRC32"_s)
        << u"  AccurateRip v1: "_s + Log(u"ACCURATERIP_V1"_s) + u"   v2: "_s +
               Log(u"ACCURATERIP_V2"_s)
        << u"  Peak level: "_s + Log(u"PEAK"_s) + u" %"_s
        << u"  Paranoia: "_s + Log(u"JITTER_ERRORS"_s) + u" unreadable spots, "_s +
               Log(u"AVERAGE_JITTER"_s) + u" jitter corrections per 1000 sectors, "_s +
               Log(u"AVERAGE_SPEED"_s) + u"x"_s
        << u"  Exit code: "_s + QString::number(code);
  for (const QString& line : lines) ErrorLog::AppendLine(path, line);
}

QString RecordJob::ErrorText(int code) const {
  QFile file(context_.appDir + u"/Rec_err.txt"_s);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QString message;
  QString suggestion;
  bool inEntry = false;
  for (const QString& line : platform::DecodeText(file.readAll()).split(u'\n')) {
    const QString text = line.trimmed();
    if (text.startsWith(u"//"_s)) continue;
    if (text.left(4).compare(u"#err"_s, Qt::CaseInsensitive) == 0) {
      if (inEntry) break;
      inEntry = text.mid(4).trimmed().toInt() == code;
    } else if (inEntry && text.left(4).compare(u"#mes"_s, Qt::CaseInsensitive) == 0) {
      message = text.mid(4).trimmed();
    } else if (inEntry && text.left(4).compare(u"#sug"_s, Qt::CaseInsensitive) == 0) {
      suggestion = text.mid(4).trimmed();
    }
  }
  return suggestion.isEmpty() ? message : message + u'\n' + suggestion;
}

void RecordJob::StopRipper() {
  ripper_->kill();
  ripper_->waitForFinished(3000);
  delete ripper_;
  ripper_ = nullptr;
  if (item_ >= 0 && item_ < tracks_.size()) QFile::remove(tracks_[item_].item.path + u".part"_s);
}

void RecordJob::CheckNextRipLog() {
  phase_ = 3;
  // Only a log this job headed with the disc's entry has rips of this job to check.
  while (!ripLogsToCheck_.isEmpty() && !accurateRipEntry_.isEmpty() &&
         !settings_.AccurateRipUrl.isEmpty()) {
    if (accurateRip_.Start(ripLogsToCheck_.takeFirst(), settings_.AccurateRipUrl,
                           context_.accurateRipTimeLimitMs)) {
      Q_EMIT StatusChanged(u"Checking the rips with the AccurateRip database"_s);
      return;
    }
  }
  EndJob();
}

void RecordJob::RipLogChecked(const QList<AccurateRipCheck::TrackVerdict>& verdicts) {
  for (const AccurateRipCheck::TrackVerdict& verdict : verdicts) {
    const bool recordedNow = std::any_of(tracks_.begin(), tracks_.end(), [&](const Track& track) {
      return track.item.track == verdict.track;
    });
    if (recordedNow) Q_EMIT TrackVerified(verdict.track, verdict.verdict);
  }
  CheckNextRipLog();
}

void RecordJob::Cancel() {
  accurateRip_.Cancel();
  timerRecord_.stop();
  if (ripper_) {
    StopRipper();
    if (item_ >= 0 && item_ < tracks_.size()) {
      Q_EMIT TrackMarked(tracks_[item_].item.track, Mark::None);
    }
  }
  if (capture_) {
    capture_->_a2d_Stop();
    capture_->_a2d_CloseWithReturnCode();
    capture_.reset();
    QFile::remove(context_.appDir + u"/tw_a2d.tmp"_s);
  }
  EndJob();
}

void RecordJob::EndJob() {
  ripLogsToCheck_.clear();
  timerRecord_.stop();
  recording_ = false;
  Q_EMIT StatusChanged(QString());
  Q_EMIT JobEnded();
}

}  // namespace audiolume
