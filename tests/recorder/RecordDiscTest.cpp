#include <QFile>
#include <QSignalSpy>

#include "fakes/TestFiles.h"
#include "recorder/CdDisc.h"
#include "recorder/RecorderFixture.h"

namespace audiolume::test {
namespace {

using RecordDiscTest = RecorderFixture;

TEST_F(RecordDiscTest, OpensADiscAndComputesItsIdentity) {
  RecordDisc& recorder = Disc({Image(u"three"_s, {{3000}, {4500}, {1234}})});
  QSignalSpy lookup(&recorder, &RecordDisc::LookupWanted);
  ASSERT_EQ(recorder.OpenCD(false), 0);
  const CdDisc& disc = recorder.Disc();
  EXPECT_EQ(disc.numberOfTracks, 3);
  // Starts 0:02, 0:42, 1:42 (digit sums 2 + 6 + 3); length 1:56:34 rounds down.
  EXPECT_EQ(disc.discId, u"0B007403"_s);
  EXPECT_EQ(disc.discLength, 116);
  EXPECT_EQ(disc.serialNumber, u"15600"_s);
  ASSERT_EQ(disc.tracks.size(), 3);
  EXPECT_EQ(disc.tracks[1].startOffset, 3150);
  EXPECT_EQ(disc.tracks[2].lengthSeconds, 16);
  EXPECT_EQ(disc.titles, (QStringList{u"Track 1"_s, u"Track 2"_s, u"Track 3"_s}));
  EXPECT_EQ(lookup.count(), 1);  // the cache does not know the disc
  EXPECT_TRUE(recorder.PollTimer().isActive());
  EXPECT_TRUE(ReadAll(Path(u"RecordInit.log"_s)).contains("--> nCdTYpe 0"));
}

TEST_F(RecordDiscTest, IdentityArithmeticAtItsEdges) {
  EXPECT_EQ(CdDisc::DiscIdentifier(510, 3600, 12), u"000E100C"_s);  // total a multiple of 255
  EXPECT_EQ(CdDisc::RoundedSeconds(u"59:59:38"_s), 3600);
  EXPECT_EQ(CdDisc::RoundedSeconds(u"59:59:37"_s), 3599);
  EXPECT_EQ(CdDisc::DigitSum(3599), 26);
  EXPECT_EQ(CdDisc::DigitSum(0), 0);
  // An hour-long one-track disc (a sparse image): asked for its track type, then taken.
  RecordDisc& recorder = Disc({Image(u"hour"_s, {{59 * 4500 + 59 * 75 + 38}})});
  ASSERT_EQ(recorder.OpenCD(false), 0);
  EXPECT_EQ(recorder.Disc().discId, u"020E0F01"_s);  // freedb counts whole seconds of each address
}

TEST_F(RecordDiscTest, SkipsDataDiscsAndEmptyDrivesThenAsksForADisc) {
  const QString data = Image(u"data"_s, {{1500, false}, {3000}});
  const QString mixed = Image(
      u"mixed"_s, {{1500, false}, {750}, {750}, {750}, {750}, {750}, {750}, {750}, {750}, {750}});
  RecordDisc& recorder = Disc({data, Path(u"empty.cue"_s), mixed});
  // A data track first: two tracks is a data disc, ten tracks is taken as audio.
  ASSERT_EQ(recorder.OpenCD(false), 0);
  EXPECT_EQ(recorder.DriveLetter(), u"F:"_s);
  EXPECT_EQ(recorder.Disc().numberOfTracks, 10);
  EXPECT_EQ(recorder.Disc().titles.size(), 10);

  // Another drive chosen: its disc is read, and the letter goes with the number.
  recorder.ChooseDrive(0);
  EXPECT_EQ(recorder.SelectedDrive(), 2) << "the first drive holds no audio disc";
  EXPECT_EQ(recorder.DriveLetter(), u"F:"_s);
  const QString audio = Image(u"audio"_s, {{750}, {750}});
  RecordDisc& two = Disc({mixed, audio});
  ASSERT_EQ(two.OpenCD(false), 0);
  two.ChooseDrive(1);
  EXPECT_EQ(two.SelectedDrive(), 1);
  EXPECT_EQ(two.DriveLetter(), u"E:"_s);
  EXPECT_EQ(two.DriveDevice(), audio);
  EXPECT_EQ(two.Disc().numberOfTracks, 2);

  RecordDisc& none = Disc({data, Path(u"empty.cue"_s)});
  QSignalSpy gaveUp(&none, &RecordDisc::GaveUp);
  prompter_.QueueAnswer(1);  // OK: search again
  prompter_.QueueAnswer(2);  // Cancel
  EXPECT_EQ(none.OpenCD(false), 5);
  EXPECT_EQ(gaveUp.count(), 1);
  EXPECT_TRUE(none.DriveLetter().isEmpty());
  const auto& shown = prompter_.ShownMessages();
  ASSERT_EQ(shown.size(), 2);
  EXPECT_TRUE(shown[0].text.startsWith(u"Please insert an audio CD into any CD-ROM drive."_s));

  RecordDisc& noDrive = Disc({});
  QString letters;
  EXPECT_EQ(noDrive.GetAllCDDriveLetters(letters), -1);
  EXPECT_EQ(prompter_.ShownMessages().last().text, u"Unable to recognize any CD-ROM Drive"_s);
}

TEST_F(RecordDiscTest, TitleCacheKeepsItsLineFormAndEitherCaseOfHeader) {
  RecordDisc& recorder = Disc({Image(u"disc"_s, {{3000}, {3000}, {3000}, {3000}})});
  recorder.SetLookupSuppressed(true);
  ASSERT_EQ(recorder.OpenCD(false), 0);
  CdDisc& disc = recorder.Disc();
  const QString serial = disc.serialNumber;
  ASSERT_FALSE(serial.isEmpty());
  disc.artist = u"  The Band "_s;
  disc.album = u"Ünïcode Album"_s;
  disc.titles[1] = u"Second"_s;
  recorder.SaveCDPlayerData();
  EXPECT_EQ(ReadAll(Path(u"cdPlayer.ini"_s)),
            QByteArray("[OptionSettings]\nAnimate = False\nOnTop = False\nFloat = False\n"
                       "Repeat = False\n\n[") +
                serial.toLower().toUtf8() +
                "]\nEntryType=1\nartist=The Band\ntitle=\xC3\x9Cn\xC3\xAF"
                "code Album\n"
                "numtracks=4\n0=Track 1\n1=Second\n2=Track 3\n3=Track 4\n\n\n\n");

  // An entry written by another program, header in upper case, with order lines, and
  // another disc after it: replaced in place, the rest kept.
  WriteAll(Path(u"cdPlayer.ini"_s),
           "[OptionSettings]\r\nAnimate = False\r\n\r\n[" + serial.toUpper().toUtf8() +
               "]\r\nEntryType=1\r\nartist=Old\r\ntitle=Older\r\nnumtracks=2\r\n0=A\r\n1=B\r\n"
               "order=0 1\r\nplaynum=2\r\n\r\n[abc]\r\nEntryType=1\r\n");
  disc.titles = {u"x"_s, u"y"_s, u"z"_s, u"w"_s};
  ASSERT_TRUE(cache_.ReadCDPlayerData(disc));
  EXPECT_EQ(disc.artist, u"Old"_s);
  EXPECT_EQ(disc.titles, (QStringList{u"A"_s, u"B"_s, u"z"_s, u"w"_s}));
  EXPECT_EQ(disc.orderLine, u"order=0 1"_s);
  recorder.SaveCDPlayerData();
  const QByteArray saved = ReadAll(Path(u"cdPlayer.ini"_s));
  EXPECT_TRUE(saved.contains("[" + serial.toLower().toUtf8() +
                             "]\r\nEntryType=1\r\nartist=Old\r\ntitle=Older\r\nnumtracks=4\r\n0=A"
                             "\r\n1=B\r\n2=z\r\n3=w\r\norder=0 1\r\nplaynum=2\r\n\r\n[abc]\r\n"))
      << saved.toStdString();
  EXPECT_EQ(saved.count("EntryType=1"), 2) << "the old entry is gone";

  // An entry cut short (a crash of another program) loses nothing already shown.
  WriteAll(Path(u"cdPlayer.ini"_s), "[" + serial.toUtf8() +
                                        "]\nEntryType=1\nartist=Cut\n"
                                        "title=Short\nnumtracks=40000\n0=Only\n[next]\n");
  disc.titles = {u"x"_s, u"y"_s, u"z"_s, u"w"_s};
  ASSERT_TRUE(cache_.ReadCDPlayerData(disc));
  EXPECT_EQ(disc.titles, (QStringList{u"Only"_s, u"y"_s, u"z"_s, u"w"_s}));
}

TEST_F(RecordDiscTest, TitleCacheReadsEachLineInItsOwnEncodingAndKeepsTheFirstBackup) {
  // A cache carried over from Windows: one entry in Windows-1252 beside one in UTF-8.
  const QByteArray before =
      "[aaaa]\r\nEntryType=1\r\nartist=Bj\xC3\xB6rk\r\ntitle=Debut\r\nnumtracks=1\r\n0=Human "
      "Behaviour\r\n\r\n[bbbb]\r\nEntryType=1\r\nartist=Sigur R\xF3s\r\ntitle=()\r\n"
      "numtracks=1\r\n0=Untitled\r\n\r\n";
  WriteAll(Path(u"cdPlayer.ini"_s), before);
  CdDisc disc;
  disc.serialNumber = u"CCCC"_s;
  disc.artist = u"New"_s;
  disc.titles = {u"One"_s};
  cache_.SaveCDPlayerData(disc, 1);
  disc.serialNumber = u"AAAA"_s;
  ASSERT_TRUE(cache_.ReadCDPlayerData(disc));
  EXPECT_EQ(disc.artist, u"Björk"_s);
  disc.serialNumber = u"BBBB"_s;
  ASSERT_TRUE(cache_.ReadCDPlayerData(disc));
  EXPECT_EQ(disc.artist, u"Sigur Rós"_s);
  const QByteArray saved = ReadAll(Path(u"cdPlayer.ini"_s));
  EXPECT_TRUE(saved.contains("artist=Bj\xC3\xB6rk\r\n")) << saved.toStdString();
  EXPECT_TRUE(saved.contains("artist=Sigur R\xC3\xB3s\r\n"));

  // An indented header is a header: the entry before it is rewritten, the next one kept.
  WriteAll(Path(u"cdPlayer.ini"_s),
           "[cccc]\nEntryType=1\nartist=Old\ntitle=\nnumtracks=1\n0=x\n  [eeee]\n"
           "EntryType=1\nartist=Indented\n");
  disc.serialNumber = u"CCCC"_s;
  cache_.SaveCDPlayerData(disc, 1);
  EXPECT_TRUE(
      ReadAll(Path(u"cdPlayer.ini"_s)).contains("  [eeee]\nEntryType=1\nartist=Indented\n"));

  // The second save of the run keeps the backup of the cache as it was before the first.
  disc.serialNumber = u"DDDD"_s;
  cache_.SaveCDPlayerData(disc, 1);
  EXPECT_EQ(ReadAll(Path(u"cdPlayer.bak"_s)), before);
  disc.serialNumber = u"EEEE"_s;
  ASSERT_TRUE(cache_.ReadCDPlayerData(disc));
  EXPECT_EQ(disc.artist, u"Indented"_s);
}

TEST_F(RecordDiscTest, PollSavesTitlesOnRemovalAndReadsTheDiscWhenItComesBack) {
  const QList<ImageTrack> tracks = {{1500}, {1500}, {1500}};
  const QString cue = Image(u"poll"_s, tracks);
  RecordDisc& recorder = Disc({cue});
  recorder.SetLookupSuppressed(true);
  ASSERT_EQ(recorder.OpenCD(false), 0);
  recorder.Disc().titles[2] = u"Typed so far"_s;
  recorder.mciTimer_Timer();  // the disc stays: nothing changes
  EXPECT_EQ(recorder.Disc().titles[2], u"Typed so far"_s);

  QSignalSpy removed(&recorder, &RecordDisc::DiscRemoved);
  QSignalSpy read(&recorder, &RecordDisc::DiscRead);
  QFile::rename(cue, cue + u".out"_s);
  recorder.mciTimer_Timer();
  EXPECT_EQ(removed.count(), 1);
  EXPECT_TRUE(recorder.Disc().waitingForDisc);
  EXPECT_EQ(recorder.Disc().titles, QStringList{u"Track 1"_s});
  EXPECT_TRUE(ReadAll(Path(u"cdPlayer.ini"_s)).contains("2=Typed so far"));
  recorder.mciTimer_Timer();
  EXPECT_EQ(removed.count(), 1);

  QFile::rename(cue + u".out"_s, cue);
  recorder.mciTimer_Timer();
  EXPECT_EQ(read.count(), 1);
  EXPECT_FALSE(recorder.Disc().waitingForDisc);
  EXPECT_EQ(recorder.Disc().titles[2], u"Typed so far"_s);
}

TEST_F(RecordDiscTest, ThePollTakesADamagedImageForNoDisc) {
  const QString nrg = Path(u"poll.nrg"_s);
  const QList<ImageTrack> tracks = {{1500}, {1500}, {1500}};
  WriteAll(nrg, NrgImage(tracks));
  RecordDisc& recorder = Disc({nrg});
  recorder.SetLookupSuppressed(true);
  ASSERT_EQ(recorder.OpenCD(false), 0);
  EXPECT_EQ(recorder.Disc().numberOfTracks, 3);
  QSignalSpy removed(&recorder, &RecordDisc::DiscRemoved);
  QSignalSpy read(&recorder, &RecordDisc::DiscRead);
  // Other images in its place, on which libcdio's reader runs off its buffers.
  WriteAll(nrg, NrgImage(tracks, QByteArray("CUES\0\0\0\0", 8)));
  recorder.mciTimer_Timer();
  EXPECT_EQ(removed.count(), 1);
  EXPECT_TRUE(recorder.Disc().waitingForDisc);
  WriteAll(nrg, NrgImage(QList<ImageTrack>(120, ImageTrack{1})));
  recorder.mciTimer_Timer();
  EXPECT_TRUE(recorder.Disc().waitingForDisc);

  WriteAll(nrg, NrgImage({{750}, {750}}));
  recorder.mciTimer_Timer();
  EXPECT_EQ(read.count(), 1);
  EXPECT_EQ(recorder.Disc().numberOfTracks, 2);
}

}  // namespace
}  // namespace audiolume::test
