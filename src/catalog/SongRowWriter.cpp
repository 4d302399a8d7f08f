#include "catalog/SongRowWriter.h"

#include "catalog/ArtPicture.h"
#include "catalog/SongAdder.h"
#include "library/SongFilePresence.h"
#include "library/SongLibrary.h"
#include "library/SongRecord.h"
#include "library/TrailerTag.h"
#include "platform/StandardTags.h"
#include "support/AppError.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

int SongRowWriter::Write(int row) {
  const QString path = library_.SongText(row, SongLibrary::kFilenameColumn);
  SongRecord record;
  adder_.ReadSongInformation(path, record);
  QString* fields[kEditableColumns] = {&record.Title,     &record.Album,     &record.Artist,
                                       &record.Genre,     &record.Tempo,     &record.Mood,
                                       &record.Situation, &record.Preference};
  for (int column = 0; column < kEditableColumns; ++column) {
    *fields[column] = library_.SongText(row, column);
  }
  record.Filename = path;
  return WriteSong(path, record, {});
}

int SongRowWriter::WriteSong(const QString& path, SongRecord& record, const ID3Edits& edits,
                             const ArtPicture* art) {
  if (presence_.IsOnCdDrive(path)) return 0;
  if (!platform::TakesTrailingTags(path)) {
    const int tagged = WriteStandardTag(path, record, edits, art);
    const int kept = KeepInRow(path, record);
    return tagged != 0 ? tagged : kept;
  }
  if (!adder_.TakesTrailer(path)) return 0;
  const int written = trailer_.WriteSongTrailer(path, record, false, edits);
  return written == 0 && art != nullptr ? WriteTrailerArt(path, *art) : written;
}

int SongRowWriter::WriteArt(const QString& path, const ArtPicture& art) {
  if (presence_.IsOnCdDrive(path)) return 0;
  if (platform::TakesTrailingTags(path)) {
    return adder_.TakesTrailer(path) ? WriteTrailerArt(path, art) : 0;
  }
  SongRecord record;
  adder_.ReadSongInformation(path, record);
  return WriteStandardTag(path, record, {}, &art);
}

int SongRowWriter::WriteTrailerArt(const QString& path, const ArtPicture& art) {
  const ArtPicture stored = art.ForTrailer();
  return trailer_.PutArtIntoTrailer(path, stored.bytes, stored.type);
}

// Only when something the tag holds changes: a rewrite of a large FLAC file is not free.
int SongRowWriter::WriteStandardTag(const QString& path, const SongRecord& record,
                                    const ID3Edits& edits, const ArtPicture* art) {
  const auto tags = platform::ReadStandardTags(path, false);
  const platform::StandardTagFields before = tags ? tags->fields : platform::StandardTagFields();
  platform::StandardTagFields fields = before;
  // An edit is what differs from the file as the song reader sees it: a field the tag
  // lacks and the reader made up (a title from the file's name) is not written into it.
  SongRecord asRead;
  adder_.ReadSongInformation(path, asRead);
  const auto take = [](QString& field, const QString& wanted, const QString& read) {
    if (wanted.trimmed() != read.trimmed()) field = wanted.trimmed();
  };
  take(fields.title, record.Title, asRead.Title);
  take(fields.album, record.Album, asRead.Album);
  take(fields.artist, record.Artist, asRead.Artist);
  take(fields.genre, record.Genre, asRead.Genre);
  if (record.TrackNumber > 0 && record.TrackNumber != asRead.TrackNumber) {
    fields.track = record.TrackNumber;
  }
  if (edits.year) fields.year = edits.year->trimmed().toInt();
  if (edits.comment) fields.comment = edits.comment->trimmed();
  int result = 0;
  const bool holds = platform::HoldsLyricsAndCover(path);
  if (holds) {
    fields.lyrics = record.Lyrics;
  } else if (!record.Lyrics.trimmed().isEmpty() || art != nullptr) {
    result = NotStored(path,
                       u"This kind of file has no place for lyrics or a picture: they "
                       u"were not stored."_s);
  }
  const bool withCover = holds && art != nullptr;
  if (fields == before && !withCover) return result;
  const bool written = platform::WriteStandardTags(
      path, fields, withCover ? art->bytes : QByteArray(), withCover ? art->MimeType() : QString());
  return written ? result
                 : NotStored(path,
                             u"The tag of this file could not be written (it may be "
                             u"read-only): the changes to it were not stored."_s);
}

// The library row is the one place for the notes and biography of songs without a trailer.
int SongRowWriter::KeepInRow(const QString& path, const SongRecord& record) {
  const int row = library_.FindSongByFilename(path);
  if (row == 0) {
    if (record.Notes.trimmed().isEmpty() && record.Bios.trimmed().isEmpty()) return 0;
    return NotStored(path,
                     u"The notes and biography of this kind of file are kept in the "
                     u"library, which does not hold this song: they were not stored."_s);
  }
  SongRecord& stored = library_.SongRecords(row);
  if (stored.Notes != record.Notes || stored.Bios != record.Bios) {
    stored.Notes = record.Notes;
    stored.Bios = record.Bios;
    library_.SetSongDataModified(true);
  }
  return 0;
}

int SongRowWriter::NotStored(const QString& path, const QString& why) {
  prompter_.Tell(path + u'\n' + why, MessageIcon::Exclamation);
  return kErrPermissionDenied;
}

}  // namespace audiolume
