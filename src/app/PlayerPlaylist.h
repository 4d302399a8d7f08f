#pragma once

#include "catalog/CurrentPlaylist.h"

namespace audiolume {

class Play;
class PlayerEngine;

/** The player's queue as the library side's current playlist. UI thread only. */
class PlayerPlaylist : public CurrentPlaylist {
 public:
  PlayerPlaylist(PlayerEngine& engine, Play& play) : engine_(engine), play_(play) {}

  QList<PlayListEntry> Entries() const override;
  void Append(const PlayListEntry& entry) override;
  void AppendMany(const QList<PlayListEntry>& entries) override;
  void Remove(int index) override;
  void Move(int from, int to) override;
  void Clear() override;
  void Loaded(const QString& name) override;

 private:
  PlayerEngine& engine_;
  Play& play_;
};

}  // namespace audiolume
