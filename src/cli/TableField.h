#pragma once

#include <QString>

namespace audiolume {

/**
 * A field of a twpl table, kept to one line and one column: a backslash is written "\\",
 * a tab "\t" and a line break (CR LF, LF or CR) "\n". Unescaped reads that form back,
 * with "\n" becoming CR LF, the line break of the song files' texts.
 */
class TableField {
 public:
  static QString Escaped(const QString& text);
  static QString Unescaped(const QString& text);
};

}  // namespace audiolume
