#include "catalog/SongAdder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <thread>

#include "catalog/FolderWalk.h"
#include "library/ID3Sync.h"

#include "library/SongFilePresence.h"
#include "library/SongLibrary.h"
#include "library/TrailerTag.h"
#include "platform/AudioDecoder.h"
#include "platform/FileConverter.h"
#include "platform/SongFormat.h"
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

// Trailers written with one pair of syncs: enough songs that the syncs cost little each,
// few enough that a cancelled run ends at once.
constexpr qsizetype kSongsPerSync = 200;

// Songs admitted and added with one call each on the library's thread: few enough that
// the window stays answering, enough that the hand-overs cost little.
constexpr qsizetype kSongsPerRound = 50;

// Bytes per second of 44.1 kHz 16-bit stereo audio.
constexpr double kWavBytesPerSecond = 176400;

QString PlayTimeText(double seconds) {
  const qint64 whole = qint64(RoundHalfEven(seconds));
  return QString::number(whole / 60) + u':' + FormatNumber(double(whole % 60), u"00"_s);
}

QString NameUpToFirstDot(const QString& path) {
  const QString name = SplitPathName(path).name;
  const qsizetype dot = name.indexOf(u'.');
  return dot < 0 ? name : name.left(dot);
}

// A button naming a tag's text: "&" would mark an access key and "|" end the caption.
QString UseButton(const QString& text) {
  QString caption = text;
  return u"Use \""_s + caption.replace(u'&', u"&&"_s).replace(u'|', u'/') + u'"';
}

}  // namespace

QString SongAdder::Counted(qsizetype count, const QString& one, const QString& many) {
  return QLocale(QLocale::English).toString(count) + u' ' + (count == 1 ? one : many);
}

QString SongAdder::Report::Summary() const {
  QString text = Counted(added.size(), u"song added"_s, u"songs added"_s);
  if (otherFiles > 0)
    text += u", "_s + Counted(otherFiles, u"other file skipped"_s, u"other files skipped"_s);
  return text;
}

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
      owner_([](const std::function<void()>& work) { work(); }),
      replaceRecord_(catalog, prompter),
      replaceMp3_(catalog, prompter) {}

SongAdder::SongAdder(const SongAdder& other, TrailerTag& trailer, Prompter& prompter,
                     OwnerCall owner)
    : library_(other.library_),
      trailer_(trailer),
      presence_(other.presence_),
      catalog_(other.catalog_),
      prompter_(prompter),
      check_(other.check_),
      workingDir_(other.workingDir_),
      owner_(std::move(owner)),
      presetToAll_(other.presetToAll_),
      replaceRecord_(other.catalog_, prompter),
      replaceMp3_(other.catalog_, prompter) {}

void SongAdder::OnOwner(const std::function<void()>& work) const {
  owner_(work);
}

void SongAdder::SetAnswers(bool yesToAll, bool noToAll) {
  presetToAll_ = yesToAll ? ReplaceQuestion::kYesToAll : noToAll ? ReplaceQuestion::kNoToAll : 0;
}

bool SongAdder::ShouldReplace(const QString& path) {
  return replaceRecord_.Yes(catalog_.GetMsg(RC_HasFile) + u'\n' + path + u'\n' +
                            catalog_.GetMsg(RC_ReplaceRecord));
}

// Opens the song as the player would: a file no decoder takes is never written into.
// Returns its length in seconds, or nothing; exact tells whether the decoder knew it
// exactly.
std::optional<double> SongAdder::ProbeSong(const QString& path, platform::SongFormat format,
                                           bool& exact) {
  try {
    const auto decoder = platform::OpenSongDecoderAs(path, format);
    exact = decoder->LengthExact();
    return double(decoder->LengthFrames()) / std::max(1, decoder->Format().sampleRate);
  } catch (const platform::DecodeError&) {
    return std::nullopt;
  }
}

// Returns whether the file needs a trailer written: it had none, is not on a CD, and is
// MPEG audio, the one format that carries trailing tags without harm. Other files are
// opened for reading only, so that not even a repair touches them.
bool SongAdder::ReadSongInformation(const QString& path, SongRecord& record) {
  const platform::SongFormat format = platform::SongFormatOf(path);
  RowNotes rowNotes;
  OnOwner([&] {
    // Songs that take no trailer keep their notes and biography in the library row alone.
    if (!TrailerTag::TakesTrailer(path, format)) {
      if (const int row = library_.FindSongByFilename(path); row > 0) rowNotes = NotesOfRow(row);
    }
    cdMountPoints_ = presence_.CdMountPoints();
  });
  return ReadInformation(trailer_, path, format, rowNotes, record);
}

