#pragma once

#include <QString>

namespace audiolume {

/**
 * The play-time texts of the library: a song's time is minutes, ":" and two-digit
 * seconds ("3:07"); a total is hours, minutes and seconds ("1:02:05").
 */
class PlayTime {
 public:
  /** Whole seconds of "h:m:s", "m:s" or "s"; a leading "-" negates; junk reads as 0. */
  static int ConvertToSeconds(const QString& text);
  /** The sum of two time texts as "h:mm:ss". */
  static QString Sum(const QString& a, const QString& b);
  /** Seconds as "h:mm:ss"; a negative total keeps its sign. */
  static QString Total(int seconds);
};

}  // namespace audiolume
