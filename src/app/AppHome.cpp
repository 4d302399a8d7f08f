#include "app/AppHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "support/AppVersion.h"
#include "support/Registry.h"

namespace audiolume {

QString AppHome::Resolve(const QString& explicitHome, const Registry& registry,
                         const QString& dataHome) {
  QString home = explicitHome;
  if (home.isEmpty()) {
    const QString registered =
        registry.ReadRegValue(Hive::LocalMachine, kProgramKey, QStringLiteral("AppPath"));
    home = QFileInfo(registered).isDir() ? registered : dataHome + QStringLiteral("/Audiolume");
  }
  QDir().mkpath(home);
  return QDir::cleanPath(QFileInfo(home).absoluteFilePath());
}

QString AppHome::ShippedDataDir(const QString& executableDir) {
  return QDir::cleanPath(executableDir + QStringLiteral("/../share/audiolume"));
}

QString AppHome::HelperProgramDir(const QString& executableDir) {
  return QDir::cleanPath(executableDir + QStringLiteral("/../libexec/audiolume"));
}

void AppHome::InstallShippedFiles(const QString& shippedDir, const QString& home) {
  const QDir shipped(shippedDir);
  const QFileInfoList entries =
      shipped.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QFileInfo& entry : entries) {
    const QString target = home + u'/' + entry.fileName();
    if (entry.isDir()) {
      QDir().mkpath(target);
      InstallShippedFiles(entry.absoluteFilePath(), target);
    } else if (!QFileInfo::exists(target)) {
      QFile::copy(entry.absoluteFilePath(), target);
    }
  }
}

}  // namespace audiolume