bool SongAdder::ReadInformation(TrailerTag& reader, const QString& path,
                                platform::SongFormat format, const RowNotes& rowNotes,
                                SongRecord& record) const {
  QFile file;
  if (!TrailerTag::OpenForReading(file, path, format)) return false;
  ClearSongRecord(record);
  const TrailerTag::TagSource source = reader.ReadFileTags(file, path, record);
  if (record.Title.trimmed().isEmpty()) record.Title = NameUpToFirstDot(path);
  if (rowNotes) std::tie(record.Notes, record.Bios) = *rowNotes;
  return source != TrailerTag::TagSource::Trailer && TakesTrailer(path, format);
}

SongAdder::RowNotes SongAdder::NotesOfRow(int row) const {
  return std::pair{library_.SongRecords(row).Notes, library_.SongRecords(row).Bios};
}

bool SongAdder::TakesTrailer(const QString& path) const {
  return TrailerTag::TakesTrailer(path) && !presence_.IsOnCdDrive(path);
}

bool SongAdder::TakesTrailer(const QString& path, platform::SongFormat format) const {
  return TrailerTag::TakesTrailer(path, format) &&
         !SongFilePresence::LiesUnder(path, cdMountPoints_);
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
  return AddPaths(files, true,
                  [&status](const Progress& progress) {
                    if (status && !progress.text.isEmpty()) status(progress.text);
                  })
      .added;
}

SongAdder::Report SongAdder::AddPaths(const QStringList& paths, bool subFolders,
                                      const ProgressFunction& progress) {
  FolderWalk walk(
      subFolders,
      [&progress](const QString& folder) {
        if (progress) progress({0, 0, folder, {}});
      },
      cancel_);
  const QList<FolderWalk::Found> found = walk.Walk(paths);
  return AddFound(found, walk.OtherFiles(), progress);
}

SongAdder::Report SongAdder::AddFound(const QList<FolderWalk::Found>& found, int otherFiles,
                                      const ProgressFunction& progress) {
  replaceRecord_.Reset(presetToAll_);
  replaceMp3_.Reset(presetToAll_);
  tagAnswerToAll_ = 0;
  failed_ = false;
  progress_ = progress;
  OnOwner([this] { cdMountPoints_ = presence_.CdMountPoints(); });
  Report report;
  report.otherFiles = otherFiles;
  bool dontAsk = false;
  // Each file is written once in a run: its trailer may wait for the others'.
  trailer_.BatchWrites(true);
  qsizetype unsynced = 0;
  for (qsizetype first = 0; first < found.size() && !Cancelled(); first += kSongsPerRound) {
    const QList<FolderWalk::Found> round = found.mid(first, kSongsPerRound);
    const Step step = AddRound(round, first, found.size(), dontAsk, report);
    if ((unsynced += round.size()) >= kSongsPerSync) {
      trailer_.CommitWrites();
      unsynced = 0;
    }
    if (step == Step::Stop) break;
  }
  trailer_.BatchWrites(false);
  Tell({int(found.size()), int(found.size()), {}, {}});
  progress_ = {};
  OnOwner([this] {
    library_.SaveSongData();
    if (check_.CheckError(u"in AddSongs.imgOK_Click"_s) != 0) failed_ = true;
  });
  return report;
}

void SongAdder::Tell(const Progress& progress) const {
  if (progress_) progress_(progress);
}

