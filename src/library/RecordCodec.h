#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "library/SongRecord.h"

namespace audiolume {

/**
 * Reads little-endian values and length-prefixed texts from a byte range. Every read
 * checks the bounds and throws AppError (Input past end of file) instead of reading
 * outside the range.
 */
class ByteReader {
 public:
  explicit ByteReader(QByteArrayView bytes, qsizetype position = 0)
      : bytes_(bytes), position_(position) {}

  qsizetype Position() const { return position_; }
  bool AtEnd() const { return position_ >= bytes_.size(); }

  QByteArrayView Bytes(qsizetype count);
  QString Text();  // unsigned 16-bit byte count, then the text
  /** Text, but when it reads the same ASCII text as same, it returns same: the copy
   *  shares its characters instead of taking memory of its own. */
  QString Text(const QString& same);
  qint16 Int16();
  qint32 Int32();
  double Double();

 private:
  QByteArrayView bytes_;
  qsizetype position_;
};

/** The binary layout of a SongRecord, shared by the database file and the trailer tag. */
class RecordCodec {
 public:
  /** The longest text a record field can hold, in bytes. */
  static constexpr qsizetype kMaxTextBytes = 0xFFFF;

  static void AppendText(QByteArray& out, const QString& text);
  static void AppendRecord(QByteArray& out, const SongRecord& record);

  /** Reads a full record (all 28 fields). Throws AppError when the range ends early.
   *  A text equal to previous's in the same field shares previous's characters: in a
   *  library, the songs of an album follow each other with the same album, artist,
   *  genre and categories. */
  static SongRecord ReadRecord(ByteReader& in, const SongRecord& previous = {});

  /**
   * Reads a record of the layout before version "1.28": fields 0 to 13 only. Tempo and
   * the date were stored but are dropped, so they read as empty and as 30 December 1899.
   */
  static SongRecord ReadLegacyRecord(ByteReader& in);

  /** Whether a version text (trimmed) selects full records: "1.28" and above, compared as
   *  text, so "10.0" does too and "1.27" does not. */
  static bool IsFullLayout(const QString& version);
};

}  // namespace audiolume
