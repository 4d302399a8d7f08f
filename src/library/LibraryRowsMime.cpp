#include "library/LibraryRowsMime.h"

#include <QMimeData>

namespace audiolume {

const char* const LibraryRowsMime::kFormat = "application/x-audiolume-library-rows";

QMimeData* LibraryRowsMime::Make(const QList<int>& rows) {
  QByteArray bytes;
  for (const int row : rows) bytes += QByteArray::number(row) + ' ';
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kFormat), bytes.trimmed());
  return data;
}

bool LibraryRowsMime::Carries(const QMimeData* data) {
  return data != nullptr && data->hasFormat(QString::fromLatin1(kFormat));
}

QList<int> LibraryRowsMime::Rows(const QMimeData* data) {
  QList<int> rows;
  if (!Carries(data)) return rows;
  for (const QByteArray& number : data->data(QString::fromLatin1(kFormat)).split(' ')) {
    bool ok = false;
    const int row = number.toInt(&ok);
    if (ok) rows.append(row);
  }
  return rows;
}

}  // namespace audiolume
