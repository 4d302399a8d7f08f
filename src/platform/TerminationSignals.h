#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace audiolume::platform {

/**
 * Turns SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C, a closed terminal) into an action on
 * the event loop: the jukebox closes its player as the window manager would, so that
 * shut-down saves the player's state and which windows were open. One object per process,
 * on the UI thread.
 */
class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
  ~TerminationSignals() override;

 private:
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace audiolume::platform
