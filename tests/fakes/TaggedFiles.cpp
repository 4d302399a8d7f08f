#include "fakes/TaggedFiles.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QProcess>

namespace audiolume::test {

namespace {

TagLib::String Text(const QString& text) {
  return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

TagLib::ByteVector Bytes(const QByteArray& bytes) {
  return TagLib::ByteVector(bytes.constData(), unsigned(bytes.size()));
}

void SetFields(TagLib::Tag& tag, const StandardTagValues& values) {
  tag.setTitle(Text(values.title));
  tag.setArtist(Text(values.artist));
  tag.setAlbum(Text(values.album));
  tag.setGenre(Text(values.genre));
  tag.setYear(unsigned(values.year));
  tag.setTrack(unsigned(values.track));
}

TagLib::FLAC::Picture* FlacPicture(const StandardTagValues& values) {
  auto* picture = new TagLib::FLAC::Picture;
  picture->setType(TagLib::FLAC::Picture::FrontCover);
  picture->setMimeType(Text(values.pictureMime));
  picture->setData(Bytes(values.picture));
  return picture;
}

bool TagMp3(const QByteArray& name, const StandardTagValues& values, int version) {
  TagLib::MPEG::File file(name.constData(), false);
  if (!file.isValid()) return false;
  TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
  SetFields(*tag, values);
  if (!values.picture.isEmpty()) {
    auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
    frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    frame->setMimeType(Text(values.pictureMime));
    frame->setPicture(Bytes(values.picture));
    tag->addFrame(frame);
  }
  return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers,
                   version == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4);
}

template <typename OggFile>
bool TagXiph(const QByteArray& name, const StandardTagValues& values) {
  OggFile file(name.constData(), false);
  if (!file.isValid() || file.tag() == nullptr) return false;
  SetFields(*file.tag(), values);
  if (!values.picture.isEmpty()) file.tag()->addPicture(FlacPicture(values));
  return file.save();
}

bool TagFlac(const QByteArray& name, const StandardTagValues& values) {
  TagLib::FLAC::File file(name.constData(), false);
  if (!file.isValid()) return false;
  SetFields(*file.xiphComment(true), values);
  if (!values.picture.isEmpty()) file.addPicture(FlacPicture(values));
  return file.save();
}

}  // namespace

bool WriteStandardTag(const QString& path, const StandardTagValues& values, int id3v2Version) {
  const QByteArray name = QFile::encodeName(path);
  const QString lower = path.toLower();
  if (lower.endsWith(u".mp3")) return TagMp3(name, values, id3v2Version);
  if (lower.endsWith(u".flac")) return TagFlac(name, values);
  if (lower.endsWith(u".ogg")) return TagXiph<TagLib::Ogg::Vorbis::File>(name, values);
  if (lower.endsWith(u".opus")) return TagXiph<TagLib::Ogg::Opus::File>(name, values);
  return false;
}

bool AddId3v2Frames(const QString& path, const QList<std::pair<QByteArray, QString>>& frames) {
  TagLib::MPEG::File file(QFile::encodeName(path).constData(), false);
  if (!file.isValid()) return false;
  TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
  for (const auto& [id, text] : frames) {
    TagLib::StringList values;
    for (const QString& value : text.split(u'\n')) values.append(Text(value));
    if (id == "TXXX") {
      auto* frame = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::UTF8);
      frame->setDescription(Text(text.section(u'=', 0, 0)));
      frame->setText(Text(text.section(u'=', 1)));
      tag->addFrame(frame);
      continue;
    }
    tag->removeFrames(TagLib::ByteVector(id.constData(), unsigned(id.size())));
    auto* frame = new TagLib::ID3v2::TextIdentificationFrame(
        TagLib::ByteVector(id.constData(), unsigned(id.size())), TagLib::String::UTF8);
    frame->setText(values);
    tag->addFrame(frame);
  }
  return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v4,
                   TagLib::File::DoNotDuplicate);
}

QStringList Id3v2Frames(const QString& path) {
  TagLib::MPEG::File file(QFile::encodeName(path).constData(), false);
  QStringList frames;
  if (!file.isValid() || file.ID3v2Tag() == nullptr) return frames;
  for (const TagLib::ID3v2::Frame* frame : file.ID3v2Tag()->frameList()) {
    QString text = QString::fromStdString(frame->toString().to8Bit(true));
    if (const auto* texts = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frame)) {
      text = QString::fromStdString(texts->fieldList().toString("\n").to8Bit(true));
    }
    frames.append(QString::fromLatin1(frame->frameID().data(), frame->frameID().size()) + u' ' +
                  text);
  }
  return frames;
}

PropertyValues ReadTagProperties(const QString& path) {
  const TagLib::FileRef ref(QFile::encodeName(path).constData(), false);
  PropertyValues properties;
  if (ref.isNull()) return properties;
  for (const auto& [key, values] : ref.file()->properties()) {
    QStringList& texts = properties[QString::fromStdString(key.to8Bit(true))];
    for (const TagLib::String& value : values)
      texts.append(QString::fromStdString(value.to8Bit(true)));
  }
  return properties;
}

bool SetTagProperties(const QString& path, const PropertyValues& properties) {
  TagLib::FileRef ref(QFile::encodeName(path).constData(), false);
  if (ref.isNull()) return false;
  TagLib::PropertyMap map = ref.file()->properties();
  for (auto it = properties.begin(); it != properties.end(); ++it) {
    TagLib::StringList values;
    for (const QString& value : it.value()) values.append(Text(value));
    map.replace(Text(it.key()), values);
  }
  return ref.file()->setProperties(map).isEmpty() && ref.save();
}

PropertyValues MutagenTagProperties(const QString& path) {
  QProcess python;
  python.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral("-c"),
                QStringLiteral("import sys, mutagen\n"
                               "f = mutagen.File(sys.argv[1])\n"
                               "for key, value in f.tags.items():\n"
                               "    texts = value.text if hasattr(value, 'text') else value\n"
                               "    for text in texts:\n"
                               "        print('%s=%s' % (key.split(':')[0].upper(), text))\n"),
                path});
  python.waitForFinished(30000);
  PropertyValues properties;
  for (const QString& line : QString::fromUtf8(python.readAllStandardOutput()).split(u'\n')) {
    const qsizetype equals = line.indexOf(u'=');
    if (equals > 0) properties[line.left(equals)].append(line.mid(equals + 1));
  }
  return properties;
}

QByteArray SmallPng() {
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

}  // namespace audiolume::test
