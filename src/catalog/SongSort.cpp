#include "catalog/SongSort.h"

#include <QLocale>
#include <algorithm>

#include "library/PlayTime.h"

namespace audiolume {

namespace {

constexpr int kAlbumColumn = 1;
constexpr int kSortPlayTimeColumn = 8;

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

const SongSort::Key& SongSort::KeyOf(int row, int column) {
  Key& key = keys_[std::size_t(column)][std::size_t(row - 1)];
  const bool fresh = column != kTrackNumberColumn && !key.source.isNull() &&
                     key.source.constData() == library_.SongText(row, column).constData() &&
                     key.source.size() == library_.SongText(row, column).size();
  if (!fresh) key = MakeKey(row, column);
  return key;
}

void SongSort::Sort(std::vector<qint16>& rows, int column, bool descending) {
  // The keys' parts that compare, side by side, so that comparing reads little memory.
  struct Entry {
    double value;
    const QCollatorSortKey* text;
    const QCollatorSortKey* album;
    bool empty;
    bool noAlbum;
    qint16 track;
    qint16 row;
  };
  // Grown before any key is taken, so that the keys stay where they are.
  for (const int keyed : {column, kAlbumColumn}) {
    std::vector<Key>& keys = keys_[std::size_t(keyed)];
    keys.resize(std::max(keys.size(), std::size_t(library_.SongCount())));
  }
  std::vector<Entry> entries;
  entries.reserve(rows.size());
  for (const qint16 row : rows) {
    const Key& key = KeyOf(row, column);
    const Key& album = KeyOf(row, kAlbumColumn);
    entries.push_back({key.value, key.text ? &*key.text : nullptr,
                       album.text ? &*album.text : nullptr, key.empty, album.empty,
                       library_.SongRecords(row).TrackNumber, row});
  }
  const int direction = descending ? -1 : 1;
  std::stable_sort(entries.begin(), entries.end(), [direction](const Entry& a, const Entry& b) {
    // An empty key before any other; two texts by their collation, two values by size.
    int primary = int(b.empty) - int(a.empty);
    if (!a.empty && !b.empty) {
      primary = a.text ? a.text->compare(*b.text) : a.value < b.value ? -1 : int(a.value > b.value);
    }
    if (primary != 0) return primary * direction < 0;
    if (a.noAlbum || b.noAlbum) {
      if (a.noAlbum != b.noAlbum) return a.noAlbum;
    } else if (const int album = a.album->compare(*b.album)) {
      return album < 0;
    }
    return a.track < b.track;
  });
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = entries[i].row;
}

}  // namespace audiolume
