#include "platform/Id3v2Writer.h"

#include <taglib/commentsframe.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2frame.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <vector>

#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "platform/SongFormat.h"
#include "platform/TagProperties.h"

namespace audiolume::platform {

namespace {

// ID3v1 has one fixed place for each field: all of them are written.
void Fill(TagLib::ID3v1::Tag& tag, const StandardTagFields& fields) {
  tag.setTitle(ToTagString(fields.title));
  tag.setArtist(ToTagString(fields.artist));
  tag.setAlbum(ToTagString(fields.album));
  tag.setGenre(ToTagString(fields.genre));
  tag.setComment(ToTagString(fields.comment));
  tag.setYear(unsigned(std::max(0, fields.year)));
  tag.setTrack(unsigned(std::max(0, fields.track)));
}

// The properties a frame stands for, for the kinds of frame that hold the standard fields
// (TagLib offers them on those kinds only).
TagLib::PropertyMap PropertiesOfFrame(const TagLib::ID3v2::Frame* frame) {
  using namespace TagLib::ID3v2;
  if (const auto* user = dynamic_cast<const UserTextIdentificationFrame*>(frame)) {
    return user->asProperties();
  }
  if (const auto* text = dynamic_cast<const TextIdentificationFrame*>(frame)) {
    return text->asProperties();
  }
  if (const auto* comment = dynamic_cast<const CommentsFrame*>(frame)) {
    return comment->asProperties();
  }
  return {};
}

// Only the frames of fields that differ are replaced: the others keep their form (a full
// date, "3/12", several artists in one frame) and every other frame stays.
void SetChangedFrames(TagLib::ID3v2::Tag& tag, const StandardTagFields& fields) {
  const TagLib::PropertyMap changed = ChangedProperties(tag.properties(), fields);
  for (const auto& [key, values] : changed) {
    // Gathered first: a copy of the tag's own list would delete its frames with it.
    std::vector<TagLib::ID3v2::Frame*> stale;
    for (TagLib::ID3v2::Frame* frame : tag.frameList()) {
      if (PropertiesOfFrame(frame).contains(key)) stale.push_back(frame);
    }
    for (TagLib::ID3v2::Frame* frame : stale) tag.removeFrame(frame);
    if (!values.isEmpty()) tag.addFrame(TagLib::ID3v2::Frame::createTextualFrame(key, values));
  }
}

// The fields into the copy's tags; false when it is no MPEG audio or TagLib cannot read
// or save it. A tag of version 2.3 stays 2.3, for the players that read no other.
bool TagId3v2Copy(const QString& copy, const StandardTagFields& fields, Id3v1 id3v1) {
  if (SongFormatOf(copy) != SongFormat::Mpeg) return false;
  TagLib::MPEG::File file(QFile::encodeName(copy).constData(), false);
  if (!file.isValid() || file.firstFrameOffset() < 0) return false;
  const bool version3 = file.hasID3v2Tag() && file.ID3v2Tag()->header()->majorVersion() == 3;
  SetChangedFrames(*file.ID3v2Tag(true), fields);
  int tags = TagLib::MPEG::File::ID3v2;
  if (id3v1 == Id3v1::Write) {
    Fill(*file.ID3v1Tag(true), fields);
    tags |= TagLib::MPEG::File::ID3v1;
  }
  return file.save(tags, TagLib::File::StripNone, version3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4,
                   TagLib::File::DoNotDuplicate);
}

}  // namespace

bool WriteId3v2Tag(const QString& path, const StandardTagFields& fields, Id3v1 id3v1,
                   const Id3v2Moved& moved) {
  const qint64 size = QFileInfo(path).size();
  try {
    return FileOps::EditCopy(path, QStringLiteral(".audiolume-id3v2-"), [&](const QString& copy) {
      return TagId3v2Copy(copy, fields, id3v1) &&
             (!moved || moved(copy, QFileInfo(copy).size() - size));
    });
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace audiolume::platform
