#pragma once

#include <QByteArray>
#include <QString>
#include <future>
#include <optional>

#include "library/SongRecord.h"
#include "platform/SongFormat.h"
#include "platform/TailWriter.h"

class QFile;

namespace audiolume {

class ErrorLog;
class ID3Sync;
class MessageCatalog;
class Prompter;
class SongLibrary;
struct ID3Tag;

/** Positions of a trailer's sections, 1-based file positions. */
struct TrailerPositions {
  qint64 artType = 0;
  qint64 artLength = 0;
  qint64 extraLength = 0;
  qint64 header = 0;
  qint64 record = 0;

  /** The positions of a new, empty trailer starting at start. */
  static TrailerPositions At(qint64 start);
  bool operator==(const TrailerPositions&) const = default;
};

/** Year and comment to put into the ID3 tag when the trailer is written. */
struct ID3Edits {
  std::optional<QString> year;
  std::optional<QString> comment;
};

/** What the last scan of a song file found. */
struct TrailerScan {
  bool found = false;
  TrailerPositions positions;
  QString maker;
  QString version;       // trimmed
  int footerOffset = 0;  // -176: an ID3 tag follows the trailer; -48: the trailer ends the file
  qint64 id3Position = 0;
  bool ID3BeforeTrailer = false;
  SongRecord record;     // the trailer's record, when found
  qint64 recordEnd = 0;  // first position after the stored record

  int PositionsOffset() const { return footerOffset - 20; }
};

/**
 * The trailer tag appended to song files: the full song record with notes, biography,
 * lyrics and art, a fixed header and a footer that locates every section, normally
 * followed by an ID3v1 tag. The audio in front of the tags is never written: writers
 * touch only the file's tail, in one write followed by a cut. Stored positions that do
 * not describe a consistent trailer inside the file, or a record that overruns its
 * region, make the file count as untagged. UI thread only.
 */
class TrailerTag {
 public:
  static constexpr qsizetype kHeaderBytes = 256;
  static constexpr qsizetype kMakerBytes = 32;
  static constexpr qsizetype kVersionBytes = 16;
  static constexpr qsizetype kPositionsBytes = 20;
  static const QString kMaker;

  TrailerTag(ID3Tag& id3, ID3Sync& sync, const SongLibrary& library, MessageCatalog& catalog,
             Prompter& prompter, const ErrorLog& log);

  /** Examines the end of an open file; fills LastScan() and the ID3 working copy. Repairs
   *  a damaged header and cuts nested trailers when the file is open for writing. */
  bool FindTrailer(QFile& file);
  const TrailerScan& LastScan() const { return scan_; }
  /** The agreement between records and the ID3 working copy that the writers keep. */
  ID3Sync& Sync() { return sync_; }

  /** Where ReadFileTags found a song's information. */
  enum class TagSource { Trailer, FileTags, None };

  /**
   * The song's information from an open file: the trailer's record (its empty title,
   * artist and album filled from the ID3v1 tag); without a trailer, the standard tag's
   * fields and then the ID3v1 tag's for what the standard tag lacks. Leaves record alone
   * when the file has none of them.
   */
  TagSource ReadFileTags(QFile& file, const QString& path, SongRecord& record);

  /** The song's information: as ReadFileTags finds it, else the library's record. */
  void ReadSongTags(const QString& path, SongRecord& record);

  /** ReadSongTags, and the song's picture: the trailer's, else the standard tag's, with
   *  its trimmed type ("jpg", "png"); empty when the file has none. */
  QByteArray ReadSongTagsWithArt(const QString& path, SongRecord& record, QString& artType);

  /** Writes the record (and the ID3 tag) into the song file. 0 on success, 1 when the
   *  file does not exist, else an error number (70 when writing was refused, and for a
   *  file that takes no trailer, such as WAV, FLAC or Ogg, which is left as it was). */
  int WriteSongTrailer(const QString& path, SongRecord& record, bool keepTag,
                       const ID3Edits& edits = {});
  /** While on, WriteSongTrailer leaves the new ends in a batch, written by CommitWrites (and
   *  on turning it off) with a few syncs in all rather than two per song: for runs that
   *  write each file once. Turning it off waits until every end is written. */
  void BatchWrites(bool on);
  /** Writes the waiting ends on a thread of its own while the caller goes on, most of it
   *  waiting for the disk; the next commit first waits for this one. The failures go to
   *  the error log. */
  void CommitWrites();

