#include "support/PathNames.h"

namespace audiolume {

PathParts SplitPathName(const QString& path) {
  const qsizetype slash = path.lastIndexOf(u'/');
  if (slash < 0) return {QString(), path};
  return {path.left(slash), path.mid(slash + 1)};
}

NameParts SplitFileExtension(const QString& name) {
  const qsizetype dot = name.lastIndexOf(u'.');
  if (dot < 0) return {name, QString()};
  return {name.left(dot), name.mid(dot + 1)};
}

bool HasExtension(const QString& path, const QString& extension) {
  return SplitFileExtension(SplitPathName(path).name)
             .extension.compare(extension, Qt::CaseInsensitive) == 0;
}

}  // namespace audiolume
