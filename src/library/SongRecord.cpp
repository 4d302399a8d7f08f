#include "library/SongRecord.h"

#include <QDateTime>

#include "support/Runtime.h"

namespace audiolume {

const std::array<QString, SongRecord::kFieldCount>& SongRecord::FieldNames() {
  static const std::array<QString, kFieldCount> names = {
      QStringLiteral("Title"),        QStringLiteral("Album"),       QStringLiteral("Artist"),
      QStringLiteral("Genre"),        QStringLiteral("Tempo"),       QStringLiteral("Mood"),
      QStringLiteral("Situation"),    QStringLiteral("Preference"),  QStringLiteral("TrackTime"),
      QStringLiteral("LastPlayed"),   QStringLiteral("PlayFreq"),    QStringLiteral("Filename"),
      QStringLiteral("SerialNumber"), QStringLiteral("TrackNumber"), QStringLiteral("Notes"),
      QStringLiteral("Bios"),         QStringLiteral("Lyrics"),      QStringLiteral("ArtistURL"),
      QStringLiteral("BuyCDURL"),     QStringLiteral("ArtistEmail"), QStringLiteral("Reserved1"),
      QStringLiteral("Reserved2"),    QStringLiteral("Reserved3"),   QStringLiteral("Reserved4"),
      QStringLiteral("Reserved5"),    QStringLiteral("Reserved6"),   QStringLiteral("Reserved7"),
      QStringLiteral("Reserved8")};
  return names;
}

void ClearSongRecord(SongRecord& record) {
  record = SongRecord();
  record.LastPlayed = ToOleDate(QDateTime::currentDateTime());
}

}  // namespace audiolume
