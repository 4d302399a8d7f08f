#include "platform/AudioDecoder.h"

#include <QFileInfo>

namespace audiolume::platform {

bool IsMpegAudioName(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == QStringLiteral("mp3") || suffix == QStringLiteral("mp2") ||
         suffix == QStringLiteral("mp1");
}

std::unique_ptr<AudioDecoder> OpenSongDecoder(const QString& path) {
  return IsMpegAudioName(path) ? OpenMpegDecoder(path) : OpenSndfileDecoder(path);
}

}  // namespace audiolume::platform
