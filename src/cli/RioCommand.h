#pragma once

#include <QStringList>
#include <cstdio>

namespace audiolume {

class Collection;
class CommandLinePrompter;
class MessageCatalog;

/** "twpl rio export": sends songs to the portable player as the export window does. */
class RioCommand {
 public:
  RioCommand(Collection& collection, MessageCatalog& catalog, CommandLinePrompter& prompter,
             QString home, std::FILE* out, std::FILE* err);

  /** args: [--device DIR] [--bitrate BPS] [--clear [--yes]] FILE… (paths already
   *  absolute); --clear erases the songs sent earlier only with --yes.
   *  Prints "N<TAB>path on the player" per song that arrived, then the count report.
   *  Returns 1 when a song did not arrive, 2 for bad arguments. */
  int Export(QStringList args);

 private:
  int Fail(const QString& problem) const;

  Collection& collection_;
  MessageCatalog& catalog_;
  CommandLinePrompter& prompter_;
  QString home_;
  std::FILE* out_;
  std::FILE* err_;
};

}  // namespace audiolume
