#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

class QLocalServer;

namespace audiolume::platform {

/**
 * One running jukebox per user: the first copy listens on a local socket named after
 * the program's window title; a later copy hands it a short message ("F11", "F12") and
 * ends. UI thread only; MessageReceived is emitted from the event loop.
 */
class SingleInstance : public QObject {
  Q_OBJECT

 public:
  /** name: the socket name, "TWPL-<uid>" for the jukebox (DefaultName). */
  explicit SingleInstance(QString name, QObject* parent = nullptr);
  ~SingleInstance() override;

  static QString DefaultName();

  /** The message that hands files to the running copy: "OPEN" and their file URLs,
   *  percent-encoded so that any name fits on the one line. */
  static QString FilesMessage(const QStringList& files);
  /** The files of such a message; nothing for another message. */
  static std::optional<QStringList> FilesOf(const QString& message);

  /** Hands message to a running copy; false when none is running. Blocks at most
   *  timeoutMs. */
  bool SendToRunning(const QString& message, int timeoutMs = 2000);

  /** Starts answering later copies; false when the socket cannot be created. */
  bool Listen();

 Q_SIGNALS:
  void MessageReceived(const QString& message);

 private:
  void ReadMessage();

  QString name_;
  QLocalServer* server_ = nullptr;
};

}  // namespace audiolume::platform
