#include "library/SongEntryReader.h"

#include <QFile>

#include "library/SongLibrary.h"
#include "library/TrailerTag.h"
#include "support/PathNames.h"

namespace audiolume {

PlayListEntry SongEntryReader::EntryOf(const QString& path) const {
  if (const int row = library_.FindSongByFilename(path)) {
    PlayListEntry entry = library_.PlayListEntryOf(row);
    entry.path = path;
    return entry;
  }
  SongRecord record;
  QFile file(path);
  // Open for reading only, so that the scan repairs nothing it finds.
  if (file.open(QIODevice::ReadOnly | QIODevice::ExistingOnly)) {
    trailer_.ReadFileTags(file, path, record);
  }
  QString title = record.Title.trimmed();
  if (title.isEmpty()) title = SplitFileExtension(SplitPathName(path).name).base;
  return {path, title, record.Artist.trimmed(), {}};
}

}  // namespace audiolume
