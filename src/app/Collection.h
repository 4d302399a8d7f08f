#pragma once

#include <QByteArray>
#include <QString>

#include "catalog/SongAdder.h"
#include "catalog/SongRowWriter.h"
#include "library/DatabaseCommands.h"
#include "library/GenreCatalog.h"
#include "library/ID3Sync.h"
#include "library/ID3Tag.h"
#include "library/SongEntryReader.h"
#include "library/SongFilePresence.h"
#include "library/SongLibrary.h"
#include "library/TrailerTag.h"
#include "player/FileConversion.h"

namespace audiolume {

class AppServices;

/**
 * The song collection the jukebox and twpl work on: the library with its database
 * commands, the ID3 working copy with the genre catalog, the tags inside song files, the
 * presence check of song files, conversion, adding and the write-back of edited rows. An entry
 * point (the jukebox, twpl) owns one and hands each window and command only the members it uses. UI
 * thread only.
 */
class Collection {
 public:
  /** home is the application directory; cdMounts tells where the CD drives' discs are. */
  Collection(const QString& home, AppServices& services, SongFilePresence::CdMounts cdMounts);

  /** The song file's picture (the trailer's, else the standard tag's) and its type;
   *  empty when there is none. */
  QByteArray ReadArt(const QString& file, QString& type);

  SongLibrary library;
  DatabaseCommands database;
  ID3Tag id3;
  GenreCatalog genres;
  ID3Sync sync;
  TrailerTag trailer;
  // The working copies of the adder's second thread that reads songs.
  ID3Tag otherId3;
  ID3Sync otherSync;
  TrailerTag otherTrailer;
  SongEntryReader entries;
  SongFilePresence presence;
  FileConversion conversion;
  SongAdder adder;
  SongRowWriter rowWriter;
};

}  // namespace audiolume
