#include <cdio/cdio.h>

#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <QFile>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/AudioDecoder.h"
#include "platform/CdDevice.h"

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
  CdTrackDecoder(const QString& device, int track) {
    const QByteArray name = QFile::encodeName(device);
    const driver_id_t driver = CdDevice::IsImage(device) ? DRIVER_UNKNOWN : DRIVER_DEVICE;
    CdIo_t* cdio = cdio_open(name.constData(), driver);
    if (!cdio) throw DecodeError(DecodeError::Kind::CannotOpen, device);
    drive_ = cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_FORGETIT, nullptr);
    if (!drive_) {
      cdio_destroy(cdio);
      throw DecodeError(DecodeError::Kind::CannotOpen, device);
    }
    if (cdio_cddap_open(drive_) != 0 || track < 1 || track > cdio_cddap_tracks(drive_) ||
        !cdio_cddap_track_audiop(drive_, track_t(track))) {
      cdio_cddap_close(drive_);
      throw DecodeError(DecodeError::Kind::NotDecodable, device);
    }
    first_ = cdio_cddap_track_firstsector(drive_, track_t(track));
    last_ = cdio_cddap_track_lastsector(drive_, track_t(track));
    paranoia_ = cdio_paranoia_init(drive_);
    cdio_paranoia_modeset(paranoia_, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    Seek(0);
  }

  ~CdTrackDecoder() override {
    if (paranoia_) cdio_paranoia_free(paranoia_);
    cdio_cddap_close(drive_);
  }
  CdTrackDecoder(const CdTrackDecoder&) = delete;
  CdTrackDecoder& operator=(const CdTrackDecoder&) = delete;

  PcmFormat Format() const override { return {44100, 2}; }

  qint64 LengthFrames() const override { return qint64(last_ - first_ + 1) * kFramesPerSector; }

  qint64 Read(qint16* out, qint64 frames) override {
    qint64 done = 0;
    while (done < frames) {
      if (pending_.empty()) {
        if (sector_ > last_) break;
        const int16_t* samples = cdio_paranoia_read(paranoia_, nullptr);
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
    cdio_paranoia_seek(paranoia_, sector_, SEEK_SET);
  }

 private:
  cdrom_drive_t* drive_ = nullptr;
  cdrom_paranoia_t* paranoia_ = nullptr;
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
  return IsCdTrackPath(path) ? OpenCdTrackDecoder(path) : OpenSndfileDecoder(path);
}

}  // namespace audiolume::platform
