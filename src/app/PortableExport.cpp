#include "app/PortableExport.h"

#include "app/AppServices.h"
#include "app/Collection.h"
#include "player/Export.h"
#include "player/PlayQueue.h"
#include "player/PlayerEngine.h"
#include "player/RioMenu.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

PortableExport::PortableExport(AppServices& services, Collection& collection, const QString& home,
                               PlayerEngine& engine, const PlayQueue& queue)
    : services_(services),
      engine_(engine),
      queue_(queue),
      options_(home + u"/Diamond.ini"_s),
      rio_(services.Catalog(), services.Asker(), collection.presence, home,
           platform::MakeFolderPlayer) {
  rio_.SetLibrary(SongFacts(collection));
}

RioExport::Library PortableExport::SongFacts(Collection& collection) {
  return {[&collection](const QString& path) {
            return collection.library.FindSongByFilename(path) > 0;
          },
          [&collection](const QString& path) {
            SongRecord record;
            if (const int row = collection.library.FindSongByFilename(path); row > 0) {
              return collection.library.SongRecords(row);
            }
            collection.adder.ReadSongInformation(path, record);
            return record;
          }};
}

void PortableExport::FillMenu(QMenu* menu) {
  new RioMenu(menu, services_.Catalog(), services_.Asker(), options_, [this] { ExportQueue(); });
}

void PortableExport::ExportQueue() {
  if (rio_.IsRunning()) return;
  if (queue_.Length() == 0) {
    services_.Asker().Tell(services_.Catalog().GetMsg(RC_NoSongs), MessageIcon::Information);
    return;
  }
  engine_.Stop_Player();
  QList<PlayListEntry> songs;
  for (int index = 1; index <= queue_.Length(); ++index) songs.append(queue_.Entry(index));
  Export window(rio_, services_.Catalog(), parent_);
  window.Run(songs, RioOptions::Read(options_));
}

}  // namespace audiolume
