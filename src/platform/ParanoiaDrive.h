#pragma once

// The audio header relies on the types of the main header, so that comes first.
#include <cdio/cdio.h>

#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <QFile>
#include <QString>
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/CdDevice.h"
#include "platform/DiscImage.h"
#include "platform/ReadOptions.h"

namespace audiolume::platform {

/** The drive opened for paranoia reading; closes everything it opened. */
class ParanoiaDrive {
 public:
  explicit ParanoiaDrive(const QString& device) {
    DiscImage::QuietLibcdio();
    CdIo_t* cdio = nullptr;
    if (CdDevice::IsImage(device)) {
      image_ = std::make_unique<DiscImage>(device);
      problem_ = image_->Fault();
      if (problem_.isEmpty()) cdio = cdio_open(image_->Path().constData(), image_->Driver());
    } else {
      cdio = cdio_open(QFile::encodeName(device).constData(), DRIVER_DEVICE);
    }
    if (cdio) {
      drive_ = cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_FORGETIT, nullptr);
      if (!drive_) cdio_destroy(cdio);
    }
    // CD audio comes little-endian, from a drive as from an image, as `cd-paranoia -L`
    // takes it. Left to itself libcdio guesses the byte order from the first sectors it
    // reads, and a guess on noise or near-silence swaps every sample of the rip.
    if (drive_) drive_->bigendianp = 0;
    if (drive_ && cdio_cddap_open(drive_) != 0) {
      cdio_cddap_close(drive_);
      drive_ = nullptr;
    }
  }
  ~ParanoiaDrive() {
    if (paranoia_) cdio_paranoia_free(paranoia_);
    if (drive_) cdio_cddap_close(drive_);
  }
  ParanoiaDrive(const ParanoiaDrive&) = delete;
  ParanoiaDrive& operator=(const ParanoiaDrive&) = delete;

  bool IsOpen() const { return drive_ != nullptr; }
  /** Why a disc image was not opened: it is damaged or cannot be read safely. */
  const QString& Problem() const { return problem_; }
  bool IsAudioTrack(int track) const {
    return track >= 1 && track <= cdio_cddap_tracks(drive_) &&
           cdio_cddap_track_audiop(drive_, track_t(track));
  }
  lsn_t First(int track) const { return cdio_cddap_track_firstsector(drive_, track_t(track)); }
  lsn_t Last(int track) const { return cdio_cddap_track_lastsector(drive_, track_t(track)); }
  lsn_t DiscLast() const { return cdio_cddap_disc_lastsector(drive_); }
  int Tracks() const { return cdio_cddap_tracks(drive_); }
  /** Plain reads, as the drive delivers them. */
  bool ReadRaw(lsn_t sector, std::vector<char>& out, int count) const {
    out.resize(std::size_t(count) * CDIO_CD_FRAMESIZE_RAW);
    // A drive reads at most so many sectors at once; the rest come in further reads.
    for (int done = 0; done < count;) {
      const long read =
          cdio_cddap_read(drive_, out.data() + std::size_t(done) * CDIO_CD_FRAMESIZE_RAW,
                          sector + done, long(count - done));
      if (read <= 0) return false;
      done += int(read);
    }
    return true;
  }

  /** The sectors one read asks the drive for. */
  int SectorsPerRead() const { return drive_->nsectors; }

  /** Reads from sector on as options say; returns them as the drive took them. */
  ReadOptions Start(lsn_t sector, const ReadOptions& options) {
    ReadOptions applied = options;
    // libcdio sets its own size when it opens the drive; a size chosen replaces it after.
    if (options.sectorsPerRead > 0) drive_->nsectors = options.sectorsPerRead;
    applied.sectorsPerRead = drive_->nsectors;
    if (options.speed < 0 || cdio_cddap_speed_set(drive_, options.speed) != DRIVER_OP_SUCCESS) {
      applied.speed = -1;
    }
    next_ = sector;
    checked_ = options.checking != ReadOptions::Checking::Off;
    retries_ = options.retries;
    paranoia_ = cdio_paranoia_init(drive_);
    cdio_paranoia_modeset(paranoia_, Mode(options.checking));
    if (checked_ && options.overlap > 0) {
      cdio_paranoia_overlapset(paranoia_, options.overlap);
    } else {
      applied.overlap = 0;
    }
    if (!checked_) applied.retries = 0;
    cdio_paranoia_seek(paranoia_, sector, SEEK_SET);
    return applied;
  }
  /** Reads from sector on with full checking, or plainly, at the speed the drive has. */
  void Start(lsn_t sector, bool jitterCorrection) {
    ReadOptions options;
    options.speed = -1;
    if (!jitterCorrection) options.checking = ReadOptions::Checking::Off;
    Start(sector, options);
  }
  /** Moves the next read to sector. */
  void Seek(lsn_t sector) {
    next_ = sector;
    bulkAt_ = bulkCount_ = 0;
    cdio_paranoia_seek(paranoia_, sector, SEEK_SET);
  }

  /** The unreliable spots and the corrections paranoia counted on this thread. */
  static int JitterErrors();
  static int Corrections();
  static void ResetCounts();

  /** The next sector: checked by paranoia, or, without jitter correction, read plainly
   *  many sectors at a time. */
  const int16_t* Next() {
    if (checked_) return cdio_paranoia_read_limited(paranoia_, CountEvent, retries_);
    if (bulkAt_ >= bulkCount_) {
      bulkCount_ = int(std::min<lsn_t>(kBulkSectors, DiscLast() - next_ + 1));
      if (bulkCount_ <= 0 || !ReadRaw(next_, bulk_, bulkCount_)) return nullptr;
      next_ += bulkCount_;
      bulkAt_ = 0;
    }
    return reinterpret_cast<const int16_t*>(bulk_.data() +
                                            std::size_t(bulkAt_++) * CDIO_CD_FRAMESIZE_RAW);
  }

 private:
  static void CountEvent(long position, paranoia_cb_mode_t event);
  /** Paranoia's flags for the checking, as cd-paranoia sets them. */
  static int Mode(ReadOptions::Checking checking) {
    constexpr int kFull = PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP;  // its default
    switch (checking) {
      case ReadOptions::Checking::Full: return kFull;
      case ReadOptions::Checking::OverlapOnly: return kFull ^ PARANOIA_MODE_VERIFY;  // its -Y
      case ReadOptions::Checking::Off: break;
    }
    return PARANOIA_MODE_DISABLE;
  }

  static constexpr int kBulkSectors = 64;
  std::unique_ptr<DiscImage> image_;  // read by libcdio as long as it is open
  QString problem_;
  cdrom_drive_t* drive_ = nullptr;
  cdrom_paranoia_t* paranoia_ = nullptr;
  bool checked_ = true;
  int retries_ = ReadOptions().retries;
  lsn_t next_ = 0;
  std::vector<char> bulk_;
  int bulkAt_ = 0;
  int bulkCount_ = 0;
};

}  // namespace audiolume::platform
