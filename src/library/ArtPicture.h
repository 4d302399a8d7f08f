#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace audiolume {

/**
 * A picture to keep as a song's art, held in memory so that no two windows share a file
 * for it. Its type is told by its bytes, not by a file name: "jpg", "png", "bmp", "ico",
 * "wmf", or another kind Qt reads ("gif", "webp", …).
 */
struct ArtPicture {
  QByteArray bytes;
  QString type;

  /** Nothing for bytes that are no picture. */
  static std::optional<ArtPicture> FromBytes(const QByteArray& bytes);
  /** Nothing for a file that cannot be read, is larger than 16 MiB or is no picture. */
  static std::optional<ArtPicture> FromFile(const QString& path);
  /** The picture kinds offered for art, as name patterns. */
  static QStringList Patterns();

  /** The picture in one of the four kinds the trailer keeps: JPEG, BMP, WMF and ICO as
   *  they are, others as JPEG. */
  ArtPicture ForTrailer() const;
  /** The picture as JPEG: as it is when it is one, else encoded anew. */
  ArtPicture AsJpeg() const;
  /** Its MIME type, as standard tags name pictures ("image/jpeg", …). */
  QString MimeType() const;

  bool operator==(const ArtPicture&) const = default;
};

}  // namespace audiolume
