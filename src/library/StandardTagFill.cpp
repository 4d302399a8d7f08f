#include "library/StandardTagFill.h"

#include "library/SongRecord.h"

namespace audiolume {

namespace {

void Fill(QString& field, const QString& value, bool overwrite) {
  if (!value.isEmpty() && (overwrite || field.trimmed().isEmpty())) field = value;
}

}  // namespace

void FillRecordFromStandardTags(const platform::StandardTagFields& tags, SongRecord& record,
                                bool overwrite) {
  Fill(record.Title, tags.title, overwrite);
  Fill(record.Artist, tags.artist, overwrite);
  Fill(record.Album, tags.album, overwrite);
  Fill(record.Genre, tags.genre, overwrite);
  Fill(record.Lyrics, tags.lyrics, overwrite);
  if (tags.track > 0 && tags.track <= 0x7fff && (overwrite || record.TrackNumber == 0)) {
    record.TrackNumber = qint16(tags.track);
  }
}

QString ArtTypeOfMime(const QString& mime) {
  const QString type = mime.section(u'/', 1).toLower();
  if (type == u"png" || type == u"gif" || type == u"bmp") return type;
  return QStringLiteral("jpg");
}

}  // namespace audiolume
