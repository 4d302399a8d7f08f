#pragma once

#include <QList>
#include <QString>

namespace audiolume::platform {

/** A CD drive under the drive letter the program shows for it ("D:"). */
struct CdDrive {
  QString letter;  // "D:"
  QString device;  // "/dev/sr0", or a CUE/BIN image standing in for a disc
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
};

}  // namespace audiolume::platform
