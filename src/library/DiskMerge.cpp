#include "library/DiskMerge.h"

#include <QHash>
#include <QStringView>
#include <algorithm>
#include <cmath>
#include <limits>

namespace audiolume {

namespace {

constexpr QString SongRecord::*kTexts[] = {
    &SongRecord::Title,     &SongRecord::Album,        &SongRecord::Artist,
    &SongRecord::Genre,     &SongRecord::Tempo,        &SongRecord::Mood,
    &SongRecord::Situation, &SongRecord::Preference,   &SongRecord::TrackTime,
    &SongRecord::Filename,  &SongRecord::SerialNumber, &SongRecord::Notes,
    &SongRecord::Bios,      &SongRecord::Lyrics,       &SongRecord::ArtistURL,
    &SongRecord::BuyCDURL,  &SongRecord::ArtistEmail};

bool SameText(const QString& a, const QString& b) {
  return QStringView(a).trimmed() == QStringView(b).trimmed();
}

// A date that is no date (NaN, from a damaged file) stays the same date.
bool SameDate(double a, double b) {
  return a == b || (std::isnan(a) && std::isnan(b));
}

QString Key(const SongRecord& record) {
  return QStringView(record.Filename).trimmed().toString();
}

}  // namespace

bool DiskMerge::Same(const SongRecord& a, const SongRecord& b) {
  for (const auto field : kTexts) {
    if (!SameText(a.*field, b.*field)) return false;
  }
  for (int i = 0; i < SongRecord::kReservedCount; ++i) {
    if (!SameText(a.Reserved[i], b.Reserved[i])) return false;
  }
  return SameDate(a.LastPlayed, b.LastPlayed) && a.PlayFreq == b.PlayFreq &&
         a.TrackNumber == b.TrackNumber;
}

SongRecord DiskMerge::MergeFields(const SongRecord& base, const SongRecord& here,
                                  const SongRecord& disk) {
  SongRecord merged = here;
  for (const auto field : kTexts) {
    if (SameText(here.*field, base.*field)) merged.*field = disk.*field;
  }
  for (int i = 0; i < SongRecord::kReservedCount; ++i) {
    if (SameText(here.Reserved[i], base.Reserved[i])) merged.Reserved[i] = disk.Reserved[i];
  }
  if (here.TrackNumber == base.TrackNumber) merged.TrackNumber = disk.TrackNumber;
  if (here.PlayFreq == base.PlayFreq) {
    merged.PlayFreq = disk.PlayFreq;
  } else if (disk.PlayFreq != base.PlayFreq) {
    // Both sides counted plays of the song since they last agreed.
    const qint64 sum = qint64(here.PlayFreq) + disk.PlayFreq - base.PlayFreq;
    merged.PlayFreq = qint32(std::clamp<qint64>(sum, 0, std::numeric_limits<qint32>::max()));
  }
  if (SameDate(here.LastPlayed, base.LastPlayed)) {
    merged.LastPlayed = disk.LastPlayed;
  } else if (!SameDate(disk.LastPlayed, base.LastPlayed)) {
    merged.LastPlayed = std::max(here.LastPlayed, disk.LastPlayed);
  }
  return merged;
}

std::vector<std::ptrdiff_t> DiskMerge::Pair(const Records& from, const Records& to) {
  QHash<QString, std::vector<std::size_t>> byName;
  for (std::size_t i = 0; i < to.size(); ++i) byName[Key(*to[i])].push_back(i);
  QHash<QString, std::size_t> seen;
  std::vector<std::ptrdiff_t> partners;
  partners.reserve(from.size());
  for (const SongRecord* record : from) {
    const QString name = Key(*record);
    const std::size_t occurrence = seen[name]++;
    const auto found = byName.constFind(name);
    partners.push_back(found != byName.cend() && occurrence < found->size()
                           ? std::ptrdiff_t((*found)[occurrence])
                           : -1);
  }
  return partners;
}

DiskMerge::Result DiskMerge::Merge(const Records& base, const Records& here, const Records& disk,
                                   bool diskComplete) {
  const std::vector<std::ptrdiff_t> baseOfHere = Pair(here, base);
  const std::vector<std::ptrdiff_t> diskOfHere = Pair(here, disk);
  Result result;
  for (std::size_t i = 0; i < here.size(); ++i) {
    if (baseOfHere[i] < 0) continue;  // added here: kept as it is
    const SongRecord& was = *base[std::size_t(baseOfHere[i])];
    if (diskOfHere[i] < 0) {
      if (diskComplete && Same(*here[i], was)) result.removed.push_back(i);
      continue;
    }
    SongRecord merged = MergeFields(was, *here[i], *disk[std::size_t(diskOfHere[i])]);
    if (!Same(merged, *here[i])) result.changed.emplace_back(i, std::move(merged));
  }
  // A disk record that neither the base nor here has is new; one the base has but here
  // not was removed here.
  const std::vector<std::ptrdiff_t> baseOfDisk = Pair(disk, base);
  const std::vector<std::ptrdiff_t> hereOfDisk = Pair(disk, here);
  for (std::size_t j = 0; j < disk.size(); ++j) {
    if (baseOfDisk[j] < 0 && hereOfDisk[j] < 0) result.added.push_back(*disk[j]);
  }
  return result;
}

}  // namespace audiolume
