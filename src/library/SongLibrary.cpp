#include "library/SongLibrary.h"

#include <QHash>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "library/DatabaseLock.h"
#include "library/DiskMerge.h"
#include "library/RecordCodec.h"
#include "library/TrailerTag.h"
#include "platform/CodePage.h"
#include "platform/FileNames.h"
#include "platform/FileOps.h"
#include "support/AppError.h"
#include "support/AppVersion.h"
#include "support/CurrentError.h"
#include "support/ErrorCheck.h"
#include "support/Runtime.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr qsizetype kVersionBytes = 10;
constexpr char kLegacySeparator = '\xFF';

QByteArray VersionHeader() {
  return platform::EncodeText(kAppVersion).leftJustified(kVersionBytes, ' ', true);
}

// Reads the numbers of a "12-31-99" or "10:11:12" text; blanks are ignored.
QList<int> Numbers(QStringView text, char16_t separator) {
  QList<int> numbers{0};
  for (const QChar c : text) {
    if (c == separator) {
      numbers.append(0);
    } else if (c.isDigit()) {
      if (numbers.last() > 99999) return {};  // no date or time has such a number
      numbers.last() = numbers.last() * 10 + c.digitValue();
    } else if (c != u' ') {
      return {};
    }
  }
  return numbers;
}

QDate ParseMonthDayYear(QStringView text) {
  const QList<int> parts = Numbers(text, u'-');
  if (parts.size() != 3) return {};
  int year = parts[2];
  // A two-digit year is the one nearest today within a window of 80 years back and 20
  // ahead, so that the column reads the same in 2031 as it did in 1999.
  if (year < 100) {
    const int thisYear = QDate::currentDate().year();
    year += thisYear - thisYear % 100;
    if (year > thisYear + 20) year -= 100;
    if (year <= thisYear - 80) year += 100;
  }
  return QDate(year, parts[0], parts[1]);
}

QTime ParseTime(QStringView text) {
  const QList<int> parts = Numbers(text, u':');
  if (parts.size() < 2 || parts.size() > 3) return QTime(0, 0);
  const QTime time(parts[0], parts[1], parts.size() == 3 ? parts[2] : 0);
  return time.isValid() ? time : QTime(0, 0);
}

qint32 PlayCount(const QString& text) {
  const double count = std::trunc(Val(text));
  constexpr double kMax = std::numeric_limits<qint32>::max();
  return static_cast<qint32>(std::clamp(count, -kMax, kMax));
}

// Columns 0 to 8 are stored without surrounding blanks, whether edited or not; a text
// that has none is kept as it is, without a copy.
void TrimStoredTexts(SongRecord& r) {
  for (QString* field : {&r.Title, &r.Album, &r.Artist, &r.Genre, &r.Tempo, &r.Mood, &r.Situation,
                         &r.Preference, &r.TrackTime}) {
    if (!field->isEmpty() && (field->front().isSpace() || field->back().isSpace())) {
      *field = field->trimmed();
    }
  }
}

// A path the system's Windows ancestor stored: a drive letter and a colon, or backslashes.
bool IsWindowsPath(QStringView path) {
  return (path.size() >= 2 && path[1] == u':' && path[0].isLetter()) || path.contains(u'\\');
}

// Reads a database file's records, handing each to append, which stores it and returns
// the stored record: the next record shares its texts (RecordCodec::ReadRecord). Throws
// AppError at a record cut short; the records before it are stored.
template <typename Append>
void ReadRecords(QByteArrayView bytes, Append append) {
  ByteReader in(bytes);
  const QString version = platform::DecodeText(in.Bytes(kVersionBytes));
  const bool full = RecordCodec::IsFullLayout(version);
  static const SongRecord kNoRecord;
  const SongRecord* previous = &kNoRecord;
  while (!in.AtEnd()) {
    previous =
        &append(full ? RecordCodec::ReadRecord(in, *previous) : RecordCodec::ReadLegacyRecord(in));
  }
}

// The records of a database file as stored, for a merge; complete is false when the file
// is damaged after its last whole record.
struct StoredRecords {
  std::vector<SongRecord> records;
  bool complete = true;

  explicit StoredRecords(QByteArrayView bytes) {
    if (bytes.isEmpty()) return;  // no file
    try {
      ReadRecords(bytes, [this](SongRecord&& record) -> const SongRecord& {
        return records.emplace_back(std::move(record));
      });
    } catch (const AppError&) {
      complete = false;
    }
  }

