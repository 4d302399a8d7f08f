#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;

namespace audiolume {

class MessageCatalog;
class Prompter;

/**
 * Fills a "Rio Options" menu, the same in the player window and the playlist manager:
 * export the playlist, the bit rate (the chosen one checked, read from "Diamond.ini"
 * each time the menu opens, so two menus never disagree), clearing the player's songs
 * first, and choosing the player's folder. Owned by the menu. UI thread only.
 */
class RioMenu : public QObject {
  Q_OBJECT

 public:
  RioMenu(QMenu* menu, MessageCatalog& catalog, Prompter& prompter, QString iniFile,
          std::function<void()> exportPlaylist);

  void mnuRioBitRate_Click(int bitRate);
  void mnuRioClearMemory_Click();
  void mnuRioDevice_Click();

 private:
  QAction* AddItem(const QString& name, const QString& caption);
  void ShowChecks();

  QMenu* menu_;
  Prompter& prompter_;
  QString iniFile_;
};

}  // namespace audiolume
