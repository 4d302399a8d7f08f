#include "library/GenreCatalog.h"

#include <system_error>

#include "platform/IniDocument.h"
#include "platform/IniProfile.h"
#include "support/IniSettings.h"

namespace audiolume {

// The file is read once for all the names, however large it is.
void GenreCatalog::Load(const QString& catalogFile) {
  platform::IniDocument catalog;
  try {
    catalog = platform::IniDocument::Load(ResolveIniPath(catalogFile));
  } catch (const std::system_error&) {
    // An unreadable catalog is a missing one.
  }
  for (int number = 0; number <= kLastGenre; ++number) {
    names_[number] = catalog.Value(QStringLiteral("ID3 Genres"), QString::number(number))
                         .value_or(QString())
                         .left(platform::IniProfile::kMaxValueLength);
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
