#pragma once

#include <QString>

#include "platform/RegistryStore.h"

namespace audiolume {

enum class Hive { ClassesRoot, CurrentUser, LocalMachine, Users };

QString HiveName(Hive hive);

/**
 * Registry access for the rest of the program. Every operation is silent on failure: a
 * read gives the empty text, a write does nothing. UI thread only.
 */
class Registry {
 public:
  explicit Registry(platform::RegistryStore store);

  void CreateRegKey(Hive hive, const QString& key);

  /** A string value as it is, a number as its decimal text; empty when missing. */
  QString ReadRegValue(Hive hive, const QString& key, const QString& name) const;

  /** type "String" writes a string, "Number" a 32-bit number; any other writes nothing. */
  void SetRegValue(Hive hive, const QString& key, const QString& type, const QString& name,
                   const QString& value);

  /**
   * Appends to logPath the version, the current folder, the key's full path, its values
   * and then each subkey's name followed by its values, one "name = data" line each.
   */
  void LogRegistryHive(Hive hive, const QString& key, const QString& logPath) const;

 private:
  platform::RegistryStore store_;
};

}  // namespace audiolume
