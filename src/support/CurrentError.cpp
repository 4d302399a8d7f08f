#include "support/CurrentError.h"

#include <cerrno>
#include <new>
#include <system_error>

#include "platform/FileError.h"
#include "support/AppError.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

int NumberForErrno(int code) {
  switch (code) {
    case ENOENT: return kErrFileNotFound;
    case ENOSPC:
    case EDQUOT: return kErrDiskFull;
    case EACCES:
    case EPERM:
    case EROFS: return kErrPermissionDenied;
    case ENOTDIR: return kErrPathNotFound;
    default: return kErrPathFileAccess;
  }
}

}  // namespace

void CurrentError::Set(int number, const QString& description) {
  number_ = number;
  description_ = description;
}

void CurrentError::Clear() {
  Set(0, {});
}

bool CurrentError::Trap(const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const AppError& error) {
    Set(error.Number(), error.Description());
  } catch (const platform::FileError& error) {
    const int number = NumberForErrno(error.code().value());
    Set(number, ErrorDescription(number) + u": "_s + error.Path());
  } catch (const std::system_error& error) {
    const int number = NumberForErrno(error.code().value());
    Set(number, ErrorDescription(number) + u": "_s + QString::fromUtf8(error.what()));
  } catch (const std::bad_alloc&) {
    Set(kErrOutOfMemory, ErrorDescription(kErrOutOfMemory));
  } catch (const std::exception& error) {
    Set(kErrInternal, ErrorDescription(kErrInternal) + u": "_s + QString::fromUtf8(error.what()));
  }
  return false;
}

}  // namespace audiolume
