#include <QFile>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/AudioDecoder.h"
#include "platform/CdDevice.h"
#include "platform/ParanoiaDrive.h"

namespace audiolume::platform {

namespace {

constexpr qint64 kFramesPerSector = CDIO_CD_FRAMESIZE_RAW / 4;
const QString kScheme = QStringLiteral("cdda:");

/**
 * One audio track read through libcdio-paranoia: overlapping reads checked against each
 * other and jitter corrected, without endless retries on a damaged spot (playback goes
 * on past it rather than stalling). Works on drives and disc images alike.
 */
class CdTrackDecoder : public AudioDecoder {
 public:
  CdTrackDecoder(const QString& device, int track) : drive_(device) {
    if (!drive_.IsOpen()) throw DecodeError(DecodeError::Kind::CannotOpen, device);
    if (!drive_.IsAudioTrack(track)) throw DecodeError(DecodeError::Kind::NotDecodable, device);
    first_ = drive_.First(track);
    last_ = drive_.Last(track);
    drive_.Start(first_, true);
    Seek(0);
  }

  PcmFormat Format() const override { return {44100, 2}; }

  qint64 LengthFrames() const override { return qint64(last_ - first_ + 1) * kFramesPerSector; }

  qint64 Read(qint16* out, qint64 frames) override {
    qint64 done = 0;
    while (done < frames) {
      if (pending_.empty()) {
        if (sector_ > last_) break;
        const int16_t* samples = drive_.Next();
        if (!samples) throw DecodeError(DecodeError::Kind::Damaged, QStringLiteral("CD read"));
        pending_.assign(samples + skip_ * 2, samples + kFramesPerSector * 2);
        skip_ = 0;
        ++sector_;
      }
      const qint64 take = std::min<qint64>(frames - done, qint64(pending_.size()) / 2);
      std::memcpy(out + done * 2, pending_.data(), size_t(take) * 4);
      pending_.erase(pending_.begin(), pending_.begin() + take * 2);
      done += take;
    }
    return done;
  }

  void Seek(qint64 frame) override {
    frame = std::clamp<qint64>(frame, 0, LengthFrames());
    sector_ = first_ + lsn_t(frame / kFramesPerSector);
    skip_ = frame % kFramesPerSector;
    pending_.clear();
    drive_.Seek(sector_);
  }

 private:
  ParanoiaDrive drive_;
  lsn_t first_ = 0;
  lsn_t last_ = 0;
  lsn_t sector_ = 0;
  qint64 skip_ = 0;
  std::vector<qint16> pending_;
};

}  // namespace

QString CdTrackPath(const QString& device, int track) {
  return kScheme + device + u'#' + QString::number(track);
}

bool IsCdTrackPath(const QString& path) {
  return path.startsWith(kScheme);
}

std::unique_ptr<AudioDecoder> OpenCdTrackDecoder(const QString& path) {
  const qsizetype hash = path.lastIndexOf(u'#');
  if (!IsCdTrackPath(path) || hash < 0) throw DecodeError(DecodeError::Kind::CannotOpen, path);
  return std::make_unique<CdTrackDecoder>(path.mid(kScheme.size(), hash - kScheme.size()),
                                          path.mid(hash + 1).toInt());
}

std::unique_ptr<AudioDecoder> OpenPlayerDecoder(const QString& path) {
  return IsCdTrackPath(path) ? OpenCdTrackDecoder(path) : OpenSongDecoder(path);
}

}  // namespace audiolume::platform
