#include "support/Registry.h"

#include <QDir>
#include <QFile>
#include <system_error>

#include "platform/CodePage.h"
#include "support/AppVersion.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

QString FullKey(Hive hive, const QString& key) {
  return HiveName(hive) + u'\\' + key;
}

QString ValueLine(const platform::RegistryStore::Value& value) {
  if (value.type == platform::RegistryStore::Type::Unknown) {
    return value.name + u" = Wrong data type: "_s + value.typeName;
  }
  return value.name + u" = "_s + value.data;
}

// The key's values, then each subkey's name and values; nothing when it cannot be read.
std::optional<QStringList> KeyDump(const platform::RegistryStore& store, const QString& key) {
  if (!store.KeyExists(key)) return std::nullopt;
  try {
    QStringList lines;
    for (const auto& value : store.Values(key)) lines.append(ValueLine(value));
    for (const QString& subKey : store.SubKeys(key)) {
      lines.append(subKey);
      for (const auto& value : store.Values(key + u'\\' + subKey)) lines.append(ValueLine(value));
    }
    return lines;
  } catch (const std::system_error&) {
    return std::nullopt;
  }
}

}  // namespace

QString HiveName(Hive hive) {
  switch (hive) {
    case Hive::ClassesRoot: return QStringLiteral("HKEY_CLASSES_ROOT");
    case Hive::CurrentUser: return QStringLiteral("HKEY_CURRENT_USER");
    case Hive::LocalMachine: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case Hive::Users: return QStringLiteral("HKEY_USERS");
  }
  return {};
}

Registry::Registry(platform::RegistryStore store) : store_(std::move(store)) {}

void Registry::CreateRegKey(Hive hive, const QString& key) {
  try {
    store_.CreateKey(FullKey(hive, key));
  } catch (const std::system_error&) {
    // Registry writes are best effort; the program runs without them.
  }
}

QString Registry::ReadRegValue(Hive hive, const QString& key, const QString& name) const {
  try {
    const auto value = store_.Read(FullKey(hive, key), name);
    if (!value || value->type == platform::RegistryStore::Type::Unknown) return {};
    return value->data;
  } catch (const std::system_error&) {
    return {};
  }
}

void Registry::SetRegValue(Hive hive, const QString& key, const QString& type, const QString& name,
                           const QString& value) {
  try {
    if (type == u"String") {
      store_.SetString(FullKey(hive, key), name, value);
    } else if (type == u"Number") {
      store_.SetNumber(FullKey(hive, key), name, static_cast<quint32>(value.toLongLong()));
    }
  } catch (const std::system_error&) {
    // Best effort, as above.
  }
}

void Registry::LogRegistryHive(Hive hive, const QString& key, const QString& logPath) const {
  QStringList lines{u"Version: "_s + kAppVersion, u"Cur Path = "_s + QDir::currentPath(),
                    FullKey(hive, key)};
  const QString full = FullKey(hive, key);
  const auto dump = KeyDump(store_, full);
  if (dump) {
    lines += *dump;
  } else {
    lines.append(u"Could not open '"_s + full + u"' key while Logging registry hive."_s);
  }
  QFile log(logPath);
  if (!log.open(QIODevice::WriteOnly | QIODevice::Append)) return;
  for (const QString& line : lines) log.write(platform::EncodeText(line) + '\n');
}

}  // namespace audiolume
