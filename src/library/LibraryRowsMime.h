#pragma once

#include <QList>

class QMimeData;

namespace audiolume {

/**
 * Library rows dragged out of the library window: the row numbers in the order the
 * window shows them, for the playlists that take them.
 */
class LibraryRowsMime {
 public:
  static const char* const kFormat;

  /** New mime data carrying the rows; the caller (a drag) takes ownership. */
  static QMimeData* Make(const QList<int>& rows);
  /** The rows carried; empty for other data. */
  static QList<int> Rows(const QMimeData* data);
  static bool Carries(const QMimeData* data);
};

}  // namespace audiolume
