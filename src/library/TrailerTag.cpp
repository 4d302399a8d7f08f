#include "library/TrailerTag.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cerrno>

#include "library/ID3Sync.h"
#include "library/ID3Tag.h"
#include "library/RecordCodec.h"
#include "library/SongLibrary.h"
#include "library/StandardTagFill.h"
#include "platform/AudioDecoder.h"
#include "platform/CodePage.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "platform/StandardTags.h"
#include "platform/TailWriter.h"
#include "support/AppError.h"
#include "support/AppVersion.h"
#include "support/ErrorLog.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

const QString TrailerTag::kMaker = u"Velto Software Inc."_s;

namespace {

constexpr char kHeaderMagic[] = "18273645";
// Record plus padding fill this many bytes less the positions-block offset, so that a
// rewrite with a record of similar size keeps the trailer's end, and the file's length.
constexpr qint64 kPaddedRegion = 7936;
constexpr int kFooterWithID3 = -176;
constexpr int kFooterAtEnd = -48;

// Everything a scan reads usually lies in the last few kilobytes of the file.
constexpr qint64 kTailWindow = 32 * 1024;

QByteArray Int32Bytes(qint64 value) {
  QByteArray bytes(4, '\0');
  qToLittleEndian<qint32>(static_cast<qint32>(value), bytes.data());
  return bytes;
}

QByteArray Padded(const QString& text, qsizetype width) {
  return platform::EncodeTextCut(text, width).leftJustified(width, ' ', true);
}

qint64 Absolute(qint64 position, qint64 length) {
  return position < 0 ? length + position : position;
}

QByteArray PositionsBytes(const TrailerPositions& p) {
  return Int32Bytes(p.artType) + Int32Bytes(p.artLength) + Int32Bytes(p.extraLength) +
         Int32Bytes(p.header) + Int32Bytes(p.record);
}

// Opening refuses folders and, with ExistingOnly, never makes a missing file.
bool OpenSongForReading(QFile& file, const QString& path, bool writable) {
  file.setFileName(path);
  const auto mode = QIODevice::Unbuffered | QIODevice::ExistingOnly;
  return (writable && file.open(QIODevice::ReadWrite | mode)) ||
         file.open(QIODevice::ReadOnly | mode);
}

}  // namespace

QByteArray TrailerTag::ReadAt(QFile& file, qint64 position, qint64 count) {
  if (position < 1 || count < 0) return {};
  const qint64 offset = position - 1 - windowStart_;
  if (!window_.isEmpty() && offset >= 0 && offset + count <= window_.size()) {
    return window_.sliced(offset, count);
  }
  if (!file.seek(position - 1)) return {};
  return file.read(count);
}

std::optional<qint32> TrailerTag::Int32At(QFile& file, qint64 position) {
  const QByteArray bytes = ReadAt(file, position, 4);
  if (bytes.size() != 4) return std::nullopt;
  return qFromLittleEndian<qint32>(bytes.constData());
}

bool TrailerTag::ReadID3Tag(QFile& file, qint64 position) {
  return id3_.Parse(ReadAt(file, position, ID3Tag::kSize));
}

// Asks for exactly the bytes that are there, so that one read call brings them.
qint64 TrailerTag::LoadWindow(QFile& file) {
  window_.clear();
  const qint64 length = file.size();
  windowStart_ = std::max<qint64>(0, length - kTailWindow);
  if (file.seek(windowStart_)) window_ = file.read(length - windowStart_);
  return length;
}

TrailerPositions TrailerPositions::At(qint64 start) {
  return {start, start + 4, start + 8, start + 12, start + 12 + TrailerTag::kHeaderBytes};
}

TrailerTag::TrailerTag(ID3Tag& id3, ID3Sync& sync, const SongLibrary& library,
                       MessageCatalog& catalog, Prompter& prompter, const ErrorLog& log)
    : id3_(id3),
      sync_(sync),
      library_(library),
      catalog_(catalog),
      prompter_(prompter),
      log_(log) {}

QByteArray TrailerTag::NewHeader() {
  QByteArray header = QByteArray(kHeaderMagic) + QByteArray(2, '\0') + "1.010000" +
                      QByteArray(2, '\0') + Padded(kAppVersion, 4) + "0000" + QByteArray(2, '\0');
  return header.leftJustified(kHeaderBytes, ' ');
}

