#pragma once

#include <QObject>

class QSocketNotifier;

namespace audiolume::platform {

/**
 * Turns SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C, a closed terminal) into a normal
 * quit of the event loop, so that shut-down still saves the player's state. One object
 * per process, on the UI thread.
 */
class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  explicit TerminationSignals(QObject* parent = nullptr);
  ~TerminationSignals() override;

 private:
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace audiolume::platform
