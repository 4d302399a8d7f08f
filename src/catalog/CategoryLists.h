#pragma once

#include <QStringList>
#include <array>

namespace audiolume {

class GenreCatalog;

/**
 * The lists offered for the genre and the four category columns: list 0 holds the genre
 * names of the genre catalog in the catalog file's order, lists 1 to 4 the tempo, mood, situation
 * and preference entries of "VeltoDj.cat". Section names are compared without regard to case; lines
 * before the first section of "VeltoDj.cat" go to list 0 too.
 */
class CategoryLists {
 public:
  static constexpr int kLists = 5;
  static constexpr int kGenreColumn = 3;

  /** Reads the category file; a missing file gives empty category lists. */
  void Load(const QString& categoryFile, const GenreCatalog& genres);

  const QStringList& List(int index) const { return lists_.at(std::size_t(index)); }
  /** The list of a library column (3 genre to 7 preference); nothing for the others. */
  const QStringList* ForColumn(int column) const;

  /** The first entry that begins with typed, without regard to case; empty when none. */
  static QString Complete(const QStringList& list, const QString& typed);

 private:
  std::array<QStringList, kLists> lists_;
};

}  // namespace audiolume
