#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

class QNetworkReply;

namespace audiolume {

/**
 * One HTTP or HTTPS GET at a time, for the recorder's web look-ups (AccurateRip,
 * MusicBrainz, the Cover Art Archive). Asynchronous: Get() returns at once and Finished()
 * follows on the same thread, always exactly once per Get() that is not cancelled. The
 * request names the program and its version as its User-Agent, follows a few redirects,
 * and gives up after the time limit (whether or not the server answers) or as soon as the
 * body grows past the size limit. UI thread (or the thread that owns it) only.
 */
class HttpFetch : public QObject {
  Q_OBJECT

 public:
  enum class Outcome {
    Ok,        // a 2xx reply, its whole body
    Status,    // the server answered with another status (404: not there); body as sent
    Failed,    // no answer: no connection, a broken connection, a TLS failure
    TimedOut,  // the time limit passed before the reply was whole
    TooLarge,  // the body is larger than the size limit; nothing of it is kept
  };

  struct Result {
    Outcome outcome = Outcome::Failed;
    int status = 0;  // the HTTP status; 0 when no reply came
    QByteArray body;
    QString contentType;  // as the server sent it, e.g. "image/jpeg"
    QString error;        // what went wrong, for a log; empty when Ok

    bool Ok() const { return outcome == Outcome::Ok; }
  };

  static constexpr int kDefaultTimeLimitMs = 15000;
  static constexpr qint64 kDefaultSizeLimit = qint64(8) << 20;

  explicit HttpFetch(QObject* parent = nullptr);
  ~HttpFetch() override;

  /** "Audiolume/VERSION", the User-Agent every request sends. */
  static QString UserAgent();

  /** Limits for the next Get(): the whole exchange in milliseconds, the body in bytes. */
  void SetTimeLimit(int ms) { timeLimitMs_ = ms; }
  void SetSizeLimit(qint64 bytes) { sizeLimit_ = bytes; }

  /** Starts fetching url; a fetch still running is cancelled first. */
  void Get(const QUrl& url);
  /** Abandons the fetch in progress; no Finished() follows for it. */
  void Cancel();
  bool IsBusy() const { return !reply_.isNull(); }

 Q_SIGNALS:
  void Finished(const audiolume::HttpFetch::Result& result);

 private:
  void Take();
  void Done();
  void End(Outcome outcome, const QString& error);
  /** Lets go of the reply without hearing from it again. */
  void Drop();

  QNetworkAccessManager network_;
  QPointer<QNetworkReply> reply_;
  QTimer deadline_;
  QByteArray body_;
  int timeLimitMs_ = kDefaultTimeLimitMs;
  qint64 sizeLimit_ = kDefaultSizeLimit;
};

}  // namespace audiolume
