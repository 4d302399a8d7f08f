#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpSocket>

namespace audiolume {

/**
 * One conversation with a CDDB server: the line protocol over TCP ("cddbp"), or the same
 * commands as HTTP requests to the server's cddb.cgi. Either way a reply lands as text in
 * Buffer(), whole lines only, decoded as UTF-8 at protocol level 6 and as Windows-1252
 * below it. Sending clears the buffer and records the command. UI thread only.
 */
/** How long a conversation may take, in ticks of 500 ms of its owner's timer: the
 *  server's greeting, and the whole exchange. */
inline constexpr int kCddbGreetingTicks = 360;
inline constexpr int kCddbExchangeTicks = 600;

class CddbLink : public QObject {
  Q_OBJECT

 public:
  explicit CddbLink(QObject* parent = nullptr);

  /** Opens a cddbp connection; the greeting arrives as data of the command "connect". */
  void Connect(const QString& host, int port);
  /** Speaks HTTP instead: each command becomes a request with these hello words and
   *  protocol level 6. Nothing is connected until the first command. */
  void UseHttp(const QString& host, int port, const QString& hello);
  bool IsHttp() const { return http_; }

  void Send(const QString& command);
  void Close();
  bool IsClosed() const;

  /** Entries arrive in UTF-8 from protocol level 6 on. */
  void SetUtf8(bool utf8) { utf8_ = utf8; }

  QString& Buffer() { return buffer_; }
  const QString& LastCommand() const { return lastCommand_; }

 Q_SIGNALS:
  void DataArrived();
  void Failed(const QString& description);

 private:
  void Take(const QByteArray& bytes);
  void ReadSocket();

  QTcpSocket socket_;
  QNetworkAccessManager network_;
  QPointer<QNetworkReply> request_;
  bool http_ = false;
  QString httpBase_;
  QString hello_;
  bool utf8_ = false;
  QByteArray pending_;  // the start of a line still arriving
  QString buffer_;
  QString lastCommand_;
};

}  // namespace audiolume
