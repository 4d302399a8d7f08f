#include <QProcess>

#include "recorder/AccurateRip.h"
#include "recorder/RecorderFixture.h"

namespace audiolume::test {
namespace {

class AccurateRipTest : public RecorderFixture {};

// The entry path whipper's table of contents builds for a disc of these tracks, from the
// layout alone: each track starts where the one before it ends, the first at address 0.
QString WhipperEntryPath(const QList<ImageTrack>& tracks) {
  QString layout;
  int start = 0;
  for (const ImageTrack& track : tracks) {
    layout += u"%1:%2 "_s.arg(start).arg(track.audio ? 1 : 0);
    start += track.frames;
  }
  QProcess python;
  python.start(u"/usr/bin/python3"_s, {u"-c"_s,
                                       u"import sys\n"
                                       u"from whipper.image import table\n"
                                       u"t = table.Table()\n"
                                       u"for n, field in enumerate(sys.argv[1].split(), 1):\n"
                                       u"    start, audio = field.split(':')\n"
                                       u"    track = table.Track(n, audio=audio == '1')\n"
                                       u"    track.index(1, absolute=int(start))\n"
                                       u"    t.tracks.append(track)\n"
                                       u"t.leadout = int(sys.argv[2])\n"
                                       u"print(t.accuraterip_path())"_s,
                                       layout, QString::number(start)});
  python.waitForFinished(60000);
  return QString::fromUtf8(python.readAllStandardOutput()).trimmed();
}

TEST_F(AccurateRipTest, EntryPathOfTheDiscReadIsWhippers) {
  const QList<QList<ImageTrack>> discs = {
      {{3000}, {4500}, {1234}},
      // Enhanced: the data track after the audio counts towards the lead-out only.
      {{750}, {900}, {2000}, {5000, false}},
      // More tracks than digits in the track count's first place.
      {{300}, {450}, {600}, {750}, {900}, {333}, {444}, {555}, {666}, {777}, {888}}};
  for (qsizetype i = 0; i < discs.size(); ++i) {
    const QString reference = WhipperEntryPath(discs[i]);
    if (reference.isEmpty()) GTEST_SKIP() << "whipper is not installed";
    RecordDisc& disc = Disc({Image(u"disc%1"_s.arg(i), discs[i])});
    disc.SetLookupSuppressed(true);
    ASSERT_EQ(disc.OpenCD(false), 0);
    EXPECT_EQ(AccurateRip::IdsOf(disc.Disc()).EntryPath(), reference) << i;
    disc.CloseMCI();
  }
}

// A pressing of two tracks as the database sends it.
QByteArray TwoTrackPressing(quint8 firstConfidence) {
  return QByteArray(
             "\x02"
             "\x01\x00\x00\x00"
             "\x02\x00\x00\x00"
             "\x03\x04\x05\x06",
             13) +
         QByteArray(1, char(firstConfidence)) + QByteArray("\x78\x56\x34\x12\xEE\xEE\xEE\xEE", 8) +
         QByteArray("\x0A\xDD\xCC\xBB\xAA\x00\x00\x00\x00", 9);
}

TEST_F(AccurateRipTest, EntryIsReadPressingByPressingAndATornOneIsLeftOut) {
  const QByteArray entry =
      TwoTrackPressing(200) + TwoTrackPressing(3) + TwoTrackPressing(7).left(20);
  const QList<AccurateRip::Pressing> pressings = AccurateRip::ParseEntry(entry);
  ASSERT_EQ(pressings.size(), 2);
  EXPECT_EQ(pressings[0].id1, 1u);
  EXPECT_EQ(pressings[0].id2, 2u);
  EXPECT_EQ(pressings[0].cddb, 0x06050403u);
  ASSERT_EQ(pressings[0].tracks.size(), 2);
  EXPECT_EQ(pressings[0].tracks[0].confidence, 200);
  EXPECT_EQ(pressings[0].tracks[0].sum, 0x12345678u);
  EXPECT_EQ(pressings[1].tracks[1].confidence, 10);
  EXPECT_EQ(pressings[1].tracks[1].sum, 0xAABBCCDDu);

  // Both sums of a track are held against each pressing; the best confidence is named.
  EXPECT_EQ(AccurateRip::Compare(pressings, 1, 0x12345678u, 0).LogLine(),
            u"  AccurateRip: accurately ripped (confidence 200, v1)"_s);
  EXPECT_EQ(AccurateRip::Compare(pressings, 2, 1, 0xAABBCCDDu).LogLine(),
            u"  AccurateRip: accurately ripped (confidence 10, v2)"_s);
  EXPECT_EQ(AccurateRip::Compare(pressings, 2, 1, 2).LogLine(),
            u"  AccurateRip: not accurate (the database has confidence 10 for another sum)"_s);
  // A track the pressings do not have, or no pressing at all.
  EXPECT_EQ(AccurateRip::Compare(pressings, 3, 1, 2).LogLine(),
            u"  AccurateRip: the disc is not in the database"_s);
  EXPECT_EQ(AccurateRip::Compare({}, 1, 1, 2).LogLine(),
            u"  AccurateRip: the disc is not in the database"_s);
}

}  // namespace
}  // namespace audiolume::test
