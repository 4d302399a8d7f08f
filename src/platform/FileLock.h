#pragma once

#include <QLockFile>
#include <QString>

namespace audiolume::platform {

/**
 * Holds "NAME.lock" beside a file while this process reads, changes and replaces it, so
 * that the jukebox and `twpl`, which may both change the file, take turns instead of one
 * writing over what the other just wrote. A lock left by a process that died is taken
 * over. Throws FileError (EBUSY) when the lock cannot be had within a few seconds: the
 * other side holds it only for one read and one write.
 */
class FileLock {
 public:
  static constexpr int kWaitMs = 5000;

  explicit FileLock(const QString& file, int waitMs = kWaitMs);
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  QLockFile lock_;
};

}  // namespace audiolume::platform
