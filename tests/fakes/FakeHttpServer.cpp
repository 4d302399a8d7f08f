#include "fakes/FakeHttpServer.h"

#include <QUrl>
#include <memory>

namespace audiolume::test {

FakeHttpServer::FakeHttpServer() {
  server_.listen(QHostAddress::LocalHost);
  connect(&server_, &QTcpServer::newConnection, this, &FakeHttpServer::Accept);
}

QString FakeHttpServer::BaseUrl() const {
  return QStringLiteral("http://127.0.0.1:%1").arg(Port());
}

void FakeHttpServer::Accept() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    // What has come of a request not yet whole lives as long as its connection.
    connect(socket, &QTcpSocket::readyRead, this,
            [this, socket, data = std::make_shared<QByteArray>()] { Read(socket, *data); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  }
}

void FakeHttpServer::Read(QTcpSocket* socket, QByteArray& data) {
  data += socket->readAll();
  // Requests without a body: each ends at its blank line. A kept-alive connection may
  // bring the next one.
  for (qsizetype end = data.indexOf("\r\n\r\n"); end >= 0; end = data.indexOf("\r\n\r\n")) {
    const QList<QByteArray> lines = data.left(end).split('\n');
    data.remove(0, end + 4);
    Request request;
    request.target = QString::fromLatin1(lines.value(0).split(' ').value(1));
    for (qsizetype i = 1; i < lines.size(); ++i) {
      const qsizetype colon = lines[i].indexOf(':');
      if (colon > 0) {
        request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                               lines[i].mid(colon + 1).trimmed());
      }
    }
    received.append(request);
    if (!neverAnswer) Answer(socket, request);
  }
}

void FakeHttpServer::Answer(QTcpSocket* socket, const Request& request) {
  const QString path = QUrl(request.target).path();
  const Reply reply = routes.contains(request.target) ? routes.value(request.target)
                      : routes.contains(path)         ? routes.value(path)
                                                      : Reply{404, "Not Found\n", "text/plain"};
  QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " Fake\r\n";
  head += "Content-Type: " + reply.contentType + "\r\n";
  head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
  for (auto it = reply.headers.begin(); it != reply.headers.end(); ++it) {
    head += it.key() + ": " + it.value() + "\r\n";
  }
  socket->write(head + "\r\n" + reply.body);
}

}  // namespace audiolume::test
