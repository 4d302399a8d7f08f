#include "platform/FileConverter.h"

#include <mpg123.h>
#include <sndfile.h>
#include <taglib/id3v2header.h>

#include <QFile>
#include <vector>

#include "platform/AudioDecoder.h"
#include "platform/AudioEncoders.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"

namespace audiolume::platform {

namespace {

constexpr qint64 kConversionChunkFrames = 8192;

std::unique_ptr<AudioDecoder> OpenSource(const QString& source, int mode) {
  return mode == kWavToMp3 ? OpenSndfileDecoder(source) : OpenMpegDecoder(source);
}

// The ID3v2 tag at the front of an MPEG file, byte for byte; empty when there is none.
// A re-encoded song keeps it, so that a portable player still shows its title and art.
QByteArray LeadingId3v2(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray start = file.read(TagLib::ID3v2::Header::size());
  if (!start.startsWith("ID3")) return {};
  const TagLib::ID3v2::Header header(TagLib::ByteVector(start.constData(), uint(start.size())));
  if (header.tagSize() == 0) return {};  // a size that is not synchsafe: no tag
  file.seek(0);
  const QByteArray tag = file.read(header.completeTagSize());
  return tag.size() == qint64(header.completeTagSize()) ? tag : QByteArray();
}

// Decodes the source chunk by chunk into write; answers a ConvertResult.
int Pump(AudioDecoder& decoder, const std::function<bool(const qint16*, qint64)>& write,
         const ConvertProgress& progress) {
  const PcmFormat format = decoder.Format();
  std::vector<qint16> samples(std::size_t(kConversionChunkFrames * format.channels));
  const double length = double(std::max<qint64>(1, decoder.LengthFrames()));
  qint64 done = 0;
  while (const qint64 frames = decoder.Read(samples.data(), kConversionChunkFrames)) {
    if (!write(samples.data(), frames)) return kConvertCannotWrite;
    done += frames;
    if (progress) {
      if (const int stop = progress(std::min(1.0, double(done) / length))) return stop;
    }
  }
  return kConvertDone;
}

int Convert(const QString& source, const QString& partial, int mode, int bitRate,
            const ConvertProgress& progress) {
  std::unique_ptr<AudioDecoder> decoder;
  try {
    decoder = OpenSource(source, mode);
  } catch (const DecodeError& error) {
    return error.kind() == DecodeError::Kind::CannotOpen ? kConvertCannotRead : kConvertUnsupported;
  }
  const PcmFormat format = decoder->Format();
  if (mode == kMp3ToWav) {
    PcmFileWriter wav(partial, format);
    if (!wav.IsOpen()) return kConvertCannotWrite;
    const int result = Pump(
        *decoder, [&](const qint16* s, qint64 frames) { return wav.Write(s, frames); }, progress);
    if (result != kConvertDone) return result;
    return wav.Close() ? kConvertDone : kConvertCannotWrite;
  }
  if (format.channels > 2) return kConvertUnsupported;
  QFile out(partial);
  if (!out.open(QIODevice::WriteOnly)) return kConvertCannotWrite;
  const QByteArray tag = mode == kMp3ToMp3 ? LeadingId3v2(source) : QByteArray();
  if (out.write(tag) != tag.size()) return kConvertCannotWrite;
  try {
    Mp3Encoder encoder(format, Mp3Settings{std::max(8, bitRate / 1000)});
    const int result = Pump(
        *decoder,
        [&](const qint16* s, qint64 frames) {
          const QByteArray bytes = encoder.Encode(s, frames);
          return out.write(bytes) == bytes.size();
        },
        progress);
    if (result != kConvertDone) return result;
    const QByteArray tail = encoder.Flush();
    if (out.write(tail) != tail.size()) return kConvertCannotWrite;
    // The first frame becomes the length and seek table other players read.
    const QByteArray info = encoder.InfoFrame();
    if (!info.isEmpty() && (!out.seek(tag.size()) || out.write(info) != info.size()))
      return kConvertCannotWrite;
    if (!out.flush()) return kConvertCannotWrite;
  } catch (const DecodeError& error) {
    return error.kind() == DecodeError::Kind::Damaged ? kConvertCannotRead : kConvertUnsupported;
  }
  return kConvertDone;
}

}  // namespace

int SampleRateCode(int sampleRate) {
  constexpr int kRates[] = {8000, 11025, 12000, 16000, 22050, 44100, 24000, 32000, 48000};
  for (int code = 0; code < int(std::size(kRates)); ++code) {
    if (kRates[code] == sampleRate) return code;
  }
  return -1;
}

int _QueryMp3File(const QString& path, Mp3Info& info) {
  mpg123_init();
  int error = MPG123_OK;
  mpg123_handle* handle = mpg123_new(nullptr, &error);
  if (!handle) return kConvertCannotRead;
  const std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)> owner(handle,
                                                                       [](mpg123_handle* h) {
                                                                         mpg123_close(h);
                                                                         mpg123_delete(h);
                                                                       });
  mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  if (mpg123_open(handle, QFile::encodeName(path).constData()) != MPG123_OK)
    return kConvertCannotRead;
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  // A full scan gives the exact length, also of files with a variable bit rate.
  if (mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK ||
      mpg123_scan(handle) != MPG123_OK) {
    return kConvertUnsupported;
  }
  const off_t frames = mpg123_length(handle);
  if (frames <= 0 || rate <= 0) return kConvertUnsupported;
  const QFile file(path);
  info.durationMs = qint64(frames) * 1000 / rate;
  info.bitRate = info.durationMs > 0 ? int(file.size() * 8 * 1000 / info.durationMs) : 0;
  mpg123_frameinfo frame{};
  if (mpg123_info(handle, &frame) == MPG123_OK && frame.vbr == MPG123_CBR)
    info.bitRate = frame.bitrate * 1000;
  info.sampleRateCode = SampleRateCode(int(rate));
  info.channels = channels;
  return kConvertDone;
}

int _ConvertFile(const QString& source, const QString& destination, int mode, int /*reserved1*/,
                 int /*reserved2*/, int bitRate, const ConvertProgress& progress) {
  if (mode != kMp3ToMp3 && mode != kMp3ToWav && mode != kWavToMp3) return kConvertUnsupported;
  // The destination appears only once it is whole.
  const QString partial = destination + QStringLiteral(".part");
  int result = kConvertCannotRead;
  try {
    result = Convert(source, partial, mode, bitRate, progress);
  } catch (const DecodeError&) {
    result = kConvertCannotRead;
  }
  // One rename replaces an existing destination: there is no moment without either file.
  if (result == kConvertDone) {
    try {
      FileOps::MoveFile(partial, destination);
    } catch (const FileError&) {
      result = kConvertCannotWrite;
    }
  }
  QFile::remove(partial);
  return result;
}

}  // namespace audiolume::platform
