#include "player/CompanionWindows.h"

#include <QEvent>
#include <QScopedValueRollback>

#include "support/IniSettings.h"
#include "support/WindowPlacement.h"

namespace audiolume {

namespace {

// What the desktop draws around the window: none before it has framed it.
QMargins FrameMargins(const QWidget& window) {
  const QRect inner = window.geometry();
  const QRect frame = window.frameGeometry();
  return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
          frame.bottom() - inner.bottom()};
}

}  // namespace

CompanionWindows::CompanionWindows(QWidget& player) : player_(player) {
  player_.installEventFilter(this);
}

void CompanionWindows::Add(const QString& key, std::function<QWidget*()> open) {
  companions_.append({key, std::move(open), {}});
}

QWidget* CompanionWindows::Open(const QString& key) {
  for (Companion& companion : companions_) {
    if (companion.key != key) continue;
    const bool wasOpen = companion.window && companion.window->isVisible();
    companion.window = companion.open();
    if (!companion.window) return nullptr;
    companion.window->installEventFilter(this);  // once per window: Qt keeps one entry
    companion.window->show();
    if (!wasOpen) Dock();
    companion.window->raise();
    companion.window->activateWindow();
    return companion.window;
  }
  return nullptr;
}

QWidget* CompanionWindows::Opened(const QString& key) const {
  for (const Companion& companion : companions_) {
    if (companion.key == key && companion.window && companion.window->isVisible()) {
      return companion.window;
    }
  }
  return nullptr;
}

void CompanionWindows::Reopen(const QString& settingsFile, const QString& section) {
  for (const Companion& companion : companions_) {
    if (ReadIniString(settingsFile, section, companion.key) == QLatin1String("True")) {
      Open(companion.key);
    }
  }
}

bool CompanionWindows::WasOpen(const QString& key) const {
  return Opened(key) || openAtClose_.contains(key);
}

// Each window is first made at least as wide as the player, then they are placed as
// the screen leaves room: under the player, else beside it, else on their own.
void CompanionWindows::Dock() {
  const QScopedValueRollback placing(docking_, true);
  const int width = player_.frameGeometry().width();
  QList<QWidget*> windows;
  QList<QRect> frames;
  for (const Companion& companion : companions_) {
    QWidget* window = companion.window;
    if (!window || !window->isVisible()) continue;
    window->resize(std::max(window->width(), width), window->height());
    windows.append(window);
    frames.append(window->frameGeometry());
  }
  const QList<QRect> placed = WindowPlacement::OfDesktop().Dock(player_.frameGeometry(), frames);
  for (int i = 0; i < windows.size(); ++i) WindowPlacement::SetFrame(*windows[i], placed[i]);
  dockedFrames_.clear();
  dockedFrames_.insert(&player_, FrameMargins(player_));
  for (const QWidget* window : windows) dockedFrames_.insert(window, FrameMargins(*window));
}

void CompanionWindows::KeepClear(QWidget& window) const {
  const WindowPlacement placement = WindowPlacement::OfDesktop();
  const QRect player = player_.frameGeometry();
  const QRect frame = window.frameGeometry();
  QRect spot = placement.Fit(frame);
  if (spot.intersects(player)) {
    QList<QRect> others;
    for (const Companion& companion : companions_) {
      const QWidget* other = companion.window;
      if (other && other != &window && other->isVisible()) others.append(other->frameGeometry());
    }
    spot = placement.LeastCovering(player, others, frame);
  }
  if (spot != frame) WindowPlacement::SetFrame(window, spot);
}

// The desktop frames a new window after it is shown, and tells it by moving it: it was
// docked without its title bar, so it would cover the top of the next one. A window that
// grows as its content comes in (the recorder once it has read the disc) was docked at its
// smaller size; the user's own resizing comes from the desktop and is left alone.
bool CompanionWindows::eventFilter(QObject* watched, QEvent* event) {
  const bool moved = event->type() == QEvent::Move;
  const bool resized = event->type() == QEvent::Resize;
  auto* window = qobject_cast<QWidget*>(watched);
  const auto docked = dockedFrames_.constFind(window);
  if ((moved || resized) && !docking_ && window && docked != dockedFrames_.cend()) {
    if (*docked != FrameMargins(*window)) {
      Dock();
    } else if (resized && !event->spontaneous() && window != &player_) {
      KeepClear(*window);
    }
  }
  return QObject::eventFilter(watched, event);
}

bool CompanionWindows::CloseAll() {
  openAtClose_.clear();
  for (const Companion& companion : companions_) {
    if (!companion.window || !companion.window->isVisible()) continue;
    openAtClose_.append(companion.key);
    if (!companion.window->close()) return false;
  }
  return true;
}

}  // namespace audiolume
