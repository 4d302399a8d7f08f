#include "app/AppServices.h"

namespace audiolume {

AppServices::AppServices(QString home, const QString& registryPath, Prompter& prompter)
    : home_(std::move(home)),
      prompter_(prompter),
      log_(home_ + QStringLiteral("/TW_Error.log"), error_),
      registry_(platform::RegistryStore(registryPath)),
      catalog_(home_, SettingsFile(), log_, prompter_),
      check_(error_, log_, prompter_),
      diagnostics_(home_, SettingsFile(), registry_, catalog_, prompter_) {}

}  // namespace audiolume
