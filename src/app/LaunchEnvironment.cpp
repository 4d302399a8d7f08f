#include "app/LaunchEnvironment.h"

#include <QStandardPaths>

namespace audiolume {

LaunchEnvironment LaunchEnvironment::FromProcess() {
  LaunchEnvironment env;
  env.home = qEnvironmentVariable("AUDIOLUME_HOME");
  env.registryPath = qEnvironmentVariable("AUDIOLUME_REGISTRY");
  if (env.registryPath.isEmpty()) {
    env.registryPath = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                       QStringLiteral("/Audiolume/registry.ini");
  }
  env.dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  env.audio = qEnvironmentVariable("AUDIOLUME_AUDIO");
  env.cdDrives = qEnvironmentVariable("AUDIOLUME_CD_DRIVES");
  return env;
}

}  // namespace audiolume
