#include "platform/IniProfile.h"

#include <system_error>

#include "platform/IniDocument.h"

namespace audiolume::platform {

QString IniProfile::ReadString(const QString& path, const QString& section, const QString& key) {
  return ReadWholeString(path, section, key).left(kMaxValueLength);
}

QString IniProfile::ReadWholeString(const QString& path, const QString& section,
                                    const QString& key) {
  try {
    return IniDocument::Load(path).Value(section, key).value_or(QString());
  } catch (const std::system_error&) {
    return {};
  }
}

bool IniProfile::WriteString(const QString& path, const QString& section, const QString& key,
                             const QString& value) {
  try {
    IniDocument doc = IniDocument::Load(path);
    doc.SetValue(section, key, value);
    doc.Save(path);
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

}  // namespace audiolume::platform
