#pragma once

#include <QStringList>
#include <cstdio>

namespace audiolume {

class MessageCatalog;
class Prompter;
class SongLibrary;

/** "twpl play": plays files as one queue, in order, once. */
class PlayCommand {
 public:
  PlayCommand(SongLibrary& library, MessageCatalog& catalog, Prompter& prompter,
              QString audioChoice, std::FILE* out, std::FILE* err);

  /** args: [--null-audio] [--speed FACTOR] FILE…; returns the exit code (1 when a file
   *  could not be played, 2 for bad arguments). */
  int Run(QStringList args);

 private:
  SongLibrary& library_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
  QString audioChoice_;
  std::FILE* out_;
  std::FILE* err_;
};

}  // namespace audiolume
