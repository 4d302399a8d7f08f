#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/SongFormat.h"

namespace audiolume::platform {

/** The fields people's tagging programs write, as one song's standard tag holds them. */
struct StandardTagFields {
  QString title;
  QString artist;
  QString album;
  QString genre;
  QString comment;
  int year = 0;    // 0 when the tag has none
  int track = 0;   // 0 when the tag has none
  QString lyrics;  // as written, line breaks and all

  bool operator==(const StandardTagFields&) const = default;
};

/** A song file its reader has open and has read the end of: TagLib then reads through
 *  the same descriptor, and takes what lies in those last bytes from them. */
struct OpenSongFile {
  int descriptor;
  qint64 length;
  QByteArrayView tail;  // the file's last bytes
};

/** A song file's standard tag with its front cover (or first picture). */
struct StandardTags {
  StandardTagFields fields;
  QString albumArtist;  // read only: the record has no place for it
  QByteArray picture;   // empty when the tag holds none
  QString pictureMime;  // "image/jpeg", "image/png", …; empty when there is no picture
};

/**
 * Reads a song file's standard tag through TagLib: ID3v2 (2.2 to 2.4) or APE in MPEG
 * files, Vorbis comments in FLAC, Ogg Vorbis, Opus and Ogg FLAC files, the iTunes atoms of
 * MP4, the ID3v2 or INFO chunk of WAV files. The ID3v1 tag at the end of an MPEG file is
 * not read here: it is the caller's. The format is told by the file's content (see
 * SongFormatOf). A field with several values reads as them joined with "; ". When the
 * caller has the file open already, open describes it and the file is not opened again.
 * Nothing when the file has no such tag, TagLib does not know its format or cannot read
 * it. The picture is read only when asked for. Opens read-only and never writes. Any
 * thread.
 */
std::optional<StandardTags> ReadStandardTags(const QString& path, bool withPicture,
                                             const OpenSongFile* open = nullptr);

/**
 * Whether a song file may hold a standard tag, judged from its first bytes (three are
 * enough) and its last ones without opening it again: a file that starts with MPEG audio
 * needs an APE tag near its end (one with an ID3v2 tag starts with "ID3"); other files
 * always may. Lets readers skip TagLib for the many MP3 files that carry only an ID3v1
 * tag.
 */
bool MayHoldStandardTag(QByteArrayView start, QByteArrayView end);

/**
 * Writes title, artist, album, genre, comment, year, track and lyrics into the file's own
 * standard tag, for the formats that must not carry trailing data (FLAC, Ogg Vorbis, Opus,
 * Ogg FLAC, MP4), told by content. Only the fields that differ from what the tag holds
 * are set, through the format's own fields, and lyrics only where HoldsLyricsAndCover:
 * every other value stays as it is (a full date, a "3/12" track number, a second artist).
 * The artist and genre are lists: "A; B" is written as two values. A cover, when given
 * (bytes and MIME type), becomes the front cover in place of any earlier one; the other
 * pictures stay. The file is edited through a copy (FileOps::EditCopy), so a symbolic
 * link stays a link to the changed file and a failure at any step leaves the file as it
 * was. Returns false when the file is read-only, is of another format, TagLib cannot read
 * or save it, or its folder cannot take the copy.
 */
bool WriteStandardTags(const QString& path, const StandardTagFields& fields,
                       const QByteArray& cover = {}, const QString& coverMime = {});

/** The values of a list field (artists, genres) kept as one text: "A; B" is {"A", "B"}. */
QStringList SplitNames(const QString& text);

/** Whether the file's standard tag has a place for lyrics and a front cover: the Vorbis
 *  comments of FLAC, Ogg Vorbis, Opus and Ogg FLAC files (LYRICS; a FLAC picture block,
 *  or METADATA_BLOCK_PICTURE in Ogg). Judged by the file's content (SongFormatOf). */
bool HoldsLyricsAndCover(const QString& path);

/** Whether a song file's format allows bytes after its audio without harm to players
 *  and checkers: MPEG audio and WAV, judged by the file's content (SongFormatOf). */
bool TakesTrailingTags(const QString& path);
bool TakesTrailingTags(SongFormat format);

}  // namespace audiolume::platform
