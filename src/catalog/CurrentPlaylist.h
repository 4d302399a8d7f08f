#pragma once

#include <QList>
#include <QString>

#include "library/PlayListText.h"

namespace audiolume {

/**
 * The player's current playlist as the library side sees it: the windows and commands
 * here fill and read it, the player owns it. Entries are numbered from 0. UI thread only.
 */
class CurrentPlaylist {
 public:
  virtual ~CurrentPlaylist() = default;

  virtual QList<PlayListEntry> Entries() const = 0;
  virtual void Append(const PlayListEntry& entry) = 0;
  /** Appends many entries at once; the player redraws and tells the desktop once. */
  virtual void AppendMany(const QList<PlayListEntry>& entries) = 0;
  virtual void Remove(int index) = 0;
  /** Moves an entry to another position. */
  virtual void Move(int from, int to) = 0;
  /** The player's clear command: play stops and the list empties. */
  virtual void Clear() = 0;
  /** A stored playlist became the current one; name is its title from now on. */
  virtual void Loaded(const QString& name) = 0;
};

}  // namespace audiolume
