#pragma once

#include <QString>

#include "support/CurrentError.h"
#include "support/Diagnostics.h"
#include "support/ErrorCheck.h"
#include "support/ErrorLog.h"
#include "support/MessageCatalog.h"
#include "support/Registry.h"

namespace audiolume {

class Prompter;

/**
 * Owns the program-wide support objects for one application directory: the pending
 * error, the error log, the registry, the message catalog, the error check and the
 * diagnostics. Classes receive the pieces they use, never this object.
 */
class AppServices {
 public:
  AppServices(QString home, const QString& registryPath, Prompter& prompter);

  const QString& Home() const { return home_; }
  /** The settings file "VeltoDj.ini" of the application directory. */
  QString SettingsFile() const { return home_ + QStringLiteral("/VeltoDj.ini"); }

  Prompter& Asker() { return prompter_; }
  CurrentError& Error() { return error_; }
  const ErrorLog& Log() const { return log_; }
  Registry& Reg() { return registry_; }
  MessageCatalog& Catalog() { return catalog_; }
  ErrorCheck& Check() { return check_; }
  Diagnostics& Diagnose() { return diagnostics_; }

 private:
  QString home_;
  Prompter& prompter_;
  CurrentError error_;
  ErrorLog log_;
  Registry registry_;
  MessageCatalog catalog_;
  ErrorCheck check_;
  Diagnostics diagnostics_;
};

}  // namespace audiolume
