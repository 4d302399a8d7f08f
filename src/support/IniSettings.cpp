#include "support/IniSettings.h"

#include <QDir>

#include "platform/IniProfile.h"

namespace audiolume {

QString ResolveIniPath(const QString& file) {
  return file.contains(u'/') ? file : QDir::currentPath() + u'/' + file;
}

QString ReadIniString(const QString& file, const QString& section, const QString& key) {
  return platform::IniProfile::ReadString(ResolveIniPath(file), section, key);
}

QString ReadIniWhole(const QString& file, const QString& section, const QString& key) {
  return platform::IniProfile::ReadWholeString(ResolveIniPath(file), section, key);
}

QString ReadIniDefault(const QString& file, const QString& section, const QString& key,
                       const QString& defaultValue) {
  const QString value = ReadIniString(file, section, key);
  return value.isEmpty() ? defaultValue : value;
}

bool WriteIniString(const QString& file, const QString& section, const QString& key,
                    const QString& value) {
  return platform::IniProfile::WriteString(ResolveIniPath(file), section, key, value);
}

}  // namespace audiolume
