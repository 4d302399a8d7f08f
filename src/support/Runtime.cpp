#include "support/Runtime.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

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
  // The digits are ASCII; anything else ends the number, so a byte buffer will do.
  std::string compact;
  compact.reserve(static_cast<std::size_t>(text.size()));
  for (const QChar c : text) {
    if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') continue;
    if (c.unicode() >= 0x80) break;
    compact += static_cast<char>(c.unicode());
  }
  const QString number = QString::fromLatin1(compact);
  if (number.startsWith(u"&H", Qt::CaseInsensitive)) return double(ReadDigits(number, 2, 16));
  if (number.startsWith(u"&O", Qt::CaseInsensitive)) return double(ReadDigits(number, 2, 8));
  std::string decimal = compact.substr(0, static_cast<std::size_t>(DecimalPrefix(number)));
  std::replace_if(
      decimal.begin(), decimal.end(), [](char c) { return c == 'd' || c == 'D'; }, 'e');
  return decimal.empty() ? 0.0 : std::strtod(decimal.c_str(), nullptr);
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

double ToOleDate(const QDate& date, const QTime& time) {
  const double days = double(kOleEpoch.daysTo(date));
  const double fraction = time.msecsSinceStartOfDay() / 1000.0 / kSecondsPerDay;
  // Before the epoch the fraction still counts forward from midnight: -1.25 is 06:00 on
  // 29 December 1899.
  return days < 0 ? days - fraction : days + fraction;
}

double ToOleDate(const QDateTime& dateTime) {
  return ToOleDate(dateTime.date(), dateTime.time());
}

QDate OleDay(double days) {
  // The dates the original runtime knew: 1 January 100 to 31 December 9999.
  if (!(days >= -657434.0 && days < 2958466.0)) return {};
  return kOleEpoch.addDays(static_cast<qint64>(std::trunc(days)));
}

QTime OleTimeOfDay(double days) {
  if (!std::isfinite(days)) return QTime(0, 0);
  const double fraction = std::fabs(days - std::trunc(days));
  const qint64 msecs = std::llround(fraction * kSecondsPerDay * 1000.0);
  // A fraction that rounds up to a whole day is the last moment of that day.
  return QTime::fromMSecsSinceStartOfDay(int(std::min<qint64>(msecs, 86'399'999)));
}

QDateTime FromOleDate(double days) {
  return QDateTime(OleDay(days), OleTimeOfDay(days));
}

void PauseWithEvents(int ms) {
  QEventLoop pause;
  QTimer::singleShot(ms, &pause, &QEventLoop::quit);
  pause.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace audiolume
