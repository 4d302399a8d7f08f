#include "platform/StandardTags.h"

#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>
#include <taglib/xiphcomment.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <memory>

#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "platform/SongFormat.h"
#include "platform/TagProperties.h"

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

QByteArray ToBytes(const TagLib::ByteVector& bytes) {
  return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

// The Vorbis comment of the formats that keep lyrics and covers in one; nothing for others.
TagLib::Ogg::XiphComment* XiphOf(TagLib::File* file, bool create) {
  if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) return flac->xiphComment(create);
  if (auto* vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File*>(file)) return vorbis->tag();
  if (auto* opus = dynamic_cast<TagLib::Ogg::Opus::File*>(file)) return opus->tag();
  if (auto* oggFlac = dynamic_cast<TagLib::Ogg::FLAC::File*>(file)) return oggFlac->tag();
  return nullptr;
}

const TagLib::String kLyricsField = "LYRICS";

// Untrimmed: a song's text keeps its line breaks.
QString LyricsOf(const TagLib::PropertyMap& properties) {
  const auto values = properties.find(kLyricsField);
  if (values == properties.end() || values->second.isEmpty()) return {};
  return QString::fromStdString(values->second.front().to8Bit(true));
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
  } else if (TagLib::Ogg::XiphComment* xiph = XiphOf(file, false)) {
    PictureOfFlacList(xiph->pictureList(), tags);
  } else if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) {
    if (mp4->tag() != nullptr) PictureOfMp4(*mp4->tag(), tags);
  }
}

// In MPEG files the ID3v2 tag, else the APE tag: TagLib's own view would mix in the
// ID3v1 tag, which this program reads after the standard tags. In the others the Vorbis
// comment, which holds every field as written, else what the format's reader offers.
TagLib::PropertyMap PropertiesOf(TagLib::File* file) {
  if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) {
    if (const TagLib::ID3v2::Tag* id3v2 = mpeg->ID3v2Tag(false)) {
      if (TagLib::PropertyMap properties = id3v2->properties(); !properties.isEmpty()) {
        return properties;
      }
    }
    if (const TagLib::APE::Tag* ape = mpeg->APETag(false)) return ape->properties();
    return {};
  }
  if (const TagLib::Ogg::XiphComment* xiph = XiphOf(file, false)) return xiph->properties();
  return file->properties();
}

// TagLib's reader for a format, over a stream already open; nothing for other formats.
std::unique_ptr<TagLib::File> OpenAs(SongFormat format, TagLib::IOStream* stream) {
  switch (format) {
    case SongFormat::Mpeg:
      return std::make_unique<TagLib::MPEG::File>(stream, TagLib::ID3v2::FrameFactory::instance(),
                                                  false);
    case SongFormat::Flac:
      return std::make_unique<TagLib::FLAC::File>(stream, TagLib::ID3v2::FrameFactory::instance(),
                                                  false);
    case SongFormat::OggVorbis: return std::make_unique<TagLib::Ogg::Vorbis::File>(stream, false);
    case SongFormat::OggOpus: return std::make_unique<TagLib::Ogg::Opus::File>(stream, false);
    case SongFormat::OggFlac: return std::make_unique<TagLib::Ogg::FLAC::File>(stream, false);
    case SongFormat::Mp4: return std::make_unique<TagLib::MP4::File>(stream, false);
    case SongFormat::Wav: return std::make_unique<TagLib::RIFF::WAV::File>(stream, false);
    case SongFormat::WavPack: return std::make_unique<TagLib::WavPack::File>(stream, false);
    case SongFormat::Ape: return std::make_unique<TagLib::APE::File>(stream, false);
    case SongFormat::Asf: return std::make_unique<TagLib::ASF::File>(stream, false);
    case SongFormat::Aac:
    case SongFormat::Unknown: break;
  }
  return nullptr;
}

// What use makes of TagLib's reader of a stream: this program's choice for the formats it
// knows, else TagLib's own (by name, then by content); nullptr when there is none.
template <typename Use>
auto WithReader(SongFormat format, TagLib::IOStream* stream, Use use) {
  if (const auto file = OpenAs(format, stream)) return use(file.get());
  const TagLib::FileRef ref(stream, false);
  return use(ref.isNull() ? nullptr : ref.file());
}

std::optional<StandardTags> TagsOf(TagLib::File* file, bool withPicture) {
  if (file == nullptr || !file->isValid()) return std::nullopt;
  StandardTags tags;
  const TagLib::PropertyMap properties = PropertiesOf(file);
  tags.fields = FieldsOfProperties(properties);
  tags.albumArtist = AlbumArtistOfProperties(properties);
  if (XiphOf(file, false) != nullptr) tags.fields.lyrics = LyricsOf(properties);
  if (withPicture) ReadPicture(file, tags);
  if (tags.fields == StandardTagFields() && tags.albumArtist.isEmpty() && tags.picture.isEmpty()) {
    return std::nullopt;
  }
  return tags;
}

