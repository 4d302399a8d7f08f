#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <cstdio>
#include <functional>

namespace audiolume::bench {

/** The wall-clock seconds work takes. */
inline double Seconds(const std::function<void()>& work) {
  QElapsedTimer timer;
  timer.start();
  work();
  return double(timer.nsecsElapsed()) / 1e9;
}

/** Runs a reference tool to its end, in folder when one is given; false when it failed. */
inline bool RunTool(const QString& program, const QStringList& args, const QString& folder = {}) {
  QProcess process;
  if (!folder.isEmpty()) process.setWorkingDirectory(folder);
  process.start(program, args);
  return process.waitForFinished(600000) && process.exitCode() == 0;
}

/** One line of figures: ours beside the reference's, their ratio and whether it is within
 *  target times the reference. */
inline void Report(const char* what, double ours, const char* tool, double theirs, double target) {
  std::printf("%-22s %6.2f s   %-26s %6.2f s   ratio %.2f, target %.1f (%s)\n", what, ours, tool,
              theirs, ours / theirs, target, ours <= target * theirs ? "met" : "NOT met");
}

}  // namespace audiolume::bench
