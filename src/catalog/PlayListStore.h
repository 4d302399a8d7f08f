#pragma once

#include <QStringList>
#include <optional>

#include "library/PlayListText.h"

namespace audiolume {

/**
 * The stored playlists of "Playlist.dat" in the application directory, one block each
 * in the order they were first saved, and the recent playlist "RecentPlayList.txt".
 * "Playlist.dat" is only ever replaced whole: the old file is kept as "PlayList.bak",
 * the new one is written to "PlayList.tmp" and renamed over it, so a failed write leaves
 * it as it was. Every file function throws FileError. UI thread only.
 */
class PlayListStore {
 public:
  explicit PlayListStore(QString workingDir) : workingDir_(std::move(workingDir)) {}

  QString DataFile() const;
  QString RecentFile() const;

  /** The stored names in file order, without empty names and the placeholder (compared
   *  without regard to case). */
  QStringList Names(const QString& placeholder) const;
  bool Contains(const QString& name) const;
  /** The songs of the first block called name; nothing when there is none. */
  std::optional<QList<PlayListEntry>> Songs(const QString& name) const;
  /** Stores the songs under name: in place of the block of that name, else at the end. */
  void Save(const QString& name, const QList<PlayListEntry>& songs);
  /** Removes the block called name; false when there is none. */
  bool Remove(const QString& name);

  /** The recent playlist's song files, in order (non-empty lines, trimmed). */
  QStringList RecentFiles() const;
  void WriteRecentFiles(const QStringList& files);

 private:
  QString File(const QString& name) const;
  QByteArray ReadData() const;
  /** The file with the first block called name replaced by block, and whether it had one. */
  std::pair<QByteArray, bool> WithBlockReplaced(const QString& name, const QByteArray& block) const;
  /** Rewrites "Playlist.dat" with bytes through the backup and the work file. */
  void Replace(const QByteArray& bytes);

  QString workingDir_;
};

}  // namespace audiolume
