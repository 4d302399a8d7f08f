#pragma once

#include "BenchLibrary.h"
#include "catalog/SongAdder.h"
#include "library/GenreCatalog.h"
#include "library/ID3Sync.h"
#include "library/ID3Tag.h"
#include "library/SongFilePresence.h"
#include "library/TrailerTag.h"

namespace audiolume::bench {

/** The adding of songs, as the adding window does it, on a library of the benchmark's. */
struct BenchAdder {
  explicit BenchAdder(const QString& folder) : context(folder), workingDir(folder) {}

  BenchLibrary context;
  QString workingDir;
  GenreCatalog genres;
  ID3Tag id3;
  ID3Sync sync{id3, genres, context.catalog, context.prompter};
  TrailerTag trailer{id3, sync, context.library, context.catalog, context.prompter, context.log};
  SongFilePresence presence{{}, context.catalog, context.prompter};
  SongAdder adder{context.library,  trailer,       presence,  context.catalog,
                  context.prompter, context.check, workingDir};
};

}  // namespace audiolume::bench
