#pragma once

#include <QString>

#include "platform/FileLock.h"

namespace audiolume {

/**
 * Holds the lock file "TWPL.TWD.lock" in the working directory while a program changes the
 * library database, so that the jukebox and twpl never interleave a read and a write of
 * "TWPL.TWD". A lock left by a program that died is taken over. UI thread only.
 */
class DatabaseLock {
 public:
  /** Takes the lock, waiting a few seconds at most for another program to finish its
   *  save. Throws AppError when it cannot: Path/File access error while another
   *  program keeps it, Permission denied when the lock file cannot be made. */
  explicit DatabaseLock(const QString& workingDir);
  ~DatabaseLock() = default;
  DatabaseLock(const DatabaseLock&) = delete;
  DatabaseLock& operator=(const DatabaseLock&) = delete;

 private:
  platform::FileLock lock_;
};

}  // namespace audiolume
