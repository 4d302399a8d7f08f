#include "library/GenreCatalog.h"

#include "support/IniSettings.h"

namespace audiolume {

void GenreCatalog::Load(const QString& catalogFile) {
  for (int number = 0; number <= kLastGenre; ++number) {
    names_[number] =
        ReadIniString(catalogFile, QStringLiteral("ID3 Genres"), QString::number(number));
  }
}

QString GenreCatalog::GenreName(int number) const {
  return number >= 0 && number <= kLastGenre ? names_[number] : QString();
}

int GenreCatalog::GenreNumber(const QString& name) const {
  const QString wanted = name.toLower();
  int fallback = kFallbackGenre;
  for (int number = 0; number <= kLastGenre; ++number) {
    const QString candidate = names_[number].toLower();
    if (candidate == wanted) return number;
    if (candidate.left(4) == wanted.left(4)) fallback = number;
  }
  return fallback;
}

}  // namespace audiolume
