#pragma once

#include <QString>

namespace audiolume {

/**
 * The picture file to store as a song's art. The trailer keeps four kinds: "bmp", "wmf"
 * and "ico" files are stored as they are; JPEG pictures (".jpg", ".jpeg") and PNG pictures
 * are written to jpegCopy as JPEG. Empty for a file that cannot be read or another kind.
 */
QString ArtPicture(const QString& picturePath, const QString& jpegCopy);

/** The picture kinds offered for art, as name patterns. */
QStringList ArtPicturePatterns();

}  // namespace audiolume
