// A libFuzzer target over the two parsers of untrusted bytes: the trailer scan of song
// files and the library database reader. Each input is tried as a song file and as a
// database file. Built with -fsanitize=fuzzer under clang; elsewhere TagsFuzzDriver.cpp
// feeds it mutated seeds.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "fakes/TestFiles.h"
#include "library/GenreCatalog.h"
#include "library/ID3Sync.h"
#include "library/ID3Tag.h"
#include "library/SongLibrary.h"
#include "library/TrailerTag.h"
#include "support/CurrentError.h"
#include "support/ErrorCheck.h"
#include "support/ErrorLog.h"
#include "support/MessageCatalog.h"
#include "support/ScriptedPrompter.h"

using namespace audiolume;
using namespace Qt::Literals::StringLiterals;

namespace {

struct Readers {
  QTemporaryDir dir;
  CurrentError error;
  ErrorLog log{dir.filePath(u"TW_Error.log"_s), error};
  ScriptedPrompter prompter;
  ErrorCheck check{error, log, prompter};
  SongLibrary library{dir.path(), error, check};
  MessageCatalog catalog{dir.path(), dir.filePath(u"VeltoDj.ini"_s), log, prompter};
  GenreCatalog genres;
  ID3Tag id3;
  ID3Sync sync{id3, genres, catalog, prompter};
  TrailerTag trailer{id3, sync, library, catalog, prompter, log};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static int argc = 1;
  static char name[] = "fuzz_tags";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  static Readers readers;
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

  const QString song = readers.dir.filePath(u"song.mp3"_s);
  test::WriteAll(song, bytes);
  SongRecord record;
  QString artType;
  readers.trailer.ReadSongTagsWithArt(song, record, artType);
  readers.trailer.GetTrailerVersion(song);

  test::WriteAll(readers.library.DatabasePath(), bytes);
  readers.library.LoadSongData();
  readers.prompter.ClearRecord();
  QFile::remove(readers.log.Path());  // a damaged input logs a line; keep the folder small
  return 0;
}
