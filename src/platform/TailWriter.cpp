#include "platform/TailWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cerrno>

#include "platform/FileError.h"
#include "platform/FileOps.h"

namespace audiolume::platform {

namespace {

// Journal: magic, offset, old length, the old end, then an FNV-1a hash of all before it,
// so that a journal cut short by a kill is told from a whole one.
constexpr char kMagic[] = "AUDIOLUME TAIL JOURNAL 1\n";
constexpr qsizetype kMagicBytes = sizeof kMagic - 1;
constexpr qsizetype kHeaderBytes = kMagicBytes + 16;

quint64 Hash(QByteArrayView bytes) {
  quint64 hash = 14695981039346656037ull;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

// The little-endian number at bytes[at…at+7], read from a copy of known size: GCC cannot
// see the caller's size check through QByteArray.
quint64 Le64(const QByteArray& bytes, qsizetype at) {
  std::array<char, 8> copy{};
  std::copy_n(bytes.cbegin() + at, copy.size(), copy.begin());
  return qFromLittleEndian<quint64>(copy.data());
}

QByteArray Int64(quint64 value) {
  QByteArray bytes(8, '\0');
  qToLittleEndian(value, bytes.data());
  return bytes;
}

void WriteAll(int fd, qint64 offset, QByteArrayView bytes, const QString& path) {
  qint64 done = 0;
  while (done < bytes.size()) {
    const ssize_t written =
        ::pwrite(fd, bytes.data() + done, size_t(bytes.size() - done), off_t(offset + done));
    if (written < 0 && errno == EINTR) continue;
    // A write that makes no progress is a full disk (or a file-size limit).
    if (written <= 0) throw FileError(written == 0 ? ENOSPC : errno, path);
    done += written;
  }
}

void Sync(int fd, const QString& path) {
  if (::fsync(fd) != 0) throw FileError(errno, path);
}

QByteArray ReadRange(int fd, qint64 offset, qint64 count, const QString& path) {
  QByteArray bytes(count, '\0');
  qint64 done = 0;
  while (done < count) {
    const ssize_t got =
        ::pread(fd, bytes.data() + done, size_t(count - done), off_t(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) throw FileError(got == 0 ? EIO : errno, path);
    done += got;
  }
  return bytes;
}

// Makes sure the file system has the blocks for the new end before the old one is touched.
void Reserve(int fd, qint64 from, qint64 count, const QString& path) {
  if (count <= 0) return;
  if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, off_t(from), off_t(count)) == 0) return;
  // File systems without reservations are written into all the same; the journal still
  // puts the old end back should the disk fill up.
  if (errno != EOPNOTSUPP && errno != ENOSYS) throw FileError(errno, path);
}

void RestoreEnd(int fd, qint64 offset, qint64 length, QByteArrayView old, const QString& path) {
  WriteAll(fd, offset, old, path);
  if (::ftruncate(fd, off_t(length)) != 0) throw FileError(errno, path);
  Sync(fd, path);
}

}  // namespace

QString TailWriter::JournalPath(const QString& path) {
  return path + QStringLiteral(".audiolume-journal");
}

void TailWriter::ReplaceTail(QFile& file, qint64 offset, const QByteArray& bytes) {
  const QString path = file.fileName();
  if (!file.flush()) ThrowFileError(file);
  const int fd = file.handle();
  const qint64 length = file.size();
  offset = std::clamp<qint64>(offset, 0, length);
  const QByteArray old = ReadRange(fd, offset, length - offset, path);

  QByteArray journal = QByteArray(kMagic) + Int64(quint64(offset)) + Int64(quint64(length)) + old;
  journal += Int64(Hash(journal));
  FileOps::WriteFile(JournalPath(path), journal);  // synced before the file is touched
  try {
    Reserve(fd, length, offset + bytes.size() - length, path);
  } catch (const FileError&) {
    FileOps::RemoveFile(JournalPath(path));
    throw;
  }
  try {
    WriteAll(fd, offset, bytes, path);
    if (::ftruncate(fd, off_t(offset + bytes.size())) != 0) throw FileError(errno, path);
    Sync(fd, path);
  } catch (const FileError&) {
    // The new end did not fit: the old one goes back now, or on the next open.
    try {
      RestoreEnd(fd, offset, length, old, path);
      FileOps::RemoveFile(JournalPath(path));
    } catch (const FileError&) {
    }
    throw;
  }
  FileOps::RemoveFile(JournalPath(path));
}

bool TailWriter::Recover(const QString& path) {
  const QString journalPath = JournalPath(path);
  if (!QFileInfo::exists(journalPath)) return false;
  try {
    const QByteArray journal = FileOps::ReadFile(journalPath);
    const bool whole = journal.size() >= kHeaderBytes + 8 && journal.startsWith(kMagic) &&
                       Le64(journal, journal.size() - 8) ==
                           Hash(QByteArrayView(journal).first(journal.size() - 8));
    if (whole) {
      const auto offset = qint64(Le64(journal, kMagicBytes));
      const auto length = qint64(Le64(journal, kMagicBytes + 8));
      const QByteArrayView old =
          QByteArrayView(journal).sliced(kHeaderBytes, journal.size() - kHeaderBytes - 8);
      if (offset < 0 || offset + old.size() != length) throw FileError(EINVAL, journalPath);
      QFile file(path);
      // A song deleted since is not made again from its journal.
      if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) ThrowFileError(file);
      RestoreEnd(file.handle(), offset, length, old, path);
    }
    FileOps::RemoveFile(journalPath);
    return whole;
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace audiolume::platform
