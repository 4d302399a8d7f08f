#include "library/ArtPicture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr qint64 kMaxPictureBytes = 16 * 1024 * 1024;

// Windows metafiles, which Qt does not read: the placeable header's key, else the plain
// header of a memory or disk metafile.
bool IsMetafile(const QByteArray& bytes) {
  return bytes.startsWith("\xD7\xCD\xC6\x9A") ||
         bytes.startsWith(QByteArray("\x01\x00\x09\x00", 4)) ||
         bytes.startsWith(QByteArray("\x02\x00\x09\x00", 4));
}

}  // namespace

std::optional<ArtPicture> ArtPicture::FromBytes(const QByteArray& bytes) {
  if (IsMetafile(bytes)) return ArtPicture{bytes, u"wmf"_s};
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  const QByteArray format = QImageReader::imageFormat(&buffer);
  if (format.isEmpty() || QImage::fromData(bytes, format.constData()).isNull()) return std::nullopt;
  return ArtPicture{bytes, format == "jpeg" ? u"jpg"_s : QString::fromLatin1(format)};
}

std::optional<ArtPicture> ArtPicture::FromFile(const QString& path) {
  // Regular files only: a pipe or a device in the picture's place would never end.
  QFile file(path);
  if (!QFileInfo(path).isFile() || QFileInfo(path).size() > kMaxPictureBytes ||
      !file.open(QIODevice::ReadOnly)) {
    return std::nullopt;
  }
  return FromBytes(file.read(kMaxPictureBytes));
}

QStringList ArtPicture::Patterns() {
  return {u"*.bmp"_s, u"*.jpg"_s, u"*.wmf"_s, u"*.ico"_s, u"*.jpeg"_s, u"*.png"_s};
}

ArtPicture ArtPicture::ForTrailer() const {
  if (type == u"bmp" || type == u"wmf" || type == u"ico") return *this;
  return AsJpeg();
}

ArtPicture ArtPicture::AsJpeg() const {
  if (type == u"jpg") return *this;
  QByteArray jpeg;
  QBuffer buffer(&jpeg);
  buffer.open(QIODevice::WriteOnly);
  QImage::fromData(bytes).save(&buffer, "JPG");
  return {jpeg, u"jpg"_s};
}

QString ArtPicture::MimeType() const {
  if (type == u"jpg") return u"image/jpeg"_s;
  if (type == u"ico") return u"image/vnd.microsoft.icon"_s;
  return u"image/"_s + type;
}

}  // namespace audiolume
