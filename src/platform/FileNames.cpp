#include "platform/FileNames.h"

#include <QDir>
#include <QFileInfo>

namespace audiolume::platform {

QString FindFileNoCase(const QString& folder, const QString& name) {
  const QDir dir(folder);
  if (QFileInfo::exists(dir.filePath(name))) return dir.filePath(name);
  const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
  for (const QString& entry : entries) {
    if (entry.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
  }
  return {};
}

QString FileInFolder(const QString& folder, const QString& name) {
  const QString found = FindFileNoCase(folder, name);
  return found.isEmpty() ? folder + u'/' + name : found;
}

}  // namespace audiolume::platform
