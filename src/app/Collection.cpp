#include "app/Collection.h"

#include "app/AppServices.h"

namespace audiolume {

Collection::Collection(const QString& home, AppServices& services,
                       SongFilePresence::CdMounts cdMounts)
    : library(home, services.Error(), services.Check()),
      database(library, services.Catalog(), services.Asker(), services.Error(), services.Check()),
      sync(id3, genres, services.Catalog(), services.Asker()),
      trailer(id3, sync, library, services.Catalog(), services.Asker(), services.Log()),
      otherSync(otherId3, genres, services.Catalog(), services.Asker()),
      otherTrailer(otherId3, otherSync, library, services.Catalog(), services.Asker(),
                   services.Log()),
      entries(library, trailer),
      presence(std::move(cdMounts), services.Catalog(), services.Asker()),
      conversion(services.Catalog(), services.Asker(), presence, home),
      adder(library, trailer, presence, services.Catalog(), services.Asker(), services.Check(),
            home),
      rowWriter(library, adder, trailer, id3, presence, services.Asker()) {
  genres.Load(home + QStringLiteral("/ID3v1.cat"));
  adder.SetSecondReader(otherTrailer);
}

QByteArray Collection::ReadArt(const QString& file, QString& type) {
  SongRecord record;
  return trailer.ReadSongTagsWithArt(file, record, type);
}

}  // namespace audiolume
