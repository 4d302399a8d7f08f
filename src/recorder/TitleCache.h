#pragma once

#include <QString>

namespace audiolume {

struct CdDisc;

/**
 * The title cache "cdPlayer.ini": one section per disc, named after its serial number,
 * with the artist, the album and the track titles in a fixed line form. Rewritten through
 * "CdPlayer.tmp" so that an interrupted write leaves the old file; the cache as it was
 * before this object's first write is kept as "cdPlayer.bak" beside the temporary file. An
 * unreadable cache, or an entry cut short, gives what it holds and no more. UI thread only.
 */
class TitleCache {
 public:
  /** file: the cache; workFile: the temporary copy it is rewritten through. */
  TitleCache(QString file, QString workFile);

  bool Exists() const;
  /** Fills disc's artist, album, titles, order and playnum lines from its entry; false
   *  when the disc has none. Titles of tracks the entry does not name are left alone. */
  bool ReadCDPlayerData(CdDisc& disc) const;
  /** Writes disc's entry (its first numberOfTracks titles), replacing the old one.
   *  Nothing is written for a disc without a serial number. Throws FileError. */
  void SaveCDPlayerData(const CdDisc& disc, int numberOfTracks);

 private:
  void CreateWhenMissing() const;

  QString file_;
  QString workFile_;
  QString backupFile_;
  bool backedUp_ = false;
};

}  // namespace audiolume
