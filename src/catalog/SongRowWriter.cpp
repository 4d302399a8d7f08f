#include "catalog/SongRowWriter.h"

#include "catalog/SongAdder.h"
#include "library/SongFilePresence.h"
#include "library/SongLibrary.h"
#include "library/SongRecord.h"
#include "library/TrailerTag.h"
#include "platform/StandardTags.h"
#include "support/AppError.h"

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

int SongRowWriter::WriteSong(const QString& path, SongRecord& record, const ID3Edits& edits) {
  if (presence_.IsOnCdDrive(path)) return 0;
  if (!platform::TakesTrailingTags(path)) return WriteStandardTag(path, record, edits);
  if (!adder_.TakesTrailer(path)) return 0;
  return trailer_.WriteSongTrailer(path, record, false, edits);
}

// Only when something the tag holds changes: a rewrite of a large FLAC file is not free.
int SongRowWriter::WriteStandardTag(const QString& path, const SongRecord& record,
                                    const ID3Edits& edits) {
  const auto tags = platform::ReadStandardTags(path, false);
  const platform::StandardTagFields before = tags ? tags->fields : platform::StandardTagFields();
  platform::StandardTagFields fields = before;
  fields.title = record.Title.trimmed();
  fields.album = record.Album.trimmed();
  fields.artist = record.Artist.trimmed();
  fields.genre = record.Genre.trimmed();
  if (record.TrackNumber > 0) fields.track = record.TrackNumber;
  if (edits.year) fields.year = edits.year->trimmed().toInt();
  if (edits.comment) fields.comment = edits.comment->trimmed();
  if (fields == before) return 0;
  return platform::WriteStandardTags(path, fields) ? 0 : kErrPermissionDenied;
}

}  // namespace audiolume
