// twcd: the ripper the recorder starts once per track, in the application directory.
//
//   twcd /T n /O /format TEXT [/offset n] [/prevu start:length] [/NJC]
//
// Reads section TWCD of "TWCD.ini" in the current folder: FILENAME (the song file; the
// format's extension is added when it has none), DRIVELETTER (the drive, lettered as the
// jukebox letters its drives, AUDIOLUME_CD_DRIVES included) and DRIVENUMBER, whose
// section DRIVE_n says how the drive is read: SPEED (times real time, 0 the fastest),
// MULTIPASS=NO (paranoia matches only the edges of reads, not each read against
// another), BLOCK (sectors per read, 1 to 100), OVERLAP (sectors paranoia first searches
// for the overlap of two reads, 1 to 75), MAX_MISMATCHES (reads of a spot that keeps
// differing before it is given up) and NJF=NO (plain reads, as /NJC). A disc image is
// always read plainly.
//
// For a FLAC song the section's TITLE, ARTIST, ALBUM, TRACKNUMBER, DATE and GENRE become
// its Vorbis comments.
//
// TEXT is "WAV", "FLAC" or "MP3 rate:mode:band[:vbr]": rate in kbit/s (0: variable bit
// rate, with vbr the quality from 0, smallest, to 100, best, mapped onto LAME's V9 to V0);
// mode 100 stereo, 101 joint stereo, 102 dual channel, 103 LAME's choice, 104 mono; band
// 0 to 7 a low-pass at 11, 13, 15, 16, 17, 18, 19 or 20 kHz, 8 (or anything else) LAME's
// own. /offset is the drive's read offset in samples: positive when the drive delivers
// its audio late, which is then read that much later (what lies outside the disc reads as
// silence); /prevu rips only start:length, both in frames of 1/75 s counted from the
// start of the track.
//
// Writes section TWCD of "TWCD.log" as it goes: DONE ("started", then "ok" or "not_ok"),
// PERCENT, and at the end JITTER_ERRORS, AVERAGE_SPEED, AVERAGE_JITTER and, for the
// album's rip log, DEVICE, OFFSET (the read offset used), CRC32 (of the PCM bytes),
// ACCURATERIP_V1, ACCURATERIP_V2 and PEAK (the loudest sample, in percent of full scale),
// and how the drive was read: PARANOIA (FULL, OVERLAP or OFF), READ_SPEED (-1 when the
// drive kept its own), SECTORS_PER_READ, SEARCH_OVERLAP (0 paranoia's own) and RETRIES.
// The song is written as FILENAME.part and renamed when complete. Exit codes: 0 done, 33
// done with jitter errors, 40 to 47 failures (see "Rec_err.txt").
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <system_error>

#include "platform/CdDriveList.h"
#include "platform/CdRipper.h"
#include "platform/IniDocument.h"
#include "support/IniSettings.h"

using namespace Qt::Literals::StringLiterals;
using audiolume::platform::CdRipper;
using audiolume::platform::Mp3Settings;
using audiolume::platform::ReadOptions;
using audiolume::platform::RipProgress;
using audiolume::platform::RipRequest;

namespace {

constexpr int kBadCommandLine = 45;
constexpr int kNotConfigured = 46;
constexpr int kUnknownDrive = 47;

const QString kControl = u"TWCD.ini"_s;
const QString kLog = u"TWCD.log"_s;

// "TWCD.log", which the recorder polls: kept in memory and written whole, a few times a
// second while ripping and once with everything at the end. Keys others wrote stay.
class RipLog {
 public:
  RipLog() {
    try {
      log_ = audiolume::platform::IniDocument::Load(kLog);
    } catch (const std::system_error&) {
      // An unreadable log is written anew.
    }
  }
  void Set(const QString& key, const QString& value) { log_.SetValue(u"TWCD"_s, key, value); }
  void Write() {
    try {
      log_.Save(kLog);
    } catch (const std::system_error&) {
      // The recorder then sees no progress, and the exit code still tells the outcome.
    }
  }

