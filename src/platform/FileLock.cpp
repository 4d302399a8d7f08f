#include "platform/FileLock.h"

#include <cerrno>

#include "platform/FileError.h"

namespace audiolume::platform {

FileLock::FileLock(const QString& file, int waitMs) : lock_(file + QStringLiteral(".lock")) {
  if (!lock_.tryLock(waitMs)) {
    throw FileError(lock_.error() == QLockFile::LockFailedError ? EBUSY : EACCES,
                    file + QStringLiteral(".lock"));
  }
}

}  // namespace audiolume::platform
