#include "platform/TailWriter.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QSet>
#include <QStringList>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

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

TailJournal::TailJournal(int fd, const QString& path, qint64 offset, qint64 length, bool sync)
    : path_(TailWriter::JournalPath(path)) {
  old_ = ReadRange(fd, offset, length - offset, path);
  QByteArray journal = QByteArray(kMagic) + Int64(quint64(offset)) + Int64(quint64(length)) + old_;
  journal += Int64(Hash(journal));
  fd_ = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) throw FileError(errno, path_);
  // A journal locked by another is another write of the same file under way.
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd_);
    throw FileError(EBUSY, path_);
  }
  try {
    if (::ftruncate(fd_, 0) != 0) throw FileError(errno, path_);
    WriteAll(fd_, 0, journal, path_);
    if (sync) Sync(fd_, path_);
  } catch (const FileError&) {
    Remove();
    throw;
  }
}

TailJournal::TailJournal(TailJournal&& other) noexcept
    : path_(std::move(other.path_)),
      old_(std::move(other.old_)),
      fd_(std::exchange(other.fd_, -1)) {}

TailJournal::~TailJournal() {
  if (fd_ >= 0) ::close(fd_);
}

// Unlinked before it is unlocked, so that no reader finds it unlocked while it still
// stands for this write.
void TailJournal::Remove() {
  std::remove(QFile::encodeName(path_).constData());
  ::close(std::exchange(fd_, -1));
}

namespace {

// Writes the new end, synced when sync is set; a new end that does not fit puts the old
// one back (now, or on the next open) and throws.
void WriteEnd(int fd, const QString& path, qint64 offset, qint64 length, TailJournal& journal,
              const QByteArray& bytes, bool sync) {
  try {
    Reserve(fd, length, offset + bytes.size() - length, path);
  } catch (const FileError&) {
    journal.Remove();
    throw;
  }
  try {
    WriteAll(fd, offset, bytes, path);
    if (::ftruncate(fd, off_t(offset + bytes.size())) != 0) throw FileError(errno, path);
    if (sync) Sync(fd, path);
  } catch (const FileError&) {
    try {
      RestoreEnd(fd, offset, length, journal.Old(), path);
      journal.Remove();
    } catch (const FileError&) {
    }
    throw;
  }
}

// One sync of each file system the open files lie on: a sync of each file would wait for
// the disk once per file.
void SyncFileSystems(const std::vector<std::pair<int, QString>>& files) {
  QSet<dev_t> synced;
  for (const auto& [fd, path] : files) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) throw FileError(errno, path);
    if (synced.contains(status.st_dev)) continue;
    if (::syncfs(fd) != 0) throw FileError(errno, path);
    synced.insert(status.st_dev);
  }
}

// The same for files by name, each opened for the sync.
void SyncFileSystems(const QStringList& paths) {
  for (const QString& path : paths) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw FileError(errno, path);
    try {
      SyncFileSystems({{fd, path}});
    } catch (const FileError&) {
      ::close(fd);
      throw;
    }
    ::close(fd);
  }
}

// The journal named path, open and locked, while it still has that name; -1 when there is
// none or another holds it (a write under way).
int LockedJournal(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat opened {};
  struct stat named {};
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 &&
      ::stat(name.constData(), &named) == 0 && opened.st_ino == named.st_ino &&
      opened.st_dev == named.st_dev) {
    return fd;
  }
  ::close(fd);
  return -1;
}

}  // namespace

void TailWriter::ReplaceTail(QFile& file, qint64 offset, const QByteArray& bytes) {
  const QString path = file.fileName();
  if (!file.flush()) ThrowFileError(file);
  const int fd = file.handle();
  const qint64 length = file.size();
  offset = std::clamp<qint64>(offset, 0, length);
  TailJournal journal(fd, path, offset, length, true);
  WriteEnd(fd, path, offset, length, journal, bytes, true);
  journal.Remove();
}

void TailBatch::Add(QFile& file, qint64 offset, const QByteArray& bytes) {
  if (!file.flush()) ThrowFileError(file);
  const qint64 length = file.size();
  offset = std::clamp<qint64>(offset, 0, length);
  TailJournal journal(file.handle(), file.fileName(), offset, length, false);
  pending_.push_back({file.fileName(), offset, length, std::move(journal), bytes});
}

QList<FileError> TailBatch::Commit() {
  QList<FileError> errors;
  std::vector<Pending> pending = std::exchange(pending_, {});
  std::vector<std::pair<int, QString>> journals;
  for (const Pending& tail : pending) journals.emplace_back(tail.journal.Descriptor(), tail.path);
  try {
    SyncFileSystems(journals);  // before any file is touched
  } catch (const FileError& error) {
    // Unsynced journals: the files keep their old ends.
    for (Pending& tail : pending) tail.journal.Remove();
    return {error};
  }
  std::map<dev_t, QString> written;  // one written file of each file system
  for (Pending& tail : pending) {
    try {
      QFile file(tail.path);
      if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) ThrowFileError(file);
      // Changed since it was added: its journal no longer holds its end.
      struct stat status {};
      if (::fstat(file.handle(), &status) != 0 || status.st_size != tail.length) {
        throw FileError(EBUSY, tail.path);
      }
      WriteEnd(file.handle(), tail.path, tail.offset, tail.length, tail.journal, tail.bytes, false);
      written.try_emplace(status.st_dev, tail.path);
    } catch (const FileError& error) {
      errors.append(error);
      tail.journal.Remove();
    }
  }
  try {
    QStringList files;
    for (const auto& [device, path] : written) files.append(path);
    SyncFileSystems(files);
    for (Pending& tail : pending) tail.journal.Remove();
  } catch (const FileError& error) {
    // The journals stay: the next open puts the old ends back.
    errors.append(error);
  }
  return errors;
}

bool TailWriter::Recover(const QString& path) {
  const QString journalPath = JournalPath(path);
  const int fd = LockedJournal(journalPath);
  if (fd < 0) return false;
  try {
    QFile journalFile;
    if (!journalFile.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
      ::close(fd);
      ThrowFileError(journalFile);
    }
    const QByteArray journal = journalFile.readAll();
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
    // Removed while still locked: no other reader acts on it meanwhile.
    FileOps::RemoveFile(journalPath);
    return whole;
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace audiolume::platform
