#pragma once

#include <QObject>
#include <QString>

namespace audiolume {

class PlayerEngine;

/**
 * The song of the queue that was playing (or paused) when the jukebox ended, and its
 * place in it: kept in section "Player" of the settings file and taken up at the next
 * start, where the song waits, selected, until play continues it from that place.
 * UI thread only.
 */
class ResumePoint : public QObject {
 public:
  ResumePoint(PlayerEngine& engine, QString settingsFile, QObject* parent = nullptr);

  /** Notes the song and its place; at shut-down, before playback stops. */
  void Save();
  /** The queue entry (from 1) to continue, 0 for none; the next time that entry plays,
   *  it moves to the saved place. */
  int Restore();

 private:
  void PositionKnown();

  PlayerEngine& engine_;
  QString settingsFile_;
  int index_ = 0;  // the entry waiting to continue; 0 once taken up
  double seconds_ = 0;
};

}  // namespace audiolume
