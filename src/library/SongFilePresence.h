#pragma once

#include <QString>

namespace audiolume {

class MessageCatalog;
class Prompter;

/**
 * The presence check of a song file: a missing file on a CD drive asks for the disc, any
 * other missing file asks whether to try again. UI thread only.
 */
class SongFilePresence {
 public:
  SongFilePresence(QString settingsFile, MessageCatalog& catalog, Prompter& prompter);

  /** True when the file is there. dontAsk is the caller's for the rest of its run: once
   *  the user chose "Don't ask again" missing files are skipped silently. */
  bool CheckSongFileExists(const QString& path, bool& dontAsk);

  /** Whether the path lies on one of the CD drives ("D:" … in the settings' drive list). */
  bool IsOnCdDrive(const QString& path) const;

 private:
  QString settingsFile_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
};

}  // namespace audiolume
