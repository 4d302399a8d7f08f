#include "catalog/SongRowWriter.h"

#include "catalog/SongAdder.h"
#include "library/SongLibrary.h"
#include "library/SongRecord.h"
#include "library/TrailerTag.h"

namespace audiolume {

int SongRowWriter::Write(int row) {
  const QString path = library_.SongText(row, SongLibrary::kFilenameColumn);
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

}  // namespace audiolume
