#include "library/DatabaseLock.h"

#include <cerrno>

#include "platform/FileError.h"
#include "support/AppError.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

// A save takes well under a second; waiting longer would only freeze the window.
constexpr int kWaitMs = 3000;

}  // namespace

// The lock beside the database is the one every shared file of the program uses; only
// the message is the library's own.
DatabaseLock::DatabaseLock(const QString& workingDir) try
    : lock_(workingDir + u"/TWPL.TWD"_s, kWaitMs) {
} catch (const platform::FileError& error) {
  if (error.code().value() == EBUSY) {
    throw AppError(kErrPathFileAccess,
                   workingDir + u"/TWPL.TWD is being saved by another program"_s);
  }
  throw AppError(kErrPermissionDenied, error.Path());
}

}  // namespace audiolume
