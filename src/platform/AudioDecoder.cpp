#include "platform/AudioDecoder.h"

#include <QFileInfo>

namespace audiolume::platform {

// MPEG audio through libmpg123; WAV, FLAC, Ogg Vorbis and Opus through libsndfile;
// RealAudio files are listed for the external player.
QStringList SongFilePatterns() {
  return {QStringLiteral("*.mp3"), QStringLiteral("*.mp2"),  QStringLiteral("*.mp1"),
          QStringLiteral("*.wav"), QStringLiteral("*.flac"), QStringLiteral("*.ogg"),
          QStringLiteral("*.oga"), QStringLiteral("*.opus"), QStringLiteral("*.ra")};
}

bool IsMpegAudioName(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == QStringLiteral("mp3") || suffix == QStringLiteral("mp2") ||
         suffix == QStringLiteral("mp1");
}

std::unique_ptr<AudioDecoder> OpenSongDecoder(const QString& path) {
  return IsMpegAudioName(path) ? OpenMpegDecoder(path) : OpenSndfileDecoder(path);
}

}  // namespace audiolume::platform
