#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace audiolume::platform {

/**
 * Whole-file operations that never leave a half-written target: data goes to a temporary
 * file in the target's folder, is flushed to disk and then renamed over the target.
 * Every function throws FileError on failure; the target is then as it was.
 */
class FileOps {
 public:
  /** The largest file ReadFile takes unless told otherwise: far beyond any file of the
   *  program's own, far below what would exhaust memory. */
  static constexpr qint64 kReadLimit = qint64(256) << 20;

  /** Reads the whole of a regular file of at most maxBytes. Anything else (a FIFO, a
   *  device, a folder, a larger file) is refused without blocking or reading it. */
  static QByteArray ReadFile(const QString& path, qint64 maxBytes = kReadLimit);

  /** Opens path with flags (O_RDONLY, or O_WRONLY | O_CREAT | O_TRUNC) for a library that takes a
   *  descriptor, only when it is a regular file: a FIFO or device is seen without waiting
   *  on it. The descriptor comes back blocking; throws FileError (EINVAL for a FIFO or
   *  device, EISDIR for a folder). */
  static int OpenRegularFile(const QString& path, int flags);

  /** Writes bytes to path exactly as given (no temporary file): for work files such as
   *  "TWPL.tmp" whose later rename is the commit. The file is flushed to disk. */
  static void WriteFile(const QString& path, const QByteArray& bytes);

  /** Replaces target (or creates it) with bytes, atomically. */
  static void ReplaceFileContents(const QString& target, const QByteArray& bytes);

  /** Copies source over target, atomically. */
  static void CopyFile(const QString& source, const QString& target);

  /** Makes target a copy of source as it is now. Where the file system allows, target
   *  becomes a second name of source's data (a hard link), which costs no copying and
   *  stays a copy because the program always replaces files rather than changing them. */
  static void KeepCopy(const QString& source, const QString& target);

  /**
   * Changes a file through a copy, for editors (such as TagLib) that rewrite a file in
   * place: the copy is made beside the file, under its name after prefix, with its mode
   * and, where permitted, its owner and group; edit changes the copy by that path; the
   * copy is then synced and renamed over the file, and the folder synced. A symbolic link
   * is followed: the file it leads to is replaced and the link stays. The file stays as it
   * was until that rename. Returns edit's answer; when it is false the copy goes and
   * nothing else changes. Throws FileError when the file is missing or read-only or the
   * copy cannot be made, synced or renamed; the file is then as it was.
   */
  static bool EditCopy(const QString& path, const QString& prefix,
                       const std::function<bool(const QString& copy)>& edit);

  /** Renames source over target, replacing it atomically. */
  static void MoveFile(const QString& source, const QString& target);

  /** Whether this process may write the file: permissions, owner and mount alike. */
  static bool CanWrite(const QString& path);

  /** Deletes the file; a missing file is not an error. */
  static void RemoveFile(const QString& path);

  /** Moves the file to the desktop's trash (freedesktop.org trash), from where the user
   *  can restore it. Throws FileError when it cannot be moved; it then stays. */
  static void MoveToTrash(const QString& path);
};

/**
 * Sends a file that is being written (by this program or a library such as libsndfile) on
 * its way to the disk as it grows, so that the sync at its end has little left to wait
 * for. Throws FileError.
 */
class WriteBehind {
 public:
  explicit WriteBehind(const QString& path);
  ~WriteBehind();
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  /** Starts writing out what was written since the last push, once that is a megabyte. */
  void Push();
  /** Waits until all of the file is on the disk. */
  void Sync();

 private:
  QString path_;
  int fd_;
  qint64 pushed_ = 0;
};

}  // namespace audiolume::platform
