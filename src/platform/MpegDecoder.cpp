#include <mpg123.h>

#include <QFile>
#include <mutex>

#include "platform/AudioDecoder.h"

namespace audiolume::platform {

namespace {

void InitializeOnce() {
  static std::once_flag once;
  std::call_once(once, [] { mpg123_init(); });
}

/** Owns an mpg123 handle. */
class Mpg123Handle {
 public:
  Mpg123Handle() {
    InitializeOnce();
    int error = MPG123_OK;
    handle_ = mpg123_new(nullptr, &error);
    if (!handle_)
      throw DecodeError(DecodeError::Kind::CannotOpen,
                        QString::fromUtf8(mpg123_plain_strerror(error)));
  }
  ~Mpg123Handle() {
    mpg123_close(handle_);
    mpg123_delete(handle_);
  }
  Mpg123Handle(const Mpg123Handle&) = delete;
  Mpg123Handle& operator=(const Mpg123Handle&) = delete;

  mpg123_handle* get() const { return handle_; }
  QString Error() const { return QString::fromUtf8(mpg123_strerror(handle_)); }

 private:
  mpg123_handle* handle_ = nullptr;
};

class MpegDecoder : public AudioDecoder {
 public:
  explicit MpegDecoder(const QString& path) {
    mpg123_handle* h = handle_.get();
    // Always 16-bit output, at the stream's own rate and channel count.
    mpg123_format_none(h);
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i) {
      mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    // Gapless decoding drops the encoder's delay and padding (LAME/Xing information), so
    // that consecutive tracks join sample for sample and the length counts only music.
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    if (mpg123_open(h, QFile::encodeName(path).constData()) != MPG123_OK) {
      throw DecodeError(DecodeError::Kind::CannotOpen, handle_.Error());
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(h, &rate, &channels, &encoding) != MPG123_OK) {
      throw DecodeError(DecodeError::Kind::NotDecodable, handle_.Error());
    }
    mpg123_format_none(h);
    mpg123_format(h, rate, channels, MPG123_ENC_SIGNED_16);
    format_ = {int(rate), channels};
    // The length from the stream's header, or estimated from its size: exact for constant
    // bit rates. Playback does not wait for a full scan of the file.
    length_ = mpg123_length(h);
    if (length_ <= 0) throw DecodeError(DecodeError::Kind::NotDecodable, path);
    // An encoder delay is known from a LAME or Info header, whose frame count makes the
    // length exact; without one it was estimated from the file's size, tags included.
    long delay = -1;
    exact_ = mpg123_getstate(h, MPG123_ENC_DELAY, &delay, nullptr) == MPG123_OK && delay >= 0;
  }

  PcmFormat Format() const override { return format_; }
  qint64 LengthFrames() const override { return length_; }
  bool LengthExact() const override { return exact_; }

  qint64 Read(qint16* out, qint64 frames) override {
    const size_t wanted = size_t(frames) * size_t(format_.channels) * sizeof(qint16);
    size_t done = 0;
    const int result =
        mpg123_read(handle_.get(), reinterpret_cast<unsigned char*>(out), wanted, &done);
    if (result != MPG123_OK && result != MPG123_DONE && result != MPG123_NEW_FORMAT &&
        !EndsTheAudio(done)) {
      throw DecodeError(DecodeError::Kind::Damaged, handle_.Error());
    }
    decodedAny_ = decodedAny_ || done > 0;
    return qint64(done / (sizeof(qint16) * size_t(format_.channels)));
  }

  void Seek(qint64 frame) override {
    if (mpg123_seek(handle_.get(), off_t(frame), SEEK_SET) < 0) {
      throw DecodeError(DecodeError::Kind::Damaged, handle_.Error());
    }
  }

 private:
  // Whether a read error only marks the end of the audio: the samples decoded with it are
  // delivered first, and bytes after the last frame that mpg123 cannot resynchronise on
  // (a tag it does not know, such as the jukebox's own trailer) or a file cut short in
  // its last frame end the song instead of failing it.
  bool EndsTheAudio(size_t done) const {
    if (done > 0) return true;
    const int code = mpg123_errcode(handle_.get());
    return decodedAny_ && (code == MPG123_RESYNC_FAIL || code == MPG123_ERR_READER);
  }

  Mpg123Handle handle_;
  PcmFormat format_;
  qint64 length_ = 0;
  bool exact_ = false;
  bool decodedAny_ = false;
};

}  // namespace

std::unique_ptr<AudioDecoder> OpenMpegDecoder(const QString& path) {
  return std::make_unique<MpegDecoder>(path);
}

}  // namespace audiolume::platform
