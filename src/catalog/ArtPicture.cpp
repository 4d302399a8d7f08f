#include "catalog/ArtPicture.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

QString ArtPicture(const QString& picturePath, const QString& jpegCopy) {
  const QString type = QFileInfo(picturePath).suffix().toLower();
  if (!QFileInfo(picturePath).isFile()) return {};
  if (type == u"bmp" || type == u"wmf" || type == u"ico") return picturePath;
  if (type != u"jpg" && type != u"jpeg" && type != u"png") return {};
  QFile::remove(jpegCopy);
  if (type == u"png") return QImage(picturePath).save(jpegCopy, "JPG") ? jpegCopy : QString();
  return QFile::copy(picturePath, jpegCopy) ? jpegCopy : QString();
}

QStringList ArtPicturePatterns() {
  return {u"*.bmp"_s, u"*.jpg"_s, u"*.wmf"_s, u"*.ico"_s, u"*.jpeg"_s, u"*.png"_s};
}

}  // namespace audiolume
