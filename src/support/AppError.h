#pragma once

#include <QString>
#include <stdexcept>

namespace audiolume {

/** Error numbers of the original runtime, which the error log and messages show. */
enum ErrorNumber : int {
  kErrOverflow = 6,
  kErrOutOfMemory = 7,
  kErrInternal = 51,
  kErrFileNotFound = 53,
  kErrDiskFull = 61,
  kErrInputPastEnd = 62,
  kErrPermissionDenied = 70,
  kErrPathFileAccess = 75,
  kErrPathNotFound = 76,
};

/** The runtime's description of an error number ("Overflow", "Disk full", …). */
QString ErrorDescription(int number);

/** A failure with a runtime error number; thrown by our code, trapped by CurrentError. */
class AppError : public std::runtime_error {
 public:
  explicit AppError(int number, const QString& detail = {});

  int Number() const { return number_; }
  /** The runtime description, followed by the detail (a file name) when one was given. */
  QString Description() const { return description_; }

 private:
  int number_;
  QString description_;
};

}  // namespace audiolume
