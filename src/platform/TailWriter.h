#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

#include "platform/FileError.h"

class QFile;

namespace audiolume::platform {

/**
 * Rewrites the end of a file so that a kill, a crash or a full disk leaves either the old
 * end or the new one, never a mix. The old end is first saved, synced, in a small journal
 * beside the file (the file's name with ".audiolume-journal" added); the space the new end
 * needs is reserved before anything of the file is touched; the new end is written and
 * synced, and only then is the journal removed. A journal left behind by a write that
 * never finished is put back by Recover, which every reader calls before it looks at the
 * file's end; the journal is locked while its write is under way, so that a reader in
 * another process never takes that write for one a crash cut short.
 */
class TailWriter {
 public:
  /**
   * Replaces everything from offset (0-based) on with bytes, on a file open for reading
   * and writing. Throws FileError (ENOSPC when the disk is full); the file then has its
   * old end.
   */
  static void ReplaceTail(QFile& file, qint64 offset, const QByteArray& bytes);

  /** Puts back the old end of a file whose rewrite did not finish; true when it did.
   *  A journal that was itself cut short is only removed: the file was not yet touched.
   *  Failures are left for the next open. */
  static bool Recover(const QString& path);

  static QString JournalPath(const QString& path);
};

/**
 * A file's journal: its old end, saved beside it, open and locked from its writing until
 * Remove. Recover leaves a locked journal alone, as a write still under way in this
 * process or another. One destroyed without Remove stays for the next Recover.
 */
class TailJournal {
 public:
  /** Saves the end of the file open as fd from offset on; synced when sync is set. Throws
   *  FileError (EBUSY while another write of the file is under way). */
  TailJournal(int fd, const QString& path, qint64 offset, qint64 length, bool sync);
  TailJournal(TailJournal&& other) noexcept;
  TailJournal& operator=(TailJournal&&) = delete;
  ~TailJournal();

  const QByteArray& Old() const { return old_; }
  int Descriptor() const { return fd_; }
  void Remove();

 private:
  QString path_;
  QByteArray old_;
  int fd_ = -1;
};

/**
 * New ends of many files, as safe as TailWriter's and with two syncs of each file system in
 * all rather than two per file: Add saves a file's old end in its journal, unsynced, and
 * leaves the file as it is; Commit syncs the journals, writes every new end, syncs again
 * and removes the journals. A file must not change between its Add and the Commit.
 */
class TailBatch {
 public:
  /** Replaces the end from offset (0-based) on with bytes at the commit. Throws FileError;
   *  the file is then left as it is. */
  void Add(QFile& file, qint64 offset, const QByteArray& bytes);
  /** Writes the new ends added since the last commit. Returns the failures: those files
   *  keep their old ends (at once, or on their next open). */
  QList<FileError> Commit();
  bool Empty() const { return pending_.empty(); }

 private:
  struct Pending {
    QString path;
    qint64 offset;
    qint64 length;
    TailJournal journal;
    QByteArray bytes;
  };

  std::vector<Pending> pending_;
};

}  // namespace audiolume::platform
