#include <discid/discid.h>

#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include "fakes/FakeCddbServer.h"
#include "fakes/TestFiles.h"
#include "recorder/CdDisc.h"
#include "recorder/CddbLookup.h"
#include "recorder/CddbSites.h"
#include "recorder/CddbText.h"
#include "recorder/RecorderFixture.h"
#include "recorder/frmCDDBPrefs.h"

namespace audiolume::test {
namespace {

const QByteArray kEntry =
    "210 rock 0b007403 CD database entry follows (until terminating `.')\r\n"
    "# xmcd\r\nDISCID=0b007403\r\nDTITLE=The Band / The Album\r\n"
    "TTITLE0=Opening\r\nTTITLE1=A Very Long Title That Goes On\r\nTTITLE1= And On\r\n"
    "TTITLE2=Caf\xC3\xA9\r\nEXTD=\r\n.\r\n";

class CddbLookupTest : public RecorderFixture {
 protected:
  CddbLookupTest() {
    disc_.discId = u"0B007403"_s;
    disc_.numberOfTracks = 3;
    disc_.discLength = 116;
    disc_.leadout = 8884;
    for (const int start : {150, 3150, 7650}) {
      CdDisc::TrackInfo track;
      track.startOffset = start;
      disc_.tracks.append(track);
    }
    disc_.titles = {u"Track 1"_s, u"Track 2"_s, u"Track 3"_s};
    CddbSettings settings;
    settings.server = u"127.0.0.1"_s;
    settings.port = server_.Port();
    settings.user = u" jo e "_s;
    lookup_.SetSettings(settings);
  }

  /** Starts the lookup; ticks are given by hand, with the replies let in between. */
  void Start() {
    finished_.clear();
    lookup_.Start();
    lookup_.Timer().stop();
  }

  /** Ticks until done (or until matches wait for a choice), letting replies arrive. */
  void TickUntilIdle(int maxTicks = 100) {
    for (int i = 0; i < maxTicks && finished_.isEmpty() && lookup_.Matches().isEmpty(); ++i) {
      QTest::qWait(15);
      lookup_.tmrCDDB_Timer();
    }
  }

  /** Ticks without waiting for anything, as a silent server lets time pass. */
  void TickSilently(int ticks) {
    for (int i = 0; i < ticks; ++i) lookup_.tmrCDDB_Timer();
  }

