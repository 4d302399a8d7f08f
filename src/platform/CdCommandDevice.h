#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <memory>

#include "platform/CdDriveList.h"

namespace audiolume::platform {

class CdDevice;

/**
 * The CD-audio command strings of the original platform over CdDevice: "open D: type
 * CDAudio alias twplcd", "set … time format msf|tmsf", "seek … to N", "status … position |
 * length [track N] | number of tracks | type track N [wait]", "stop …", "close …". Replies
 * are the same texts ("mm:ss:ff", "tt:mm:ss:ff", "12", "audio"); failures return the same
 * error codes. UI thread only.
 */
class CdCommandDevice {
 public:
  static constexpr int kOk = 0;
  static constexpr int kUnrecognizedKeyword = 259;
  static constexpr int kUnrecognizedCommand = 261;
  static constexpr int kHardware = 262;  // no disc, tray open or moving
  static constexpr int kInvalidDeviceName = 263;
  static constexpr int kMissingParameter = 273;
  static constexpr int kUnsupportedFunction = 274;
  static constexpr int kOutOfRange = 282;
  static constexpr int kDuplicateAlias = 289;
  static constexpr int kBadConstant = 290;
  static constexpr int kMustUseShareable = 291;  // another program holds the drive
  static constexpr int kInvalidFile = 296;       // a damaged disc image; "status" replies why

  explicit CdCommandDevice(QList<CdDrive> drives);
  ~CdCommandDevice();
  CdCommandDevice(const CdCommandDevice&) = delete;
  CdCommandDevice& operator=(const CdCommandDevice&) = delete;

  /** Runs one command; reply gets the answer text. Returns 0 or an error code. */
  int SendString(const QString& command, QString& reply);
  /** The text of an error code. */
  static QString ErrorString(int code);

  /** The volume serial number of the disc in the drive of letter ("D:"); 0 without an
   *  audio disc there. */
  quint32 SerialNumber(const QString& letter);

  const QList<CdDrive>& Drives() const { return drives_; }

 private:
  struct Open;
  int OpenDevice(const QStringList& words);
  int Status(Open& open, const QStringList& words, QString& reply);
  int Seek(Open& open, const QStringList& words);
  int ReadyToc(Open& open);
  QString DeviceOf(const QString& letter) const;

  QList<CdDrive> drives_;
  QMap<QString, std::shared_ptr<Open>> aliases_;
};

}  // namespace audiolume::platform
