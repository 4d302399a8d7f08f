#include "platform/StandardTags.h"

#include <taglib/apetag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tfilestream.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/AudioDecoder.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"

namespace audiolume::platform {

namespace {

// A read-only TagLib stream over a file its reader has open: reads go to the descriptor
// at the stream's own position (pread, no seeks), and those that fall in the file's last
// bytes, which the reader has in memory, cost no call at all.
class SongFileStream : public TagLib::IOStream {
 public:
  SongFileStream(const OpenSongFile& open, QByteArray name)
      : open_(open), tailStart_(open.length - open.tail.size()), name_(std::move(name)) {}

  TagLib::FileName name() const override { return name_.constData(); }
  bool readOnly() const override { return true; }
  bool isOpen() const override { return true; }
  long tell() const override { return long(position_); }
  long length() override { return long(open_.length); }

  TagLib::ByteVector readBlock(unsigned long length) override {
    const qint64 count = std::clamp<qint64>(open_.length - position_, 0, qint64(length));
    TagLib::ByteVector bytes;
    if (count == 0) return bytes;
    if (position_ >= tailStart_) {
      bytes.setData(open_.tail.data() + (position_ - tailStart_), unsigned(count));
    } else {
      bytes.resize(unsigned(count));
      const ssize_t got = ::pread(open_.descriptor, bytes.data(), std::size_t(count), position_);
      bytes.resize(unsigned(std::max<ssize_t>(got, 0)));
    }
    position_ += bytes.size();
    return bytes;
  }

  void seek(long offset, Position from) override {
    const qint64 base = from == Beginning ? 0 : from == Current ? position_ : open_.length;
    position_ = std::max<qint64>(0, base + offset);
  }

  // Never written through.
  void writeBlock(const TagLib::ByteVector&) override {}
  void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
  void removeBlock(unsigned long, unsigned long) override {}
  void truncate(long) override {}

 private:
  const OpenSongFile open_;
  const qint64 tailStart_;
  const QByteArray name_;
  qint64 position_ = 0;
};

QString ToQString(const TagLib::String& text) {
  return QString::fromStdString(text.to8Bit(true)).trimmed();
}

TagLib::String ToTagString(const QString& text) {
  return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

QByteArray ToBytes(const TagLib::ByteVector& bytes) {
  return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

StandardTagFields FieldsOf(const TagLib::Tag& tag) {
  return {ToQString(tag.title()),   ToQString(tag.artist()),
          ToQString(tag.album()),   ToQString(tag.genre()),
          ToQString(tag.comment()), int(tag.year()),
          int(tag.track()),         {}};
}

// The Vorbis comment of the formats that keep lyrics and covers in one; nothing for others.
TagLib::Ogg::XiphComment* XiphOf(TagLib::File* file, bool create) {
  if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) return flac->xiphComment(create);
  if (auto* vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File*>(file)) return vorbis->tag();
  if (auto* opus = dynamic_cast<TagLib::Ogg::Opus::File*>(file)) return opus->tag();
  return nullptr;
}

const TagLib::String kLyricsField = "LYRICS";

// Untrimmed: a song's text keeps its line breaks.
QString LyricsOf(TagLib::File* file) {
  const TagLib::Ogg::XiphComment* xiph = XiphOf(file, false);
  if (xiph == nullptr) return {};
  const auto fields = xiph->fieldListMap().find(kLyricsField);
  if (fields == xiph->fieldListMap().end() || fields->second.isEmpty()) return {};
  return QString::fromStdString(fields->second.front().to8Bit(true));
}

// The front cover, else the first picture.
void PictureOfId3v2(TagLib::ID3v2::Tag& tag, StandardTags& tags) {
  const TagLib::ID3v2::FrameList frames = tag.frameListMap()["APIC"];
  const TagLib::ID3v2::AttachedPictureFrame* chosen = nullptr;
  for (const TagLib::ID3v2::Frame* frame : frames) {
    const auto* picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame);
    if (picture == nullptr) continue;
    if (chosen == nullptr || picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover) {
      chosen = picture;
    }
    if (picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover) break;
  }
  if (chosen == nullptr) return;
  tags.picture = ToBytes(chosen->picture());
  tags.pictureMime = ToQString(chosen->mimeType());
}

void PictureOfFlacList(const TagLib::List<TagLib::FLAC::Picture*>& pictures, StandardTags& tags) {
  const TagLib::FLAC::Picture* chosen = nullptr;
  for (const TagLib::FLAC::Picture* picture : pictures) {
    if (chosen == nullptr || picture->type() == TagLib::FLAC::Picture::FrontCover) chosen = picture;
    if (picture->type() == TagLib::FLAC::Picture::FrontCover) break;
  }
  if (chosen == nullptr) return;
  tags.picture = ToBytes(chosen->data());
  tags.pictureMime = ToQString(chosen->mimeType());
}

void PictureOfMp4(TagLib::MP4::Tag& tag, StandardTags& tags) {
  if (!tag.contains("covr")) return;
  const TagLib::MP4::CoverArtList covers = tag.item("covr").toCoverArtList();
  if (covers.isEmpty()) return;
  const TagLib::MP4::CoverArt& cover = covers.front();
  tags.picture = ToBytes(cover.data());
  tags.pictureMime = cover.format() == TagLib::MP4::CoverArt::PNG    ? QStringLiteral("image/png")
                     : cover.format() == TagLib::MP4::CoverArt::JPEG ? QStringLiteral("image/jpeg")
                                                                     : QString();
}

// The picture of the formats that hold one; the others have none.
void ReadPicture(TagLib::File* file, StandardTags& tags) {
  if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) {
    if (TagLib::ID3v2::Tag* id3v2 = mpeg->ID3v2Tag(false)) PictureOfId3v2(*id3v2, tags);
  } else if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) {
    PictureOfFlacList(flac->pictureList(), tags);
  } else if (auto* vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File*>(file)) {
    if (vorbis->tag() != nullptr) PictureOfFlacList(vorbis->tag()->pictureList(), tags);
  } else if (auto* opus = dynamic_cast<TagLib::Ogg::Opus::File*>(file)) {
    if (opus->tag() != nullptr) PictureOfFlacList(opus->tag()->pictureList(), tags);
  } else if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) {
    if (mp4->tag() != nullptr) PictureOfMp4(*mp4->tag(), tags);
  }
}

