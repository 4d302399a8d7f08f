#include "catalog/SongAdder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "library/SongFilePresence.h"
#include "library/SongLibrary.h"
#include "library/TrailerTag.h"
#include "platform/AudioDecoder.h"
#include "platform/FileConverter.h"
#include "platform/StandardTags.h"
#include "support/AppError.h"
#include "support/ErrorCheck.h"
#include "support/ErrorLog.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/PathNames.h"
#include "support/Prompter.h"
#include "support/Runtime.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

// Bytes per second of 44.1 kHz 16-bit stereo audio.
constexpr double kWavBytesPerSecond = 176400;

QString PlayTime(double seconds) {
  const qint64 whole = qint64(RoundHalfEven(seconds));
  return QString::number(whole / 60) + u':' + FormatNumber(double(whole % 60), u"00"_s);
}

QString NameUpToFirstDot(const QString& path) {
  const QString name = SplitPathName(path).name;
  const qsizetype dot = name.indexOf(u'.');
  return dot < 0 ? name : name.left(dot);
}

}  // namespace

SongAdder::SongAdder(SongLibrary& library, TrailerTag& trailer, SongFilePresence& presence,
                     MessageCatalog& catalog, Prompter& prompter, ErrorCheck& check,
                     QString workingDir)
    : library_(library),
      trailer_(trailer),
      presence_(presence),
      catalog_(catalog),
      prompter_(prompter),
      check_(check),
      workingDir_(std::move(workingDir)),
      replaceRecord_(catalog, prompter),
      replaceMp3_(catalog, prompter) {}

void SongAdder::SetAnswers(bool yesToAll, bool noToAll) {
  presetToAll_ = yesToAll ? ReplaceQuestion::kYesToAll : noToAll ? ReplaceQuestion::kNoToAll : 0;
}

bool SongAdder::ShouldAdd(const QString& path) {
  return library_.FindSongByFilename(path) == 0 ||
         replaceRecord_.Yes(catalog_.GetMsg(RC_HasFile) + u'\n' + path + u'\n' +
                            catalog_.GetMsg(RC_ReplaceRecord));
}

// Opens the song as the player would; a file no decoder takes is refused with a message
// and never written into. Returns its length in seconds, or nothing.
std::optional<double> SongAdder::ProbeSong(const QString& path) {
  try {
    const auto decoder = platform::OpenSongDecoder(path);
    return double(decoder->LengthFrames()) / std::max(1, decoder->Format().sampleRate);
  } catch (const platform::DecodeError&) {
    prompter_.Tell(path +
                       u"\nThis file cannot be played: it is damaged or not a song file, so it "
                       u"was not added."_s,
                   MessageIcon::Exclamation);
    return std::nullopt;
  }
}

// Returns whether the file needs a trailer written: it had none, is not on a CD, and is
// MPEG audio, the one format that carries trailing tags without harm. Other files are
// opened for reading only, so that not even a repair touches them.
bool SongAdder::ReadSongInformation(const QString& path, SongRecord& record) {
  QFile file;
  if (!TrailerTag::OpenForReading(file, path)) return false;
  ClearSongRecord(record);
  const TrailerTag::TagSource source = trailer_.ReadFileTags(file, path, record);
  if (record.Title.trimmed().isEmpty()) record.Title = NameUpToFirstDot(path);
  // Songs that take no trailer keep their notes and biography in the library row alone.
  const int row = TrailerTag::TakesTrailer(path) ? 0 : library_.FindSongByFilename(path);
  if (row > 0) {
    record.Notes = library_.SongRecords(row).Notes;
    record.Bios = library_.SongRecords(row).Bios;
  }
  return source != TrailerTag::TagSource::Trailer && TakesTrailer(path);
}

bool SongAdder::TakesTrailer(const QString& path) const {
  return TrailerTag::TakesTrailer(path) && !presence_.IsOnCdDrive(path);
}

void SongAdder::LogConversionError(int code) const {
  ErrorLog::AppendLine(workingDir_ + u"/w2mError.log"_s,
                       ErrorLog::Stamp() + u", Return Val="_s + QString::number(code));
}

