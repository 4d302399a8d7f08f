#pragma once

#include <QByteArray>
#include <QString>

namespace audiolume {

/**
 * The ID3v1 tag of the song file examined last: the working copy that the tag readers
 * fill and the trailer writers write back. Text fields are kept at their fixed widths,
 * left-aligned and padded with blanks; a longer text keeps its first characters.
 */
struct ID3Tag {
  static constexpr qsizetype kSize = 128;
  static constexpr qsizetype kTextWidth = 30;
  static constexpr qsizetype kYearWidth = 4;

  bool ID3Present = false;
  QString ID3Title = Blank(kTextWidth);
  QString ID3Artist = Blank(kTextWidth);
  QString ID3Album = Blank(kTextWidth);
  QString ID3Year = Blank(kYearWidth);
  QString ID3Comment = Blank(kTextWidth);
  quint8 ID3Genre = 0;
  /** The ID3v1.1 track number (0: none); it takes the comment's last two bytes. */
  quint8 ID3Track = 0;

  /** Empties the fields, as before a file is examined. */
  void Clear() { *this = ID3Tag(); }

  void SetTitle(const QString& text) { ID3Title = Fixed(text, kTextWidth); }
  void SetArtist(const QString& text) { ID3Artist = Fixed(text, kTextWidth); }
  void SetAlbum(const QString& text) { ID3Album = Fixed(text, kTextWidth); }
  void SetYear(const QString& text) { ID3Year = Fixed(text, kYearWidth); }
  void SetComment(const QString& text) { ID3Comment = Fixed(text, CommentWidth()); }
  /** The bytes the comment may take: two fewer when a track number follows it. */
  qsizetype CommentWidth() const { return ID3Track == 0 ? kTextWidth : kTextWidth - 2; }

  /** Fills the tag from 128 bytes; false (and the tag untouched) unless they start with
   *  "TAG". Text ends at a NUL, as other taggers pad with NULs. A NUL in the comment's
   *  29th byte followed by a non-zero byte is an ID3v1.1 track number. */
  bool Parse(QByteArrayView bytes);

  /** The 128 bytes: "TAG" and the fields, each cut to its width in bytes on a character
   *  boundary and padded with blanks. */
  QByteArray Bytes() const;

  /** What a field of width bytes holds of text: its first characters that fit, padded
   *  with blanks. */
  static QString Fixed(const QString& text, qsizetype width);
  static QString Blank(qsizetype width) { return QString(width, u' '); }
};

}  // namespace audiolume
