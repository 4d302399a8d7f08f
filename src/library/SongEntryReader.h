#pragma once

#include <QString>

#include "library/PlayListText.h"

namespace audiolume {

class SongLibrary;
class TrailerTag;

/**
 * The title and artist a song goes by in the player's queue, a saved playlist and on the
 * portable player, from the first of: its library row, its trailer, its standard tag
 * (ID3v2, Vorbis comments, …), its ID3v1 tag; the title falls back to the file's name.
 * Reads only: a song that is merely listed or sent is never repaired or rewritten. UI
 * thread only.
 */
class SongEntryReader {
 public:
  SongEntryReader(const SongLibrary& library, TrailerTag& trailer)
      : library_(library), trailer_(trailer) {}

  PlayListEntry EntryOf(const QString& path) const;

 private:
  const SongLibrary& library_;
  TrailerTag& trailer_;
};

}  // namespace audiolume
