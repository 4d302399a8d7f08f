#include "platform/Id3v2Writer.h"

#include <taglib/id3v1tag.h>
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

// Sets each field that differs from what the tag holds now, as the tag reader reads it: a
// frame left alone keeps its form (a full date, "3/12", two artists, a described comment).
void SetChanged(TagLib::Tag& tag, const StandardTagFields& fields, const StandardTagFields& now) {
  const std::pair<QString StandardTagFields::*, void (TagLib::Tag::*)(const TagLib::String&)>
      texts[] = {{&StandardTagFields::title, &TagLib::Tag::setTitle},
                 {&StandardTagFields::artist, &TagLib::Tag::setArtist},
                 {&StandardTagFields::album, &TagLib::Tag::setAlbum},
                 {&StandardTagFields::genre, &TagLib::Tag::setGenre},
                 {&StandardTagFields::comment, &TagLib::Tag::setComment}};
  for (const auto& [field, set] : texts) {
    if (fields.*field != now.*field) (tag.*set)(Utf8(fields.*field));
  }
  if (fields.year != now.year) tag.setYear(unsigned(std::max(0, fields.year)));
  if (fields.track != now.track) tag.setTrack(unsigned(std::max(0, fields.track)));
}

void Fill(TagLib::Tag& tag, const StandardTagFields& fields) {
  tag.setTitle(Utf8(fields.title));
  tag.setArtist(Utf8(fields.artist));
  tag.setAlbum(Utf8(fields.album));
  tag.setGenre(Utf8(fields.genre));
  tag.setComment(Utf8(fields.comment));
  tag.setYear(unsigned(std::max(0, fields.year)));
  tag.setTrack(unsigned(std::max(0, fields.track)));
}

// The fields into the copy's tags; false when TagLib cannot read or save it.
bool TagCopy(const QString& copy, const StandardTagFields& fields, Id3v1 id3v1) {
  TagLib::MPEG::File file(QFile::encodeName(copy).constData(), false);
  // Only into MPEG audio: a file of anything else is left alone.
  if (!file.isValid() || file.firstFrameOffset() < 0) return false;
  TagLib::ID3v2::Tag* id3v2 = file.ID3v2Tag(true);
  const auto held = id3v2->isEmpty() ? std::nullopt : ReadStandardTags(copy, false);
  SetChanged(*id3v2, fields, held ? held->fields : StandardTagFields());
  int tags = TagLib::MPEG::File::ID3v2;
  if (id3v1 == Id3v1::Write) {
    Fill(*file.ID3v1Tag(true), fields);
    tags |= TagLib::MPEG::File::ID3v1;
  }
  return file.save(tags, TagLib::File::StripNone, TagLib::ID3v2::v4, TagLib::File::DoNotDuplicate);
}

// TagLib writes without a sync; the copy must be on the disk before it takes the name.
bool SyncedCopy(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadWrite) && ::fsync(file.handle()) == 0;
}

}  // namespace

bool WriteId3v2Tag(const QString& path, const StandardTagFields& fields, Id3v1 id3v1,
                   const Id3v2Moved& moved) {
  const QFileInfo info(path);
  // The copy keeps the name's extension after a prefix, as TagLib and people expect.
  const QString copy = info.absolutePath() + QStringLiteral("/.audiolume-id3v2-") + info.fileName();
  try {
    FileOps::CopyFile(path, copy);
    const bool tagged = TagCopy(copy, fields, id3v1) &&
                        (!moved || moved(copy, QFileInfo(copy).size() - info.size()));
    if (tagged && SyncedCopy(copy)) {
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
