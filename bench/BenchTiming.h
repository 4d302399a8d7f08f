#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <functional>

namespace audiolume::bench {

/** The wall-clock seconds work takes. */
inline double Seconds(const std::function<void()>& work) {
  QElapsedTimer timer;
  timer.start();
  work();
  return double(timer.nsecsElapsed()) / 1e9;
}

/** Runs a reference tool to its end; false when it failed. */
inline bool RunTool(const QString& program, const QStringList& args) {
  QProcess process;
  process.start(program, args);
  return process.waitForFinished(600000) && process.exitCode() == 0;
}

}  // namespace audiolume::bench