  DiskMerge::Records Pointers() const {
    DiskMerge::Records pointers;
    pointers.reserve(records.size());
    for (const SongRecord& record : records) pointers.push_back(&record);
    return pointers;
  }
};

}  // namespace

SongLibrary::SongLibrary(QString workingDir, CurrentError& error, ErrorCheck& check)
    : workingDir_(std::move(workingDir)), error_(error), check_(check) {}

QString SongLibrary::File(const QString& name) const {
  return platform::FileInFolder(workingDir_, name);
}

QString SongLibrary::FormatLastPlayed(double lastPlayed) {
  if (lastPlayed == 0) return {};
  const QDate date = OleDay(lastPlayed);
  if (!date.isValid()) return {};
  const QTime time = OleTimeOfDay(lastPlayed);
  char text[32];
  std::snprintf(text, sizeof text, "%02d-%02d-%02d/ %02d:%02d:%02d", date.month(), date.day(),
                date.year() % 100, time.hour(), time.minute(), time.second());
  return QString::fromLatin1(text);
}

std::optional<double> SongLibrary::ParseLastPlayed(const QString& text) {
  const qsizetype slash = text.indexOf(u'/');
  if (slash < 0) return std::nullopt;
  const QDate date = ParseMonthDayYear(QStringView(text).left(slash));
  if (!date.isValid()) return std::nullopt;
  return ToOleDate(date, ParseTime(QStringView(text).mid(slash + 1)));
}

SongLibrary::TextColumns& SongLibrary::Texts(const Row& row) {
  if (row.text) return *row.text;
  const SongRecord& r = row.record;
  row.text = std::make_unique<TextColumns>();
  TextColumns& text = *row.text;
  const QString* fields[] = {&r.Title, &r.Album, &r.Artist,    &r.Genre,
                             &r.Tempo, &r.Mood,  &r.Situation, &r.Preference};
  for (int column = 0; column < 8; ++column) text[column] = fields[column]->trimmed();
  text[8] = r.TrackTime;
  text[kLastPlayedColumn] = FormatLastPlayed(r.LastPlayed);
  text[kPlayFreqColumn] = QString::number(r.PlayFreq);
  text[kFilenameColumn] = r.Filename.trimmed();
  return text;
}

// A row whose columns were never made still has its record as it was.
void SongLibrary::FillRecordFromText(Row& row) {
  if (!row.text) return;
  const TextColumns& text = *row.text;
  SongRecord& r = row.record;
  QString* fields[] = {&r.Title, &r.Album,     &r.Artist,     &r.Genre,    &r.Tempo,
                       &r.Mood,  &r.Situation, &r.Preference, &r.TrackTime};
  for (int column = 0; column < 9; ++column) *fields[column] = text[column];
  // The text loading made stands for the record's own date, whatever century it names.
  const QString& played = text[kLastPlayedColumn];
  if (played != FormatLastPlayed(r.LastPlayed)) {
    if (const auto date = ParseLastPlayed(played)) r.LastPlayed = *date;
  }
  r.PlayFreq = PlayCount(text[kPlayFreqColumn]);
  r.Filename = text[kFilenameColumn];
}

int SongLibrary::AppendRow(SongRecord record) {
  if (SongCount() >= kMaxSongs) throw AppError(kErrOverflow);
  rows_.emplace_back(std::move(record));
  order_.push_back(static_cast<qint16>(SongCount()));
  mark_.push_back(0);
  return SongCount();
}

void SongLibrary::Clear() {
  rows_.clear();
  order_.clear();
  mark_.clear();
}

void SongLibrary::LoadSongData() {
  // The old rows are freed once the new ones are read: freed first, they would have the
  // allocator tidy hundreds of thousands of small blocks in the middle of the load.
  const std::vector<Row> old = std::exchange(rows_, {});
  Clear();
  stored_.clear();
  stamp_ = {};
  playsUnsaved_ = false;
  const QString path = DatabasePath();
  if (!QFileInfo::exists(path)) {
    ImportLegacyText();
    loaded_ = true;
    return;
  }
  error_.Trap([&] {
    // Dated before it is read: a save by another program in between counts as a change.
    const DiskStamp stamp = StampOf(path);
    const QByteArray bytes = platform::FileOps::ReadFile(path);
    stored_ = bytes;
    stamp_ = stamp;
    try {
      ReadDatabase(bytes);
    } catch (const AppError& error) {
      throw AppError(error.Number(), path);  // name the damaged file in the report
    }
  });
  check_.CheckError(u"in PlayList.LoadSongData"_s);
  loaded_ = true;
}

