// Reads the tags of 10,000 small song files through the library's song reader, beside
// TagLib reading the same files: first files with our trailer or an ID3v1 tag, then files
// with an ID3v2.3 tag only, as current encoders write them.
//
// Usage: bench_tags [FOLDER]   (default: a temporary folder)
#include <taglib/fileref.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

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

// The milliseconds a piece of work takes.
template <typename F>
double Milliseconds(F work) {
  QElapsedTimer timer;
  timer.start();
  work();
  return timer.nsecsElapsed() / 1e6;
}

// The song reader over every file; read counts the title and album characters it found.
double SongReaderMs(TrailerTag& trailer, const QStringList& files, qsizetype& read) {
  return Milliseconds([&] {
    for (const QString& path : files) {
      SongRecord record;
      trailer.ReadSongTags(path, record);
      read += record.Title.size() + record.Album.size();
    }
  });
}

// Half the files carry our trailer, the other half only an ID3v1 tag; TagLib reads
// their ID3v1 tags. Target: at least as fast as TagLib.
bool TrailerAndId3v1Case(const QString& folder, TrailerTag& trailer) {
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
  qsizetype ourTitles = 0;
  const double ours = SongReaderMs(trailer, files, ourTitles);
  qsizetype theirTitles = 0;
  const double taglib = Milliseconds([&] {
    for (const QString& path : files) {
      TagLib::MPEG::File file(QFile::encodeName(path).constData(), false);
      if (const TagLib::ID3v1::Tag* tag = file.ID3v1Tag()) theirTitles += tag->title().size();
    }
  });
  std::printf("%d files (half with a trailer tag, half with an ID3v1 tag only)\n", kFiles);
  std::printf("ReadSongTags      %8.1f ms  (%.1f us a file)\n", ours, ours * 1000 / kFiles);
  std::printf("TagLib ID3v1 read %8.1f ms  (%.1f us a file)\n", taglib, taglib * 1000 / kFiles);
  std::printf("ratio %.2f; target at least as fast as TagLib: %s\n\n", ours / taglib,
              ours <= taglib ? "met" : "NOT met");
  return ourTitles > 0 && theirTitles > 0;
}

// MP3 files as current encoders and stores write them: an ID3v2.3 tag and no other.
// TagLib reads the same fields directly. Target: within 1.2 times TagLib's time.
bool Id3v2Case(const QString& folder, TrailerTag& trailer) {
  QStringList files;
  for (int i = 0; i < kFiles; ++i) {
    const QString path = folder + u"/modern"_s + QString::number(i) + u".mp3"_s;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(SilentMpegFrames());
    file.close();
    TagLib::MPEG::File tagged(QFile::encodeName(path).constData(), false);
    TagLib::Tag* tag = tagged.ID3v2Tag(true);
    tag->setTitle(TagLib::String("Modern Song " + std::to_string(i)));
    tag->setArtist("Modern Artist");
    tag->setAlbum("Album " + std::to_string(i / 12));
    tag->setGenre("Electronic");
    tag->setYear(2020);
    tag->setTrack(unsigned(i % 12 + 1));
    tagged.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, TagLib::ID3v2::v3);
    files.append(path);
  }
  qsizetype ourTitles = 0;
  const double ours = SongReaderMs(trailer, files, ourTitles);
  qsizetype theirTitles = 0;
  const double taglib = Milliseconds([&] {
    for (const QString& path : files) {
      const TagLib::FileRef file(QFile::encodeName(path).constData(), false);
      if (const TagLib::Tag* tag = file.tag()) {
        theirTitles += tag->title().size() + tag->album().size() + tag->artist().size() +
                       tag->genre().size() + tag->year() + tag->track();
      }
    }
  });
  std::printf("%d MP3 files with an ID3v2.3 tag and no trailer\n", kFiles);
  std::printf("song reader       %8.1f ms  (%.1f us a file)\n", ours, ours * 1000 / kFiles);
  std::printf("TagLib FileRef    %8.1f ms  (%.1f us a file)\n", taglib, taglib * 1000 / kFiles);
  std::printf("ratio %.2f; target within 1.2 times TagLib: %s\n", ours / taglib,
              ours <= 1.2 * taglib ? "met" : "NOT met");
  return ourTitles > 0 && theirTitles > 0;
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
  const bool read = TrailerAndId3v1Case(folder, trailer);
  return read && Id3v2Case(folder, trailer) ? 0 : 1;
}
