#include "platform/Mp3CopyTags.h"

#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <QFile>

namespace audiolume::platform {

namespace {

TagLib::String ToTagString(const QString& text) {
  return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

void Fill(TagLib::Tag& tag, const StandardTagFields& fields) {
  tag.setTitle(ToTagString(fields.title));
  tag.setArtist(ToTagString(fields.artist));
  tag.setAlbum(ToTagString(fields.album));
  tag.setGenre(ToTagString(fields.genre));
  tag.setComment(ToTagString(fields.comment));
  tag.setYear(unsigned(std::max(0, fields.year)));
  tag.setTrack(unsigned(std::max(0, fields.track)));
}

}  // namespace

bool WriteMp3CopyTags(const QString& path, const StandardTagFields& fields) {
  TagLib::MPEG::File file(QFile::encodeName(path).constData(), false);
  if (!file.isValid() || file.readOnly()) return false;
  Fill(*file.ID3v2Tag(true), fields);
  Fill(*file.ID3v1Tag(true), fields);
  return file.save(TagLib::MPEG::File::ID3v1 | TagLib::MPEG::File::ID3v2, TagLib::File::StripNone);
}

}  // namespace audiolume::platform