bool TrailerTag::ScanFooter(QFile& file, qint64 length, int footerOffset) {
  const QByteArray footer = ReadAt(file, length + footerOffset + 1, kMakerBytes + kVersionBytes);
  if (footer.size() != kMakerBytes + kVersionBytes) return false;
  if (platform::DecodeText(footer.first(kMakerBytes)).trimmed() != kMaker) return false;
  scan_.maker = kMaker;
  scan_.version = platform::DecodeText(footer.sliced(kMakerBytes)).trimmed();
  scan_.footerOffset = footerOffset;
  return true;
}

bool TrailerTag::FindTrailer(QFile& file) {
  // A rewrite that never finished is undone before anything reads the file's end.
  platform::TailWriter::Recover(file.fileName());
  scan_ = TrailerScan();
  id3_.Clear();
  const qint64 length = LoadWindow(file);
  scan_.footerOffset = kFooterWithID3;
  scan_.positions = TrailerPositions::At(length + 1);
  if (length + kFooterWithID3 < 1) return false;

  bool found = ScanFooter(file, length, kFooterWithID3);
  if (!found && ScanFooter(file, length, kFooterAtEnd)) {
    found = true;
    SearchForNestedTags(file);
    if (file.size() != length) return FindTrailer(file);  // cut: scan what is left
  }
  if (found && ReadStoredTrailer(file)) {
    const qint64 tagBeforeTrailer = scan_.positions.artType - ID3Tag::kSize;
    scan_.id3Position =
        scan_.footerOffset == kFooterWithID3 ? length - ID3Tag::kSize + 1 : tagBeforeTrailer;
    if (ReadID3Tag(file, scan_.id3Position)) {
      scan_.ID3BeforeTrailer = scan_.id3Position == tagBeforeTrailer;
    }
    scan_.found = true;
    return true;
  }
  // Untagged, or tags that cannot be trusted: a new trailer would go at the end.
  const int footerOffset = scan_.footerOffset;
  scan_ = TrailerScan();
  scan_.footerOffset = footerOffset;
  scan_.positions = TrailerPositions::At(length + 1);
  scan_.id3Position = length - ID3Tag::kSize + 1;
  ReadID3Tag(file, scan_.id3Position);
  return false;
}

// The stored positions must describe the sections in their order, inside the file, and
// the record must fit its region; anything else is not a trailer this program can trust.
bool TrailerTag::ReadStoredTrailer(QFile& file) {
  const qint64 length = file.size();
  const qint64 positionsAt = length + scan_.PositionsOffset() + 1;
  const QByteArray stored = ReadAt(file, positionsAt, kPositionsBytes);
  if (stored.size() != kPositionsBytes) return false;
  // Read from a copy of known size: GCC cannot see the size check through QByteArray.
  std::array<char, kPositionsBytes> bytes{};
  std::copy(stored.cbegin(), stored.cend(), bytes.begin());
  auto at = [&](int i) {
    return Absolute(qFromLittleEndian<qint32>(bytes.data() + 4 * i), length);
  };
  TrailerPositions& p = scan_.positions;
  p = {at(0), at(1), at(2), at(3), at(4)};
  const bool ordered = p.artType >= 1 && p.artLength >= p.artType + 4 &&
                       p.extraLength >= p.artLength + 4 && p.header >= p.extraLength + 4 &&
                       p.record >= p.header + kHeaderBytes && p.record <= positionsAt;
  if (!ordered) return false;
  const auto artLength = Int32At(file, p.artLength);
  const auto extraLength = Int32At(file, p.extraLength);
  if (!artLength || *artLength < 0 || *artLength > p.extraLength - p.artLength - 4) return false;
  if (!extraLength || *extraLength < 0 || *extraLength > p.header - p.extraLength - 4) return false;

  const QByteArray region = ReadAt(file, p.record, positionsAt - p.record);
  if (region.size() != positionsAt - p.record) return false;
  try {
    ByteReader reader(region);
    scan_.record = RecordCodec::IsFullLayout(scan_.version) ? RecordCodec::ReadRecord(reader)
                                                            : RecordCodec::ReadLegacyRecord(reader);
    scan_.recordEnd = p.record + reader.Position();
  } catch (const AppError&) {
    return false;
  }
  if (!ReadAt(file, p.header, kHeaderBytes).startsWith(kHeaderMagic) && file.isWritable()) {
    WriteAt(file, p.header, NewHeader(), u"FindTrailer"_s);
  }
  return true;
}

