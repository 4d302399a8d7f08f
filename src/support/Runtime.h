#pragma once

#include <QDateTime>
#include <QString>

namespace audiolume {

/**
 * Text and number conversions with the original runtime's rules, which the program's
 * files and displays depend on.
 */

/** The leading number of text: blanks anywhere are skipped, "&H"/"&O" prefixes read hex
 *  and octal, reading stops at the first other character; 0 when there is no number. */
double Val(const QString& text);

/** A number as text with a leading blank for a non-negative number (" 5", "-5"). */
QString Str(double number);

/**
 * A number in a digit pattern: "0" forces a digit, "#" shows one only when needed, ","
 * groups thousands and "." starts the decimals ("0#", "00", "#0", "###,###,##0.0").
 * Rounds half away from zero.
 */
QString FormatNumber(double number, const QString& pattern);

/** Waits ms milliseconds while timers, sockets and painting go on; the person's input
 *  waits until after. UI thread only. */
void PauseWithEvents(int ms);

/** Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4). */
double RoundHalfEven(double number);

/** RoundHalfEven into a 16-bit or 32-bit integer. Throws AppError (Overflow) out of range. */
qint16 CInt(double number);
qint32 CLng(double number);

/** Date-times as days since 30 December 1899, the fraction being the time of day on the
 *  wall clock (no time zone is involved). */
double ToOleDate(const QDate& date, const QTime& time);
double ToOleDate(const QDateTime& dateTime);
QDate OleDay(double days);
QTime OleTimeOfDay(double days);
QDateTime FromOleDate(double days);

}  // namespace audiolume
