#include "fakes/DiscImages.h"

#include <sndfile.h>

#include <QFile>
#include <QtEndian>
#include <cmath>
#include <numbers>
#include <random>

namespace audiolume::test {

namespace {

constexpr qint64 kSectorBytes = 2352;
constexpr int kFramesPerSecond = 75;
// Tracks are filled for this long at most; the rest of a long image stays sparse.
constexpr int kFilledFrames = 10 * kFramesPerSecond;

QByteArray TrackBytes(const ImageTrack& track, int number) {
  const int filled = std::min(track.frames, kFilledFrames);
  QByteArray bytes(qsizetype(filled) * kSectorBytes, '\0');
  if (!track.audio) return bytes;
  auto* samples = reinterpret_cast<qint16*>(bytes.data());
  if (track.noise) {
    // The same noise every time, so that a rip can be compared with it.
    std::mt19937 random(number);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    for (qsizetype i = 0; i < bytes.size() / 2; ++i)
      samples[i] = qToLittleEndian(qint16(sample(random)));
    return bytes;
  }
  const qsizetype frames = bytes.size() / 4;
  for (qsizetype i = 0; i < frames; ++i) {
    const double phase = 2 * std::numbers::pi * 440.0 * number * double(i) / 44100.0;
    const auto value = qint16(std::lround(12000 * std::sin(phase)));
    samples[2 * i] = qToLittleEndian(value);
    samples[2 * i + 1] = qToLittleEndian(qint16(-value));
  }
  return bytes;
}

QString Msf(int frames) {
  return QStringLiteral("%1:%2:%3")
      .arg(frames / (60 * kFramesPerSecond), 2, 10, QChar(u'0'))
      .arg(frames / kFramesPerSecond % 60, 2, 10, QChar(u'0'))
      .arg(frames % kFramesPerSecond, 2, 10, QChar(u'0'));
}

}  // namespace

QString WriteCueBin(const QString& dir, const QString& name, const QList<ImageTrack>& tracks) {
  QFile bin(dir + QStringLiteral("/") + name + QStringLiteral(".bin"));
  if (!bin.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
  QString cue = QStringLiteral("FILE \"%1.bin\" BINARY\n").arg(name);
  qint64 start = 0;
  for (qsizetype i = 0; i < tracks.size(); ++i) {
    const int number = int(i) + 1;
    cue += QStringLiteral("  TRACK %1 %2\n    INDEX 01 %3\n")
               .arg(number, 2, 10, QChar(u'0'))
               .arg(tracks[i].audio ? QStringLiteral("AUDIO") : QStringLiteral("MODE1/2352"))
               .arg(Msf(int(start)));
    if (!bin.seek(start * kSectorBytes) || bin.write(TrackBytes(tracks[i], number)) < 0) return {};
    start += tracks[i].frames;
  }
  if (!bin.resize(start * kSectorBytes)) return {};
  QFile cueFile(dir + QStringLiteral("/") + name + QStringLiteral(".cue"));
  if (!cueFile.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      cueFile.write(cue.toUtf8()) < 0) {
    return {};
  }
  return cueFile.fileName();
}

QString WriteToc(const QString& dir, const QString& name, const QList<ImageTrack>& tracks) {
  if (WriteCueBin(dir, name, tracks).isEmpty()) return {};
  QString toc = QStringLiteral("CD_DA\n");
  int start = 0;
  for (const ImageTrack& track : tracks) {
    toc += QStringLiteral("TRACK %1\nFILE \"%2.bin\" %3 %4\n")
               .arg(track.audio ? QStringLiteral("AUDIO") : QStringLiteral("MODE1_RAW"), name,
                    Msf(start), Msf(track.frames));
    start += track.frames;
  }
  QFile file(dir + QStringLiteral("/") + name + QStringLiteral(".toc"));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(toc.toUtf8()) < 0)
    return {};
  return file.fileName();
}

QByteArray NrgImage(const QList<ImageTrack>& tracks, const QByteArray& moreChunks) {
  QByteArray image;
  QByteArray list;
  const auto be = [](QByteArray& to, quint64 value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) to += char(value >> (8 * i) & 0xFF);
  };
  qint64 sector = 0;
  for (qsizetype i = 0; i < tracks.size(); ++i) {
    // Start and length in bytes, mode 7 (audio), start sector, 8 unused bytes.
    be(list, quint64(sector * kSectorBytes), 8);
    be(list, quint64(tracks[i].frames * kSectorBytes), 8);
    be(list, 7, 4);
    be(list, quint64(sector), 4);
    be(list, 0, 8);
    QByteArray bytes = TrackBytes(tracks[i], int(i) + 1);
    bytes.resize(qsizetype(tracks[i].frames) * kSectorBytes, '\0');
    image += bytes;
    sector += tracks[i].frames;
  }
  const quint64 table = quint64(image.size());
  image += "ETN2";
  be(image, quint64(list.size()), 4);
  image += list + moreChunks + QByteArray("END!\0\0\0\0", 8) + "NER5";
  be(image, table, 8);
  return image;
}

QByteArray AudioOfTrack(const QList<ImageTrack>& tracks, int number) {
  QByteArray bytes = TrackBytes(tracks[number - 1], number);
  bytes.resize(qsizetype(tracks[number - 1].frames) * kSectorBytes, '\0');
  return bytes;
}

QByteArray AudioOfTrackShifted(const QList<ImageTrack>& tracks, int number, int offset) {
  QByteArray disc;
  qsizetype start = 0;
  for (int n = 1; n <= tracks.size(); ++n) {
    if (n == number) start = disc.size();
    disc += AudioOfTrack(tracks, n);
  }
  const qsizetype length = qsizetype(tracks[number - 1].frames) * kSectorBytes;
  QByteArray shifted(length, '\0');
  const qsizetype from = start + qsizetype(offset) * 4;
  for (qsizetype at = std::max<qsizetype>(0, -from); at < length && from + at < disc.size(); ++at)
    shifted[at] = disc[from + at];
  return shifted;
}

QByteArray DecodedAudio(const QString& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
  if (!file) return {};
  QByteArray samples(qsizetype(info.frames) * info.channels * 2, '\0');
  const sf_count_t read =
      sf_readf_short(file, reinterpret_cast<short*>(samples.data()), info.frames);
  sf_close(file);
  samples.resize(qsizetype(read) * info.channels * 2);
  return samples;
}

}  // namespace audiolume::test
