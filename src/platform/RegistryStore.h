#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace audiolume::platform {

/**
 * The registry of the original platform, kept as an INI file: one section per key, named
 * by its full path ("HKEY_LOCAL_MACHINE\Software\..."), one entry per value written as
 * "name=string:text" or "name=number:decimal". Key paths compare without regard to case.
 * Not cached; each call reads or rewrites the file. Every member but KeyExists throws
 * std::system_error when the store cannot be read or written.
 */
class RegistryStore {
 public:
  enum class Type { String, Number, Unknown };

  struct Value {
    QString name;
    Type type = Type::Unknown;
    QString data;      // the text, or the number in decimal
    QString typeName;  // as stored, for reporting an unknown type
  };

  explicit RegistryStore(QString path);

  const QString& Path() const { return path_; }

  bool KeyExists(const QString& key) const;

  void CreateKey(const QString& key);
  void SetString(const QString& key, const QString& name, const QString& text);
  void SetNumber(const QString& key, const QString& name, quint32 number);

  std::optional<Value> Read(const QString& key, const QString& name) const;

  /** The values of key in the order they were first written. */
  QList<Value> Values(const QString& key) const;

  /** Every key below key, at any depth, as paths relative to it, in store order. */
  QStringList SubKeys(const QString& key) const;

 private:
  void Set(const QString& key, const QString& name, const QString& stored);

  QString path_;
};

}  // namespace audiolume::platform
