#include "platform/RegistryStore.h"

#include <QDir>
#include <QFileInfo>
#include <system_error>

#include "platform/IniDocument.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume::platform {

namespace {

RegistryStore::Value ParseValue(const QString& name, const QString& stored) {
  RegistryStore::Value value{name, RegistryStore::Type::Unknown, {}, {}};
  const qsizetype colon = stored.indexOf(u':');
  value.typeName = stored.left(colon);
  value.data = colon < 0 ? QString() : stored.mid(colon + 1);
  if (value.typeName == u"string") {
    value.type = RegistryStore::Type::String;
  } else if (value.typeName == u"number") {
    bool ok = false;
    value.data.toUInt(&ok);
    if (ok) value.type = RegistryStore::Type::Number;
  }
  return value;
}

QString Normalized(const QString& key) {
  QString path = key;
  while (path.endsWith(u'\\')) path.chop(1);
  return path;
}

}  // namespace

RegistryStore::RegistryStore(QString path) : path_(std::move(path)) {}

bool RegistryStore::KeyExists(const QString& key) const {
  // Writing a key creates its parents, so a key with subkeys exists too.
  try {
    return IniDocument::Load(path_).HasSection(Normalized(key)) || !SubKeys(key).isEmpty();
  } catch (const std::system_error&) {
    return false;
  }
}

void RegistryStore::CreateKey(const QString& key) {
  QDir().mkpath(QFileInfo(path_).absolutePath());
  IniDocument doc = IniDocument::Load(path_);
  doc.AddSection(Normalized(key));
  doc.Save(path_);
}

void RegistryStore::SetString(const QString& key, const QString& name, const QString& text) {
  Set(key, name, u"string:"_s + text);
}

void RegistryStore::SetNumber(const QString& key, const QString& name, quint32 number) {
  Set(key, name, u"number:"_s + QString::number(number));
}

void RegistryStore::Set(const QString& key, const QString& name, const QString& stored) {
  QDir().mkpath(QFileInfo(path_).absolutePath());
  IniDocument doc = IniDocument::Load(path_);
  doc.SetValue(Normalized(key), name, stored);
  doc.Save(path_);
}

std::optional<RegistryStore::Value> RegistryStore::Read(const QString& key,
                                                        const QString& name) const {
  const auto stored = IniDocument::Load(path_).Value(Normalized(key), name);
  if (!stored) return std::nullopt;
  return ParseValue(name, *stored);
}

QList<RegistryStore::Value> RegistryStore::Values(const QString& key) const {
  QList<Value> values;
  const auto entries = IniDocument::Load(path_).Entries(Normalized(key));
  for (const auto& [name, stored] : entries) values.append(ParseValue(name, stored));
  return values;
}

QStringList RegistryStore::SubKeys(const QString& key) const {
  const QString prefix = Normalized(key) + u'\\';
  QStringList keys;
  for (const QString& section : IniDocument::Load(path_).Sections()) {
    if (section.startsWith(prefix, Qt::CaseInsensitive)) keys.append(section.mid(prefix.size()));
  }
  return keys;
}

}  // namespace audiolume::platform
