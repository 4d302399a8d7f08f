#include "player/CompanionWindows.h"

#include "support/IniSettings.h"

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

void CompanionWindows::Dock() const {
  int top = player_.frameGeometry().bottom() + 1;
  for (const Companion& companion : companions_) {
    QWidget* window = companion.window;
    if (!window || !window->isVisible()) continue;
    DockUnder(window, top);
    top = window->frameGeometry().bottom() + 1;
  }
}

void CompanionWindows::DockUnder(QWidget* window, int top) const {
  const QRect player = player_.frameGeometry();
  window->move(player.left(), top);
  window->resize(std::max(window->width(), player.width()), window->height());
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
