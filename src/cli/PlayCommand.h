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
              QString audioChoice, QString settingsFile, std::FILE* out, std::FILE* err);

  /** args: [--null-audio] [--speed FACTOR] [--replaygain off|track|album] FILE…; returns
   *  the exit code (1 when a file could not be played, 2 for bad arguments). Without
   *  --replaygain, songs are leveled as the settings file's ReplayGain section says. */
  int Run(QStringList args);

 private:
  SongLibrary& library_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
  QString audioChoice_;
  QString settingsFile_;
  std::FILE* out_;
  std::FILE* err_;
};

}  // namespace audiolume
