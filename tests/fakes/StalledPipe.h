#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <QTest>
#include <thread>

namespace audiolume::test {

/**
 * A named pipe standing in for a song on a device that stopped answering: it gives two
 * bytes, then nothing for holdMs, then ends. A copy reading it is held in the kernel.
 */
class StalledPipe {
 public:
  StalledPipe(const QString& path, int holdMs)
      : name_(QFile::encodeName(path)), made_(::mkfifo(name_.constData(), 0600) == 0) {
    if (!made_) return;
    writer_ = std::thread([this, holdMs] {
      const int fd = ::open(name_.constData(), O_WRONLY);
      (void)::write(fd, "ab", 2);
      QTest::qSleep(holdMs);
      ::close(fd);
    });
  }
  ~StalledPipe() { Release(); }
  StalledPipe(const StalledPipe&) = delete;
  StalledPipe& operator=(const StalledPipe&) = delete;

  bool Made() const { return made_; }
  /** Waits until the pipe has ended. */
  void Release() {
    if (!writer_.joinable()) return;
    // A reader of its own, so that the writer never waits for one that did not come.
    const int fd = ::open(name_.constData(), O_RDONLY | O_NONBLOCK);
    writer_.join();
    if (fd >= 0) ::close(fd);
  }

 private:
  QByteArray name_;
  bool made_;
  std::thread writer_;
};

}  // namespace audiolume::test