 private:
  audiolume::platform::IniDocument log_;
};

bool ParseFormat(const QString& text, RipRequest& request) {
  if (text.compare(u"WAV"_s, Qt::CaseInsensitive) == 0) {
    request.format = RipRequest::Format::Wav;
    return true;
  }
  if (text.compare(u"FLAC"_s, Qt::CaseInsensitive) == 0) {
    request.format = RipRequest::Format::Flac;
    return true;
  }
  if (!text.startsWith(u"MP3 "_s, Qt::CaseInsensitive)) return false;
  const QStringList fields = text.mid(4).trimmed().split(u':');
  bool ok = false;
  request.mp3Settings.kbps = fields.value(0).toInt(&ok);
  if (!ok || request.mp3Settings.kbps < 0) return false;
  static constexpr Mp3Settings::Mode kModes[] = {
      Mp3Settings::Mode::Stereo, Mp3Settings::Mode::JointStereo, Mp3Settings::Mode::DualChannel,
      Mp3Settings::Mode::Auto, Mp3Settings::Mode::Mono};
  const int mode = fields.value(1, u"103"_s).toInt() - 100;
  request.mp3Settings.mode = mode >= 0 && mode < 5 ? kModes[mode] : Mp3Settings::Mode::Auto;
  static constexpr int kLowpass[] = {11000, 13000, 15000, 16000, 17000, 18000, 19000, 20000};
  const int band = fields.value(2, u"8"_s).toInt();
  request.mp3Settings.lowpassHz = band >= 0 && band < 8 ? kLowpass[band] : 0;
  request.mp3Settings.vbrQuality = fields.value(3, u"50"_s).toInt();
  return true;
}

// The command line into request; false when it is not one twcd takes.
bool ParseCommandLine(QStringList args, RipRequest& request) {
  bool haveTrack = false;
  bool haveFormat = false;
  while (!args.isEmpty()) {
    const QString option = args.takeFirst().toUpper();
    if (option == u"/O") continue;
    if (option == u"/NJC") {
      request.reading.checking = ReadOptions::Checking::Off;
      continue;
    }
    if (args.isEmpty()) return false;
    bool ok = true;
    if (option == u"/T") {
      request.track = args.takeFirst().toInt(&ok);
      haveTrack = ok;
    } else if (option == u"/FORMAT") {
      // The format text has a blank in it: "MP3 128:103:8".
      QString text = args.takeFirst();
      if (text.compare(u"MP3"_s, Qt::CaseInsensitive) == 0 && !args.isEmpty()) {
        text += u' ' + args.takeFirst();
      }
      haveFormat = ParseFormat(text, request);
    } else if (option == u"/OFFSET") {
      request.sampleOffset = args.takeFirst().toInt(&ok);
    } else if (option == u"/PREVU") {
      const QStringList range = args.takeFirst().split(u':');
      bool lengthOk = false;
      request.startFrame = range.value(0).toInt(&ok);
      request.lengthFrames = range.value(1).toInt(&lengthOk);
      ok = ok && lengthOk && range.size() == 2;
    } else {
      return false;
    }
    if (!ok) return false;
  }
  return haveTrack && haveFormat;
}

// How the drive was read, once it was: what it took of the drive section's settings.
void LogReading(const ReadOptions& applied, RipLog& log) {
  log.Set(u"PARANOIA"_s, applied.CheckingText());
  log.Set(u"READ_SPEED"_s, QString::number(applied.speed));
  log.Set(u"SECTORS_PER_READ"_s, QString::number(applied.sectorsPerRead));
  log.Set(u"SEARCH_OVERLAP"_s, QString::number(applied.overlap));
  log.Set(u"RETRIES"_s, QString::number(applied.retries));
}

audiolume::platform::VorbisComments CommentsOf(const QString& control) {
  const auto value = [&control](const QString& key) {
    return audiolume::ReadIniWhole(control, u"TWCD"_s, key);
  };
  return {value(u"TITLE"_s), value(u"ARTIST"_s), value(u"ALBUM"_s), value(u"TRACKNUMBER"_s).toInt(),
          value(u"DATE"_s),  value(u"GENRE"_s)};
}

QString Extension(RipRequest::Format format) {
  switch (format) {
    case RipRequest::Format::Wav: return u".wav"_s;
    case RipRequest::Format::Flac: return u".flac"_s;
    case RipRequest::Format::Mp3: break;
  }
  return u".mp3"_s;
}

QString DeviceOf(const QString& letter) {
  const auto drives =
      audiolume::platform::CdDriveList::List(qEnvironmentVariable("AUDIOLUME_CD_DRIVES"));
  for (const auto& drive : drives) {
    if (drive.letter.left(1).compare(letter.left(1), Qt::CaseInsensitive) == 0) return drive.device;
  }
  return {};
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  RipRequest request;
  const QString number = audiolume::ReadIniString(kControl, u"TWCD"_s, u"DRIVENUMBER"_s);
  request.reading = ReadOptions::FromDriveSection([&number](const QString& key) {
    return audiolume::ReadIniString(kControl, u"DRIVE_"_s + number, key);
  });
  if (!ParseCommandLine(app.arguments().mid(1), request)) {
    std::fputs(
        "usage: twcd /T n /O /format WAV|FLAC|\"MP3 rate:mode:band[:vbr]\" [/offset n] "
        "[/prevu start:length] [/NJC]\n",
        stderr);
    return kBadCommandLine;
  }
  // A path runs to 4096 bytes: read whole, never cut like the other values.
  const QString file = audiolume::ReadIniWhole(kControl, u"TWCD"_s, u"FILENAME"_s);
  const QString letter = audiolume::ReadIniString(kControl, u"TWCD"_s, u"DRIVELETTER"_s);
  if (file.isEmpty() || letter.isEmpty()) return kNotConfigured;
  request.device = DeviceOf(letter);
  if (request.device.isEmpty()) return kUnknownDrive;
  request.output = QFileInfo(file).suffix().isEmpty() ? file + Extension(request.format) : file;
  if (request.format == RipRequest::Format::Flac) request.comments = CommentsOf(kControl);

  RipLog log;
  log.Set(u"DONE"_s, u"started"_s);
  log.Write();
  int lastPercent = -1;
  QElapsedTimer sinceLog;
  sinceLog.start();
  RipProgress result;
  const int code = CdRipper::Rip(
      request,
      [&log, &lastPercent, &sinceLog](const RipProgress& progress) {
        // The recorder looks once a second; the log is rewritten safely, so not too often.
        if (progress.percent == lastPercent ||
            (sinceLog.elapsed() < 250 && progress.percent < 100)) {
          return;
        }
        sinceLog.restart();
        lastPercent = progress.percent;
        log.Set(u"PERCENT"_s, QString::number(progress.percent));
        log.Write();
      },
      result);
  log.Set(u"JITTER_ERRORS"_s, QString::number(result.jitterErrors));
  log.Set(u"AVERAGE_SPEED"_s, QString::number(result.averageSpeed, 'f', 1));
  log.Set(u"AVERAGE_JITTER"_s,
          result.averageJitter == 0 ? u"0"_s : QString::number(result.averageJitter, 'f', 2));
  // For the album's rip log: where the audio came from, and what it was.
  const auto hex = [](quint32 value) {
    return QString::number(value, 16).toUpper().rightJustified(8, u'0');
  };
  log.Set(u"DEVICE"_s, request.device);
  log.Set(u"OFFSET"_s, QString::number(request.sampleOffset));
  log.Set(u"CRC32"_s, hex(result.crc32));
  log.Set(u"ACCURATERIP_V1"_s, hex(result.accurateRipV1));
  log.Set(u"ACCURATERIP_V2"_s, hex(result.accurateRipV2));
  log.Set(u"PEAK"_s, QString::number(result.peak * 100, 'f', 1));
  if (result.applied.sectorsPerRead > 0) LogReading(result.applied, log);
  log.Set(u"DONE"_s,
          code == CdRipper::kDone || code == CdRipper::kJitterErrors ? u"ok"_s : u"not_ok"_s);
  log.Write();
  return code;
}
