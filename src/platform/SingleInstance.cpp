#include "platform/SingleInstance.h"

#include <unistd.h>
#include <QLocalServer>
#include <QLocalSocket>
#include <QUrl>

namespace audiolume::platform {

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultName() {
  return QStringLiteral("TWPL-") + QString::number(::getuid());
}

QString SingleInstance::FilesMessage(const QStringList& files) {
  QStringList words{QStringLiteral("OPEN")};
  for (const QString& file : files) {
    words.append(QString::fromLatin1(QUrl::fromLocalFile(file).toEncoded()));
  }
  return words.join(u' ');
}

std::optional<QStringList> SingleInstance::FilesOf(const QString& message) {
  QStringList words = message.split(u' ', Qt::SkipEmptyParts);
  if (words.isEmpty() || words.takeFirst() != u"OPEN") return std::nullopt;
  QStringList files;
  for (const QString& word : words) {
    const QUrl url = QUrl::fromEncoded(word.toLatin1());
    if (url.isLocalFile()) files.append(url.toLocalFile());
  }
  return files;
}

bool SingleInstance::SendToRunning(const QString& message, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(message.toUtf8() + '\n');
  const bool sent = socket.waitForBytesWritten(timeoutMs);
  socket.disconnectFromServer();
  return sent;
}

bool SingleInstance::Listen() {
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  // A copy that crashed leaves its socket file behind; nobody answers on it.
  if (!server_->listen(name_)) {
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_)) return false;
  }
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::ReadMessage);
  return true;
}

void SingleInstance::ReadMessage() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      while (socket->canReadLine()) {
        Q_EMIT MessageReceived(QString::fromUtf8(socket->readLine()).trimmed());
      }
    });
    if (socket->bytesAvailable() > 0) Q_EMIT socket->readyRead();
  }
}

}  // namespace audiolume::platform
