#include "support/AppError.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

QString ErrorDescription(int number) {
  switch (number) {
    case kErrOverflow: return QStringLiteral("Overflow");
    case kErrOutOfMemory: return QStringLiteral("Out of memory");
    case kErrInternal: return QStringLiteral("Internal error");
    case kErrFileNotFound: return QStringLiteral("File not found");
    case kErrDiskFull: return QStringLiteral("Disk full");
    case kErrInputPastEnd: return QStringLiteral("Input past end of file");
    case kErrPermissionDenied: return QStringLiteral("Permission denied");
    case kErrPathFileAccess: return QStringLiteral("Path/File access error");
    case kErrPathNotFound: return QStringLiteral("Path not found");
    default: return QStringLiteral("Application-defined or object-defined error");
  }
}

namespace {

QString Describe(int number, const QString& detail) {
  const QString base = ErrorDescription(number);
  return detail.isEmpty() ? base : base + u": "_s + detail;
}

}  // namespace

AppError::AppError(int number, const QString& detail)
    : std::runtime_error(Describe(number, detail).toStdString()),
      number_(number),
      description_(Describe(number, detail)) {}

}  // namespace audiolume