// A trailer appended behind an older trailer and its ID3 tag: the older pair is kept and
// what follows it is cut off.
void TrailerTag::SearchForNestedTags(QFile& file) {
  if (!file.isWritable()) return;
  const qint64 length = file.size();
  const auto stored = Int32At(file, length + kFooterAtEnd - kPositionsBytes + 1);
  if (!stored) return;
  const qint64 artType = Absolute(*stored, length);
  // Also one trailer further back: the art type, both lengths and the header of a trailer
  // without art take 268 bytes.
  const qint64 emptyTrailerStart = TrailerPositions::At(0).record;
  for (const qint64 start : {artType, artType - emptyTrailerStart}) {
    const QByteArray maker = ReadAt(file, start + kFooterWithID3, kMakerBytes);
    if (start > 1 && platform::DecodeText(maker).trimmed() == kMaker) {
      TruncateFile(file, start - 1, u"SearchForNestedTags"_s);
      return;
    }
  }
}

bool TrailerTag::TruncateFile(QFile& file, qint64 length, const QString& context) {
  window_.clear();
  if (file.resize(length)) return true;
  log_.LogSystemError(context + u".SetEndOfFile"_s, file.fileName(), errno);
  return false;
}

int TrailerTag::ReplaceTail(QFile& file, qint64 position, const QByteArray& bytes,
                            const QString& context) {
  window_.clear();
  try {
    platform::TailWriter::ReplaceTail(file, position - 1, bytes);
    return 0;
  } catch (const platform::FileError& error) {
    const int code = error.code().value();
    log_.LogSystemError(context + u".WriteFile"_s, file.fileName(), code);
    return code == ENOSPC || code == EFBIG ? kErrDiskFull
           : code == EACCES                ? kErrPermissionDenied
                                           : kErrPathFileAccess;
  }
}

int TrailerTag::WriteAt(QFile& file, qint64 position, const QByteArray& bytes,
                        const QString& context) {
  window_.clear();
  if (file.seek(position - 1) && file.write(bytes) == bytes.size() && file.flush()) return 0;
  log_.LogSystemError(context + u".WriteFile"_s, file.fileName(), errno);
  return file.error() == QFileDevice::ResourceError ? kErrDiskFull : kErrPathFileAccess;
}

// Fills record from the open file; true when it has a trailer, whose picture may be read.
TrailerTag::TagSource TrailerTag::ReadFileTags(QFile& file, const QString& path,
                                               SongRecord& record) {
  if (FindTrailer(file)) {
    record = scan_.record;
    if (scan_.ID3BeforeTrailer && file.isWritable()) {
      ReplaceTail(file, file.size() + 1, id3_.Bytes(), u"ReadSongTags"_s);
    }
    // The trailer is this program's own store: the standard tag's fields went into it when
    // the song was added, so only the ID3v1 tag, which edits keep beside it, fills its gaps.
    sync_.FillRecordFromTag(record, false);
    return TagSource::Trailer;
  }
  const platform::OpenSongFile open{file.handle(), windowStart_ + window_.size(), window_};
  const auto standard = platform::MayHoldStandardTag(ReadAt(file, 1, 3), window_)
                            ? platform::ReadStandardTags(path, false, &open)
                            : std::nullopt;
  if (standard) FillRecordFromStandardTags(standard->fields, record, true);
  sync_.FillRecordFromTag(record, !standard);
  return standard || id3_.ID3Present ? TagSource::FileTags : TagSource::None;
}

void TrailerTag::ReadSongTags(const QString& path, SongRecord& record) {
  QFile file(path);
  if (OpenForReading(file, path) && ReadFileTags(file, path, record) == TagSource::None) {
    library_.GetSongRecord(path, record);
  }
}

QByteArray TrailerTag::ReadSongTagsWithArt(const QString& path, SongRecord& record,
                                           QString& artType) {
  artType.clear();
  QFile file(path);
  if (!OpenForReading(file, path)) return {};
  const TagSource source = ReadFileTags(file, path, record);
  if (source == TagSource::None) library_.GetSongRecord(path, record);
  if (source == TagSource::Trailer) {
    const TrailerPositions& p = scan_.positions;
    artType = platform::DecodeText(ReadAt(file, p.artType, 4)).trimmed();
    const qint32 artLength = Int32At(file, p.artLength).value_or(0);
    if (!artType.isEmpty() && artLength > 0) return ReadAt(file, p.artLength + 4, artLength);
    artType.clear();
  }
  const auto standard = platform::ReadStandardTags(path, true);
  if (!standard || standard->picture.isEmpty()) return {};
  artType = ArtTypeOfMime(standard->pictureMime);
  return standard->picture;
}

