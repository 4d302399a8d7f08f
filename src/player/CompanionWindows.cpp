#include "player/CompanionWindows.h"

#include "support/IniSettings.h"
#include "support/WindowPlacement.h"

namespace audiolume {

void CompanionWindows::Add(const QString& key, std::function<QWidget*()> open) {
  companions_.append({key, std::move(open), {}});
}

QWidget* CompanionWindows::Open(const QString& key) {
  for (Companion& companion : companions_) {
    if (companion.key != key) continue;
    const bool wasOpen = companion.window && companion.window->isVisible();
    companion.window = companion.open();
    if (!companion.window) return nullptr;
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
void CompanionWindows::Dock() const {
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
