#include "platform/AudioDecoder.h"

#include <QFileInfo>

#include "platform/SongFormat.h"

namespace audiolume::platform {

namespace {

// MPEG audio through libmpg123; WAV, FLAC, Ogg Vorbis and Opus through libsndfile; MP4
// (AAC, ALAC), raw AAC, WMA, WavPack and APE through FFmpeg; RealAudio files go to the
// external player.
const QStringList kSongExtensions = {
    QStringLiteral("mp3"),  QStringLiteral("mp2"), QStringLiteral("mp1"), QStringLiteral("wav"),
    QStringLiteral("flac"), QStringLiteral("ogg"), QStringLiteral("oga"), QStringLiteral("opus"),
    QStringLiteral("m4a"),  QStringLiteral("m4b"), QStringLiteral("mp4"), QStringLiteral("aac"),
    QStringLiteral("wma"),  QStringLiteral("wv"),  QStringLiteral("ape"), QStringLiteral("ra")};

// What libsndfile cannot read goes to FFmpeg; a file libsndfile cannot open at all is
// reported as libsndfile reports it.
std::unique_ptr<AudioDecoder> OpenSndfileElseFfmpeg(const QString& path) {
  try {
    return OpenSndfileDecoder(path);
  } catch (const DecodeError& error) {
    if (error.kind() != DecodeError::Kind::NotDecodable) throw;
  }
  return OpenFfmpegDecoder(path);
}

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
  return OpenSongDecoderAs(path, SongFormatOf(path));
}

std::unique_ptr<AudioDecoder> OpenSongDecoderAs(const QString& path, SongFormat format) {
  if (format == SongFormat::Mpeg) return OpenMpegDecoder(path);
  if (IsFfmpegOnlyFormat(format)) return OpenFfmpegDecoder(path);
  return OpenSndfileElseFfmpeg(path);
}

}  // namespace audiolume::platform