// WAV files would carry the trailer without harm to players, but people expect them as
// they made them: the trailer is this program's tag of MP3 files.
bool TrailerTag::TakesTrailer(const QString& path) {
  return platform::IsMpegAudioName(path) && platform::TakesTrailingTags(path);
}

bool TrailerTag::TakesTrailer(const QString& path, platform::SongFormat format) {
  return platform::IsMpegAudioName(path) && platform::TakesTrailingTags(format);
}

void TrailerTag::SetWorkingID3(const ID3Tag& tag) {
  id3_ = tag;
}

// Writable when it may be, so that a scan can repair what it finds; read-only otherwise,
// and always for files that take no trailer.
bool TrailerTag::OpenForReading(QFile& file, const QString& path) {
  return OpenSongForReading(file, path, TakesTrailer(path));
}

bool TrailerTag::OpenForReading(QFile& file, const QString& path, platform::SongFormat format) {
  return OpenSongForReading(file, path, TakesTrailer(path, format));
}

QByteArray TrailerTag::Tail(const SongRecord& record, int positionsOffset) const {
  QByteArray tail;
  RecordCodec::AppendRecord(tail, record);
  const qint64 padding = kPaddedRegion - positionsOffset - tail.size();
  if (padding > 0) tail.append(padding, '-');
  return tail + PositionsBytes(scan_.positions) + Padded(kMaker, kMakerBytes) +
         Padded(kAppVersion, kVersionBytes) + id3_.Bytes();
}

int TrailerTag::OpenForWriting(QFile& file, const QString& path) {
  if (!QFileInfo(path).isFile()) return 1;
  if (!TakesTrailer(path)) return kErrPermissionDenied;
  if (!CheckWritable(path)) return kErrPermissionDenied;
  file.setFileName(path);
  if (file.open(QIODevice::ReadWrite)) return 0;
  return file.error() == QFileDevice::PermissionsError ? kErrPermissionDenied : kErrPathFileAccess;
}

int TrailerTag::WriteSongTrailer(const QString& path, SongRecord& record, bool keepTag,
                                 const ID3Edits& edits) {
  QFile file;
  if (const int opened = OpenForWriting(file, path)) return opened;
  const ID3Tag kept = id3_;
  const bool found = FindTrailer(file);
  if (keepTag) {
    id3_ = kept;
  } else {
    sync_.SyncID3WithRecord(record);
  }
  if (edits.year) id3_.SetYear(*edits.year);
  if (edits.comment) id3_.SetComment(*edits.comment);

  // A new trailer goes at the end (behind an ID3 tag that ended the file); an existing
  // one keeps its picture and extra block and is rewritten from its record on.
  QByteArray bytes;
  qint64 start = scan_.positions.record;
  if (!found) {
    start = scan_.positions.artType;
    bytes = "    " + Int32Bytes(0) + Int32Bytes(0) + NewHeader();
  }
  const int positionsOffset = found ? scan_.PositionsOffset() : kFooterWithID3 - kPositionsBytes;
  bytes += Tail(record, positionsOffset);
  if (!batch_) return ReplaceTail(file, start, bytes, u"WriteSongTrailer"_s);
  window_.clear();
  try {
    batch_->Add(file, start - 1, bytes);
    return 0;
  } catch (const platform::FileError& error) {
    log_.LogSystemError(u"WriteSongTrailer.WriteFile"_s, path, error.code().value());
    return kErrPathFileAccess;
  }
}

void TrailerTag::BatchWrites(bool on) {
  if (on && !batch_) batch_.emplace();
  if (!on && batch_) {
    CommitWrites();
    FinishCommit();
    batch_.reset();
  }
}

void TrailerTag::CommitWrites() {
  if (!batch_) return;
  FinishCommit();
  committing_ = std::async(std::launch::async, [batch = std::exchange(*batch_, {})]() mutable {
    return batch.Commit();
  });
}

void TrailerTag::FinishCommit() {
  if (!committing_.valid()) return;
  for (const platform::FileError& error : committing_.get()) {
    log_.LogSystemError(u"WriteSongTrailer.WriteFile"_s, error.Path(), error.code().value());
  }
}

