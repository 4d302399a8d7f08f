#include <QApplication>

#include "app/AppHome.h"
#include "app/Jukebox.h"
#include "app/LaunchEnvironment.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Audiolume"));
  const audiolume::LaunchEnvironment env = audiolume::LaunchEnvironment::FromProcess();
  audiolume::StartupOptions options{
      env.home,     env.registryPath,
      env.dataHome, audiolume::AppHome::ShippedDataDir(QApplication::applicationDirPath()),
      env.cdDrives, QApplication::arguments().mid(1).join(u' '),
      env.audio,    QApplication::arguments().mid(1)};
  audiolume::Jukebox jukebox(std::move(options),
                             audiolume::platform::SingleInstance::DefaultName());
  return jukebox.Run();
}
