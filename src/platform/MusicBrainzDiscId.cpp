#include "platform/MusicBrainzDiscId.h"

#include <discid/discid.h>

#include <array>
#include <memory>

namespace audiolume::platform {

namespace {

constexpr int kSessionGapFrames = 11400;

struct DiscIdFree {
  void operator()(DiscId* disc) const { discid_free(disc); }
};

}  // namespace

QString MusicBrainzDiscId(const CdToc& toc) {
  QList<CdTrack> tracks = toc.tracks;
  int leadout = toc.leadout;
  if (tracks.size() > 1 && !tracks.last().audio) {
    leadout = tracks.last().start - kSessionGapFrames;
    tracks.removeLast();
  }
  if (tracks.isEmpty() || tracks.size() > 99) return {};
  // libdiscid's layout: the lead-out first, then track k's address at index k.
  std::array<int, 100> offsets{};
  offsets[0] = leadout;
  const int first = tracks.first().number;
  const int last = tracks.last().number;
  if (first < 1 || last > 99 || last - first + 1 != tracks.size()) return {};
  for (const CdTrack& track : tracks) offsets[track.number] = track.start;
  const std::unique_ptr<DiscId, DiscIdFree> disc(discid_new());
  if (!disc || discid_put(disc.get(), first, last, offsets.data()) == 0) return {};
  return QString::fromLatin1(discid_get_id(disc.get()));
}

}  // namespace audiolume::platform
