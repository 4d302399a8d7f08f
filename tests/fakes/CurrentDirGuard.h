#pragma once

#include <QDir>

namespace audiolume::test {

/** Code under test changes the process's current folder; this puts it back. */
class CurrentDirGuard {
 public:
  CurrentDirGuard() : previous_(QDir::currentPath()) {}
  ~CurrentDirGuard() { QDir::setCurrent(previous_); }
  CurrentDirGuard(const CurrentDirGuard&) = delete;
  CurrentDirGuard& operator=(const CurrentDirGuard&) = delete;

 private:
  QString previous_;
};

}  // namespace audiolume::test
