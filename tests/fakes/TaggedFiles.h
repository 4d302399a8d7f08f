#pragma once

#include <QByteArray>
#include <QString>

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

/** A small valid PNG image, for pictures in tags. */
QByteArray SmallPng();

}  // namespace audiolume::test
