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

void AppHome::InstallShippedFiles(const QString& shippedDir, const QString& home) {
  const QDir shipped(shippedDir);
  const QFileInfoList files = shipped.entryInfoList(QDir::Files);
  for (const QFileInfo& file : files) {
    const QString target = home + u'/' + file.fileName();
    if (!QFileInfo::exists(target)) QFile::copy(file.absoluteFilePath(), target);
  }
}

}  // namespace audiolume
