#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace audiolume {

class SongLibrary;

/**
 * Finds songs by typed words, blind to letter case and accents: a row matches when its
 * title, album, artist, genre, tempo, mood, situation, preference or file name (without
 * its folder) holds every word. Each row's texts are folded once and kept while the
 * library's texts stay the same strings, so that a keystroke only compares. UI thread only.
 */
class SongSearch {
 public:
  explicit SongSearch(const SongLibrary& library) : library_(library) {}

  /** A text as the search compares it: decomposed, without accents, case folded. */
  static QString Fold(const QString& text);
  /** The folded words of a typed text; none when it holds only blanks. */
  static QStringList Words(const QString& typed);

  /** Whether the row's texts hold every one of the folded words. */
  bool Matches(int row, const QStringList& words);

 private:
  static constexpr int kSearched = 9;
  struct Folded {
    std::array<QString, kSearched> sources;  // held, so that their memory is not reused
    QString text;                            // the folded texts, one per line
  };

  const QString& FoldedRow(int row);

  const SongLibrary& library_;
  std::vector<Folded> rows_;
};

}  // namespace audiolume
