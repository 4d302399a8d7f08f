#pragma once

#include <QList>
#include <QStringList>
#include <functional>
#include <optional>

#include "library/PlayListText.h"

namespace audiolume {

class MessageCatalog;
class SongLibrary;

/**
 * AutoDJ: picks songs by the values of up to three columns (album 1 to preference 7),
 * the second and third narrowing the first's choice with And or And Not, in library or
 * random order, cut at a play time given in hours. The library is never changed.
 * UI thread only.
 */
class AutoDj {
 public:
  struct Criterion {
    int column = 1;
    QStringList selected;  // the values chosen in the criterion's list
    bool andNot = false;   // only for the second and third
  };
  struct Selection {
    Criterion first;
    std::optional<Criterion> second;
    std::optional<Criterion> third;
    bool random = false;
    QString hours;  // txtAutoSelectPlayTime as typed
  };
  struct Result {
    QList<int> rows;  // library rows in play order
    int seconds = 0;  // their total play time
  };
  /** A uniform number in [0, 1). */
  using Random = std::function<double()>;

  static constexpr int kFirstColumn = 1;
  static constexpr int kLastColumn = 7;

  AutoDj(const SongLibrary& library, Random random)
      : library_(library), random_(std::move(random)) {}

  /** A criterion's values: each distinct ";"-separated part of the column, in row order. */
  QStringList ValueList(int column) const;

  Result Select(const Selection& selection) const;

  /** The result as the player's playlist: file, title and artist of each song. */
  QList<PlayListEntry> Entries(const Result& result) const;

  /** The report shown after a run: the count, and the total play time. */
  static QString Report(const Result& result, MessageCatalog& catalog);

 private:
  void Narrow(QList<int>& rows, const Criterion& criterion) const;
  void Shuffle(QList<int>& rows) const;
  int CutAtPlayTime(QList<int>& rows, const QString& hours) const;

  const SongLibrary& library_;
  Random random_;
};

}  // namespace audiolume
