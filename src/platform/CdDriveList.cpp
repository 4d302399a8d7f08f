#include "platform/CdDriveList.h"

#include <QCollator>
#include <QDir>
#include <algorithm>

namespace audiolume::platform {

namespace {

QList<CdDrive> FromOverride(const QString& overrides) {
  QList<CdDrive> drives;
  for (const QString& item : overrides.split(u';', Qt::SkipEmptyParts)) {
    const qsizetype equals = item.indexOf(u'=');
    if (equals != 1) continue;  // one letter, "=", the device
    drives.append({item.left(1).toUpper() + u':', item.mid(2)});
  }
  return drives;
}

}  // namespace

QList<CdDrive> CdDriveList::List(const QString& overrides, const QString& deviceDir) {
  if (!overrides.isEmpty()) return FromOverride(overrides);
  QStringList devices =
      QDir(deviceDir).entryList({QStringLiteral("sr[0-9]*")}, QDir::System | QDir::Files);
  QCollator numeric;
  numeric.setNumericMode(true);
  std::sort(devices.begin(), devices.end(), numeric);
  QList<CdDrive> drives;
  char16_t letter = u'D';
  for (const QString& device : devices) {
    if (letter > u'Z') break;
    drives.append({QString(QChar(letter++)) + u':', deviceDir + u'/' + device});
  }
  return drives;
}

}  // namespace audiolume::platform
