#include "player/RioMenu.h"

#include <QAction>
#include <QMenu>

#include "player/RioOptions.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

struct BitRateItem {
  const char16_t* name;
  int caption;
  int bitRate;
};
constexpr BitRateItem kBitRateItems[] = {{u"mnuRio128", RC_128kbps, 128000},
                                         {u"mnuRio80", RC_Mp3_80kbps, 80000},
                                         {u"mnuRio64", RC_64kbps, 64000},
                                         {u"mnuRioNoConversion", RC_NoBitrateConvert, 0}};

}  // namespace

RioMenu::RioMenu(QMenu* menu, MessageCatalog& catalog, Prompter& prompter, QString iniFile,
                 std::function<void()> exportPlaylist)
    : QObject(menu), menu_(menu), prompter_(prompter), iniFile_(std::move(iniFile)) {
  // Before the first export the player's folder is asked for.
  connect(AddItem(u"mnuExportToRio"_s, catalog.GetMsg(RC_ExpostPLRio)), &QAction::triggered, this,
          [this, exportPlaylist = std::move(exportPlaylist)] {
            if (RioOptions::ReadDevice(iniFile_).isEmpty()) mnuRioDevice_Click();
            if (!RioOptions::ReadDevice(iniFile_).isEmpty()) exportPlaylist();
          });
  menu->addSeparator();
  for (const BitRateItem& item : kBitRateItems) {
    QAction* action = AddItem(QString::fromUtf16(item.name), catalog.GetMsg(item.caption));
    action->setCheckable(true);
    const int bitRate = item.bitRate;
    connect(action, &QAction::triggered, this, [this, bitRate] { mnuRioBitRate_Click(bitRate); });
  }
  menu->addSeparator();
  QAction* clear = AddItem(u"mnuRioClearMemory"_s, catalog.GetMsg(RC_ClearRioMem));
  clear->setCheckable(true);
  connect(clear, &QAction::triggered, this, &RioMenu::mnuRioClearMemory_Click);
  connect(AddItem(u"mnuRioDevice"_s, u"Player Folder…"_s), &QAction::triggered, this,
          &RioMenu::mnuRioDevice_Click);
  connect(menu, &QMenu::aboutToShow, this, &RioMenu::ShowChecks);
  ShowChecks();
}

QAction* RioMenu::AddItem(const QString& name, const QString& caption) {
  QAction* action = menu_->addAction(caption);
  action->setObjectName(name);
  return action;
}

void RioMenu::ShowChecks() {
  const RioOptions options = RioOptions::Read(iniFile_);
  for (const BitRateItem& item : kBitRateItems) {
    QAction* action = menu_->findChild<QAction*>(QString::fromUtf16(item.name));
    if (action) action->setChecked(item.bitRate == options.bitRate);
  }
  if (QAction* clear = menu_->findChild<QAction*>(u"mnuRioClearMemory"_s)) {
    clear->setChecked(options.clearMemory);
  }
  if (QAction* device = menu_->findChild<QAction*>(u"mnuRioDevice"_s)) {
    device->setToolTip(options.device);
  }
}

void RioMenu::mnuRioBitRate_Click(int bitRate) {
  RioOptions::WriteBitRate(iniFile_, bitRate);
  ShowChecks();
}

void RioMenu::mnuRioClearMemory_Click() {
  RioOptions::WriteClearMemory(iniFile_, !RioOptions::Read(iniFile_).clearMemory);
  ShowChecks();
}

void RioMenu::mnuRioDevice_Click() {
  const QString current = RioOptions::ReadDevice(iniFile_);
  const std::optional<QString> folder =
      prompter_.FolderName(u"The portable player's folder"_s, current);
  if (folder) RioOptions::WriteDevice(iniFile_, *folder);
  ShowChecks();
}

}  // namespace audiolume
