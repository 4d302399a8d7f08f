#pragma once

#include <QMap>
#include <QObject>
#include <functional>

#include "player/Play.h"

class QAction;
class QMenu;
class QMenuBar;

namespace audiolume {

class MessageCatalog;

/**
 * The player window's menu bar: every item, named after its control, wired to the
 * window's handler. Items of parts still to come are shown disabled until the entry
 * point connects them. UI thread only.
 */
class PlayMenus : public QObject {
  Q_OBJECT

 public:
  /** settingsFile keeps the choices of the ReplayGain menu. */
  PlayMenus(Play& play, MessageCatalog& catalog, bool addsSongs, bool converts,
            const std::function<void(QMenu*)>& fillPortableMenu, QMenuBar* bar,
            const QString& settingsFile);

  /** The item named name ("mnuShowMusicLib"); null for none. */
  QAction* Item(const QString& name) const;

 private:
  void Build(bool addsSongs, bool converts, const std::function<void(QMenu*)>& fillPortableMenu,
             const QString& settingsFile);
  QMenu* AddMenu(int captionId);
  void BuildReplayGain(QMenu* controls, const QString& settingsFile);
  QAction* AddItem(QMenu* menu, const QString& name, int captionId,
                   void (Play::*handler)() = nullptr);

  Play& play_;
  MessageCatalog& catalog_;
  QMenuBar* bar_;
  QMap<QString, QAction*> actions_;
};

}  // namespace audiolume
