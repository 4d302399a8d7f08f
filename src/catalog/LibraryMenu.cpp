#include "catalog/LibraryMenu.h"

#include <QCoreApplication>

#include "catalog/LibraryView.h"
#include "catalog/PlayList.h"
#include "catalog/PlayListManager.h"
#include "library/DatabaseCommands.h"
#include "library/SongLibrary.h"
#include "library/TrailerTag.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

LibraryMenu::LibraryMenu(const LibraryWindowContext& context, QWidget* parent)
    : QMenu(context.catalog.GetMsg(RC_LibManager), parent), context_(context) {
  setObjectName(u"mnuLibrary"_s);
  MessageCatalog& catalog = context_.catalog;
  const std::tuple<QString, int, void (LibraryMenu::*)()> items[] = {
      {u"mnuLoadDatabase"_s, RC_Load_DB, &LibraryMenu::mnuLoadDatabase_Click},
      {u"mnuSaveDatabase"_s, RC_Save_DB, &LibraryMenu::mnuSaveDatabase_Click},
      {u"mnuSaveDatabaseAs"_s, RC_Save_DBAs, &LibraryMenu::mnuSaveDatabaseAs_Click},
      {u"mnuExportDatabase"_s, RC_Export_DB, &LibraryMenu::mnuExportDatabase_Click},
      {u"mnuClearDatabase"_s, RC_Clear_DB, &LibraryMenu::mnuClearDatabase_Click}};
  for (const auto& [name, caption, handler] : items) {
    QAction* action = addAction(catalog.GetMsg(caption), this, handler);
    action->setObjectName(name);
  }
  addAction(u"Move ID3 Tags to the End of the Files"_s, this, &LibraryMenu::mnuConvertID3Tags_Click)
      ->setObjectName(u"mnuConvertID3Tags"_s);
  addSeparator();
  // The stored playlists, to add to the panel; listed anew each time the menu opens.
  QMenu* load = addMenu(catalog.GetMsg(RC_OpenPlaylist));
  load->setObjectName(u"mnuLoadPlayList"_s);
  connect(load, &QMenu::aboutToShow, this, [this, load] {
    load->clear();
    for (const QString& name : context_.manager.Titles()) {
      if (context_.manager.IsPlaceholder(name)) continue;
      load->addAction(name, this, [this, name] { Q_EMIT PlayListChosen(name); });
    }
  });
  QAction* add = addAction(catalog.GetMsg(RC_AddTrackToML));
  add->setObjectName(u"mnuAddSongs"_s);
  add->setEnabled(bool(context_.openAddSongs));
  connect(add, &QAction::triggered, this, [this] { context_.openAddSongs(); });
}

void LibraryMenu::mnuClearDatabase_Click() {
  if (context_.database.ClearDatabase()) Q_EMIT LibraryReplaced();
}

void LibraryMenu::mnuLoadDatabase_Click() {
  if (context_.database.LoadDatabase()) Q_EMIT LibraryReplaced();
}

void LibraryMenu::mnuSaveDatabase_Click() {
  context_.view.LeaveRow();
  context_.database.SaveDatabase();
}

void LibraryMenu::mnuSaveDatabaseAs_Click() {
  context_.database.SaveDatabaseAs();
}

void LibraryMenu::mnuExportDatabase_Click() {
  context_.database.ExportDatabase();
}

void LibraryMenu::mnuConvertID3Tags_Click() {
  const SongLibrary& library = context_.view.Library();
  for (int row = 1; row <= library.SongCount(); ++row) {
    const QString& file = library.SongText(row, SongLibrary::kFilenameColumn);
    context_.prompter.ShowStatus(context_.catalog.GetMsgWithValue(RC_Converting, file));
    context_.trailer.ConvertID3Tag(file);
    QCoreApplication::processEvents();
  }
  context_.prompter.HideStatus();
}

}  // namespace audiolume
