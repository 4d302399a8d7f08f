#pragma once

#include <QList>
#include <QString>
#include <array>

namespace audiolume {

/**
 * The ID3v1 genre names of the catalog file "ID3v1.cat" (section "ID3 Genres", numbers
 * 0 to 125), and the order in which the file lists them. The file is shipped data, read
 * once by Load. Without it every name is empty and every name's number is 12.
 */
class GenreCatalog {
 public:
  static constexpr int kLastGenre = 125;
  static constexpr int kFallbackGenre = 12;  // "Other"

  void Load(const QString& catalogFile);

  QString GenreName(int number) const;
  /** The named genres' numbers in the order of the file's lines. */
  const QList<int>& FileOrder() const { return fileOrder_; }

  /** The number whose name equals name without regard to case; else the last number
   *  whose name starts with the same four characters; else 12. */
  int GenreNumber(const QString& name) const;

 private:
  std::array<QString, kLastGenre + 1> names_;
  QList<int> fileOrder_;
};

}  // namespace audiolume
