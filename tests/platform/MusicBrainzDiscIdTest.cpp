#include <gtest/gtest.h>

#include <QProcess>

#include "fakes/QtPrinters.h"
#include "platform/MusicBrainzDiscId.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume::platform {
namespace {

// whipper's table of contents, which works the MusicBrainz id out with libdiscid after its
// own rules for data tracks: "number:start:audio|data" each, addresses without the lead-in.
QString WhipperDiscId(const CdToc& toc) {
  QStringList tracks;
  for (const CdTrack& track : toc.tracks) {
    tracks << u"%1:%2:%3"_s.arg(track.number).arg(track.start - 150).arg(track.audio ? 1 : 0);
  }
  QProcess python;
  python.start(u"/usr/bin/python3"_s,
               QStringList{u"-c"_s,
                           u"import sys\n"
                           u"from whipper.image.table import Table, Track\n"
                           u"table = Table()\n"
                           u"for field in sys.argv[2:]:\n"
                           u"    number, start, audio = (int(v) for v in field.split(':'))\n"
                           u"    track = Track(number, audio=bool(audio))\n"
                           u"    track.index(1, absolute=start)\n"
                           u"    table.tracks.append(track)\n"
                           u"table.leadout = int(sys.argv[1])\n"
                           u"print(table.getMusicBrainzDiscId())"_s,
                           QString::number(toc.leadout - 150)} +
                   tracks);
  python.waitForFinished(30000);
  return QString::fromUtf8(python.readAllStandardOutput()).trimmed();
}

// libdiscid itself, through its Python binding, for a disc of audio tracks.
QString LibdiscidId(const CdToc& toc) {
  QStringList offsets;
  for (const CdTrack& track : toc.tracks) offsets << QString::number(track.start);
  QProcess python;
  python.start(u"/usr/bin/python3"_s,
               QStringList{u"-c"_s,
                           u"import sys, libdiscid\n"
                           u"n = [int(v) for v in sys.argv[1:]]\n"
                           u"print(libdiscid.put(1, len(n) - 1, n[0], n[1:]).id)"_s,
                           QString::number(toc.leadout)} +
                   offsets);
  python.waitForFinished(30000);
  return QString::fromUtf8(python.readAllStandardOutput()).trimmed();
}

CdToc AudioDisc(const QList<int>& lengths) {
  CdToc toc;
  int start = 150;
  for (qsizetype i = 0; i < lengths.size(); ++i) {
    toc.tracks.append({int(i) + 1, start});
    start += lengths[i];
  }
  toc.leadout = start;
  return toc;
}

TEST(MusicBrainzDiscIdTest, AudioDiscsAsLibdiscidIdentifiesThem) {
  const QList<CdToc> discs = {AudioDisc({3000, 4500, 1234}), AudioDisc({22179, 16096, 17594}),
                              AudioDisc(QList<int>(40, 4321))};
  for (const CdToc& toc : discs) {
    const QString reference = LibdiscidId(toc);
    if (reference.isEmpty()) GTEST_SKIP() << "python3-libdiscid is not installed";
    EXPECT_EQ(MusicBrainzDiscId(toc), reference) << toc.tracks.size();
    EXPECT_EQ(MusicBrainzDiscId(toc).size(), 28);
  }
}

TEST(MusicBrainzDiscIdTest, AnEnhancedCdIsKnownByItsAudioSession) {
  // Audio, then a data track in the second session after the 11400 frames between them.
  CdToc toc = AudioDisc({20000, 18000, 15000});
  const int audioEnd = toc.leadout;
  toc.tracks.append({4, audioEnd + 11400, false});
  toc.leadout = audioEnd + 11400 + 30000;
  const QString reference = WhipperDiscId(toc);
  if (reference.isEmpty()) GTEST_SKIP() << "whipper is not installed";
  EXPECT_EQ(MusicBrainzDiscId(toc), reference);
  EXPECT_EQ(MusicBrainzDiscId(toc), MusicBrainzDiscId(AudioDisc({20000, 18000, 15000})));
}

TEST(MusicBrainzDiscIdTest, TablesLibdiscidRefusesHaveNone) {
  EXPECT_EQ(MusicBrainzDiscId({}), QString());
  // Past the 99 minutes (and some) a disc may hold.
  EXPECT_EQ(MusicBrainzDiscId(AudioDisc({50 * 4500, 51 * 4500})), QString());
}

}  // namespace
}  // namespace audiolume::platform