// A round of songs: one call on the library's thread admits them, they are read (on two
// threads when there is a second reader) and settled here, one more call adds them all,
// and their trailers are written.
SongAdder::Step SongAdder::AddRound(const QList<FolderWalk::Found>& round, qsizetype done,
                                    qsizetype total, bool& dontAsk, Report& report) {
  const QList<Admission> admitted = Admit(round, dontAsk);
  // The songs admitted before a cancel are added; one while they are read stops there.
  const bool cancelledBefore = Cancelled();
  const auto stop = [this, cancelledBefore] { return Cancelled() && !cancelledBefore; };
  std::vector<std::optional<Reading>> read(std::size_t(admitted.size()));
  const auto readEvery = [&](TrailerTag& reader, qsizetype first, qsizetype step) {
    for (qsizetype i = first; i < admitted.size() && !stop(); i += step) {
      if (admitted[i].add) read[std::size_t(i)] = ReadSong(admitted[i], reader);
    }
  };
  if (secondReader_) {
    std::jthread other([&] { readEvery(*secondReader_, 1, 2); });
    readEvery(trailer_, 0, 2);
  } else {
    readEvery(trailer_, 0, 1);
  }
  std::vector<Reading> readings;
  Step step = Step::Next;
  for (qsizetype i = 0; i < admitted.size() && step == Step::Next && !stop(); ++i) {
    const PathParts parts = SplitPathName(admitted[i].path);
    Tell(
        {int(done + i), int(total), parts.folder, catalog_.GetMsgWithValue(RC_Adding, parts.name)});
    if (admitted[i].add) step = Settle(admitted[i], read[std::size_t(i)], readings, report);
  }
  return TakeIn(readings, report) == Step::Stop ? Step::Stop : step;
}

// Missing files are asked about, and songs already in the library may be replaced: on the
// library's thread, where the questions come; the files were looked for before.
QList<SongAdder::Admission> SongAdder::Admit(const QList<FolderWalk::Found>& round, bool& dontAsk) {
  QList<Admission> admitted;
  QStringList paths;
  std::vector<bool> there;
  for (const FolderWalk::Found& song : round) {
    admitted.append({song.path, song.inFolder, false, std::nullopt});
    paths.append(song.path);
    there.push_back(!song.path.contains(QChar::ReplacementCharacter) &&
                    QFileInfo::exists(song.path));
  }
  OnOwner([&] {
    for (std::size_t i = 0; i < there.size() && !Cancelled(); ++i) {
      there[i] = there[i] || presence_.CheckSongFileExists(paths[qsizetype(i)], dontAsk);
      failed_ = failed_ || !there[i];
    }
    // The rows as they are before any question, which lets the window's events run.
    const std::vector<int> rows = library_.FindSongsByFilename(paths);
    for (qsizetype i = 0; i < admitted.size(); ++i) {
      if (rows[std::size_t(i)] > 0) admitted[i].rowNotes = NotesOfRow(rows[std::size_t(i)]);
    }
    for (qsizetype i = 0; i < admitted.size() && !Cancelled(); ++i) {
      admitted[i].add =
          there[std::size_t(i)] && (rows[std::size_t(i)] == 0 || ShouldReplace(paths[i]));
    }
  });
  return admitted;
}

// What the song's file holds, read with reader's working copies; nothing for a file that
// no decoder takes. Asks nothing and touches no shared state: any thread.
std::optional<SongAdder::Reading> SongAdder::ReadSong(const Admission& song,
                                                      TrailerTag& reader) const {
  const QString& file = song.path;
  // By content: an M4A named ".mp3" is neither scanned as MPEG audio nor converted as WAV.
  const platform::SongFormat format = platform::SongFormatOf(file);
  bool exact = true;
  const auto seconds = ProbeSong(file, format, exact);
  if (!seconds) return std::nullopt;
  Reading reading;
  reading.format = format;
  SongRecord& record = reading.record;
  const RowNotes rowNotes = TrailerTag::TakesTrailer(file, format) ? std::nullopt : song.rowNotes;
  reading.writeTrailer = ReadInformation(reader, file, format, rowNotes, record);
  reading.hadTrailer = reader.LastScan().found;
  record.Filename = file;
  if (record.TrackTime.trimmed().isEmpty()) {
    // An MPEG stream without a frame count is scanned whole: its length was an estimate.
    platform::Mp3Info info;
    const bool scanned =
        !exact && format == platform::SongFormat::Mpeg && platform::_QueryMp3File(file, info) == 0;
    record.TrackTime = PlayTimeText(scanned ? info.durationMs / 1000.0 : *seconds);
  }
  reading.id3 = reader.WorkingID3();
  return reading;
}

