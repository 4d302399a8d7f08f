#include "catalog/SongSort.h"

#include <QLocale>
#include <algorithm>

#include "library/PlayTime.h"

namespace audiolume {

namespace {

constexpr int kAlbumColumn = 1;
constexpr int kSortPlayTimeColumn = 8;

// The columns whose keys are numbers; the others are texts.
bool SortsByValue(int column) {
  return column == kSortPlayTimeColumn || column == SongLibrary::kLastPlayedColumn ||
         column == SongLibrary::kPlayFreqColumn || column == SongSort::kTrackNumberColumn;
}

}  // namespace

QCollator SongSort::DesktopCollator() {
  QLocale locale = QLocale().collation();
  // "C" would compare code units, without numbers or accents.
  if (locale.language() == QLocale::C) locale = QLocale(QLocale::English, QLocale::UnitedStates);
  QCollator collator(locale);
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  collator.setNumericMode(true);
  return collator;
}

SongSort::SongSort(const SongLibrary& library) : library_(library), collator_(DesktopCollator()) {}

SongSort::Key SongSort::MakeKey(int row, int column) const {
  Key key;
  if (column == kTrackNumberColumn) {
    key.value = library_.SongRecords(row).TrackNumber;
    key.empty = key.value <= 0;
    return key;
  }
  key.source = library_.SongText(row, column);
  const QString text = key.source.trimmed();
  key.empty = text.isEmpty();
  if (key.empty) return key;
  if (column == kSortPlayTimeColumn) {
    key.value = PlayTime::ConvertToSeconds(text);
  } else if (column == SongLibrary::kLastPlayedColumn) {
    const std::optional<double> played = SongLibrary::ParseLastPlayed(text);
    key.empty = !played;
    key.value = played.value_or(0);
  } else if (column == SongLibrary::kPlayFreqColumn) {
    key.value = text.toDouble();
  } else {
    key.text = collator_.sortKey(text);
  }
  return key;
}

const std::vector<SongSort::Key>& SongSort::KeysOf(int column) {
  std::vector<Key>& keys = keys_[std::size_t(column)];
  const auto count = std::size_t(library_.SongCount());
  bool changed = keys.size() != count;
  keys.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    Key& key = keys[i];
    const int row = int(i) + 1;
    const QString& text = library_.SongText(row, column);
    const bool same = key.source.constData() == text.constData() &&
                      key.source.size() == text.size() && !text.isNull();
    const bool stillEmpty = key.empty && key.source.isEmpty() && text.isEmpty();
    // The track number has no text to tell a change by; its key is only a number.
    if (column == kTrackNumberColumn || !(same || stillEmpty)) {
      key = MakeKey(row, column);
      changed = true;
    }
  }
  if (changed) ranks_[std::size_t(column)].clear();
  return keys;
}

const std::vector<int>& SongSort::Ranks(int column) {
  const std::vector<Key>& keys = KeysOf(column);
  std::vector<int>& ranks = ranks_[std::size_t(column)];
  if (ranks.size() == keys.size()) return ranks;
  std::vector<const Key*> texts;
  for (const Key& key : keys) {
    if (key.text) texts.push_back(&key);
  }
  std::sort(texts.begin(), texts.end(),
            [](const Key* a, const Key* b) { return a->text->compare(*b->text) < 0; });
  ranks.assign(keys.size(), 0);
  int rank = 0;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i == 0 || texts[i - 1]->text->compare(*texts[i]->text) != 0) ++rank;
    ranks[std::size_t(texts[i] - keys.data())] = rank;
  }
  return ranks;
}

void SongSort::Sort(std::vector<qint16>& rows, int column, bool descending) {
  // What compares, side by side: the column's key as a number (a text's place in
  // collation order), the album's place, the track number.
  struct Entry {
    double value;
    int album;
    bool empty;
    qint16 track;
    qint16 row;
  };
  const std::vector<int>& albums = Ranks(kAlbumColumn);
  // Made in row order, as the library holds the rows, then taken in display order.
  std::vector<Entry> byRow;
  byRow.reserve(albums.size());
  if (!SortsByValue(column)) {
    for (const int rank : Ranks(column)) byRow.push_back({double(rank), 0, rank == 0, 0, 0});
  } else {
    for (const Key& key : KeysOf(column)) byRow.push_back({key.value, 0, key.empty, 0, 0});
  }
  for (std::size_t i = 0; i < byRow.size(); ++i) {
    byRow[i].album = albums[i];
    byRow[i].track = library_.SongRecords(int(i) + 1).TrackNumber;
    byRow[i].row = qint16(i + 1);
  }
  std::vector<Entry> entries;
  entries.reserve(rows.size());
  for (const qint16 row : rows) entries.push_back(byRow[std::size_t(row - 1)]);
  const int direction = descending ? -1 : 1;
  std::stable_sort(entries.begin(), entries.end(), [direction](const Entry& a, const Entry& b) {
    // An empty key before any other.
    int primary = int(b.empty) - int(a.empty);
    if (!a.empty && !b.empty) primary = a.value < b.value ? -1 : int(a.value > b.value);
    if (primary != 0) return primary * direction < 0;
    // A song without an album (place 0) before one with.
    if (a.album != b.album) return a.album < b.album;
    return a.track < b.track;
  });
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = entries[i].row;
}

}  // namespace audiolume
