#include "platform/CdDriveList.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

QString Canonical(const QString& path) {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  return canonical.isEmpty() ? path : canonical;
}

// Mount tables write blanks and tabs in names as octal escapes ("\040").
QString Unescaped(const QByteArray& field) {
  QByteArray bytes;
  for (qsizetype i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      bool ok = false;
      const int value = field.mid(i + 1, 3).toInt(&ok, 8);
      if (ok) {
        bytes += char(value);
        i += 3;
        continue;
      }
    }
    bytes += field[i];
  }
  return QFile::decodeName(bytes);
}

}  // namespace

QList<CdMount> CdDriveList::MountPoints(const QList<CdDrive>& drives, const QStringList& tables) {
  QList<CdMount> mounts;
  for (const QString& table : tables) {
    QFile file(table);
    if (!file.open(QIODevice::ReadOnly)) continue;
    for (const QByteArray& line : file.readAll().split('\n')) {
      const QList<QByteArray> fields = line.simplified().split(' ');
      if (fields.size() < 2 || fields[0].startsWith('#')) continue;
      const QString source = Canonical(Unescaped(fields[0]));
      for (const CdDrive& drive : drives) {
        if (Canonical(drive.device) == source) {
          mounts.append({drive.letter, QDir::cleanPath(Unescaped(fields[1]))});
        }
      }
    }
  }
  return mounts;
}

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
