#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

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
 * file's end.
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
  bool Empty() const { return pending_.isEmpty(); }

 private:
  struct Pending {
    QString path;
    qint64 offset;
    qint64 length;
    QByteArray old;
    QByteArray bytes;
  };
  QStringList Paths() const;

  QList<Pending> pending_;
};

}  // namespace audiolume::platform