// Converts the WAV file at path to an MP3 file beside it; on success path names the MP3.
int SongAdder::ConvertWav(QString& path) {
  PathParts parts = SplitPathName(path);
  if (parts.name.size() > 44) {
    // Long names are shortened first, keeping the extension.
    const NameParts name = SplitFileExtension(parts.name);
    const QString shorter = parts.folder + u'/' + name.base.left(40) + u'.' + name.extension;
    if (QFile::rename(path, shorter)) {
      path = shorter;
      parts = SplitPathName(path);
    }
  }
  const qsizetype wav = parts.name.lastIndexOf(u".wav"_s, -1, Qt::CaseInsensitive);
  const QString mp3 = parts.folder + u'/' + parts.name.left(wav + 1) + u"mp3"_s;
  // An MP3 already beside the WAV file is somebody's song with its own tags.
  if (QFileInfo::exists(mp3)) {
    const int answer = replaceMp3_.AskAboutFile(mp3);
    if (answer == ReplaceQuestion::kNo || answer == ReplaceQuestion::kNoToAll) {
      return platform::kConvertCancelledFile;
    }
  }
  QDir::setCurrent(workingDir_);
  const int code = platform::_ConvertFile(path, mp3, platform::kWavToMp3, 1, 1, 128000);
  if (code == platform::kConvertDone) {
    path = mp3;
    return 0;
  }
  if (code == platform::kConvertCancelledFile || code == platform::kConvertCancelledBatch)
    return code;
  LogConversionError(code);
  prompter_.Tell(catalog_.GetMsgWithValue(RC_WavMp3Error, QString::number(code)),
                 MessageIcon::Exclamation);
  return code + 20000;
}

QList<SongAdder::Added> SongAdder::AddSongs(const QStringList& files,
                                            const std::function<void(const QString&)>& status) {
  replaceRecord_.Reset(presetToAll_);
  replaceMp3_.Reset(presetToAll_);
  bool dontAsk = false;
  failed_ = false;
  QList<Added> added;
  for (const QString& file : files) {
    if (!presence_.CheckSongFileExists(file, dontAsk)) {
      failed_ = true;
      continue;
    }
    if (status) status(catalog_.GetMsgWithValue(RC_Adding, SplitPathName(file).name));
    if (!ShouldAdd(file)) continue;
    const auto seconds = ProbeSong(file);
    if (!seconds) {
      failed_ = true;
      continue;
    }
    SongRecord record;
    bool writeTrailer = ReadSongInformation(file, record);
    record.Filename = file;
    if (record.TrackTime.trimmed().isEmpty()) {
      // MPEG files are scanned whole: the decoder's length is an estimate for some of them.
      platform::Mp3Info info;
      const bool scanned =
          platform::IsMpegAudioName(file) && platform::_QueryMp3File(file, info) == 0;
      record.TrackTime = PlayTime(scanned ? info.durationMs / 1000.0 : *seconds);
    }
    if (HasExtension(file, u"wav"_s)) {
      if (status) status(catalog_.GetMsgWithValue(RC_Converting, SplitPathName(file).name));
      QString path = file;
      const qint64 wavBytes = QFileInfo(file).size();
      const int code = ConvertWav(path);
      if (code == platform::kConvertCancelledBatch) break;
      if (code != 0) {
        failed_ = failed_ || code != platform::kConvertCancelledFile;
        continue;
      }
      record.TrackTime = PlayTime(double(wavBytes) / kWavBytesPerSecond);
      record.Title = NameUpToFirstDot(path);
      record.Filename = path;
      writeTrailer = true;
    }
    try {
      const int row = library_.AddOrReplaceRecord(record);
      if (writeTrailer) trailer_.WriteSongTrailer(record.Filename, record, false);
      added.append({row, record.Filename});
    } catch (const AppError& error) {
      // The library is full: what was added so far is saved below.
      prompter_.Tell(error.Description() + u"\nin AddSongs.imgOK_Click"_s, MessageIcon::Critical);
      failed_ = true;
      break;
    }
  }
  library_.SaveSongData();
  if (check_.CheckError(u"in AddSongs.imgOK_Click"_s) != 0) failed_ = true;
  return added;
}

}  // namespace audiolume
