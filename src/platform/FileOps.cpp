#include "platform/FileOps.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/FileError.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume::platform {

namespace {

// The disk is handed the new part of a file in pieces this large: big enough to be written
// in few requests, small enough to keep it busy from the start.
constexpr qint64 kPushBytes = 1 << 20;

// A descriptor closed when it goes out of scope.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

void CopyBytes(int from, int to, const QString& source, const QString& target) {
  QByteArray buffer(kPushBytes, Qt::Uninitialized);
  for (;;) {
    const ssize_t got = ::read(from, buffer.data(), std::size_t(buffer.size()));
    if (got == 0) return;
    if (got < 0 && errno != EINTR) throw FileError(errno, source);
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(to, buffer.constData() + done, std::size_t(got - done));
      if (put < 0 && errno != EINTR) throw FileError(errno, target);
      done += std::max<ssize_t>(put, 0);
    }
  }
}

// A new file at target (never through a link left there) with source's bytes, mode and,
// where this process may give them, owner and group.
void CopyWithOwner(const QString& source, const QString& target) {
  const Descriptor from{
      ::open(QFile::encodeName(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (from.fd < 0) throw FileError(errno, source);
  struct stat status {};
  if (::fstat(from.fd, &status) != 0) throw FileError(errno, source);
  if (!S_ISREG(status.st_mode)) throw FileError(EINVAL, source);
  FileOps::RemoveFile(target);  // left by an edit that was cut short
  const Descriptor to{::open(QFile::encodeName(target).constData(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)};
  if (to.fd < 0) throw FileError(errno, target);
  try {
    CopyBytes(from.fd, to.fd, source, target);
    // Another owner only root may give; the group, its members.
    if (::fchown(to.fd, status.st_uid, status.st_gid) != 0 &&
        ::fchown(to.fd, uid_t(-1), status.st_gid) != 0) {
      // The copy keeps this process's owner and group: the edit still goes ahead.
    }
    if (::fchmod(to.fd, status.st_mode & 07777) != 0) throw FileError(errno, target);
  } catch (const FileError&) {
    std::remove(QFile::encodeName(target).constData());
    throw;
  }
}

// After a rename: the folder's entry on the disk too. Some file systems cannot sync a
// folder; the rename stands all the same.
void SyncFolder(const QString& folder) {
  const Descriptor descriptor{
      ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (descriptor.fd >= 0) ::fsync(descriptor.fd);
}

}  // namespace

int FileOps::OpenRegularFile(const QString& path, int flags) {
  // Opened without blocking, so that a FIFO put in a file's place cannot hang the program
  // before it is seen not to be a file.
  // A device is not truncated: the file is cut only once it is seen to be one.
  const int fd = ::open(QFile::encodeName(path).constData(),
                        (flags & ~O_TRUNC) | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) throw FileError(errno, path);
  struct stat status {};
  const int error = ::fstat(fd, &status) != 0                                       ? errno
                    : S_ISDIR(status.st_mode)                                       ? EISDIR
                    : !S_ISREG(status.st_mode)                                      ? EINVAL
                    : (flags & O_TRUNC) != 0 && ::ftruncate(fd, 0) != 0             ? errno
                    : ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ? errno
                                                                                    : 0;
  if (error != 0) {
    ::close(fd);
    throw FileError(error, path);
  }
  return fd;
}

QByteArray FileOps::ReadFile(const QString& path, qint64 maxBytes) {
  const int fd = OpenRegularFile(path, O_RDONLY);
  QFile file;
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    ThrowFileError(file);
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0) throw FileError(errno, path);
  if (status.st_size > maxBytes) throw FileError(EFBIG, path);
  // The file as it was when its size was taken: a read of the limit would reserve that much.
  QByteArray bytes = file.read(status.st_size);
  if (file.error() != QFileDevice::NoError) ThrowFileError(file);
  return bytes;
}

void FileOps::WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) ThrowFileError(file);
  if (file.write(bytes) != bytes.size() || !file.flush()) ThrowFileError(file);
  if (::fsync(file.handle()) != 0) throw FileError(errno, path);
}

void FileOps::ReplaceFileContents(const QString& target, const QByteArray& bytes) {
  QSaveFile file(target);
  if (!file.open(QIODevice::WriteOnly)) ThrowFileError(file);
  if (file.write(bytes) != bytes.size()) ThrowFileError(file);
  if (!file.commit()) ThrowFileError(file);
}

void FileOps::CopyFile(const QString& source, const QString& target) {
  ReplaceFileContents(target, ReadFile(source));
}

void FileOps::KeepCopy(const QString& source, const QString& target) {
  const QString fresh = target + QStringLiteral(".new");
  RemoveFile(fresh);
  if (::link(QFile::encodeName(source).constData(), QFile::encodeName(fresh).constData()) != 0) {
    CopyFile(source, target);
    return;
  }
  MoveFile(fresh, target);
}

bool FileOps::EditCopy(const QString& path, const QString& prefix,
                       const std::function<bool(const QString& copy)>& edit) {
  const QString target = QFileInfo(path).canonicalFilePath();
  if (target.isEmpty()) throw FileError(ENOENT, path);
  // A file the person made read-only stays as it is, though its folder would take a copy.
  if (!CanWrite(target)) throw FileError(EACCES, path);
  const QFileInfo info(target);
  const QString copy = info.absolutePath() + u'/' + prefix + info.fileName();
  CopyWithOwner(target, copy);
  try {
    if (!edit(copy)) {
      RemoveFile(copy);
      return false;
    }
    // Editors write without a sync; the copy must be on the disk before it takes the name.
    WriteBehind(copy).Sync();
    MoveFile(copy, target);
  } catch (const FileError&) {
    std::remove(QFile::encodeName(copy).constData());
    throw;
  }
  SyncFolder(info.absolutePath());
  return true;
}

void FileOps::MoveFile(const QString& source, const QString& target) {
  if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) !=
      0) {
    throw FileError(errno, target);
  }
}

bool FileOps::CanWrite(const QString& path) {
  return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

void FileOps::RemoveFile(const QString& path) {
  if (std::remove(QFile::encodeName(path).constData()) != 0 && errno != ENOENT) {
    throw FileError(errno, path);
  }
}

void FileOps::MoveToTrash(const QString& path) {
  // Qt falls back to a "files" folder in the current folder when it cannot make the home
  // trash; the home trash is made first, so that it never has to.
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  for (const QString& folder : {u"/Trash/files"_s, u"/Trash/info"_s}) {
    errno = 0;
    if (data.isEmpty() || !QDir().mkpath(data + folder)) {
      throw FileError(errno != 0 ? errno : ENOENT, data + folder);
    }
  }
  QFile file(path);
  if (!file.moveToTrash()) ThrowFileError(file);
}

WriteBehind::WriteBehind(const QString& path)
    : path_(path), fd_(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC)) {
  if (fd_ < 0) throw FileError(errno, path);
}

WriteBehind::~WriteBehind() {
  ::close(fd_);
}

void WriteBehind::Push() {
  // Only what was written since the last push: the pages before it are on their way.
  struct stat status {};
  if (::fstat(fd_, &status) != 0 || status.st_size < pushed_ + kPushBytes) return;
  ::sync_file_range(fd_, pushed_, status.st_size - pushed_, SYNC_FILE_RANGE_WRITE);
  pushed_ = status.st_size;
}

void WriteBehind::Sync() {
  if (::fsync(fd_) != 0) throw FileError(errno, path_);
}

}  // namespace audiolume::platform
