#pragma once

#include <QCollator>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "library/SongLibrary.h"

namespace audiolume {

/**
 * The library window's sort, as people expect it: play time, last played, play count
 * and track number by value; the texts by the desktop's collation, case aside, numbers
 * inside them compared as numbers ("Song 2" before "Song 10"). Empty keys come first
 * ascending. Songs with equal keys keep album, then track-number order, then the order
 * they had. A row's key is made once and kept while its text stays the same string; a
 * text column's keys are put in order once and kept as each row's place in that order,
 * while none of them changes, so that a sort compares numbers. UI thread only.
 */
class SongSort {
 public:
  /** The column of the record's track number; the library keeps no text for it. */
  static constexpr int kTrackNumberColumn = 13;

  explicit SongSort(const SongLibrary& library);

  /** The desktop language's collation, case aside, numbers as numbers; for a desktop
   *  without a language ("C", "POSIX") English's, which keeps accented letters beside
   *  theirs. */
  static QCollator DesktopCollator();

  /** Orders rows (library row numbers) by a column from 0 to 13. */
  void Sort(std::vector<qint16>& rows, int column, bool descending);

 private:
  struct Key {
    QString source;  // held, so that its memory is not reused by another text
    std::optional<QCollatorSortKey> text;
    double value = 0;
    bool empty = true;
  };

  /** Every row's key of a column, made again for the rows whose text changed. */
  const std::vector<Key>& KeysOf(int column);
  Key MakeKey(int row, int column) const;
  /** Every row's place among a text column's texts in collation order: equal texts
   *  equal, 0 for an empty text. Made again when a text of the column changed. */
  const std::vector<int>& Ranks(int column);

  const SongLibrary& library_;
  QCollator collator_;
  std::array<std::vector<Key>, SongLibrary::kTextColumns> keys_;
  std::array<std::vector<int>, SongLibrary::kTextColumns> ranks_;  // none when to be made
};

}  // namespace audiolume