// A record cut short is dropped whole; the rows before it stay.
void SongLibrary::ReadDatabase(QByteArrayView bytes) {
  rows_.reserve(static_cast<std::size_t>(std::min<qsizetype>(bytes.size() / 256, kMaxSongs)));
  order_.reserve(rows_.capacity());
  mark_.reserve(rows_.capacity());
  ReadRecords(bytes, [this](SongRecord&& record) -> const SongRecord& {
    return rows_[Index(AppendRow(std::move(record)))].record;
  });
}

SongLibrary::DiskStamp SongLibrary::StampOf(const QString& path) {
  const std::filesystem::path file(QFile::encodeName(path).toStdString());
  std::error_code failed;
  DiskStamp stamp;
  stamp.time = std::filesystem::last_write_time(file, failed);
  if (!failed) stamp.size = std::filesystem::file_size(file, failed);
  stamp.exists = !failed;
  return stamp.exists ? stamp : DiskStamp();
}

std::vector<const SongRecord*> SongLibrary::CurrentRecords() {
  std::vector<const SongRecord*> records;
  records.reserve(rows_.size());
  for (Row& row : rows_) {
    FillRecordFromText(row);
    records.push_back(&row.record);
  }
  return records;
}

// Throws when the database cannot be read now or its new rows would not fit; the library
// is then as it was.
bool SongLibrary::TakeIn() {
  const QString path = DatabasePath();
  const DiskStamp now = StampOf(path);
  // A database that went missing is not an emptied library: the rows here are written
  // back by the save.
  if (now == stamp_ || !now.exists) return false;
  const QByteArray disk = platform::FileOps::ReadFile(path);
  DiskMerge::Result merge;
  if (disk != stored_) {
    const StoredRecords there(disk);
    merge = DiskMerge::Merge(StoredRecords(stored_).Pointers(), CurrentRecords(), there.Pointers(),
                             there.complete);
  }
  if (SongCount() - qsizetype(merge.removed.size()) + qsizetype(merge.added.size()) > kMaxSongs) {
    throw AppError(kErrOverflow, path);
  }
  stored_ = disk;
  stamp_ = now;
  if (merge.Empty()) return false;
  for (auto& [index, record] : merge.changed) {
    Row& row = rows_[index];
    row.record = std::move(record);
    row.text.reset();  // made again from the new record
  }
  for (auto index = merge.removed.rbegin(); index != merge.removed.rend(); ++index) {
    RemoveTakenRow(int(*index) + 1);
  }
  for (SongRecord& record : merge.added) AppendRow(std::move(record));
  if (listener_.rowsTakenIn) listener_.rowsTakenIn();
  return true;
}

// The display order loses the row's position and names the later rows by their new
// numbers; the selection marks, which belong to rows, go with them.
void SongLibrary::RemoveTakenRow(int row) {
  if (listener_.rowRemoving) listener_.rowRemoving(row);
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(Index(row)));
  mark_.erase(mark_.begin() + static_cast<std::ptrdiff_t>(Index(row)));
  auto position = std::find(order_.begin(), order_.end(), row);
  if (position == order_.end()) position = order_.end() - 1;
  order_.erase(position);
  for (qint16& entry : order_) {
    if (entry > row) --entry;
  }
}

bool SongLibrary::TakeInDiskChanges() {
  bool changed = false;
  // A database that cannot be read now is reported by the save that needs it.
  if (!error_.Trap([&] { changed = TakeIn(); })) check_.CheckError({});
  return changed;
}

bool SongLibrary::WriteDatabase(const QByteArray& bytes) {
  const QString temporary = File(u"TWPL.tmp"_s);
  if (!error_.Trap([&] { platform::FileOps::WriteFile(temporary, bytes); })) return false;
  const bool replaced = error_.Trap([&] {
    if (QFileInfo::exists(DatabasePath())) {
      platform::FileOps::KeepCopy(DatabasePath(), File(u"TWPL.MD9"_s));
    }
    platform::FileOps::MoveFile(temporary, DatabasePath());
  });
  if (!replaced) return false;
  stored_ = bytes;
  stamp_ = StampOf(DatabasePath());
  return true;
}

bool SongLibrary::LockAndTakeIn(std::optional<DatabaseLock>& lock) {
  return error_.Trap([&] {
    lock.emplace(workingDir_);
    TakeIn();
  });
}

