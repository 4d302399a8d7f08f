#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <utility>

namespace audiolume::test {

/** What a tagging program puts into a song file's standard tag. */
struct StandardTagValues {
  QString title;
  QString artist;
  QString album;
  QString genre;
  int year = 0;
  int track = 0;
  QByteArray picture;  // a front cover when not empty
  QString pictureMime = QStringLiteral("image/jpeg");
};

/**
 * Tags a song file as other programs do, through TagLib: MP3 files get an ID3v2 tag of
 * the given version (3 or 4) and nothing else; FLAC, Ogg Vorbis and Opus files get
 * Vorbis comments (the picture as a FLAC picture block). Returns false on failure.
 */
bool WriteStandardTag(const QString& path, const StandardTagValues& values, int id3v2Version = 4);

/**
 * Adds text frames to an MP3's ID3v2 tag (made when absent) as other taggers write them:
 * "TXXX" takes "description=value", other frames ("TDRC", "TRCK", "TPE1", …) their text,
 * with "\n" between the values of a frame that holds several. Returns false on failure.
 */
bool AddId3v2Frames(const QString& path, const QList<std::pair<QByteArray, QString>>& frames);

/** Each frame of an MP3's ID3v2 tag as "ID text" (TagLib's text of it, values joined by
 *  "\n"), in the tag's order; empty when the file has no ID3v2 tag. */
QStringList Id3v2Frames(const QString& path);

/** A song file's tag as TagLib's property map holds it, key by key with every value. The
 *  format is told by TagLib (by name, then by content). */
using PropertyValues = QMap<QString, QStringList>;
PropertyValues ReadTagProperties(const QString& path);

/** Sets the given keys of a song file's tag through TagLib's property map, each to all of
 *  its values, as careful taggers leave them ("ARTIST" to {"A", "B"}, "DATE" to
 *  {"2003-05-01"}); other keys stay. False on failure. */
bool SetTagProperties(const QString& path, const PropertyValues& properties);

/** A song file's tag as mutagen (another program, which tells formats by content) reads
 *  it, in the same form; empty when /usr/bin/python3 has no mutagen. */
PropertyValues MutagenTagProperties(const QString& path);

/** A small valid PNG image, for pictures in tags. */
QByteArray SmallPng();

}  // namespace audiolume::test
