#include "platform/AudioDecoder.h"

#include <QFileInfo>

namespace audiolume::platform {

namespace {

// MPEG audio through libmpg123; WAV, FLAC, Ogg Vorbis and Opus through libsndfile;
// RealAudio files go to the external player.
const QStringList kSongExtensions = {
    QStringLiteral("mp3"), QStringLiteral("mp2"),  QStringLiteral("mp1"),
    QStringLiteral("wav"), QStringLiteral("flac"), QStringLiteral("ogg"),
    QStringLiteral("oga"), QStringLiteral("opus"), QStringLiteral("ra")};

}  // namespace

QStringList SongFilePatterns() {
  QStringList patterns;
  for (const QString& extension : kSongExtensions)
    patterns.append(QStringLiteral("*.") + extension);
  return patterns;
}

bool IsSongFileName(const QString& path) {
  return kSongExtensions.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
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