bool SongLibrary::SaveSongData() {
  std::optional<DatabaseLock> lock;
  if (!LockAndTakeIn(lock)) return false;
  QByteArray out = VersionHeader();
  out.reserve(SongCount() * 320);
  for (Row& row : rows_) {
    FillRecordFromText(row);
    // Notes, biographies and lyrics of songs with a trailer live in the files alone; other
    // formats keep their notes and biography in the library. Whether a file takes the
    // trailer is told by its content, so it is asked only of rows that hold such texts.
    const SongRecord& r = row.record;
    const bool holdsTexts = !r.Lyrics.isEmpty() || !r.Notes.isEmpty() || !r.Bios.isEmpty();
    if (holdsTexts && TrailerTag::TakesTrailer(r.Filename)) {
      row.record.Lyrics.clear();
      row.record.Notes.clear();
      row.record.Bios.clear();
    }
    TrimStoredTexts(row.record);
    RecordCodec::AppendRecord(out, row.record);
  }
  if (!WriteDatabase(out)) return false;
  modified_ = false;
  playsUnsaved_ = false;
  return true;
}

bool SongLibrary::SavePlayCounts() {
  if (!playsUnsaved_) return true;
  std::optional<DatabaseLock> lock;
  if (!LockAndTakeIn(lock)) return false;
  // Songs never saved carry their plays into the save that stores them.
  if (stored_.isEmpty()) return true;
  StoredRecords stored(stored_);
  const std::vector<const SongRecord*> here = CurrentRecords();
  const std::vector<std::ptrdiff_t> partners = DiskMerge::Pair(stored.Pointers(), here);
  QByteArray out = VersionHeader();
  out.reserve(stored_.size());
  for (std::size_t i = 0; i < stored.records.size(); ++i) {
    SongRecord& record = stored.records[i];
    if (partners[i] >= 0) {
      const SongRecord& played = *here[std::size_t(partners[i])];
      record.PlayFreq = played.PlayFreq;
      record.LastPlayed = played.LastPlayed;
    }
    RecordCodec::AppendRecord(out, record);
  }
  if (!WriteDatabase(out)) return false;
  playsUnsaved_ = false;
  return true;
}

void SongLibrary::ImportLegacyText() {
  const QString path = File(u"VeltoDj.dat"_s);
  if (!QFileInfo::exists(path)) return;
  modified_ = false;
  error_.Trap([&] {
    const QByteArray bytes = platform::FileOps::ReadFile(path);
    for (QByteArray line : bytes.split('\n')) {
      if (line.endsWith('\r')) line.chop(1);
      if (!line.contains(kLegacySeparator)) continue;
      const QList<QByteArray> pieces = line.split(kLegacySeparator);
      Row row{{}, std::make_unique<TextColumns>()};
      for (int column = 0; column < kTextColumns && column < pieces.size(); ++column) {
        (*row.text)[column] = platform::DecodeText(pieces[column]);
      }
      FillRecordFromText(row);
      if (!ParseLastPlayed((*row.text)[kLastPlayedColumn])) {
        row.record.LastPlayed = ToOleDate(QDateTime::currentDateTime());
      }
      const int added = AppendRow(std::move(row.record));
      rows_[Index(added)].text = std::move(row.text);
    }
  });
  check_.CheckError(u"in PlayList.LoadSongData"_s);
  SaveSongData();
  check_.CheckError(u"in PlayList.SaveSongData"_s);
}

PlayListEntry SongLibrary::PlayListEntryOf(int row) const {
  return {SongText(row, kFilenameColumn), SongText(row, 0), SongText(row, 2), {}};
}

int SongLibrary::FindSongByFilename(const QString& path) const {
  int windowsRow = 0;
  int windowsMatches = 0;
  // Only a Windows path equals one without regard to case: a drive colon and "\" stay as
  // they are in every case, so other paths need no slower comparison.
  const bool mayMatchWindowsPath = IsWindowsPath(path);
  // The text column is the working copy; a row added by AddSongRow has no record yet.
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const Row& row = rows_[i];
    const QStringView name = row.text ? QStringView((*row.text)[kFilenameColumn])
                                      : QStringView(row.record.Filename).trimmed();
    if (name == path) return static_cast<int>(i) + 1;
    // Windows ignored the case of names; Linux tells Song.mp3 from song.mp3.
    if (mayMatchWindowsPath && name.size() == path.size() && IsWindowsPath(name) &&
        name.compare(path, Qt::CaseInsensitive) == 0) {
      windowsRow = static_cast<int>(i) + 1;
      ++windowsMatches;
    }
  }
  return windowsMatches == 1 ? windowsRow : 0;
}

