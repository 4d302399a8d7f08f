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
  if (presence_.IsOnCdDrive(path)) return 0;
  if (!platform::TakesTrailingTags(path)) return WriteStandardTag(row, path);
  if (!adder_.TakesTrailer(path)) return 0;
  SongRecord record;
  adder_.ReadSongInformation(path, record);
  QString* fields[kEditableColumns] = {&record.Title,     &record.Album,     &record.Artist,
                                       &record.Genre,     &record.Tempo,     &record.Mood,
                                       &record.Situation, &record.Preference};
  for (int column = 0; column < kEditableColumns; ++column) {
    *fields[column] = library_.SongText(row, column);
  }
  record.Filename = path;
  return trailer_.WriteSongTrailer(path, record, false);
}

int SongRowWriter::WriteStandardTag(int row, const QString& path) {
  const auto tags = platform::ReadStandardTags(path, false);
  platform::StandardTagFields fields = tags ? tags->fields : platform::StandardTagFields();
  const platform::StandardTagFields before = fields;
  QString* texts[] = {&fields.title, &fields.album, &fields.artist, &fields.genre};
  for (int column = 0; column < 4; ++column)
    *texts[column] = library_.SongText(row, column).trimmed();
  const bool changed = fields.title != before.title || fields.album != before.album ||
                       fields.artist != before.artist || fields.genre != before.genre;
  if (!changed) return 0;
  return platform::WriteStandardTags(path, fields) ? 0 : kErrPermissionDenied;
}

}  // namespace audiolume
