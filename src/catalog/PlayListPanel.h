#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "library/PlayListText.h"

namespace audiolume {

class SongLibrary;

/**
 * The library window's own playlist beside the grid: for each entry the song title
 * shown (lstPlayList) and the library row it stands for (lstPlayIndex), with the total
 * play time (lblPlayTime). Entries are numbered from 0. UI thread only.
 */
class PlayListPanel {
 public:
  struct Entry {
    QString title;
    int row;
  };

  explicit PlayListPanel(const SongLibrary& library) : library_(library) {}

  const QList<Entry>& Entries() const { return entries_; }
  int Count() const { return int(entries_.size()); }
  /** lblPlayTime: the entries' total as "h:mm:ss". */
  const QString& PlayTime() const { return playTime_; }
  /** The name the panel goes by, kept as the recent playlist's name. */
  const QString& Title() const { return title_; }
  void SetTitle(const QString& title) { title_ = title; }

  /** Appends the library row's song and adds its play time. */
  void AddSongToPlaylistByIndex(int row);
  /** Appends the library's song of a file (its exact full path); false when the library
   *  has none. */
  bool AddSongByFile(const QString& file);
  /** The entries as playlist songs (file, title, artist), in order. */
  QList<PlayListEntry> Songs() const;
  /** The entries' song files, in order, leaving out empty ones. */
  QStringList Files() const;
  /** Moves entries (sorted, from 0) together to stand before entry `before` (Count() for
   *  the end), in their order; returns where the first of them now stands. */
  int Move(const QList<int>& entries, int before);
  /** Removes one entry and takes its play time off the total. */
  void Remove(int entry);
  void Clear();
  /** Before library row `row` goes: its entries leave, later rows' entries move up. */
  void RowRemoved(int row);

 private:
  const SongLibrary& library_;
  QList<Entry> entries_;
  QString playTime_ = QStringLiteral("0:00:00");
  QString title_;
};

}  // namespace audiolume