std::optional<StandardTags> ReadOpenFile(const OpenSongFile& open, const QString& path,
                                         bool withPicture) {
  SongFileStream stream(open, QFile::encodeName(path));
  return WithReader(SongFormatOf(open.descriptor, path), &stream,
                    [withPicture](TagLib::File* file) { return TagsOf(file, withPicture); });
}

// Each field that differs from what the tag holds, and nothing else: a field left alone
// keeps its form (a full date, a "3/12" track number, several artists). The Vorbis
// comment is changed field by field; other formats take their whole property map back,
// which changes only the entries that differ.
void SetChangedFields(TagLib::File* file, const StandardTagFields& fields) {
  const TagLib::PropertyMap properties = PropertiesOf(file);
  TagLib::PropertyMap changed = ChangedProperties(properties, fields);
  TagLib::Ogg::XiphComment* xiph = XiphOf(file, true);
  if (xiph == nullptr) {
    TagLib::PropertyMap all = file->properties();
    for (const auto& [key, values] : changed) {
      if (values.isEmpty()) {
        all.erase(key);
      } else {
        all.replace(key, values);
      }
    }
    file->setProperties(all);
    return;
  }
  if (fields.lyrics != LyricsOf(properties)) {
    changed.replace(kLyricsField, fields.lyrics.isEmpty()
                                      ? TagLib::StringList()
                                      : TagLib::StringList(ToTagString(fields.lyrics)));
  }
  for (const auto& [key, values] : changed) {
    xiph->removeFields(key);
    for (const TagLib::String& value : values) xiph->addField(key, value, false);
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

// The fields and cover into the copy of a file whose tag lives inside it. Never a tag into
// a file that could not be read, nor into MPEG audio or WAV, whose tags others keep.
bool TagCopy(const QString& copy, const StandardTagFields& fields, const QByteArray& cover,
             const QString& coverMime) {
  TagLib::FileStream stream(QFile::encodeName(copy).constData(), false);
  return WithReader(SongFormatOf(copy), &stream, [&](TagLib::File* file) {
    if (file == nullptr || !file->isValid() || stream.readOnly() ||
        dynamic_cast<TagLib::MPEG::File*>(file) != nullptr ||
        dynamic_cast<TagLib::RIFF::WAV::File*>(file) != nullptr) {
      return false;
    }
    SetChangedFields(file, fields);
    if (!cover.isEmpty()) SetFrontCover(file, cover, coverMime);
    return file->save();
  });
}

}  // namespace

std::optional<StandardTags> ReadStandardTags(const QString& path, bool withPicture,
                                             const OpenSongFile* open) {
  if (open != nullptr) return ReadOpenFile(*open, path, withPicture);
  // Read-only, so that reading never needs more than read permission; without blocking, so
  // that a FIFO in a song's place cannot hang the reader.
  const int descriptor =
      ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return std::nullopt;
  std::optional<StandardTags> tags;
  struct stat status {};
  if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
    tags = ReadOpenFile({descriptor, qint64(status.st_size), {}}, path, withPicture);
  }
  ::close(descriptor);
  return tags;
}

bool WriteStandardTags(const QString& path, const StandardTagFields& fields,
                       const QByteArray& cover, const QString& coverMime) {
  try {
    return FileOps::EditCopy(path, QStringLiteral(".audiolume-tagging-"), [&](const QString& copy) {
      return TagCopy(copy, fields, cover, coverMime);
    });
  } catch (const FileError&) {
    return false;
  }
}

QStringList SplitNames(const QString& text) {
  QStringList names;
  for (const QString& name : text.split(u';')) {
    if (!name.trimmed().isEmpty()) names.append(name.trimmed());
  }
  return names;
}

bool HoldsLyricsAndCover(const QString& path) {
  const SongFormat format = SongFormatOf(path);
  return format == SongFormat::Flac || format == SongFormat::OggVorbis ||
         format == SongFormat::OggOpus || format == SongFormat::OggFlac;
}

bool MayHoldStandardTag(QByteArrayView start, QByteArrayView end) {
  return !IsMpegFrameHeader(start) || end.contains("APETAGEX");
}

bool TakesTrailingTags(const QString& path) {
  return TakesTrailingTags(SongFormatOf(path));
}

bool TakesTrailingTags(SongFormat format) {
  return format == SongFormat::Mpeg || format == SongFormat::Wav;
}

bool WithTagFile(const QString& path, bool readOnly,
                 const std::function<bool(TagLib::File* file, bool writable)>& use) {
  TagLib::FileStream stream(QFile::encodeName(path).constData(), readOnly);
  return WithReader(SongFormatOf(path), &stream,
                    [&](TagLib::File* file) { return use(file, !stream.readOnly()); });
}

}  // namespace audiolume::platform