// In MPEG files the ID3v2 tag, else the APE tag: TagLib's own view would mix in the
// ID3v1 tag, which this program reads after the standard tags.
const TagLib::Tag* TextTag(TagLib::File* file) {
  if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) {
    if (const TagLib::ID3v2::Tag* id3v2 = mpeg->ID3v2Tag(false); id3v2 && !id3v2->isEmpty()) {
      return id3v2;
    }
    if (const TagLib::APE::Tag* ape = mpeg->APETag(false); ape && !ape->isEmpty()) return ape;
    return nullptr;
  }
  return file->tag();
}

// TagLib's reader for the formats the player plays, chosen by the file's name as TagLib
// itself does, over a stream already open; nothing for other names.
std::unique_ptr<TagLib::File> OpenByName(const QString& path, TagLib::IOStream* stream) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (IsMpegAudioName(path)) {
    return std::make_unique<TagLib::MPEG::File>(stream, TagLib::ID3v2::FrameFactory::instance(),
                                                false);
  }
  if (suffix == u"flac") {
    return std::make_unique<TagLib::FLAC::File>(stream, TagLib::ID3v2::FrameFactory::instance(),
                                                false);
  }
  if (suffix == u"ogg" || suffix == u"oga") {
    return std::make_unique<TagLib::Ogg::Vorbis::File>(stream, false);
  }
  if (suffix == u"opus") return std::make_unique<TagLib::Ogg::Opus::File>(stream, false);
  if (suffix == u"m4a" || suffix == u"mp4")
    return std::make_unique<TagLib::MP4::File>(stream, false);
  if (suffix == u"wav") return std::make_unique<TagLib::RIFF::WAV::File>(stream, false);
  return nullptr;
}

std::optional<StandardTags> TagsOf(TagLib::File* file, bool withPicture) {
  if (file == nullptr || !file->isValid()) return std::nullopt;
  StandardTags tags;
  const TagLib::Tag* tag = TextTag(file);
  if (tag != nullptr) tags.fields = FieldsOf(*tag);
  tags.fields.lyrics = LyricsOf(file);
  if (withPicture) ReadPicture(file, tags);
  if ((tag == nullptr || tag->isEmpty()) && tags.picture.isEmpty()) return std::nullopt;
  return tags;
}

