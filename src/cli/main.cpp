#include <QCoreApplication>

#include "cli/Twpl.h"

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QStringList args = QCoreApplication::arguments().mid(1);
  audiolume::Twpl twpl(audiolume::LaunchEnvironment::FromProcess(),
                       QCoreApplication::applicationDirPath(), stdout, stderr);
  return twpl.Run(args);
}
