#include "support/Runtime.h"

#include <cmath>
#include <limits>

#include "support/AppError.h"

namespace audiolume {

namespace {

const QDate kOleEpoch(1899, 12, 30);
constexpr double kSecondsPerDay = 86400.0;

int DigitValue(QChar c) {
  if (c.isDigit()) return c.digitValue();
  const char16_t lower = c.toLower().unicode();
  return lower >= u'a' && lower <= u'f' ? lower - u'a' + 10 : -1;
}

qint64 ReadDigits(const QString& text, qsizetype from, int base) {
  qint64 value = 0;
  for (qsizetype i = from; i < text.size(); ++i) {
    const int digit = DigitValue(text[i]);
    if (digit < 0 || digit >= base) break;
    value = value * base + digit;
  }
  return value;
}

// The longest prefix of text that reads as a decimal number with an optional exponent.
qsizetype DecimalPrefix(const QString& text) {
  qsizetype i = 0;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  while (i < text.size() && text[i].isDigit()) ++i;
  if (i < text.size() && text[i] == u'.') {
    ++i;
    while (i < text.size() && text[i].isDigit()) ++i;
  }
  if (i < text.size() && QStringLiteral("eEdD").contains(text[i])) {
    qsizetype e = i + 1;
    if (e < text.size() && (text[e] == u'+' || text[e] == u'-')) ++e;
    if (e < text.size() && text[e].isDigit()) {
      while (e < text.size() && text[e].isDigit()) ++e;
      i = e;
    }
  }
  return i;
}

QString Grouped(const QString& digits) {
  QString out;
  for (qsizetype i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += u',';
    out += digits[i];
  }
  return out;
}

template <typename Integer>
Integer RoundInto(double number) {
  const double rounded = RoundHalfEven(number);
  // Written so that NaN fails the test too.
  if (!(rounded >= std::numeric_limits<Integer>::min() &&
        rounded <= std::numeric_limits<Integer>::max())) {
    throw AppError(kErrOverflow);
  }
  return static_cast<Integer>(rounded);
}

}  // namespace

double Val(const QString& text) {
  QString compact;
  for (const QChar c : text) {
    if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r') compact += c;
  }
  if (compact.startsWith(u"&H", Qt::CaseInsensitive)) return double(ReadDigits(compact, 2, 16));
  if (compact.startsWith(u"&O", Qt::CaseInsensitive)) return double(ReadDigits(compact, 2, 8));
  QString number = compact.left(DecimalPrefix(compact));
  number.replace(QChar(u'd'), QChar(u'e'), Qt::CaseInsensitive);
  bool ok = false;
  const double value = number.toDouble(&ok);
  return ok ? value : 0.0;
}

QString Str(double number) {
  QString text = QString::number(number, 'g', 15).toUpper();
  return number < 0 ? text : u' ' + text;
}

QString FormatNumber(double number, const QString& pattern) {
  const QStringList parts = pattern.split(u'.');
  const bool grouped = parts[0].contains(u',');
  const QString integerPattern = QString(parts[0]).remove(u',');
  const int decimals = parts.size() > 1 ? int(parts[1].count(u'0')) : 0;
  const qsizetype firstZero = integerPattern.indexOf(u'0');
  const qsizetype minDigits = firstZero < 0 ? 0 : integerPattern.size() - firstZero;

  const double scale = std::pow(10.0, decimals);
  const double rounded = std::round(std::fabs(number) * scale) / scale;
  const QStringList digits = QString::number(rounded, 'f', decimals).split(u'.');
  QString integerDigits = digits[0] == u"0" ? QString() : digits[0];
  integerDigits = integerDigits.rightJustified(minDigits, u'0');
  if (grouped) integerDigits = Grouped(integerDigits);
  QString text = integerDigits;
  if (decimals > 0) text += u'.' + digits[1];
  return (number < 0 && rounded != 0.0 ? QStringLiteral("-") : QString()) + text;
}

double RoundHalfEven(double number) {
  return std::nearbyint(number);
}

qint16 CInt(double number) {
  return RoundInto<qint16>(number);
}

qint32 CLng(double number) {
  return RoundInto<qint32>(number);
}

double ToOleDate(const QDateTime& dateTime) {
  const double days = double(kOleEpoch.daysTo(dateTime.date()));
  const double fraction = dateTime.time().msecsSinceStartOfDay() / 1000.0 / kSecondsPerDay;
  // Before the epoch the fraction still counts forward from midnight: -1.25 is 06:00 on
  // 29 December 1899.
  return days < 0 ? days - fraction : days + fraction;
}

QDateTime FromOleDate(double days) {
  const double whole = std::trunc(days);
  const double fraction = std::fabs(days - whole);
  const qint64 msecs = std::llround(fraction * kSecondsPerDay * 1000.0);
  const QDateTime midnight(kOleEpoch.addDays(static_cast<qint64>(whole)), QTime(0, 0));
  return midnight.addMSecs(msecs);
}

}  // namespace audiolume
