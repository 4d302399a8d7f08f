#pragma once

#include <QList>
#include <QString>

namespace audiolume::platform {

/** A CD drive under the drive letter the program shows for it ("D:"). */
struct CdDrive {
  QString letter;  // "D:"
  QString device;  // "/dev/sr0", or a CUE/BIN image standing in for a disc
};

/** The folder where a drive's disc is, or is to be, mounted. */
struct CdMount {
  QString letter;      // "D:"
  QString mountPoint;  // "/media/cdrom0"
};

/**
 * The CD drives, lettered from "D:" in device order. An override such as
 * "D=/path/disc.cue;E=/dev/sr1" replaces the enumeration (tests use disc images);
 * otherwise the kernel's optical drives /dev/sr0, /dev/sr1, … are listed.
 */
class CdDriveList {
 public:
  static QList<CdDrive> List(const QString& overrides,
                             const QString& deviceDir = QStringLiteral("/dev"));

  /**
   * The mount points of the drives' devices: from the mounted file systems first, then
   * from the file systems table, where a drive's usual mount point stays named while its
   * disc is out. A device named through a link (/dev/cdrom) counts as the one it names.
   */
  static QList<CdMount> MountPoints(const QList<CdDrive>& drives,
                                    const QStringList& tables = {
                                        QStringLiteral("/proc/self/mounts"),
                                        QStringLiteral("/etc/fstab")});
};

}  // namespace audiolume::platform