// Settles what the user must decide about a song read: a file that is no song, a trailer
// that disagrees with its tag, a WAV file that becomes an MP3.
SongAdder::Step SongAdder::Settle(const Admission& song, std::optional<Reading>& read,
                                  std::vector<Reading>& readings, Report& report) {
  const QString& file = song.path;
  if (!read) {
    // A file found in a folder that is no song is only counted; a named one is refused.
    if (song.inFolder) {
      ++report.otherFiles;
      return Step::Next;
    }
    failed_ = true;
    prompter_.Tell(file +
                       u"\nThis file cannot be played: it is damaged or not a song file, so it "
                       u"was not added."_s,
                   MessageIcon::Exclamation);
    return Step::Next;
  }
  Reading& reading = *read;
  SongRecord& record = reading.record;
  trailer_.SetWorkingID3(reading.id3);
  if (reading.hadTrailer && TakesTrailer(file, reading.format)) {
    trailer_.Sync().Complete(record);
    reading.writeTrailer = AskAboutDifference(record) != 0;
  }
  if (HasExtension(file, u"wav"_s) && !platform::IsFfmpegOnlyFormat(reading.format)) {
    Tell({0, 0, {}, catalog_.GetMsgWithValue(RC_Converting, SplitPathName(file).name)});
    QString path = file;
    const qint64 wavBytes = QFileInfo(file).size();
    const int code = ConvertWav(path);
    if (code == platform::kConvertCancelledBatch) return Step::Stop;
    if (code != 0) {
      failed_ = failed_ || code != platform::kConvertCancelledFile;
      return Step::Next;
    }
    record.TrackTime = PlayTimeText(double(wavBytes) / kWavBytesPerSecond);
    record.Title = NameUpToFirstDot(path);
    record.Filename = path;
    reading.writeTrailer = true;
  }
  reading.id3 = trailer_.WorkingID3();
  readings.push_back(std::move(reading));
  return Step::Next;
}

// The library takes the round's songs in one call on its thread; then their trailers are
// written. A full library stops the run: what was added so far is saved at its end.
SongAdder::Step SongAdder::TakeIn(std::vector<Reading>& readings, Report& report) {
  std::vector<int> rows;
  QString refusal;
  QStringList paths;
  for (const Reading& reading : readings) paths.append(reading.record.Filename);
  OnOwner([&] {
    std::vector<int> known = library_.FindSongsByFilename(paths);
    QHash<QString, int> appended;  // a song named twice in one round has one row
    try {
      for (std::size_t i = 0; i < readings.size(); ++i) {
        const int row = known[i] > 0 ? known[i] : appended.value(paths[qsizetype(i)]);
        rows.push_back(library_.AddOrReplaceRecord(readings[i].record, row));
        appended.insert(paths[qsizetype(i)], rows.back());
      }
    } catch (const AppError& error) {
      refusal = error.Description();
    }
  });
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (readings[i].writeTrailer) WriteTrailer(readings[i]);
    report.added.append({rows[i], readings[i].record.Filename});
  }
  if (refusal.isEmpty()) return Step::Next;
  prompter_.Tell(refusal + u"\nin AddSongs.imgOK_Click"_s, MessageIcon::Critical);
  failed_ = true;
  return Step::Stop;
}

// The trailer is written with the ID3 tag as it stood after the song was read: a song
// without a trailer had its record made from its tags, and the ID3 tag takes the record's
// texts without a question.
void SongAdder::WriteTrailer(Reading& reading) {
  trailer_.SetWorkingID3(reading.id3);
  ID3Sync& sync = trailer_.Sync();
  if (!reading.hadTrailer) {
    sync.Complete(reading.record);
    sync.Resolve(reading.record, 1);
  }
  trailer_.WriteSongTrailer(reading.record.Filename, reading.record, true);
}

// A trailer that disagrees with the ID3 tag behind it: the buttons name what each holds,
// and an answer for all holds for the rest of the run. Returns 1 when the trailer's texts
// won, 2 when the tag's did, 0 when nothing is to change.
int SongAdder::AskAboutDifference(SongRecord& record) {
  ID3Sync& sync = trailer_.Sync();
  const QList<ID3Sync::Difference> differences = sync.Differences(record);
  if (differences.isEmpty()) return 0;
  int answer = tagAnswerToAll_;
  if (answer == 0) {
    const QString buttons = UseButton(differences[0].ours) + u'|' +
                            UseButton(differences[0].theirs) +
                            u"|Use Tunewright Tags for All|Use ID3 Tags for All|Leave Both"_s;
    answer = prompter_.Ask(sync.DifferenceText(differences), buttons, MessageIcon::Question);
    if (answer == 3 || answer == 4) tagAnswerToAll_ = answer -= 2;
    if (answer > 2) answer = 0;
  }
  sync.Resolve(record, answer);
  return answer;
}

}  // namespace audiolume
