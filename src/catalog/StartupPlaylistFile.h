#pragma once

#include "catalog/CurrentPlaylist.h"

namespace audiolume {

/**
 * The current playlist while no player runs (the command line): it starts empty, and
 * Write() makes it the start-up playlist "PlayList.txt", with its title as "PlayList
 * Title" in section "Player" of the settings file, for the next start.
 */
class StartupPlaylistFile : public CurrentPlaylist {
 public:
  StartupPlaylistFile(QString path, QString settingsFile);

  QList<PlayListEntry> Entries() const override { return entries_; }
  void Append(const PlayListEntry& entry) override { entries_.append(entry); }
  void AppendMany(const QList<PlayListEntry>& entries) override { entries_.append(entries); }
  void Remove(int index) override { entries_.removeAt(index); }
  void Move(int from, int to) override { entries_.move(from, to); }
  void Clear() override;
  void Loaded(const QString& name) override { title_ = name; }

  /** Throws FileError; the old file then stays. */
  void Write() const;
  /** Adds one song to the end of the file as it stands on disk, numbered 1, as
   *  installing a sample song does. Throws FileError; the old file then stays. */
  void AppendToFile(const PlayListEntry& entry) const;

 private:
  QString path_;
  QString settingsFile_;
  QList<PlayListEntry> entries_;
  QString title_;
};

}  // namespace audiolume
