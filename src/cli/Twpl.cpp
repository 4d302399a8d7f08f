#include "cli/Twpl.h"

#include <QDir>
#include <functional>
#include <map>

#include "app/AppHome.h"
#include "app/AppServices.h"
#include "support/CommandLinePrompter.h"
#include "support/MessageTable.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const char* const kUsage =
    "usage: twpl [--home DIR] COMMAND ...\n"
    "commands:\n"
    "  messages              list every message: number, name, built-in text\n"
    "  msg N [VALUE]         the text of message N, with VALUE in its placeholder\n"
    "  diagnostics           capture diagnostics; prints the path of Diagnostic.log\n";

}  // namespace

Twpl::Twpl(LaunchEnvironment env, QString executableDir, std::FILE* out, std::FILE* err)
    : env_(std::move(env)), executableDir_(std::move(executableDir)), out_(out), err_(err) {}

void Twpl::Print(const QString& line) const {
  std::fputs(line.toUtf8().constData(), out_);
  std::fputc('\n', out_);
}

int Twpl::Usage(const QString& problem) const {
  if (!problem.isEmpty()) std::fprintf(err_, "twpl: %s\n", problem.toUtf8().constData());
  std::fputs(kUsage, err_);
  return 2;
}

int Twpl::Run(QStringList args) {
  QString home = env_.home;
  if (!args.isEmpty() && args.first() == u"--home") {
    if (args.size() < 2) return Usage(QStringLiteral("--home needs a folder"));
    home = args[1];
    args = args.mid(2);
  }
  if (args.isEmpty()) return Usage({});
  const QString command = args.takeFirst();

  using Handler = std::function<int(const Twpl&, AppServices&, const QStringList&)>;
  const std::map<QString, Handler> commands = {
      {QStringLiteral("messages"), &Twpl::Messages},
      {QStringLiteral("msg"), &Twpl::Msg},
      {QStringLiteral("diagnostics"), &Twpl::Diagnose},
  };
  const auto found = commands.find(command);
  if (found == commands.end()) return Usage(u"unknown command '"_s + command + u"'"_s);

  // A home given explicitly is used as it is and never registered.
  const Registry registry{platform::RegistryStore(env_.registryPath)};
  home = AppHome::Resolve(home, registry, env_.dataHome);
  AppHome::InstallShippedFiles(AppHome::ShippedDataDir(executableDir_), home);
  QDir::setCurrent(home);

  CommandLinePrompter prompter({}, err_);
  AppServices services(home, env_.registryPath, prompter);
  services.Catalog().LoadMessageFiles();
  return found->second(*this, services, args);
}

int Twpl::Messages(AppServices& /*services*/, const QStringList& args) const {
  if (!args.isEmpty()) return Usage(QStringLiteral("messages takes no arguments"));
  for (int number = MessageTable::kFirst; number <= MessageTable::kLast; ++number) {
    Print(QString::number(number) + u'\t' + MessageTable::NameAt(number - 500) + u'\t' +
          MessageTable::Text(number));
  }
  return 0;
}

int Twpl::Msg(AppServices& services, const QStringList& args) const {
  if (args.isEmpty() || args.size() > 2) return Usage(QStringLiteral("msg needs N [VALUE]"));
  bool ok = false;
  const int number = args[0].toInt(&ok);
  if (!ok) return Usage(u"not a message number: "_s + args[0]);
  Print(args.size() == 2 ? services.Catalog().GetMsgWithValue(number, args[1])
                         : services.Catalog().GetMsg(number));
  return 0;
}

int Twpl::Diagnose(AppServices& services, const QStringList& args) const {
  if (!args.isEmpty()) return Usage(QStringLiteral("diagnostics takes no arguments"));
  Print(services.Diagnose().CaptureDiagnostics());
  return 0;
}

}  // namespace audiolume
