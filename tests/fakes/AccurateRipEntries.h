#pragma once

#include <QByteArray>
#include <QList>

namespace audiolume::test {

/** A track of a pressing in an AccurateRip entry: how many rips agreed, and their sum. */
struct PressedTrack {
  int confidence = 0;
  quint32 sum = 0;
};

/**
 * An entry as the AccurateRip database sends it: per pressing the track count, the disc's
 * id 1, id 2 and CDDB id (32-bit little-endian), then per track the confidence byte, the
 * sum and the sum of one sector the database finds drive offsets with.
 */
inline QByteArray AccurateRipEntry(quint32 id1, quint32 id2, quint32 cddb,
                                   const QList<QList<PressedTrack>>& pressings) {
  QByteArray entry;
  const auto put = [&entry](quint32 value) {
    for (int shift = 0; shift < 32; shift += 8) entry.append(char((value >> shift) & 0xFF));
  };
  for (const QList<PressedTrack>& pressing : pressings) {
    entry.append(char(pressing.size()));
    put(id1);
    put(id2);
    put(cddb);
    for (const PressedTrack& track : pressing) {
      entry.append(char(track.confidence));
      put(track.sum);
      put(0x5EED5EEDu);
    }
  }
  return entry;
}

}  // namespace audiolume::test
