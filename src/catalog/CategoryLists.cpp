#include "catalog/CategoryLists.h"

#include "library/GenreCatalog.h"
#include "platform/CodePage.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

// A missing or unreadable file (a FIFO, a device, one far too large) gives empty lists.
QStringList FileLines(const QString& path) {
  QByteArray bytes;
  try {
    bytes = platform::FileOps::ReadFile(path);
  } catch (const platform::FileError&) {
    return {};
  }
  QStringList lines;
  for (const QByteArray& line : bytes.split('\n')) {
    lines.append(platform::DecodeText(line).trimmed());
  }
  return lines;
}

}  // namespace

void CategoryLists::Load(const QString& categoryFile, const GenreCatalog& genres) {
  for (QStringList& list : lists_) list.clear();
  for (const int number : genres.FileOrder()) lists_[0].append(genres.GenreName(number));
  const QStringList sections{u"[tempo]"_s, u"[mood]"_s, u"[situation]"_s, u"[preference]"_s};
  int list = 0;
  for (const QString& line : FileLines(categoryFile)) {
    if (line.startsWith(u'[')) {
      list = -1;
      for (int i = 0; i < sections.size(); ++i) {
        if (line.compare(sections[i], Qt::CaseInsensitive) == 0) list = i + 1;
      }
    } else if (list >= 0 && !line.isEmpty()) {
      lists_[std::size_t(list)].append(line);
    }
  }
}

const QStringList* CategoryLists::ForColumn(int column) const {
  const int index = column - kGenreColumn;
  return index >= 0 && index < kLists ? &lists_[std::size_t(index)] : nullptr;
}

QString CategoryLists::Complete(const QStringList& list, const QString& typed) {
  if (typed.isEmpty()) return {};
  for (const QString& entry : list) {
    if (entry.startsWith(typed, Qt::CaseInsensitive)) return entry;
  }
  return {};
}

}  // namespace audiolume
