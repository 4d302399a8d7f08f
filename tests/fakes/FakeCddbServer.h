#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

namespace audiolume::test {

/**
 * A CDDB server on 127.0.0.1 for tests. Over cddbp it sends the greeting, then answers
 * each command line with the reply scripted for the command's first words (the longest
 * matching prefix), sent as the listed packets one event-loop turn apart; "quit" answers
 * "230 bye" and hangs up. A request beginning "GET " is answered as the web form of the
 * protocol: the reply of its cmd parameter as an HTTP response. Unscripted commands get
 * "500 Unrecognized command".
 */
class FakeCddbServer : public QObject {
  Q_OBJECT

 public:
  FakeCddbServer();

  quint16 Port() const { return server_.serverPort(); }

  QByteArray greeting = "201 fake.cddb.test CDDBP server v1 ready\r\n";
  /** Command prefix → packets of its reply. An empty packet list says nothing. */
  QMap<QString, QList<QByteArray>> replies;
  /** Hang up instead of sending the last packet of a reply of several. */
  bool dropBeforeLastPacket = false;
  /** Sent over and over after a web reply, as fast as the client takes it, until the client
   *  hangs up or kEndlessLimit bytes have gone (then the server waits, sending nothing). */
  QByteArray endlessPacket;
  static constexpr qint64 kEndlessLimit = qint64(64) << 20;
  /** The bytes of endlessPacket sent so far. */
  qint64 endlessSent = 0;

  /** The command lines received (for HTTP: the cmd, hello and proto parameters). */
  QStringList received;

 private:
  void Accept();
  void Read(QTcpSocket* socket);
  QList<QByteArray> ReplyTo(const QString& command) const;
  void SendPackets(QTcpSocket* socket, QList<QByteArray> packets, bool close, bool first = true);
  void SendEndlessly(QTcpSocket* socket);

  QTcpServer server_;
  QMap<QTcpSocket*, QByteArray> pending_;
};

}  // namespace audiolume::test
