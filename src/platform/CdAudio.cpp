#include "platform/CdAudio.h"

// The audio header relies on the types of the main header, so that comes first.
#include <cdio/cdio.h>

#include <cdio/audio.h>
#include <cdio/util.h>

#include <QFile>
#include <algorithm>

namespace audiolume::platform {

/** Owns the libcdio handle. */
struct CdAudio::Drive {
  explicit Drive(CdIo_t* handle) : cdio(handle) {}
  ~Drive() { cdio_destroy(cdio); }
  Drive(const Drive&) = delete;
  Drive& operator=(const Drive&) = delete;

  CdIo_t* cdio;
};

CdAudio::CdAudio(const QString& device) {
  if (device.isEmpty()) return;
  if (CdIo_t* cdio = cdio_open(QFile::encodeName(device).constData(), DRIVER_DEVICE)) {
    drive_ = std::make_unique<Drive>(cdio);
  }
}

CdAudio::~CdAudio() = default;

bool CdAudio::HasDrive() const {
  return drive_ != nullptr;
}

void CdAudio::_CdsPause() {
  if (drive_) cdio_audio_pause(drive_->cdio);
}

void CdAudio::_CdsResume() {
  if (drive_) cdio_audio_resume(drive_->cdio);
}

void CdAudio::_CdsStop() {
  if (drive_) cdio_audio_stop(drive_->cdio);
}

bool CdAudio::PlayTrack(int track) {
  if (!drive_) return false;
  const lsn_t first = cdio_get_track_lsn(drive_->cdio, track_t(track));
  const lsn_t last = cdio_get_track_last_lsn(drive_->cdio, track_t(track));
  if (first == CDIO_INVALID_LSN || last == CDIO_INVALID_LSN) return false;
  msf_t start;
  msf_t end;
  cdio_lsn_to_msf(first, &start);
  cdio_lsn_to_msf(last, &end);
  return cdio_audio_play_msf(drive_->cdio, &start, &end) == DRIVER_OP_SUCCESS;
}

void CdAudio::_CdsSkip(double fraction) {
  if (!drive_) return;
  cdio_subchannel_t position{};
  if (cdio_audio_read_subchannel(drive_->cdio, &position) != DRIVER_OP_SUCCESS) return;
  const track_t track = position.track;
  const lsn_t first = cdio_get_track_lsn(drive_->cdio, track);
  const lsn_t last = cdio_get_track_last_lsn(drive_->cdio, track);
  if (first == CDIO_INVALID_LSN || last == CDIO_INVALID_LSN || last <= first) return;
  const lsn_t target = first + lsn_t(std::clamp(fraction, 0.0, 1.0) * (last - first));
  msf_t start;
  msf_t end;
  cdio_lsn_to_msf(target, &start);
  cdio_lsn_to_msf(last, &end);
  cdio_audio_play_msf(drive_->cdio, &start, &end);
}

}  // namespace audiolume::platform
