// Reads the tags of 10,000 small song files, half of them carrying a trailer tag, through
// the library's reader, beside TagLib reading the same files' ID3v1 tags.
// Target: at least as fast as TagLib.
//
// Usage: bench_tags [FOLDER]   (default: a temporary folder)
#include <taglib/id3v1tag.h>
#include <taglib/mpegfile.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "BenchLibrary.h"
#include "library/GenreCatalog.h"
#include "library/ID3Sync.h"
#include "library/ID3Tag.h"
#include "library/TrailerTag.h"

using namespace audiolume;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kFiles = 10000;

// Fifteen silent MPEG-1 layer III frames (128 kbit/s, 44.1 kHz): a small but well-formed
// stream, so that TagLib's frame search behaves as on real files.
QByteArray SilentMpegFrames() {
  QByteArray frame("\xFF\xFB\x90\x64", 4);
  frame.append(417 - 4, '\0');
  return frame.repeated(15);
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QTemporaryDir temporary;
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();

  bench::BenchLibrary context(folder);
  GenreCatalog genres;
  ID3Tag id3;
  ID3Sync sync(id3, genres, context.catalog, context.prompter);
  TrailerTag trailer(id3, sync, context.library, context.catalog, context.prompter, context.log);

  QStringList files;
  for (int i = 0; i < kFiles; ++i) {
    const QString path = folder + u"/song"_s + QString::number(i) + u".mp3"_s;
    ID3Tag tag;
    tag.SetTitle(u"Song "_s + QString::number(i));
    tag.SetArtist(u"Artist"_s);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(SilentMpegFrames() + tag.Bytes());
    file.close();
    if (i % 2 == 0) {
      SongRecord record;
      record.Title = tag.ID3Title.trimmed();
      record.Artist = u"Artist"_s;
      record.Lyrics = u"Some lyrics, a few lines long.\r\nAnd another line."_s;
      trailer.WriteSongTrailer(path, record, false);
    }
    files.append(path);
  }

  QElapsedTimer timer;
  timer.start();
  qsizetype ourTitles = 0;
  for (const QString& path : files) {
    SongRecord record;
    trailer.ReadSongTags(path, record);
    ourTitles += record.Title.size();
  }
  const double ours = timer.nsecsElapsed() / 1e6;

  timer.restart();
  qsizetype theirTitles = 0;
  for (const QString& path : files) {
    TagLib::MPEG::File file(QFile::encodeName(path).constData(), false);
    if (const TagLib::ID3v1::Tag* tag = file.ID3v1Tag()) theirTitles += tag->title().size();
  }
  const double taglib = timer.nsecsElapsed() / 1e6;

  std::printf("%d files (half with a trailer tag)\n", kFiles);
  std::printf("ReadSongTags      %8.1f ms  (%.1f us a file)\n", ours, ours * 1000 / kFiles);
  std::printf("TagLib ID3v1 read %8.1f ms  (%.1f us a file)\n", taglib, taglib * 1000 / kFiles);
  std::printf("ratio %.2f; target at least as fast as TagLib: %s\n", ours / taglib,
              ours <= taglib ? "met" : "NOT met");
  return ourTitles > 0 && theirTitles > 0 ? 0 : 1;
}
