#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "fakes/QtPrinters.h"

namespace audiolume::test {

inline QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

}  // namespace audiolume::test
