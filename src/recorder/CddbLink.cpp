#include "recorder/CddbLink.h"

#include <QNetworkReply>
#include <QUrl>
#include <QUrlQuery>

#include "platform/CodePage.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr qsizetype kMaxReply = 4 * 1024 * 1024;

}  // namespace

CddbLink::CddbLink(QObject* parent) : QObject(parent) {
  connect(&socket_, &QTcpSocket::readyRead, this, &CddbLink::ReadSocket);
  connect(&socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
    // A server that says goodbye after "quit" is no failure.
    if (error == QAbstractSocket::RemoteHostClosedError && lastCommand_ == u"quit") return;
    Q_EMIT Failed(socket_.errorString());
  });
}

void CddbLink::Connect(const QString& host, int port) {
  http_ = false;
  buffer_.clear();
  pending_.clear();
  lastCommand_ = u"connect"_s;
  if (socket_.state() != QAbstractSocket::UnconnectedState) socket_.abort();
  socket_.connectToHost(host, quint16(port));
}

void CddbLink::UseHttp(const QString& host, int port, const QString& hello) {
  Close();
  http_ = true;
  utf8_ = true;
  httpBase_ = u"http://%1:%2/~cddb/cddb.cgi"_s.arg(host).arg(port);
  hello_ = hello;
  buffer_.clear();
  pending_.clear();
}

void CddbLink::Send(const QString& command) {
  buffer_.clear();
  pending_.clear();
  lastCommand_ = command;
  if (!http_) {
    socket_.write(platform::EncodeText(command + u"\r\n"_s));
    return;
  }
  QUrl url(httpBase_);
  QUrlQuery query;
  query.addQueryItem(u"cmd"_s, QString(command).replace(u' ', u'+'));
  query.addQueryItem(u"hello"_s, QString(hello_).replace(u' ', u'+'));
  query.addQueryItem(u"proto"_s, u"6"_s);
  url.setQuery(query);
  if (request_) request_->abort();
  QNetworkRequest request(url);
  request.setTransferTimeout(30000);
  request_ = network_.get(request);
  // The reply is taken as it arrives, so that one that goes on and on is cut off at the
  // same size as over cddbp, before it fills the memory.
  connect(request_, &QNetworkReply::readyRead, this,
          [this, reply = request_.data()] { Take(reply->readAll()); });
  connect(request_, &QNetworkReply::finished, this, [this, reply = request_.data()] {
    reply->deleteLater();
    if (reply->error() == QNetworkReply::OperationCanceledError) return;
    if (reply->error() != QNetworkReply::NoError) {
      Q_EMIT Failed(reply->errorString());
      return;
    }
    Take(reply->readAll());
    if (!pending_.isEmpty()) Take("\r\n");  // the last line, cut short of its end
  });
}

void CddbLink::Close() {
  socket_.abort();
  if (request_) request_->abort();
}

bool CddbLink::IsClosed() const {
  return http_ ? request_.isNull() || request_->isFinished()
               : socket_.state() == QAbstractSocket::UnconnectedState;
}

void CddbLink::ReadSocket() {
  Take(socket_.readAll());
}

void CddbLink::Take(const QByteArray& bytes) {
  pending_ += bytes;
  // No disc entry comes near this; a server that keeps sending is not answering.
  if (pending_.size() + buffer_.size() > kMaxReply) {
    Close();
    Q_EMIT Failed(u"The CDDB server sent more than any disc entry holds."_s);
    return;
  }
  const qsizetype end = pending_.lastIndexOf('\n');
  if (end < 0) return;
  const QByteArray lines = pending_.left(end + 1);
  pending_.remove(0, end + 1);
  QString text = utf8_ ? QString::fromUtf8(lines) : platform::DecodeText(lines);
  // Web servers often end lines with a bare LF; the replies are read line by CR LF.
  buffer_ += text.replace(u"\r\n"_s, u"\n"_s).replace(u"\n"_s, u"\r\n"_s);
  Q_EMIT DataArrived();
}

}  // namespace audiolume
