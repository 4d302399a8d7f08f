#include "platform/CdDevice.h"

// The audio header relies on the types of the main header, so that comes first.
#include <cdio/cdio.h>

#include <cdio/audio.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include "platform/DiscImage.h"

namespace audiolume::platform {

namespace {}  // namespace

int CdToc::TrackLength(int position) const {
  const int end = position < tracks.size() ? tracks[position].start : leadout;
  return end - tracks[position - 1].start;
}

struct CdDevice::Handle {
  explicit Handle(const QString& device) {
    if (CdDevice::IsImage(device)) image = std::make_unique<DiscImage>(device);
    if (!image || image->Fault().isEmpty()) {
      cdio = image ? cdio_open(image->Path().constData(), image->Driver())
                   : cdio_open(QFile::encodeName(device).constData(), DRIVER_DEVICE);
    }
  }
  ~Handle() {
    if (cdio) cdio_destroy(cdio);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  std::unique_ptr<DiscImage> image;  // read by libcdio as long as it is open
  CdIo_t* cdio = nullptr;
};

CdDevice::CdDevice(QString device) : device_(std::move(device)) {
  DiscImage::QuietLibcdio();
}

CdDevice::~CdDevice() = default;

bool CdDevice::IsImage(const QString& device) {
  return DiscImage::DriverFor(device) != DRIVER_DEVICE || QFileInfo(device).isFile();
}

CdMedia CdDevice::Media() {
  if (IsImage(device_)) {
    const QFileInfo image(device_);
    if (!image.isFile()) {
      handle_.reset();
      imageStamp_ = -1;
      return CdMedia::NoDisc;
    }
    // An image replaced by another is a disc change.
    const qint64 stamp = image.lastModified().toMSecsSinceEpoch() ^ image.size();
    if (handle_ && stamp == imageStamp_) return CdMedia::Disc;
    imageStamp_ = stamp;
    if (ReadToc()) return CdMedia::Disc;
    return problem_.isEmpty() ? CdMedia::NoDisc : CdMedia::Damaged;
  }
  const CdMedia status = DriveStatus();
  if (status != CdMedia::Disc) {
    handle_.reset();
    return status;
  }
  if (handle_ && cdio_get_media_changed(handle_->cdio) == 0) return CdMedia::Disc;
  return ReadToc() ? CdMedia::Disc : CdMedia::NotReady;
}

CdMedia CdDevice::DriveStatus() const {
  const QByteArray path = QFile::encodeName(device_);
  int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT || errno == ENXIO ? CdMedia::NoDevice : CdMedia::InUse;
  const int status = ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
  ::close(fd);
  if (status < 0) return CdMedia::NoDevice;  // not a CD drive
  if (status == CDS_DRIVE_NOT_READY) return CdMedia::NotReady;
  if (status != CDS_DISC_OK) return CdMedia::NoDisc;
  // A drive opened exclusively by a burner or ripper refuses a second exclusive open;
  // a mounted data disc does too, but that disc is no one's recording.
  fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_EXCL);
  if (fd < 0 && errno == EBUSY) {
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    const bool mounted = mounts.open(QIODevice::ReadOnly) && mounts.readAll().contains(path + ' ');
    return mounted ? CdMedia::Disc : CdMedia::InUse;
  }
  if (fd >= 0) ::close(fd);
  return CdMedia::Disc;
}

bool CdDevice::ReadToc() {
  toc_ = {};
  handle_ = std::make_unique<Handle>(device_);
  problem_ = handle_->image ? handle_->image->Fault() : QString();
  CdIo_t* cdio = handle_->cdio;
  if (!cdio) {
    handle_.reset();
    return false;
  }
  const track_t first = cdio_get_first_track_num(cdio);
  const track_t count = cdio_get_num_tracks(cdio);
  if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) {
    handle_.reset();
    return false;
  }
  for (track_t track = first; track < first + count; ++track) {
    toc_.tracks.append({track, int(cdio_get_track_lba(cdio, track)),
                        cdio_get_track_format(cdio, track) == TRACK_FORMAT_AUDIO});
  }
  toc_.leadout = int(cdio_get_track_lba(cdio, CDIO_CDROM_LEADOUT_TRACK));
  return true;
}

bool CdDevice::StopAudio() {
  if (!handle_ || IsImage(device_)) return true;  // an image plays nothing by itself
  return cdio_audio_stop(handle_->cdio) == DRIVER_OP_SUCCESS;
}

quint32 AudioCdSerial(const CdToc& toc) {
  quint32 serial = 0;
  for (const CdTrack& track : toc.tracks) {
    const quint32 minutes = quint32(track.start / (60 * 75));
    const quint32 seconds = quint32(track.start / 75 % 60);
    const quint32 frames = quint32(track.start % 75);
    serial += minutes << 16 | seconds << 8 | frames;
  }
  if (!toc.tracks.isEmpty() && toc.tracks.size() < 3) {
    // Only the frame field of the first start, as the original platform adds it: carried-over
    // title caches know short discs under that serial.
    const int first = toc.tracks.first().start;
    serial += quint32(first % 75) + quint32(toc.leadout - first);
  }
  return serial;
}

}  // namespace audiolume::platform
