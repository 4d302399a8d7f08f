#include <fcntl.h>
#include <sndfile.h>

#include <QFile>
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/AudioDecoder.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"

namespace audiolume::platform {

namespace {

/** Owns a libsndfile handle. */
class SndfileHandle {
 public:
  SndfileHandle(const QString& path, SF_INFO& info) {
    // A FIFO or device in a song's place would hold libsndfile's open for ever.
    int fd = -1;
    try {
      fd = FileOps::OpenRegularFile(path, O_RDONLY);
    } catch (const FileError& error) {
      throw DecodeError(error.code().value() == ENOENT ? DecodeError::Kind::CannotOpen
                                                       : DecodeError::Kind::NotDecodable,
                        path);
    }
    file_ = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
    if (!file_) {
      const bool exists = QFile::exists(path);
      throw DecodeError(exists ? DecodeError::Kind::NotDecodable : DecodeError::Kind::CannotOpen,
                        QString::fromUtf8(sf_strerror(nullptr)));
    }
  }
  ~SndfileHandle() { sf_close(file_); }
  SndfileHandle(const SndfileHandle&) = delete;
  SndfileHandle& operator=(const SndfileHandle&) = delete;

  SNDFILE* get() const { return file_; }

 private:
  SNDFILE* file_ = nullptr;
};

class SndfileDecoder : public AudioDecoder {
 public:
  explicit SndfileDecoder(const QString& path) : file_(path, info_) {
    if (info_.channels < 1 || info_.channels > 8 || info_.samplerate <= 0) {
      throw DecodeError(DecodeError::Kind::NotDecodable, path);
    }
  }

  PcmFormat Format() const override { return {info_.samplerate, info_.channels}; }
  qint64 LengthFrames() const override { return info_.frames; }

  // Integer data of any width is scaled to 16 bits by libsndfile. Floating-point data
  // it would cast without scaling (0.5 becomes 0), so that is read as float, in -1 to 1,
  // and scaled here.
  qint64 Read(qint16* out, qint64 frames) override {
    const int subtype = info_.format & SF_FORMAT_SUBMASK;
    if (subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE) return ReadFloat(out, frames);
    const sf_count_t done = sf_readf_short(file_.get(), out, frames);
    if (done < 0 || (done == 0 && sf_error(file_.get()) != SF_ERR_NO_ERROR)) {
      throw DecodeError(DecodeError::Kind::Damaged, QString::fromUtf8(sf_strerror(file_.get())));
    }
    return done;
  }

  qint64 ReadFloat(qint16* out, qint64 frames) {
    floats_.resize(std::size_t(frames * info_.channels));
    const sf_count_t done = sf_readf_float(file_.get(), floats_.data(), frames);
    if (done < 0)
      throw DecodeError(DecodeError::Kind::Damaged, QString::fromUtf8(sf_strerror(file_.get())));
    for (std::size_t i = 0; i < std::size_t(done * info_.channels); ++i) {
      out[i] = qint16(std::lrint(std::clamp(floats_[i], -1.0f, 1.0f) * 32767.0f));
    }
    return done;
  }

  void Seek(qint64 frame) override {
    if (sf_seek(file_.get(), frame, SEEK_SET) < 0) {
      throw DecodeError(DecodeError::Kind::Damaged, QString::fromUtf8(sf_strerror(file_.get())));
    }
  }

 private:
  SF_INFO info_{};
  SndfileHandle file_;
  std::vector<float> floats_;
};

}  // namespace

std::unique_ptr<AudioDecoder> OpenSndfileDecoder(const QString& path) {
  return std::make_unique<SndfileDecoder>(path);
}

}  // namespace audiolume::platform
