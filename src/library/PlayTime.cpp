#include "library/PlayTime.h"

#include <QStringList>

#include "support/Runtime.h"

namespace audiolume {

int PlayTime::ConvertToSeconds(const QString& text) {
  QString time = text.trimmed();
  const bool negative = time.startsWith(u'-');
  if (negative) time.remove(0, 1);
  double seconds = 0;
  for (const QString& part : time.split(u':')) seconds = seconds * 60 + Val(part);
  const int whole = int(seconds);
  return negative ? -whole : whole;
}

QString PlayTime::Total(int seconds) {
  const QString sign = seconds < 0 ? QStringLiteral("-") : QString();
  seconds = std::abs(seconds);
  return sign + QString::number(seconds / 3600) + u':' +
         QString::number(seconds / 60 % 60).rightJustified(2, u'0') + u':' +
         QString::number(seconds % 60).rightJustified(2, u'0');
}

QString PlayTime::Sum(const QString& a, const QString& b) {
  return Total(ConvertToSeconds(a) + ConvertToSeconds(b));
}

}  // namespace audiolume