// Each field that differs from what the tag holds: a field left alone keeps its form (a
// full date, a "3/12" track number, the text of a second tag of the file).
void SetChangedFields(TagLib::File* file, const StandardTagFields& fields) {
  TagLib::Tag* tag = file->tag();
  const StandardTagFields now = FieldsOf(*tag);
  const std::pair<QString StandardTagFields::*, void (TagLib::Tag::*)(const TagLib::String&)>
      texts[] = {{&StandardTagFields::title, &TagLib::Tag::setTitle},
                 {&StandardTagFields::artist, &TagLib::Tag::setArtist},
                 {&StandardTagFields::album, &TagLib::Tag::setAlbum},
                 {&StandardTagFields::genre, &TagLib::Tag::setGenre},
                 {&StandardTagFields::comment, &TagLib::Tag::setComment}};
  for (const auto& [field, set] : texts) {
    if (fields.*field != now.*field) (tag->*set)(ToTagString(fields.*field));
  }
  if (fields.year != now.year) tag->setYear(unsigned(std::max(0, fields.year)));
  if (fields.track != now.track) tag->setTrack(unsigned(std::max(0, fields.track)));
  TagLib::Ogg::XiphComment* xiph = XiphOf(file, true);
  if (xiph == nullptr || fields.lyrics == LyricsOf(file)) return;
  if (fields.lyrics.isEmpty()) {
    xiph->removeFields(kLyricsField);
  } else {
    xiph->addField(kLyricsField, ToTagString(fields.lyrics), true);
  }
}

// FLAC files keep pictures in blocks of their own, Ogg files in the Vorbis comment.
void SetFrontCover(TagLib::File* file, const QByteArray& cover, const QString& mime) {
  auto picture = std::make_unique<TagLib::FLAC::Picture>();
  picture->setType(TagLib::FLAC::Picture::FrontCover);
  picture->setMimeType(ToTagString(mime));
  picture->setData(TagLib::ByteVector(cover.constData(), unsigned(cover.size())));
  const auto replaceFront = [&picture](auto& owner) {
    for (TagLib::FLAC::Picture* old : owner.pictureList()) {
      if (old->type() == TagLib::FLAC::Picture::FrontCover) owner.removePicture(old);
    }
    owner.addPicture(picture.release());
  };
  if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) {
    replaceFront(*flac);
  } else if (TagLib::Ogg::XiphComment* xiph = XiphOf(file, true)) {
    replaceFront(*xiph);
  }
}

bool Synced(const QString& path) {
  try {
    WriteBehind(path).Sync();
    return true;
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace

std::optional<StandardTags> ReadStandardTags(const QString& path, bool withPicture,
                                             const OpenSongFile* open) {
  // Read-only, so that reading never needs more than read permission.
  const QByteArray name = QFile::encodeName(path);
  std::unique_ptr<TagLib::IOStream> stream;
  if (open != nullptr) {
    stream = std::make_unique<SongFileStream>(*open, name);
  } else {
    auto file = std::make_unique<TagLib::FileStream>(name.constData(), true);
    if (!file->isOpen()) return std::nullopt;
    stream = std::move(file);
  }
  if (const auto file = OpenByName(path, stream.get())) return TagsOf(file.get(), withPicture);
  const TagLib::FileRef ref(stream.get(), false);
  return ref.isNull() ? std::nullopt : TagsOf(ref.file(), withPicture);
}

bool WriteStandardTags(const QString& path, const StandardTagFields& fields,
                       const QByteArray& cover, const QString& coverMime) {
  if (!QFileInfo(path).isFile() || !FileOps::CanWrite(path)) return false;
  // The copy keeps the file's name after a prefix: TagLib tells formats by their extension.
  const QFileInfo info(path);
  const QString copy =
      info.absolutePath() + QStringLiteral("/.audiolume-tagging-") + info.fileName();
  QFile::remove(copy);
  if (!QFile::copy(path, copy)) return false;
  bool saved = false;
  {
    const QByteArray name = QFile::encodeName(copy);
    TagLib::FileRef ref(name.constData(), false);
    if (!ref.isNull() && ref.file()->isValid() && ref.tag() != nullptr) {
      SetChangedFields(ref.file(), fields);
      if (!cover.isEmpty()) SetFrontCover(ref.file(), cover, coverMime);
      saved = ref.save();
    }
  }
  if (!saved || !Synced(copy) ||
      std::rename(QFile::encodeName(copy).constData(), QFile::encodeName(path).constData()) != 0) {
    QFile::remove(copy);
    return false;
  }
  return true;
}

bool HoldsLyricsAndCover(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == u"flac" || suffix == u"ogg" || suffix == u"oga" || suffix == u"opus";
}

bool MayHoldStandardTag(const QString& path, QByteArrayView start, QByteArrayView end) {
  if (!IsMpegAudioName(path)) return true;
  return start.startsWith("ID3") || end.contains("APETAGEX");
}

bool TakesTrailingTags(const QString& path) {
  return IsMpegAudioName(path) ||
         QFileInfo(path).suffix().compare(QStringLiteral("wav"), Qt::CaseInsensitive) == 0;
}

}  // namespace audiolume::platform
