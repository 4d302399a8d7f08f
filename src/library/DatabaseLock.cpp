#include "library/DatabaseLock.h"

#include "support/AppError.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

// A save takes well under a second; waiting longer would only freeze the window.
constexpr int kWaitMs = 3000;

}  // namespace

DatabaseLock::DatabaseLock(const QString& workingDir) : lock_(workingDir + u"/TWPL.lck"_s) {
  if (lock_.tryLock(kWaitMs)) return;
  if (lock_.error() == QLockFile::LockFailedError) {
    throw AppError(kErrPathFileAccess,
                   workingDir + u"/TWPL.TWD is being saved by another program"_s);
  }
  throw AppError(kErrPermissionDenied, workingDir + u"/TWPL.lck"_s);
}

}  // namespace audiolume
