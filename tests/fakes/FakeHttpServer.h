#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

namespace audiolume::test {

/**
 * A web server on 127.0.0.1 for tests, standing in for AccurateRip, MusicBrainz and the
 * Cover Art Archive. Each GET is answered from routes: the request's path with its query
 * ("/ws/2/discid/X?fmt=json"), else its path alone; an unrouted path gets 404. Every
 * request is recorded with its headers. With neverAnswer set, requests are read and
 * recorded but nothing is ever sent back, and the connection stays open.
 */
class FakeHttpServer : public QObject {
  Q_OBJECT

 public:
  struct Reply {
    int status = 200;
    QByteArray body;
    QByteArray contentType = "application/octet-stream";
    /** More header lines, e.g. {"Location", "http://…"} for a redirect. */
    QMap<QByteArray, QByteArray> headers = {};
  };

  struct Request {
    QString target;                        // the path with its query, as sent
    QMap<QByteArray, QByteArray> headers;  // names in lower case
  };

  FakeHttpServer();

  quint16 Port() const { return server_.serverPort(); }
  /** "http://127.0.0.1:PORT", without a closing "/". */
  QString BaseUrl() const;

  QMap<QString, Reply> routes;
  bool neverAnswer = false;
  QList<Request> received;

 private:
  void Accept();
  void Read(QTcpSocket* socket, QByteArray& data);
  void Answer(QTcpSocket* socket, const Request& request);

  QTcpServer server_;
};

}  // namespace audiolume::test
