#pragma once

#include <QList>
#include <QString>
#include <memory>

namespace audiolume::platform {

/** One track of a disc's table of contents. Addresses are absolute frames (75 a second)
 *  counted from the start of the disc, so the first track usually starts at 150, after
 *  the 2-second lead-in. */
struct CdTrack {
  int number = 0;
  int start = 0;
  bool audio = true;
};

/** A disc's table of contents: its tracks in order and the lead-out address. */
struct CdToc {
  QList<CdTrack> tracks;
  int leadout = 0;

  /** The frames from track (1-based position in tracks) to the next track or the
   *  lead-out. */
  int TrackLength(int position) const;
};

/** What a drive holds when asked. */
enum class CdMedia {
  Disc,      // a readable disc; its table of contents is known
  NoDisc,    // tray empty, open, or an image file that is not there
  NotReady,  // tray moving or disc spinning up
  InUse,     // another program holds the drive for itself
  NoDevice,  // neither a drive nor a disc image
  Damaged,   // an image that cannot be read safely; Problem() says why
};

/**
 * A CD drive (/dev/sr0) or a disc image standing in for a drive with a disc (CUE/BIN,
 * cdrdao TOC, NRG), through libcdio. The table of contents is read when the disc is first
 * seen and again only after it changed, so polling Media() every few seconds costs a
 * status query, not a disc read. UI thread only.
 */
class CdDevice {
 public:
  explicit CdDevice(QString device);
  ~CdDevice();
  CdDevice(const CdDevice&) = delete;
  CdDevice& operator=(const CdDevice&) = delete;

  const QString& Device() const { return device_; }
  /** Whether device names an image file rather than a drive. */
  static bool IsImage(const QString& device);

  /** Looks at the drive now: tray, disc, changed disc. */
  CdMedia Media();
  /** The table of contents as of the last Media() that answered Disc. */
  const CdToc& Toc() const { return toc_; }
  /** Why the last Media() found a damaged image. */
  const QString& Problem() const { return problem_; }

  /** Stops the drive's own audio playback; false when the drive cannot. */
  bool StopAudio();

 private:
  struct Handle;
  CdMedia DriveStatus() const;
  bool ReadToc();

  QString device_;
  std::unique_ptr<Handle> handle_;
  CdToc toc_;
  QString problem_;
  qint64 imageStamp_ = -1;
};

/**
 * The volume serial number the original platform reports for an audio CD: the sum over
 * tracks of each start address packed as minutes << 16 | seconds << 8 | frames, plus, for
 * discs of fewer than 3 tracks, the frame field of the first track's start and the disc's
 * length in frames.
 */
quint32 AudioCdSerial(const CdToc& toc);

}  // namespace audiolume::platform
