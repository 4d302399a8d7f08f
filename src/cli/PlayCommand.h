#pragma once

#include <QStringList>
#include <cstdio>

namespace audiolume {

class VeltoDj;

/** "twpl play": plays files as one queue, in order, once. */
class PlayCommand {
 public:
  PlayCommand(VeltoDj& veltoDj, QString audioChoice, std::FILE* out, std::FILE* err);

  /** args: [--null-audio] [--speed FACTOR] FILE…; returns the exit code (1 when a file
   *  could not be played, 2 for bad arguments). */
  int Run(QStringList args);

 private:
  VeltoDj& veltoDj_;
  QString audioChoice_;
  std::FILE* out_;
  std::FILE* err_;
};

}  // namespace audiolume
