#include "platform/FileError.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>

namespace audiolume::platform {

FileError::FileError(int code, QString path)
    : std::system_error(code, std::generic_category(), path.toStdString()),
      path_(std::move(path)) {}

void ThrowFileError(const QFileDevice& file) {
  int code = errno != 0 ? errno : EIO;
  switch (file.error()) {
    case QFileDevice::PermissionsError: code = EACCES; break;
    case QFileDevice::ResourceError: code = ENOSPC; break;
    case QFileDevice::OpenError:
      if (!QFileInfo(file.fileName()).absoluteDir().exists()) code = ENOENT;
      break;
    default: break;
  }
  throw FileError(code, file.fileName());
}

}  // namespace audiolume::platform
