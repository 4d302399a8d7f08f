#include "platform/SongFormat.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "platform/AudioDecoder.h"

namespace audiolume::platform {

namespace {

// Enough for every signature below, including an Ogg page header and its first packet's.
constexpr qsizetype kHeadBytes = 64;

QByteArray HeadAt(int descriptor, qint64 offset) {
  QByteArray bytes(kHeadBytes, '\0');
  const ssize_t got = ::pread(descriptor, bytes.data(), std::size_t(bytes.size()), offset);
  bytes.resize(std::max<ssize_t>(got, 0));
  return bytes;
}

quint8 ByteAt(QByteArrayView bytes, qsizetype index) {
  return quint8(bytes[index]);
}

// The whole size of the ID3v2 tag the bytes start with; 0 when they start with none.
qint64 Id3v2Size(QByteArrayView head) {
  if (head.size() < 10 || !head.startsWith("ID3")) return 0;
  qint64 size = 0;
  for (qsizetype i = 6; i < 10; ++i) size = (size << 7) | (ByteAt(head, i) & 0x7f);
  const bool footer = (ByteAt(head, 5) & 0x10) != 0;
  return 10 + size + (footer ? 10 : 0);
}

// The codec of an Ogg stream, told by its first packet, which follows the first page's
// header and segment table.
SongFormat OggFormat(QByteArrayView head) {
  if (head.size() < 27) return SongFormat::Unknown;
  const QByteArrayView packet =
      head.sliced(std::min<qsizetype>(27 + ByteAt(head, 26), head.size()));
  if (packet.startsWith("\x01vorbis")) return SongFormat::OggVorbis;
  if (packet.startsWith("OpusHead")) return SongFormat::OggOpus;
  if (packet.startsWith("\x7f"
                        "FLAC"))
    return SongFormat::OggFlac;
  return SongFormat::Unknown;
}

// The first object of an ASF file (WMA): its header object's GUID.
constexpr char kAsfHeaderGuid[] =
    "\x30\x26\xb2\x75\x8e\x66\xcf\x11\xa6\xd9\x00\xaa\x00\x62\xce\x6c";

// An ADTS frame header: the frame sync with the layer bits that MPEG audio never has.
bool IsAdtsHeader(QByteArrayView head) {
  return head.size() >= 2 && ByteAt(head, 0) == 0xff && (ByteAt(head, 1) & 0xf6) == 0xf0;
}

SongFormat FormatOfSignature(QByteArrayView head) {
  if (head.startsWith("fLaC")) return SongFormat::Flac;
  if (head.startsWith("OggS")) return OggFormat(head);
  if (head.startsWith("RIFF") && head.size() >= 12 && head.sliced(8, 4) == "WAVE")
    return SongFormat::Wav;
  if (head.size() >= 8 && head.sliced(4, 4) == "ftyp") return SongFormat::Mp4;
  if (head.startsWith("wvpk")) return SongFormat::WavPack;
  if (head.startsWith("MAC ")) return SongFormat::Ape;
  if (head.startsWith(QByteArrayView(kAsfHeaderGuid, sizeof kAsfHeaderGuid - 1))) {
    return SongFormat::Asf;
  }
  if (IsAdtsHeader(head)) return SongFormat::Aac;
  if (IsMpegFrameHeader(head)) return SongFormat::Mpeg;
  return SongFormat::Unknown;
}

SongFormat FormatOfContent(int descriptor) {
  const QByteArray head = HeadAt(descriptor, 0);
  // A leading ID3v2 tag belongs to MPEG audio, or now and then to a FLAC, APE or raw AAC
  // file.
  if (const qint64 tag = Id3v2Size(head); tag > 0) {
    const SongFormat after = FormatOfSignature(HeadAt(descriptor, tag));
    return after == SongFormat::Unknown ? SongFormat::Mpeg : after;
  }
  return FormatOfSignature(head);
}

SongFormat FormatOfName(const QString& path) {
  if (IsMpegAudioName(path)) return SongFormat::Mpeg;
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == u"flac") return SongFormat::Flac;
  if (suffix == u"ogg" || suffix == u"oga") return SongFormat::OggVorbis;
  if (suffix == u"opus") return SongFormat::OggOpus;
  if (suffix == u"m4a" || suffix == u"m4b" || suffix == u"mp4") return SongFormat::Mp4;
  if (suffix == u"wav") return SongFormat::Wav;
  if (suffix == u"aac") return SongFormat::Aac;
  if (suffix == u"wv") return SongFormat::WavPack;
  if (suffix == u"ape") return SongFormat::Ape;
  if (suffix == u"wma") return SongFormat::Asf;
  return SongFormat::Unknown;
}

}  // namespace

bool IsFfmpegOnlyFormat(SongFormat format) {
  return format == SongFormat::Mp4 || format == SongFormat::Aac || format == SongFormat::WavPack ||
         format == SongFormat::Ape || format == SongFormat::Asf;
}

bool IsMpegFrameHeader(QByteArrayView bytes) {
  if (bytes.size() < 3 || ByteAt(bytes, 0) != 0xff) return false;
  const quint8 second = ByteAt(bytes, 1);
  const quint8 third = ByteAt(bytes, 2);
  return (second & 0xe0) == 0xe0 && (second & 0x18) != 0x08 && (second & 0x06) != 0 &&
         (third & 0xf0) != 0xf0 && (third & 0x0c) != 0x0c;
}

SongFormat SongFormatOf(int descriptor, const QString& path) {
  const SongFormat format = FormatOfContent(descriptor);
  return format != SongFormat::Unknown ? format : FormatOfName(path);
}

SongFormat SongFormatOf(const QString& path) {
  // Without blocking: a FIFO in a song's place must not hang the caller.
  const int descriptor =
      ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return FormatOfName(path);
  struct stat status {};
  const bool regular = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
  const SongFormat format = regular ? SongFormatOf(descriptor, path) : FormatOfName(path);
  ::close(descriptor);
  return format;
}

}  // namespace audiolume::platform
