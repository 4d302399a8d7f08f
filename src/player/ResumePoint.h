#pragma once

#include <QString>

namespace audiolume {

class PlayerEngine;

/**
 * The song of the queue that was playing (or paused) when the jukebox ended, and its
 * place in it: kept in section "Player" of the settings file and taken up at the next
 * start, where the song waits in the player, paused at that place, until play continues it.
 * UI thread only.
 */
class ResumePoint {
 public:
  ResumePoint(PlayerEngine& engine, QString settingsFile);

  /** Notes the song and its place; at shut-down, before playback stops. */
  void Save();
  /** Readies the saved song paused at its place; its queue entry (from 1), or 0 when
   *  there is none or its file cannot be opened. */
  int Restore();

 private:
  PlayerEngine& engine_;
  QString settingsFile_;
};

}  // namespace audiolume
