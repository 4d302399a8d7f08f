#include "platform/CdDevice.h"

// The audio header relies on the types of the main header, so that comes first.
#include <cdio/cdio.h>

#include <cdio/audio.h>
#include <cdio/logging.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

namespace audiolume::platform {

namespace {

// libcdio reports on stderr by default; a drive without a disc is routine here.
void QuietLog(cdio_log_level_t, const char*) {}

driver_id_t DriverFor(const QString& device) {
  const QString suffix = QFileInfo(device).suffix().toLower();
  if (suffix == u"cue" || suffix == u"bin") return DRIVER_BINCUE;
  if (suffix == u"toc") return DRIVER_CDRDAO;
  if (suffix == u"nrg") return DRIVER_NRG;
  return DRIVER_DEVICE;
}

bool IsRegularFile(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

// libcdio opens an image's files blocking: a FIFO or a device named in a cue sheet or TOC
// would hold every disc command for ever. Only regular files are let through.
bool ImageFilesAreRegular(const QString& image) {
  if (!IsRegularFile(image)) return false;
  const driver_id_t driver = DriverFor(image);
  if (driver != DRIVER_BINCUE && driver != DRIVER_CDRDAO) return true;
  QFile sheet(image);
  if (!sheet.open(QIODevice::ReadOnly)) return false;
  constexpr qint64 kMaxSheet = 1024 * 1024;  // a cue sheet is a few kilobytes
  const QString folder = QFileInfo(image).path();
  for (const QByteArray& raw : sheet.read(kMaxSheet).split('\n')) {
    const QString line = QString::fromUtf8(raw).trimmed();
    const QString word = line.section(u' ', 0, 0).toUpper();
    if (word != u"FILE" && word != u"AUDIOFILE" && word != u"DATAFILE") continue;
    const QString rest = line.section(u' ', 1).trimmed();
    const QString name =
        rest.startsWith(u'"') ? rest.section(u'"', 1, 1) : rest.section(u' ', 0, 0);
    const QString path = QFileInfo(name).isAbsolute() ? name : folder + u'/' + name;
    if (QFileInfo::exists(path) && !IsRegularFile(path)) return false;
  }
  return true;
}

}  // namespace

int CdToc::TrackLength(int position) const {
  const int end = position < tracks.size() ? tracks[position].start : leadout;
  return end - tracks[position - 1].start;
}

struct CdDevice::Handle {
  explicit Handle(CdIo_t* handle) : cdio(handle) {}
  ~Handle() { cdio_destroy(cdio); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  CdIo_t* cdio;
};

CdDevice::CdDevice(QString device) : device_(std::move(device)) {
  cdio_log_set_handler(QuietLog);
}

CdDevice::~CdDevice() = default;

bool CdDevice::IsImage(const QString& device) {
  return DriverFor(device) != DRIVER_DEVICE || QFileInfo(device).isFile();
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
    return ReadToc() ? CdMedia::Disc : CdMedia::NoDisc;
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
  handle_.reset();
  toc_ = {};
  if (IsImage(device_) && !ImageFilesAreRegular(device_)) return false;
  CdIo_t* cdio = cdio_open(QFile::encodeName(device_).constData(), DriverFor(device_));
  if (!cdio) return false;
  handle_ = std::make_unique<Handle>(cdio);
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