  /** Whether a song file takes the trailer: MPEG audio alone, whose players skip what
   *  follows the audio. Every writer of the trailer and every repair of a file's end ask
   *  this; other files (WAV, FLAC, Ogg, …) are never appended to. */
  static bool TakesTrailer(const QString& path);
  /** The same for a file whose format SongFormatOf already told. */
  static bool TakesTrailer(const QString& path, platform::SongFormat format);

  /** Stores a picture ("bmp", "jpg", "wmf", "ico") in the song's trailer. 0 on success,
   *  4 for another extension, 1 when either file does not exist, else an error number. */
  int PutArtIntoTrailer(const QString& songPath, const QString& picturePath);
  /** Stores a picture's bytes of one of those types (lower case) in the song's trailer;
   *  the same results. */
  int PutArtIntoTrailer(const QString& songPath, const QByteArray& art, const QString& artType);
  /** Whether the trailer keeps pictures of this type: "bmp", "jpg", "wmf" or "ico". */
  static bool IsArtType(const QString& type);

  std::optional<QString> GetTrailerVersion(const QString& path);

  /** After the front of a song file grew by grewBy bytes (shrank when negative), as when
   *  the standard tag before its audio is rewritten, moves the trailer's stored positions
   *  with what they point at. True when done, or when the file has no trailer. */
  bool MoveTrailer(const QString& path, qint64 grewBy);

  /** Asks before writing a read-only file, and makes it writable when told to. */
  bool CheckWritable(const QString& path);

  /** Cuts the open file to length; failures go to the error log under context. */
  bool TruncateFile(QFile& file, qint64 length, const QString& context);

  /** For a file whose ID3 tag lies in front of its trailer, appends a copy of the tag so
   *  that it ends the file again. Returns whether it did. */
  bool ConvertID3Tag(const QString& path);

  /** The 256-byte header this program writes. */
  static QByteArray NewHeader();

  /** Opens a song to read its tags: for reading and writing where a scan may repair its
   *  end, for reading only otherwise. A missing file is never made. */
  static bool OpenForReading(QFile& file, const QString& path);
  static bool OpenForReading(QFile& file, const QString& path, platform::SongFormat format);

  /** The ID3 working copy as the last scan (and the sync since) left it, and putting one
   *  back: for a run that reads several songs before it writes their trailers. */
  const ID3Tag& WorkingID3() const { return id3_; }
  void SetWorkingID3(const ID3Tag& tag);

 private:
  bool ScanFooter(QFile& file, qint64 length, int footerOffset);
  bool ReadStoredTrailer(QFile& file);
  void SearchForNestedTags(QFile& file);
  QByteArray Tail(const SongRecord& record, int positionsOffset) const;
  int WriteAt(QFile& file, qint64 position, const QByteArray& bytes, const QString& context);
  /** Replaces the file's end from position (1-based) on, old or new but never torn. */
  int ReplaceTail(QFile& file, qint64 position, const QByteArray& bytes, const QString& context);
  int OpenForWriting(QFile& file, const QString& path);
  /** Waits for the batch being written and logs its failures. */
  void FinishCommit();
  QByteArray ReadAt(QFile& file, qint64 position, qint64 count);
  std::optional<qint32> Int32At(QFile& file, qint64 position);
  /** Reads the file's last bytes into the window; returns the file's length. */
  qint64 LoadWindow(QFile& file);
  /** The ID3 tag at a 1-based position into the working copy; false when none is there. */
  bool ReadID3Tag(QFile& file, qint64 position);

  ID3Tag& id3_;
  ID3Sync& sync_;
  const SongLibrary& library_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
  const ErrorLog& log_;
  TrailerScan scan_;
  // The file's last bytes, read once per scan; writes and cuts discard them.
  QByteArray window_;
  qint64 windowStart_ = 0;
  std::optional<platform::TailBatch> batch_;
  std::future<QList<platform::FileError>> committing_;  // the batch being written
};

}  // namespace audiolume
