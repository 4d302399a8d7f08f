#include "platform/AudioEncoders.h"

#include <fcntl.h>
#include <lame/lame.h>
#include <sndfile.h>

#include <QFile>
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/FileError.h"
#include "platform/FileOps.h"

namespace audiolume::platform {

struct Mp3Encoder::Lame {
  lame_global_flags* flags;
};

namespace {

MPEG_mode LameMode(Mp3Settings::Mode mode) {
  switch (mode) {
    case Mp3Settings::Mode::Stereo: return STEREO;
    case Mp3Settings::Mode::JointStereo: return JOINT_STEREO;
    case Mp3Settings::Mode::DualChannel: return DUAL_CHANNEL;
    case Mp3Settings::Mode::Mono: return MONO;
    case Mp3Settings::Mode::Auto: break;
  }
  return NOT_SET;
}

}  // namespace

Mp3Encoder::Mp3Encoder(const PcmFormat& format, const Mp3Settings& settings)
    : lame_(std::make_unique<Lame>(Lame{lame_init()})) {
  lame_global_flags* lame = lame_->flags;
  if (!lame) throw DecodeError(DecodeError::Kind::NotDecodable, QStringLiteral("lame_init"));
  lame_set_in_samplerate(lame, format.sampleRate);
  lame_set_num_channels(lame, format.channels);
  // Keep the rate: LAME would otherwise resample low bit rates to lower rates.
  lame_set_out_samplerate(lame, format.sampleRate);
  if (settings.kbps > 0) {
    lame_set_brate(lame, std::max(8, settings.kbps));
  } else {
    // Quality 100 is LAME's best variable setting (V0), 0 its smallest (V9).
    lame_set_VBR(lame, vbr_default);
    lame_set_VBR_quality(lame, float(9.0 - std::clamp(settings.vbrQuality, 0, 100) * 9.0 / 100.0));
  }
  if (const MPEG_mode mode = LameMode(settings.mode); mode != NOT_SET && format.channels == 2) {
    lame_set_mode(lame, mode);
  }
  if (settings.lowpassHz > 0) lame_set_lowpassfreq(lame, settings.lowpassHz);
  if (lame_init_params(lame) < 0) {
    lame_close(lame);
    lame_->flags = nullptr;
    throw DecodeError(DecodeError::Kind::NotDecodable, QStringLiteral("unsupported format"));
  }
  channels_ = format.channels;
}

Mp3Encoder::~Mp3Encoder() {
  if (lame_->flags) lame_close(lame_->flags);
}

QByteArray Mp3Encoder::Encode(const qint16* samples, qint64 frames) {
  std::vector<unsigned char> out(std::size_t(1.25 * double(frames) + 7200));
  const int size = channels_ == 2
                       ? lame_encode_buffer_interleaved(lame_->flags, const_cast<short*>(samples),
                                                        int(frames), out.data(), int(out.size()))
                       : lame_encode_buffer(lame_->flags, samples, samples, int(frames), out.data(),
                                            int(out.size()));
  if (size < 0) throw DecodeError(DecodeError::Kind::Damaged, QStringLiteral("lame"));
  return QByteArray(reinterpret_cast<const char*>(out.data()), size);
}

QByteArray Mp3Encoder::Flush() {
  std::vector<unsigned char> out(7200);
  const int size = lame_encode_flush(lame_->flags, out.data(), int(out.size()));
  return QByteArray(reinterpret_cast<const char*>(out.data()), std::max(0, size));
}

QByteArray Mp3Encoder::InfoFrame() {
  std::vector<unsigned char> frame(2880);
  const std::size_t size = lame_get_lametag_frame(lame_->flags, frame.data(), frame.size());
  return size <= frame.size()
             ? QByteArray(reinterpret_cast<const char*>(frame.data()), qsizetype(size))
             : QByteArray();
}

struct PcmFileWriter::Sndfile {
  SNDFILE* file;
};

namespace {

// libFLAC writes the comments with the stream's header, before the first samples. A
// comment libsndfile refuses is left out rather than the song.
void SetVorbisComments(SNDFILE* file, const VorbisComments& comments) {
  const std::pair<int, QString> fields[] = {
      {SF_STR_TITLE, comments.title},
      {SF_STR_ARTIST, comments.artist},
      {SF_STR_ALBUM, comments.album},
      {SF_STR_TRACKNUMBER,
       comments.trackNumber > 0 ? QString::number(comments.trackNumber) : QString()},
      {SF_STR_DATE, comments.date},
      {SF_STR_GENRE, comments.genre}};
  for (const auto& [field, text] : fields) {
    if (!text.isEmpty()) sf_set_string(file, field, text.toUtf8().constData());
  }
}

}  // namespace

PcmFileWriter::PcmFileWriter(const QString& path, const PcmFormat& format, Container container,
                             const VorbisComments& comments) {
  SF_INFO info{};
  info.samplerate = format.sampleRate;
  info.channels = format.channels;
  info.format = (container == Container::Flac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
  // A FIFO or device in the file's place would hold libsndfile's open for ever.
  int fd = -1;
  try {
    fd = FileOps::OpenRegularFile(path, O_WRONLY | O_CREAT | O_TRUNC);
  } catch (const FileError&) {
    return;
  }
  SNDFILE* file = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
  if (!file) return;
  if (container == Container::Flac) SetVorbisComments(file, comments);
  file_ = new Sndfile{file};
}

PcmFileWriter::~PcmFileWriter() {
  Close();
}

bool PcmFileWriter::Write(const qint16* samples, qint64 frames) {
  return file_ && sf_writef_short(file_->file, samples, frames) == frames;
}

bool PcmFileWriter::Close() {
  if (!file_) return false;
  const bool closed = sf_close(file_->file) == 0;
  delete file_;
  file_ = nullptr;
  return closed;
}

}  // namespace audiolume::platform
