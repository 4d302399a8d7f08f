#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "recorder/AccurateRip.h"
#include "recorder/HttpFetch.h"

namespace audiolume {

/**
 * Checks an album's rip log ("rip.log") with the AccurateRip database. The log's parts
 * that name the same disc entry as its last one give each track's v1 and v2 sums; the
 * entry is fetched from the database, and the verdicts are written into the log: one line
 * under each track's sums and a summary under each part's head, replacing those of an
 * earlier check. A fetch that fails leaves the tracks "not checked", with the reason, and
 * never anything else. Asynchronous; UI thread only.
 */
class AccurateRipCheck : public QObject {
  Q_OBJECT

 public:
  /** The head line that names a part's disc entry, before its path. */
  static constexpr const char* kEntryLine = "AccurateRip entry: ";

  struct TrackVerdict {
    int track = 0;
    AccurateRip::Verdict verdict;
  };

  explicit AccurateRipCheck(QObject* parent = nullptr);

  /** Starts checking the log at ripLog against the database under baseUrl. False, with
   *  Problem() saying why and no Finished() to follow, when the log cannot be read or names
   *  no entry with sums to check. */
  bool Start(const QString& ripLog, const QString& baseUrl,
             int timeLimitMs = HttpFetch::kDefaultTimeLimitMs);
  /** Gives up the check in progress; the log stays as it was. */
  void Cancel();
  bool IsBusy() const { return fetch_.IsBusy(); }
  const QString& Problem() const { return problem_; }

 Q_SIGNALS:
  /** The check is over: the verdicts of the last part's tracks and the summary. The log
   *  holds them unless Problem() says it could not be written. */
  void Finished(const QList<audiolume::AccurateRipCheck::TrackVerdict>& verdicts,
                const QString& summary);

 private:
  void Judge(const HttpFetch::Result& result);
  void WriteLog(const QStringList& lines);

  HttpFetch fetch_;
  QString ripLog_;
  QString problem_;
};

}  // namespace audiolume
