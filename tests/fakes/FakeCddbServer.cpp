#include "fakes/FakeCddbServer.h"

#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

namespace audiolume::test {

FakeCddbServer::FakeCddbServer() {
  server_.listen(QHostAddress::LocalHost);
  connect(&server_, &QTcpServer::newConnection, this, &FakeCddbServer::Accept);
}

void FakeCddbServer::Accept() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    // The web form waits for the request; the line protocol greets first. Both are
    // told apart by what the client sends, so greet a moment later unless it spoke.
    QTimer::singleShot(20, socket, [this, socket] {
      if (!pending_.contains(socket) && !greeting.isEmpty()) socket->write(greeting);
    });
  }
}

QList<QByteArray> FakeCddbServer::ReplyTo(const QString& command) const {
  QString best;
  for (auto it = replies.begin(); it != replies.end(); ++it) {
    if (command.startsWith(it.key()) && it.key().size() > best.size()) best = it.key();
  }
  if (!best.isEmpty()) return replies.value(best);
  if (command == QStringLiteral("quit"))
    return {"230 fake.cddb.test Closing connection.  Goodbye.\r\n"};
  return {"500 Unrecognized command.\r\n"};
}

void FakeCddbServer::Read(QTcpSocket* socket) {
  QByteArray& data = pending_[socket];
  data += socket->readAll();
  if (data.startsWith("GET ")) {
    if (!data.contains("\r\n\r\n")) return;
    const QUrl url(QString::fromLatin1(data.split(' ').value(1)));
    const QUrlQuery query(url);
    const QString command =
        query.queryItemValue(QStringLiteral("cmd"), QUrl::FullyDecoded).replace(u'+', u' ');
    received.append(
        command + QStringLiteral(" | hello=") +
        query.queryItemValue(QStringLiteral("hello"), QUrl::FullyDecoded).replace(u'+', u' ') +
        QStringLiteral(" | proto=") + query.queryItemValue(QStringLiteral("proto")) +
        QStringLiteral(" | path=") + url.path());
    QList<QByteArray> packets = ReplyTo(command);
    packets.prepend("HTTP/1.0 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n");
    if (!endlessPacket.isEmpty()) {
      for (const QByteArray& packet : std::as_const(packets)) socket->write(packet);
      connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { SendEndlessly(socket); });
      SendEndlessly(socket);
      return;
    }
    SendPackets(socket, packets, true);
    return;
  }
  while (data.contains("\r\n")) {
    const qsizetype end = data.indexOf("\r\n");
    const QString command = QString::fromUtf8(data.left(end));
    data.remove(0, end + 2);
    received.append(command);
    SendPackets(socket, ReplyTo(command), command == QStringLiteral("quit"));
  }
}

void FakeCddbServer::SendEndlessly(QTcpSocket* socket) {
  // Only a little is queued at a time, so that what is sent is what the client took.
  while (socket->bytesToWrite() < (qint64(1) << 20) && endlessSent < kEndlessLimit) {
    socket->write(endlessPacket);
    endlessSent += endlessPacket.size();
  }
}

void FakeCddbServer::SendPackets(QTcpSocket* socket, QList<QByteArray> packets, bool close,
                                 bool first) {
  if (packets.isEmpty()) {
    if (close) socket->disconnectFromHost();
    return;
  }
  if (packets.size() == 1 && !first && dropBeforeLastPacket) {
    socket->abort();
    return;
  }
  socket->write(packets.takeFirst());
  socket->flush();
  QTimer::singleShot(
      5, socket, [this, socket, packets, close] { SendPackets(socket, packets, close, false); });
}

}  // namespace audiolume::test
