#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/CdDriveList.h"

namespace audiolume {

class MessageCatalog;
class Prompter;

/**
 * The presence check of a song file: a missing file on a CD drive asks for the disc, any
 * other missing file asks whether to try again. UI thread only.
 */
class SongFilePresence {
 public:
  /** cdMounts tells where the CD drives' discs are mounted, asked anew at every check. */
  using CdMounts = std::function<QList<platform::CdMount>()>;
  SongFilePresence(CdMounts cdMounts, MessageCatalog& catalog, Prompter& prompter);

  /** How a missing file is asked about: "try again?" with Retry, or (the portable-player
   *  export) with "insert medium and try again" as the first button. */
  enum class Question { TryAgain, InsertMedium };

  /** True when the file is there. dontAsk is the caller's for the rest of its run: once
   *  the user chose "Don't ask again" missing files are skipped silently. */
  bool CheckSongFileExists(const QString& path, bool& dontAsk,
                           Question question = Question::TryAgain);

  /** The letter ("D:") of the CD drive whose disc the path lies on; empty for none. */
  QString CdDriveOf(const QString& path) const;
  bool IsOnCdDrive(const QString& path) const { return !CdDriveOf(path).isEmpty(); }

  /** Where the CD drives' discs are mounted now, each with a closing "/": for a run that
   *  asks of many files without listing the mounts for each. */
  QStringList CdMountPoints() const;
  /** Whether the path lies under one of those mount points. */
  static bool LiesUnder(const QString& path, const QStringList& mountPoints);

 private:
  CdMounts cdMounts_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
};

}  // namespace audiolume