int SongLibrary::GetSongRecord(const QString& path, SongRecord& record) const {
  const int row = FindSongByFilename(path);
  if (row == 0) return 1;
  record = SongRecords(row);
  return 0;
}

int SongLibrary::AddSongRow(const QString& title, const QString& album, const QString& artist,
                            const QString& playTime, const QString& filename) {
  const int row = AppendRow(SongRecord());
  QString* columns[] = {&SongText(row, 0), &SongText(row, 1), &SongText(row, 2), &SongText(row, 8),
                        &SongText(row, kFilenameColumn)};
  const QString values[] = {title, album, artist, playTime, filename};
  for (int i = 0; i < 5; ++i) *columns[i] = values[i];
  SongText(row, kLastPlayedColumn).clear();  // the record's zero date is kept on save
  modified_ = true;
  return row;
}

SongRecord SongLibrary::RecordAsSaved(int row) const {
  const Row& stored = rows_.at(Index(row));
  Row copy{stored.record, nullptr};
  if (stored.text) copy.text = std::make_unique<TextColumns>(*stored.text);
  FillRecordFromText(copy);
  return copy.record;
}

std::vector<int> SongLibrary::FindSongsByFilename(const QStringList& paths) const {
  // Each path's first exact match, else its one Windows match without regard to case.
  std::vector<int> exact(std::size_t(paths.size()), 0);
  std::vector<int> windowsRow(exact.size(), 0);
  std::vector<int> windowsMatches(exact.size(), 0);
  QMultiHash<QStringView, std::size_t> wanted;
  QMultiHash<QString, std::size_t> wantedFolded;
  for (std::size_t i = 0; i < exact.size(); ++i) {
    const QString& path = paths[qsizetype(i)];
    wanted.insert(path, i);
    if (IsWindowsPath(path)) wantedFolded.insert(path.toCaseFolded(), i);
  }
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const Row& row = rows_[i];
    const QStringView name = row.text ? QStringView((*row.text)[kFilenameColumn])
                                      : QStringView(row.record.Filename).trimmed();
    const int number = static_cast<int>(i) + 1;
    for (auto it = wanted.find(name); it != wanted.end() && it.key() == name; ++it) {
      if (exact[it.value()] == 0) exact[it.value()] = number;
    }
    if (wantedFolded.isEmpty() || !IsWindowsPath(name)) continue;
    const QString folded = name.toString().toCaseFolded();
    for (auto it = wantedFolded.find(folded); it != wantedFolded.end() && it.key() == folded;
         ++it) {
      windowsRow[it.value()] = number;
      ++windowsMatches[it.value()];
    }
  }
  for (std::size_t i = 0; i < exact.size(); ++i) {
    if (exact[i] == 0 && windowsMatches[i] == 1) exact[i] = windowsRow[i];
  }
  return exact;
}

int SongLibrary::AddOrReplaceRecord(const SongRecord& record) {
  return AddOrReplaceRecord(record, FindSongByFilename(record.Filename));
}

int SongLibrary::AddOrReplaceRecord(const SongRecord& record, int row) {
  if (row == 0) {
    row = AppendRow(record);
  } else {
    Row& existing = rows_[Index(row)];
    existing.record = record;
    existing.text.reset();  // made again from the new record
  }
  modified_ = true;
  return row;
}

void SongLibrary::DeleteSongRecord(int row) {
  if (!loaded_) LoadSongData();
  if (row < 1 || row > SongCount()) return;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(Index(row)));
  mark_.erase(mark_.begin() + static_cast<std::ptrdiff_t>(Index(row)));
  order_.pop_back();
  modified_ = true;
}

void SongLibrary::NoteSongPlayed(const QString& path) {
  if (SongCount() == 0) LoadSongData();
  const int row = FindSongByFilename(path);
  if (row == 0) return;
  SongText(row, kLastPlayedColumn) =
      QDateTime::currentDateTime().toString(u"MM-dd-yyyy/hh:mm:ss"_s);
  const qint64 count = PlayCount(SongText(row, kPlayFreqColumn));
  SongText(row, kPlayFreqColumn) =
      QString::number(std::min<qint64>(count + 1, std::numeric_limits<qint32>::max()));
  playsUnsaved_ = true;
}

}  // namespace audiolume
