#include "catalog/PlayListPanel.h"

#include "library/PlayTime.h"
#include "library/SongLibrary.h"

namespace audiolume {

void PlayListPanel::AddSongToPlaylistByIndex(int row) {
  entries_.append({library_.SongText(row, 0), row});
  playTime_ = PlayTime::Sum(playTime_, library_.SongText(row, 8));
}

bool PlayListPanel::AddSongByFile(const QString& file) {
  const int row = library_.FindSongByFilename(file);
  if (row != 0) AddSongToPlaylistByIndex(row);
  return row != 0;
}

QList<PlayListEntry> PlayListPanel::Songs() const {
  QList<PlayListEntry> songs;
  for (const Entry& entry : entries_) songs.append(library_.PlayListEntryOf(entry.row));
  return songs;
}

QStringList PlayListPanel::Files() const {
  QStringList files;
  for (const Entry& entry : entries_) {
    const QString& file = library_.SongText(entry.row, SongLibrary::kFilenameColumn);
    if (!file.isEmpty()) files.append(file);
  }
  return files;
}

int PlayListPanel::Move(const QList<int>& entries, int before) {
  QList<Entry> moving;
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    moving.prepend(entries_.takeAt(*entry));
    if (*entry < before) --before;
  }
  for (int i = 0; i < moving.size(); ++i) entries_.insert(before + i, moving[i]);
  return before;
}

void PlayListPanel::Remove(int entry) {
  const int row = entries_.at(entry).row;
  entries_.removeAt(entry);
  playTime_ = PlayTime::Sum(playTime_, u'-' + library_.SongText(row, 8).trimmed());
}

void PlayListPanel::Clear() {
  entries_.clear();
  playTime_ = PlayTime::Total(0);
}

void PlayListPanel::RowRemoved(int row) {
  for (int i = Count() - 1; i >= 0; --i) {
    if (entries_[i].row == row) Remove(i);
  }
  for (Entry& entry : entries_) {
    if (entry.row > row) --entry.row;
  }
}

}  // namespace audiolume
