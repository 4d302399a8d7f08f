#include "platform/TailWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringList>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <utility>

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

namespace {

// Saves the end from offset on in the file's journal, synced when sync is set; returns
// the old end.
QByteArray WriteJournal(int fd, const QString& path, qint64 offset, qint64 length, bool sync) {
  const QByteArray old = ReadRange(fd, offset, length - offset, path);
  QByteArray journal = QByteArray(kMagic) + Int64(quint64(offset)) + Int64(quint64(length)) + old;
  journal += Int64(Hash(journal));
  QFile file(TailWriter::JournalPath(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(journal) != journal.size() || !file.flush()) {
    ThrowFileError(file);
  }
  if (sync) Sync(file.handle(), file.fileName());
  return old;
}

// Writes the new end, synced when sync is set; a new end that does not fit puts the old
// one back (now, or on the next open) and throws.
void WriteEnd(int fd, const QString& path, qint64 offset, qint64 length, const QByteArray& old,
              const QByteArray& bytes, bool sync) {
  try {
    Reserve(fd, length, offset + bytes.size() - length, path);
  } catch (const FileError&) {
    FileOps::RemoveFile(TailWriter::JournalPath(path));
    throw;
  }
  try {
    WriteAll(fd, offset, bytes, path);
    if (::ftruncate(fd, off_t(offset + bytes.size())) != 0) throw FileError(errno, path);
    if (sync) Sync(fd, path);
  } catch (const FileError&) {
    try {
      RestoreEnd(fd, offset, length, old, path);
      FileOps::RemoveFile(TailWriter::JournalPath(path));
    } catch (const FileError&) {
    }
    throw;
  }
}

// One sync of each file system the files lie on: a sync of each file would wait for the
// disk once per file.
void SyncFileSystems(const QStringList& paths) {
  QSet<dev_t> synced;
  for (const QString& path : paths) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw FileError(errno, path);
    struct stat status {};
    const bool done =
        ::fstat(fd, &status) == 0 && (synced.contains(status.st_dev) || ::syncfs(fd) == 0);
    const int error = errno;
    ::close(fd);
    if (!done) throw FileError(error, path);
    synced.insert(status.st_dev);
  }
}

}  // namespace

void TailWriter::ReplaceTail(QFile& file, qint64 offset, const QByteArray& bytes) {
  const QString path = file.fileName();
  if (!file.flush()) ThrowFileError(file);
  const int fd = file.handle();
  const qint64 length = file.size();
  offset = std::clamp<qint64>(offset, 0, length);
  const QByteArray old = WriteJournal(fd, path, offset, length, true);
  WriteEnd(fd, path, offset, length, old, bytes, true);
  FileOps::RemoveFile(JournalPath(path));
}

void TailBatch::Add(QFile& file, qint64 offset, const QByteArray& bytes) {
  Pending tail{file.fileName(), 0, file.size(), {}, bytes};
  if (!file.flush()) ThrowFileError(file);
  tail.offset = std::clamp<qint64>(offset, 0, tail.length);
  tail.old = WriteJournal(file.handle(), tail.path, tail.offset, tail.length, false);
  pending_.append(tail);
}

QList<FileError> TailBatch::Commit() {
  QList<FileError> errors;
  QStringList written;
  try {
    SyncFileSystems(Paths());  // the journals, before any file is touched
  } catch (const FileError& error) {
    errors.append(error);
  }
  for (const Pending& tail : std::exchange(pending_, {})) {
    if (!errors.isEmpty()) {
      // Unsynced journals: the files keep their old ends.
      std::remove(QFile::encodeName(TailWriter::JournalPath(tail.path)).constData());
      continue;
    }
    try {
      QFile file(tail.path);
      if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) ThrowFileError(file);
      // Changed since it was added: its journal no longer holds its end.
      if (file.size() != tail.length) throw FileError(EBUSY, tail.path);
      WriteEnd(file.handle(), tail.path, tail.offset, tail.length, tail.old, tail.bytes, false);
      written.append(tail.path);
    } catch (const FileError& error) {
      errors.append(error);
      std::remove(QFile::encodeName(TailWriter::JournalPath(tail.path)).constData());
    }
  }
  try {
    SyncFileSystems(written);
    for (const QString& path : written) FileOps::RemoveFile(TailWriter::JournalPath(path));
  } catch (const FileError& error) {
    // The journals stay: the next open puts the old ends back.
    errors.append(error);
  }
  return errors;
}

QStringList TailBatch::Paths() const {
  QStringList paths;
  for (const Pending& tail : pending_) paths.append(TailWriter::JournalPath(tail.path));
  return paths;
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
