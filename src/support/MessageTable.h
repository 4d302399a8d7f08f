#pragma once

#include <QString>

namespace audiolume {

/** The built-in message table: numbers 501 to 1028, a name each, most with a text. */
class MessageTable {
 public:
  static constexpr int kFirst = 501;
  static constexpr int kLast = 1028;

  /**
   * The name at a table index: "Strings" at 0, the message numbered 500 + index at 1 to
   * 528; empty outside the table.
   */
  static QString NameAt(int index);

  /** The message-file section holding a number: "Strings" for 501 to 999, the name of
   *  message 1000 for 1000 to 1028, as the original message files were laid out. */
  static QString SectionFor(int number);

  /** The built-in text of a message number; empty when it has none. */
  static QString Text(int number);
};

}  // namespace audiolume
