#include "platform/Id3v2Writer.h"

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include <unistd.h>

#include "platform/FileError.h"
#include "platform/FileOps.h"

namespace audiolume::platform {

namespace {

TagLib::String Utf8(const QString& text) {
  return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

// The fields into the copy's ID3v2 tag; false when TagLib cannot read or save it.
bool TagCopy(const QString& copy, const StandardTagFields& fields) {
  TagLib::MPEG::File file(QFile::encodeName(copy).constData(), false);
  // Only into MPEG audio: a file of anything else is left alone.
  if (!file.isValid() || file.firstFrameOffset() < 0) return false;
  TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
  tag->setTitle(Utf8(fields.title));
  tag->setArtist(Utf8(fields.artist));
  tag->setAlbum(Utf8(fields.album));
  tag->setGenre(Utf8(fields.genre));
  tag->setYear(unsigned(std::max(0, fields.year)));
  tag->setTrack(unsigned(std::max(0, fields.track)));
  // Only the ID3v2 tag: an ID3v1 tag after the audio is the caller's.
  return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v4,
                   TagLib::File::DoNotDuplicate);
}

// TagLib writes without a sync; the copy must be on the disk before it takes the name.
bool Synced(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadWrite) && ::fsync(file.handle()) == 0;
}

}  // namespace

bool WriteId3v2Tag(const QString& path, const StandardTagFields& fields) {
  const QFileInfo info(path);
  // The copy keeps the name's extension after a prefix, as TagLib and people expect.
  const QString copy = info.absolutePath() + QStringLiteral("/.audiolume-id3v2-") + info.fileName();
  try {
    FileOps::CopyFile(path, copy);
    if (TagCopy(copy, fields) && Synced(copy)) {
      FileOps::MoveFile(copy, path);
      return true;
    }
  } catch (const FileError&) {
    // Below: the copy goes, the file stays as it was.
  }
  QFile::remove(copy);
  return false;
}

}  // namespace audiolume::platform
