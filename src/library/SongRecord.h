#pragma once

#include <QString>
#include <array>

namespace audiolume {

/**
 * One library entry. The field order is the order of the binary layout shared by the
 * library database file and the trailer tag inside song files.
 */
struct SongRecord {
  static constexpr int kFieldCount = 28;
  static constexpr int kReservedCount = 8;

  QString Title;
  QString Album;
  QString Artist;
  QString Genre;
  QString Tempo;
  QString Mood;
  QString Situation;
  QString Preference;
  QString TrackTime;      // "m:ss"
  double LastPlayed = 0;  // days since 30 December 1899
  qint32 PlayFreq = 0;
  QString Filename;  // full path; the library's key
  QString SerialNumber;
  qint16 TrackNumber = 0;
  QString Notes;
  QString Bios;
  QString Lyrics;
  QString ArtistURL;
  QString BuyCDURL;
  QString ArtistEmail;
  std::array<QString, kReservedCount> Reserved;

  /** The field names in layout order: "Title" … "Reserved8". */
  static const std::array<QString, kFieldCount>& FieldNames();

  bool operator==(const SongRecord&) const = default;
};

/** Empties every text, zeroes the numbers and stamps LastPlayed with now. */
void ClearSongRecord(SongRecord& record);

}  // namespace audiolume
