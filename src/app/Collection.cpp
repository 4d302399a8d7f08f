#include "app/Collection.h"

#include <QFile>

#include "app/AppServices.h"
#include "platform/StandardTags.h"

namespace audiolume {

Collection::Collection(const QString& home, AppServices& services,
                       SongFilePresence::CdMounts cdMounts)
    : library(home, services.Error(), services.Check()),
      database(library, services.Catalog(), services.Asker(), services.Error(), services.Check()),
      sync(id3, genres, services.Catalog(), services.Asker()),
      trailer(id3, sync, library, services.Catalog(), services.Asker(), services.Log()),
      presence(std::move(cdMounts), services.Catalog(), services.Asker()),
      conversion(services.Catalog(), services.Asker(), presence, home),
      adder(library, trailer, presence, services.Catalog(), services.Asker(), services.Check(),
            home),
      rowWriter(library, adder, trailer, presence, services.Asker()) {
  genres.Load(home + QStringLiteral("/ID3v1.cat"));
}

bool Collection::ReadTitleArtist(const QString& file, QString& title, QString& artist) {
  if (const auto standard = platform::ReadStandardTags(file, false);
      standard && !standard->fields.title.isEmpty()) {
    title = standard->fields.title;
    artist = standard->fields.artist;
    return true;
  }
  QFile song(file);
  if (!song.open(QIODevice::ReadOnly)) return false;
  trailer.FindTrailer(song);
  if (!id3.ID3Present) return false;
  title = id3.ID3Title.trimmed();
  artist = id3.ID3Artist.trimmed();
  return true;
}

QByteArray Collection::ReadArt(const QString& file, QString& type) {
  SongRecord record;
  return trailer.ReadSongTagsWithArt(file, record, type);
}

}  // namespace audiolume
