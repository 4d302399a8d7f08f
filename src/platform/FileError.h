#pragma once

#include <QFileDevice>
#include <QString>
#include <system_error>

namespace audiolume::platform {

/** A failed file operation: the errno value and the path it concerned. */
class FileError : public std::system_error {
 public:
  FileError(int code, QString path);

  const QString& Path() const { return path_; }

 private:
  QString path_;
};

/**
 * Throws FileError for a failed Qt file operation, with the closest errno value (EACCES,
 * ENOSPC, ENOENT, or the errno the failing call left), so that callers above platform/
 * see one kind of file error whatever API failed.
 */
[[noreturn]] void ThrowFileError(const QFileDevice& file);

}  // namespace audiolume::platform
