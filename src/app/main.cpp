#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>

#include "app/AppHome.h"
#include "app/AppServices.h"
#include "app/LaunchEnvironment.h"
#include "support/MessageIds.h"
#include "support/QtPrompter.h"

using namespace audiolume;

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Audiolume"));
  const LaunchEnvironment env = LaunchEnvironment::FromProcess();

  const QString home =
      AppHome::Resolve(env.home, Registry(platform::RegistryStore(env.registryPath)), env.dataHome);
  AppHome::InstallShippedFiles(AppHome::ShippedDataDir(QApplication::applicationDirPath()), home);
  QDir::setCurrent(home);

  QtPrompter prompter;
  AppServices services(home, env.registryPath, prompter);
  services.Catalog().LoadMessageFiles();
  prompter.SetAppearance(services.Catalog().GetMsg(RC_TWPL_Title),
                         services.Catalog().MessageFont());

  QMainWindow window;
  window.setWindowTitle(services.Catalog().GetMsg(RC_PlayerTitle));
  window.setCentralWidget(new QLabel(services.Catalog().GetMsg(RC_TWPL_Title), &window));
  window.resize(480, 320);
  window.show();
  return QApplication::exec();
}
