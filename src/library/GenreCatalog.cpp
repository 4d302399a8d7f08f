#include "library/GenreCatalog.h"

#include <array>
#include <system_error>
#include <utility>

#include "platform/IniDocument.h"
#include "platform/IniProfile.h"
#include "support/IniSettings.h"

namespace audiolume {

// The section is read once, in the file's order; a key that is not one of the numbers, as
// they are written, names no genre.
void GenreCatalog::Load(const QString& catalogFile) {
  names_.fill({});
  fileOrder_.clear();
  QList<QPair<QString, QString>> entries;
  try {
    entries = platform::IniDocument::Load(ResolveIniPath(catalogFile))
                  .Entries(QStringLiteral("ID3 Genres"));
  } catch (const std::system_error&) {
    return;  // no catalog: no names
  }
  std::array<bool, kLastGenre + 1> seen{};
  for (const auto& [key, value] : entries) {
    bool number = false;
    const int genre = key.toInt(&number);
    if (!number || genre < 0 || genre > kLastGenre || key != QString::number(genre)) continue;
    if (std::exchange(seen[std::size_t(genre)], true)) continue;  // the first entry counts
    names_[std::size_t(genre)] = value.left(platform::IniProfile::kMaxValueLength);
    if (!value.isEmpty()) fileOrder_.append(genre);
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