  FakeCddbServer server_;
  CdDisc disc_;
  CddbLookup lookup_{disc_, catalog_, u"3.12.030"_s};
  QSignalSpy finished_{&lookup_, &CddbLookup::Finished};
};

TEST_F(CddbLookupTest, ExactMatchAtLevelSixFillsArtistAlbumAndJoinedTitles) {
  server_.replies[u"proto"_s] = {"201 OK, CDDB protocol level now: 6\r\n"};
  server_.replies[u"cddb hello"_s] = {"200 Hello and welcome\r\n"};
  server_.replies[u"cddb query"_s] = {"200 rock 0b007403 The Band / The Album\r\n"};
  // The entry arrives in pieces, one of them in the middle of a continued title.
  server_.replies[u"cddb read"_s] = {kEntry.left(90), kEntry.mid(90, 60), kEntry.mid(150)};
  Start();
  TickUntilIdle();
  ASSERT_EQ(finished_.count(), 1);
  EXPECT_TRUE(lookup_.TitlesRead());
  EXPECT_EQ(disc_.artist, u"The Band"_s);
  EXPECT_EQ(disc_.album, u"The Album"_s);
  EXPECT_EQ(disc_.titles,
            (QStringList{u"Opening"_s, u"A Very Long Title That Goes On And On"_s, u"Café"_s}));
  EXPECT_EQ(server_.received,
            (QStringList{u"cddb hello joe localhost TunewrightJukebox v3.12.030"_s, u"proto 6"_s,
                         u"cddb query 0B007403 3 150 3150 7650 118"_s, u"cddb read rock 0b007403"_s,
                         u"quit"_s}));
}

TEST_F(CddbLookupTest, LevelOneEntriesAreWindows1252AndHello402Counts) {
  server_.replies[u"cddb hello"_s] = {"402 Already shook hands\r\n"};
  server_.replies[u"cddb query"_s] = {"200 rock 0b007403 Art/Album\r\n"};
  server_.replies[u"cddb read"_s] = {"210 rock 0b007403\r\nTTITLE0=Caf\xE9\r\n.\r\n"};
  Start();
  TickUntilIdle();
  EXPECT_TRUE(lookup_.TitlesRead());
  EXPECT_EQ(disc_.artist, u"Art"_s);
  EXPECT_EQ(disc_.album, u"Album"_s);
  EXPECT_EQ(disc_.titles[0], u"Café"_s);
}

TEST_F(CddbLookupTest, InexactMatchesOneIsReadAtOnceSeveralWaitForTheChoice) {
  server_.replies[u"cddb hello"_s] = {"200 Hello\r\n"};
  server_.replies[u"cddb query"_s] = {"211 Found inexact matches\r\nmisc 0b007499 Solo\r\n.\r\n"};
  server_.replies[u"cddb read misc"_s] = {"210 misc 0b007499\r\nTTITLE0=One\r\n.\r\n"};
  Start();
  TickUntilIdle();
  EXPECT_EQ(disc_.artist, u"Unknown"_s);
  EXPECT_EQ(disc_.album, u"Solo"_s);
  EXPECT_EQ(disc_.titles[0], u"One"_s);

  server_.received.clear();
  server_.replies[u"cddb query"_s] = {"211 Found inexact matches\r\n",
                                      "rock 11111111 First Artist / First Album\r\n"
                                      "jazz 22222222 Second / Other\r\n.\r\n"};
  server_.replies[u"cddb read jazz"_s] = {"210 jazz 22222222\r\nTTITLE1=Chosen\r\n.\r\n"};
  QSignalSpy shown(&lookup_, &CddbLookup::MatchesShown);
  Start();
  TickUntilIdle();
  ASSERT_EQ(shown.count(), 1);
  ASSERT_EQ(lookup_.Matches().size(), 2);
  EXPECT_EQ(lookup_.Matches()[1], u"Other"_s.leftJustified(40) + u"Second"_s.leftJustified(40) +
                                      u" \\ 22222222 \\ jazz \\ Other \\ Second"_s);
  EXPECT_FALSE(lookup_.Timer().isActive());
  lookup_.Choose(1);
  lookup_.Timer().stop();
  TickUntilIdle();
  EXPECT_EQ(disc_.album, u"Other"_s);
  EXPECT_EQ(disc_.titles[1], u"Chosen"_s);
  EXPECT_TRUE(server_.received.contains(u"cddb read jazz 22222222"_s));
}

TEST_F(CddbLookupTest, SeveralExactMatchesAtLevelSixAreOfferedForAChoice) {
  server_.replies[u"proto"_s] = {"201 OK, CDDB protocol level now: 6\r\n"};
  server_.replies[u"cddb hello"_s] = {"200 Hello\r\n"};
  server_.replies[u"cddb query"_s] = {
      "210 Found exact matches, list follows (until terminating `.')\r\n"
      "rock 0b007403 The Band / The Album\r\n",
      "misc 0b007403 The Band / The Album (Remaster)\r\n.\r\n"};
  server_.replies[u"cddb read misc"_s] = {"210 misc 0b007403\r\nTTITLE0=Remastered\r\n.\r\n"};
  QSignalSpy shown(&lookup_, &CddbLookup::MatchesShown);
  Start();
  TickUntilIdle();
  ASSERT_EQ(shown.count(), 1);
  EXPECT_TRUE(lookup_.FailureText().isEmpty()) << lookup_.FailureText().toStdString();
  ASSERT_EQ(lookup_.Matches().size(), 2);
  lookup_.Choose(1);
  lookup_.Timer().stop();
  TickUntilIdle();
  EXPECT_TRUE(lookup_.TitlesRead());
  EXPECT_EQ(disc_.album, u"The Album (Remaster)"_s);
  EXPECT_EQ(disc_.titles[0], u"Remastered"_s);

  // One exact match in such a list is read at once.
  server_.replies[u"cddb query"_s] = {
      "210 Found exact matches, list follows\r\n"
      "rock 0b007403 Solo / Only\r\n.\r\n"};
  server_.replies[u"cddb read rock"_s] = {"210 rock 0b007403\r\nTTITLE0=Single\r\n.\r\n"};
  Start();
  TickUntilIdle();
  EXPECT_EQ(shown.count(), 1);
  EXPECT_EQ(disc_.album, u"Only"_s);
  EXPECT_EQ(disc_.titles[0], u"Single"_s);
}

TEST_F(CddbLookupTest, EscapesAreDecodedAndYearAndGenreKept) {
  server_.replies[u"cddb hello"_s] = {"200 Hello\r\n"};
  server_.replies[u"cddb query"_s] = {"200 rock 0b007403 AC\\\\DC / Back in Black\r\n"};
  // An escape may be cut between two lines of the same title.
  server_.replies[u"cddb read"_s] = {
      "210 rock 0b007403\r\nDTITLE=AC\\\\DC / Back in Black\r\nDYEAR=1980\r\n"
      "DGENRE=Hard Rock\r\nTTITLE0=Hells Bells\\nLive\r\nTTITLE1=Tab\\\r\nTTITLE1=tStop\r\n"
      "TTITLE2=Back\\\\slash\\x\r\nEXTD=Line\\none\r\n.\r\n"};
  Start();
  TickUntilIdle();
  ASSERT_TRUE(lookup_.TitlesRead());
  EXPECT_EQ(disc_.artist, u"AC\\DC"_s);
  EXPECT_EQ(disc_.titles, (QStringList{u"Hells Bells Live"_s, u"Tab Stop"_s, u"Back\\slash\\x"_s}));
  EXPECT_EQ(disc_.year, u"1980"_s);
  EXPECT_EQ(disc_.genre, u"Hard Rock"_s);
}

TEST_F(CddbLookupTest, AnInexactListOfNothingSaysNothingMatched) {
  server_.replies[u"cddb hello"_s] = {"200 Hello\r\n"};
  server_.replies[u"cddb query"_s] = {"211 Found inexact matches, list follows\r\n", ".\r\n"};
  QSignalSpy shown(&lookup_, &CddbLookup::MatchesShown);
  Start();
  TickUntilIdle();
  EXPECT_EQ(finished_.count(), 1);
  EXPECT_EQ(shown.count(), 0) << "no empty chooser";
  EXPECT_EQ(lookup_.FailureText(), u"CD Not found in Database!"_s);
  EXPECT_FALSE(lookup_.IsBusy());
}

TEST_F(CddbLookupTest, OnlyTitlesFromTheServerOrTheUserAreCached) {
  RecordDisc& recorder = Disc({Image(u"disc"_s, {{3000}, {4500}, {1234}})});
  QSignalSpy wanted(&recorder, &RecordDisc::LookupWanted);
  ASSERT_EQ(recorder.OpenCD(false), 0);
  // No lookup came back: the window goes, the disc must stay unknown.
  recorder.SaveCDPlayerData();
  EXPECT_FALSE(ReadAll(Path(u"cdPlayer.ini"_s)).contains("[15600]"));
  recorder.MyCloseCD();
  ASSERT_EQ(recorder.OpenCD(false), 0);
  EXPECT_EQ(wanted.count(), 2);

  // An entry of nothing but default titles, as such a lookup once left, is no entry.
  WriteAll(Path(u"cdPlayer.ini"_s),
           "[15600]\nEntryType=1\nartist=\ntitle=\nnumtracks=3\n0=Track 1\n1=Track 2\n"
           "2=Track 3\n\n");
  recorder.MyCloseCD();
  ASSERT_EQ(recorder.OpenCD(false), 0);
  EXPECT_EQ(wanted.count(), 3);

  // What the user typed is kept, and the disc is known from then on.
  recorder.Disc().titles[1] = u"Typed"_s;
  recorder.SaveCDPlayerData();
  EXPECT_TRUE(ReadAll(Path(u"cdPlayer.ini"_s)).contains("1=Typed\n"));
  recorder.MyCloseCD();
  ASSERT_EQ(recorder.OpenCD(false), 0);
  EXPECT_EQ(wanted.count(), 3);
}

TEST_F(CddbLookupTest, RefusalsEndTheLookupAtOnceInTheServersWords) {
  server_.greeting = "200 read-write server ready\r\n";  // taken as 201 is
  server_.replies[u"cddb hello"_s] = {"200 Hello\r\n"};
  server_.replies[u"cddb query"_s] = {"200 rock 0b007403 A / B\r\n"};
  server_.replies[u"cddb read"_s] = {"401 rock 0b007403 No such CD entry in database.\r\n"};
  Start();
  TickUntilIdle(10);
  ASSERT_EQ(finished_.count(), 1);
  EXPECT_EQ(lookup_.FailureText(),
            u"CDDB not returning information. (401 rock 0b007403 No such CD entry in database.)"_s);
  EXPECT_TRUE(server_.received.contains(u"cddb read rock 0b007403"_s));

  server_.replies[u"cddb read"_s] = {"403 Database entry is corrupt.\r\n"};
  Start();
  TickUntilIdle(10);
  EXPECT_EQ(finished_.count(), 1);
  EXPECT_TRUE(lookup_.FailureText().endsWith(u"(403 Database entry is corrupt.)"_s));

  server_.replies[u"cddb query"_s] = {"409 No handshake.\r\n"};
  Start();
  TickUntilIdle(10);
  EXPECT_EQ(lookup_.FailureText(), u"CDDB not responding to query. (409 No handshake.)"_s);

  server_.replies[u"cddb hello"_s] = {"431 Handshake not successful, closing connection.\r\n"};
  Start();
  TickUntilIdle(10);
  EXPECT_EQ(lookup_.FailureText(),
            u"CDDB not allowing authentication. (431 Handshake not successful, closing "
            u"connection.)"_s);

  server_.greeting = "432 No connections allowed: too many users.\r\n";
  Start();
  TickUntilIdle(10);
  EXPECT_EQ(finished_.count(), 1);
  EXPECT_EQ(lookup_.FailureText(),
            u"CDDB Connect Failed! Try again. (432 No connections allowed: too many users.)"_s);
  EXPECT_FALSE(lookup_.IsBusy());
}

TEST_F(CddbLookupTest, WaitsRunOutIntoTheirStatusTexts) {
  server_.greeting.clear();  // a server that never greets
  Start();
  QTest::qWait(60);
  TickSilently(359);
  EXPECT_EQ(lookup_.Step(), 0);
  TickSilently(2);
  EXPECT_EQ(lookup_.FailureText(), u"CDDB Connect Failed! Try again."_s);
  TickSilently(1);
  EXPECT_EQ(finished_.count(), 1);
  EXPECT_FALSE(lookup_.IsBusy());

  server_.greeting = "201 ready\r\n";
  server_.replies[u"cddb hello"_s] = {"200 Hello\r\n"};
  server_.replies[u"cddb query"_s] = {"202 No match found\r\n"};
  Start();
  TickUntilIdle();
  EXPECT_EQ(lookup_.FailureText(), u"CD Not found in Database!"_s);

  server_.replies[u"cddb query"_s] = {"200 rock 0b007403 A / B\r\n"};
  server_.replies[u"cddb read"_s] = {"210 rock 0b007403\r\nTTITLE0=Never ends\r\n"};
  Start();
  for (int i = 0; i < 30 && lookup_.Step() != 7; ++i) {
    QTest::qWait(15);
    lookup_.tmrCDDB_Timer();
  }
  ASSERT_EQ(lookup_.Step(), 7);
  QTest::qWait(30);
  TickSilently(200);
  EXPECT_EQ(lookup_.FailureText(), u"CDDB not returning information."_s);
  EXPECT_FALSE(lookup_.TitlesRead());
}

TEST_F(CddbLookupTest, AServerThatHangsUpMidEntryEndsTheLookup) {
  server_.replies[u"cddb hello"_s] = {"200 Hello\r\n"};
  server_.replies[u"cddb query"_s] = {"200 rock 0b007403 A / B\r\n"};
  server_.replies[u"cddb read"_s] = {"210 rock 0b007403\r\nTTITLE0=Half", "\r\n.\r\n"};
  server_.dropBeforeLastPacket = true;
  Start();
  TickUntilIdle();
  EXPECT_EQ(finished_.count(), 1);
  EXPECT_FALSE(lookup_.TitlesRead());
  EXPECT_FALSE(lookup_.FailureText().isEmpty());
  EXPECT_EQ(disc_.titles[0], u"Track 1"_s);
}

TEST_F(CddbLookupTest, OverHttpTheSameRepliesComeFromTheWebForm) {
  server_.greeting.clear();
  server_.replies[u"cddb query"_s] = {"200 rock 0b007403 Web / Album\n"};
  server_.replies[u"cddb read"_s] = {"210 rock 0b007403\nTTITLE0=Ünï\n.\n"};
  CddbSettings settings = lookup_.Settings();
  settings.useHttp = true;
  lookup_.SetSettings(settings);
  Start();
  TickUntilIdle();
  EXPECT_TRUE(lookup_.TitlesRead());
  EXPECT_EQ(disc_.album, u"Album"_s);
  EXPECT_EQ(disc_.titles[0], u"Ünï"_s);
  ASSERT_EQ(server_.received.size(), 2);
  EXPECT_EQ(server_.received[0],
            u"cddb query 0B007403 3 150 3150 7650 118 | hello=joe localhost TunewrightJukebox "
            u"v3.12.030 | proto=6 | path=/~cddb/cddb.cgi"_s);
}

TEST_F(CddbLookupTest, AnEndlessReplyOverHttpIsCutOffAsItArrives) {
  server_.greeting.clear();
  server_.replies[u"cddb query"_s] = {"211 inexact matches\n"};
  server_.endlessPacket = "rock 0b007403 Band / Again and again and again\n";
  CddbSettings settings = lookup_.Settings();
  settings.useHttp = true;
  lookup_.SetSettings(settings);
  Start();
  TickUntilIdle(300);
  EXPECT_EQ(finished_.count(), 1);
  EXPECT_EQ(lookup_.FailureText(), u"The CDDB server sent more than any disc entry holds."_s);
  // Taken as it came and cut off past 4 MiB, not gathered whole first.
  EXPECT_LT(server_.endlessSent, FakeCddbServer::kEndlessLimit / 4);
}

TEST_F(CddbLookupTest, SiteListIsParsedIntoHostPortAndDescription) {
  server_.replies[u"sites"_s] = {
      "210 OK, site information follows\r\n"
      "gnudb.gnudb.org 8880 N000.00 W000.00 Random gnudb server\r\n",
      "freedb.example 888 N051.30 E000.07 London, UK\r\n.\r\n"};
  CddbSites sites(catalog_);
  QSignalSpy ready(&sites, &CddbSites::SitesReady);
  sites.Fetch(u"127.0.0.1"_s, server_.Port());
  sites.Timer().stop();
  for (int i = 0; i < 100 && ready.isEmpty(); ++i) {
    QTest::qWait(15);
    sites.tmrClock_Timer();
  }
  ASSERT_EQ(sites.Sites().size(), 2);
  EXPECT_EQ(sites.Sites()[1].host, u"freedb.example"_s);
  EXPECT_EQ(sites.Sites()[1].port, 888);
  EXPECT_EQ(sites.Sites()[1].description, u"London, UK"_s);
  EXPECT_EQ(CddbSites::HostOfLine(CddbSites::ListLine(sites.Sites()[0])), u"gnudb.gnudb.org"_s);
}

/** The query freedb's own clients send for a table of contents, from libdiscid. */
QString ReferenceQuery(const QList<int>& starts, int leadout) {
  QList<int> offsets{leadout};
  offsets += starts;
  DiscId* reference = discid_new();
  discid_put(reference, 1, int(starts.size()), offsets.data());
  QString query = u"cddb query "_s +
                  QString::fromLatin1(discid_get_freedb_id(reference)).toUpper() + u' ' +
                  QString::number(starts.size());
  for (const int start : starts) query += u' ' + QString::number(start);
  query += u' ' + QString::number(discid_get_sectors(reference) / 75);
  discid_free(reference);
  return query;
}

TEST_F(CddbLookupTest, TheQueryNamesTheDiscAsFreedbFilesIt) {
  // Lengths whose last seconds round up and down, one track to many.
  const QList<QList<ImageTrack>> discs = {{{3000}, {4500}, {1250}},
                                          {{16537}},
                                          {{13000}, {11111}, {22222}, {9876}, {3037}},
                                          {{750}, {751}, {752}, {753}, {754}, {755}, {799}}};
  for (qsizetype i = 0; i < discs.size(); ++i) {
    RecordDisc& recorder = Disc({Image(u"disc%1"_s.arg(i), discs[i])});
    recorder.SetLookupSuppressed(true);
    ASSERT_EQ(recorder.OpenCD(false), 0);
    QList<int> starts;
    int leadout = 150;
    for (const ImageTrack& track : discs[i]) {
      starts.append(leadout);
      leadout += track.frames;
    }
    CddbLookup lookup(recorder.Disc(), catalog_, u"3.12.030"_s);
    EXPECT_EQ(lookup.QueryCommand(), ReferenceQuery(starts, leadout)) << "disc " << i;
  }
}

TEST_F(CddbLookupTest, HttpTakesPortEightyUnlessTheUserSetAnother) {
  const QString file = Path(u"VeltoDj.ini"_s);
  {
    frmCDDBPrefs prefs(catalog_, file);
    prefs.Form_Load();
    QTest::mouseClick(prefs.findChild<QRadioButton*>(u"rdoProtocol1"_s), Qt::LeftButton);
    EXPECT_EQ(prefs.findChild<QSpinBox*>(u"txtPort"_s)->value(), 80);
    QTest::mouseClick(prefs.findChild<QRadioButton*>(u"rdoProtocol0"_s), Qt::LeftButton);
    EXPECT_EQ(prefs.findChild<QSpinBox*>(u"txtPort"_s)->value(), 8880);
    prefs.findChild<QSpinBox*>(u"txtPort"_s)->setValue(8000);
    QTest::mouseClick(prefs.findChild<QRadioButton*>(u"rdoProtocol1"_s), Qt::LeftButton);
    EXPECT_EQ(prefs.findChild<QSpinBox*>(u"txtPort"_s)->value(), 8000) << "the user's own port";
    prefs.findChild<QSpinBox*>(u"txtPort"_s)->setValue(8880);
    QTest::mouseClick(prefs.findChild<QRadioButton*>(u"rdoProtocol0"_s), Qt::LeftButton);
    QTest::mouseClick(prefs.findChild<QRadioButton*>(u"rdoProtocol1"_s), Qt::LeftButton);
    prefs.btnOK_Click();
  }
  EXPECT_EQ(CddbSettings::Load(file).port, 80);
  WriteAll(file, "[CDDB]\nServer=example.org\nUseHTTP=True\n");
  EXPECT_EQ(CddbSettings::Load(file).port, 80);
}

TEST_F(CddbLookupTest, ADiscSwappedDuringTheLookupGetsNoneOfItsTitles) {
  server_.replies[u"cddb hello"_s] = {"200 Hello\r\n"};
  server_.replies[u"cddb query"_s] = {"200 rock 0b007403 A / B\r\n"};
  server_.replies[u"cddb read"_s] = {"210 rock 0b007403\r\nTTITLE0=For disc A\r\n.\r\n"};
  disc_.serialNumber = u"15600"_s;
  Start();
  for (int i = 0; i < 30 && lookup_.Step() != 7; ++i) {
    QTest::qWait(15);
    lookup_.tmrCDDB_Timer();
  }
  ASSERT_EQ(lookup_.Step(), 7);
  // Disc B goes in before the entry of disc A arrives.
  disc_.serialNumber = u"2A2A2"_s;
  disc_.artist.clear();
  disc_.album.clear();
  TickUntilIdle();
  EXPECT_EQ(finished_.count(), 1);
  EXPECT_FALSE(lookup_.TitlesRead());
  EXPECT_EQ(disc_.titles[0], u"Track 1"_s);

  // The same while the user is still choosing among matches.
  server_.replies[u"cddb query"_s] = {"211 inexact\r\nrock 1 A / B\r\njazz 2 C / D\r\n.\r\n"};
  Start();
  TickUntilIdle();
  ASSERT_EQ(lookup_.Matches().size(), 2);
  disc_.discId = u"01020304"_s;
  lookup_.Choose(1);
  EXPECT_EQ(finished_.count(), 1);
  EXPECT_TRUE(disc_.album.isEmpty());
  EXPECT_FALSE(server_.received.contains(u"cddb read jazz 2"_s));
}

TEST(CddbTextTest, TokensMatchesAndNames) {
  QString text = u"abc"_s;
  EXPECT_EQ(CddbText::ParseIt(text, u" / "_s), u"abc"_s);
  EXPECT_EQ(text, u"c"_s);  // no delimiter: its length less one cut from the front
  const CddbText::Match match = CddbText::SplitMatchLine(u"rock 1234abcd AC/DC Live/Loud"_s);
  EXPECT_EQ(match.category, u"rock"_s);
  EXPECT_EQ(match.artist, u"AC"_s);
  EXPECT_EQ(match.album, u"DC Live/Loud"_s);
  QString buffer = u"201 hello there\r\nrest"_s;
  EXPECT_EQ(CddbText::ReadReplyCode(buffer), 201);
  EXPECT_EQ(buffer, u"rest"_s);
  EXPECT_EQ(CddbText::CleanUserName(u"  "_s), u"unknown"_s);
  EXPECT_FALSE(CddbText::HasEndMarker(u"210 x\r\nTTITLE0=Vol. 2\r\n"_s));
  EXPECT_TRUE(CddbText::HasEndMarker(u"210 x\r\nTTITLE0=Vol. 2\r\n.\r\n"_s));
}

}  // namespace
}  // namespace audiolume::test