int TrailerTag::PutArtIntoTrailer(const QString& songPath, const QString& picturePath) {
  const QString artType = picturePath.mid(picturePath.lastIndexOf(u'.') + 1);
  if (!IsArtType(artType)) return 4;
  QFile picture(picturePath);
  if (!picture.open(QIODevice::ReadOnly)) return 1;
  return PutArtIntoTrailer(songPath, picture.readAll(), artType);
}

bool TrailerTag::IsArtType(const QString& type) {
  return QStringList{u"bmp"_s, u"jpg"_s, u"wmf"_s, u"ico"_s}.contains(type);
}

int TrailerTag::PutArtIntoTrailer(const QString& songPath, const QByteArray& art,
                                  const QString& artType) {
  if (!IsArtType(artType)) return 4;
  QFile file;
  if (const int opened = OpenForWriting(file, songPath)) return opened;

  QByteArray extra;
  QByteArray header = NewHeader();
  SongRecord record;
  int positionsOffset = kFooterWithID3 - kPositionsBytes;
  if (FindTrailer(file)) {
    const TrailerPositions& p = scan_.positions;
    extra = ReadAt(file, p.extraLength + 4, Int32At(file, p.extraLength).value_or(0));
    const QByteArray stored = ReadAt(file, p.header, kHeaderBytes);
    if (stored.startsWith(kHeaderMagic)) header = stored;
    record = scan_.record;
    positionsOffset = scan_.PositionsOffset();
  } else {
    // The picture goes where an ID3 tag ended the file; the tag is written again last.
    if (id3_.ID3Present) scan_.positions = TrailerPositions::At(file.size() - ID3Tag::kSize + 1);
    library_.GetSongRecord(songPath, record);
  }
  TrailerPositions& p = scan_.positions;
  p.artLength = p.artType + 4;
  p.extraLength = p.artLength + 4 + art.size();
  p.header = p.extraLength + 4 + extra.size();
  p.record = p.header + kHeaderBytes;
  sync_.SyncID3WithRecord(record);

  const QByteArray bytes = Padded(artType, 4) + Int32Bytes(art.size()) + art +
                           Int32Bytes(extra.size()) + extra + header +
                           Tail(record, positionsOffset);
  return ReplaceTail(file, p.artType, bytes, u"PutArtIntoTrailer"_s);
}

bool TrailerTag::MoveTrailer(const QString& path, qint64 grewBy) {
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) return false;
  const qint64 length = LoadWindow(file);
  for (const int footerOffset : {kFooterWithID3, kFooterAtEnd}) {
    if (length + footerOffset < 1 || !ScanFooter(file, length, footerOffset)) continue;
    const qint64 at = length + footerOffset - kPositionsBytes + 1;
    QByteArray moved;
    for (int i = 0; i < 5; ++i) {
      const auto stored = Int32At(file, at + 4 * i);
      if (!stored) return false;
      // A position counted from the end already points where it should.
      moved += Int32Bytes(*stored > 0 ? *stored + grewBy : *stored);
    }
    return WriteAt(file, at, moved, u"MoveTrailer"_s) == 0;
  }
  return true;
}

std::optional<QString> TrailerTag::GetTrailerVersion(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || !FindTrailer(file)) return std::nullopt;
  return scan_.version;
}

// A file without any write permission is "marked read-only" and written only when the
// user agrees; whether this process may then write it (its owner, the mount) is the
// system's to say.
bool TrailerTag::CheckWritable(const QString& path) {
  constexpr auto kAnyWrite =
      QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
  if (!(QFile::permissions(path) & kAnyWrite)) {
    const QString yesNo = catalog_.GetMsg(RC_Yes) + u'|' + catalog_.GetMsg(RC_No);
    if (prompter_.Ask(catalog_.GetMsg(RC_WriteOnly) + u'\n' + catalog_.GetMsg(RC_WriteAnyway),
                      yesNo, MessageIcon::Question) != 1) {
      return false;
    }
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
  }
  if (platform::FileOps::CanWrite(path)) return true;
  prompter_.Tell(catalog_.GetMsg(RC_CantWrite) + u'\n' + catalog_.GetMsg(RC_ReadOnlyDrive),
                 MessageIcon::Exclamation);
  return false;
}

bool TrailerTag::ConvertID3Tag(const QString& path) {
  QFile file(path);
  if (!TakesTrailer(path) || !file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) ||
      !FindTrailer(file) || !scan_.ID3BeforeTrailer) {
    return false;
  }
  return ReplaceTail(file, file.size() + 1, id3_.Bytes(), u"ConvertID3Tags"_s) == 0;
}

}  // namespace audiolume
