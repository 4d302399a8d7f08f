#include "cli/TwplFixture.h"
#include "fakes/AccurateRipEntries.h"
#include "fakes/DiscImages.h"
#include "fakes/FakeCddbServer.h"
#include "fakes/FakeHttpServer.h"
#include "fakes/TaggedFiles.h"
#include "fakes/TestFiles.h"
#include "support/IniSettings.h"

#include <sndfile.h>

#include <QFileInfo>

#include "support/IniSettings.h"

namespace audiolume {
namespace {

class CdCommandsTest : public TwplTest {
 protected:
  CdCommandsTest() {
    // A disc image on an odd path, and a drive with no disc.
    const QString folder = dir_.filePath(u"discs & images"_s);
    QDir().mkpath(folder);
    cue_ = test::WriteCueBin(folder, u"Live – 1999"_s, {{3000}, {4500}, {1234}});
    extraEnv_.insert(u"AUDIOLUME_CD_DRIVES"_s,
                     u"D="_s + dir_.filePath(u"none.cue"_s) + u";E="_s + cue_);
    server_.replies[u"cddb hello"_s] = {"200 Hello\r\n"};
    server_.replies[u"proto"_s] = {"201 OK, CDDB protocol level now: 6\r\n"};
  }

  QStringList Lookup(const QStringList& more) {
    return QStringList{u"cd"_s,        u"lookup"_s, u"--server"_s,
                       u"127.0.0.1"_s, u"--port"_s, QString::number(server_.Port())} +
           more;
  }

  QString cue_;
  test::FakeCddbServer server_;
  test::FakeHttpServer accurateRip_;
};

TEST_F(CdCommandsTest, DrivesAndInfoFromTheTitleCache) {
  Result result = Run({u"cd"_s, u"drives"_s});
  EXPECT_EQ(result.out, u"D:\t"_s + dir_.filePath(u"none.cue"_s) + u"\nE:\t"_s + cue_ + u'\n');
  result = Run({u"cd"_s, u"info"_s});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_EQ(result.out,
            u"id\t0B007403\nmusicbrainz\tUDsEwlM3ka8E7NvaMdtZdGLOlgk-"
            u"\nserial\t15600\nlength\t116\ntracks\t3\nartist\t\nalbum\t\n"
            u"1\t150\t0:40\tTrack 1\n2\t3150\t1:00\tTrack 2\n3\t7650\t0:16\tTrack 3\n"_s);
  test::WriteAll(Home() + u"/cdPlayer.ini"_s,
                 "[15600]\nEntryType=1\nartist=Cached\ntitle=Album\nnumtracks=3\n0=A\n1=B\n2=C\n");
  result = Run({u"cd"_s, u"info"_s, u"--drive"_s, u"E:"_s});
  EXPECT_TRUE(result.out.contains(u"artist\tCached\nalbum\tAlbum\n1\t150\t0:40\tA\n"_s));

  extraEnv_.insert(u"AUDIOLUME_CD_DRIVES"_s, u"D="_s + dir_.filePath(u"none.cue"_s));
  result = Run({u"cd"_s, u"info"_s});
  EXPECT_EQ(result.code, 1);
  EXPECT_TRUE(result.out.isEmpty());
  EXPECT_TRUE(result.err.contains(u"Please insert an audio CD into any CD-ROM drive."_s));
}

TEST_F(CdCommandsTest, ADamagedNeroImageIsNamedAndCrashesNothing) {
  // An empty cue chunk: libcdio's reader reads far before its buffer.
  const QString nrg = dir_.filePath(u"broken.nrg"_s);
  test::WriteAll(nrg, test::NrgImage({{750}}, QByteArray("CUES\0\0\0\0", 8)));
  extraEnv_.insert(u"AUDIOLUME_CD_DRIVES"_s, u"D="_s + nrg);
  for (const QStringList& command :
       {QStringList{u"cd"_s, u"info"_s}, Lookup({}), QStringList{u"cd"_s, u"record"_s}}) {
    const Result result = Run(command);
    EXPECT_EQ(result.code, 1) << command.join(u' ').toStdString();
    EXPECT_TRUE(result.err.contains(u"broken.nrg cannot be read: its cue chunk is cut short."_s))
        << result.err.toStdString();
  }
}

TEST_F(CdCommandsTest, ALongTocNamingItsFileRelativelyOpensFromElsewhere) {
  // 50 and 51 minutes: past 99 minutes in all, in a folder that is not the current one.
  const QString folder = dir_.filePath(u"toc image"_s);
  QDir().mkpath(folder);
  const QString toc = test::WriteToc(folder, u"long"_s, {{50 * 4500}, {51 * 4500}});
  extraEnv_.insert(u"AUDIOLUME_CD_DRIVES"_s, u"D="_s + toc);
  const Result result = Run({u"cd"_s, u"info"_s});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  // Starts 0:02 and 50:02 (digit sums 2 + 5), lead-out 101:02 less 0:02 is 6060 seconds;
  // the serial adds the starts packed, and for two tracks the disc's length in frames.
  // Past 99 minutes libdiscid knows no MusicBrainz id for it.
  EXPECT_EQ(result.out,
            u"id\t0717AC02\nmusicbrainz\t\nserial\t38F364\nlength\t6060\ntracks\t2\nartist\t\n"
            u"album\t\n1\t150\t50:00\tTrack 1\n2\t225150\t51:00\tTrack 2\n"_s);
}

TEST_F(CdCommandsTest, LookupStoresTitlesAndListsInexactMatches) {
  server_.replies[u"cddb query"_s] = {
      "211 inexact\r\nrock 0b007403 Band / First\r\n"
      "jazz 0b007404 Other / Second\r\n.\r\n"};
  server_.replies[u"cddb read jazz"_s] = {"210 jazz 0b007404\r\nTTITLE0=Zwei Wörter\r\n.\r\n"};
  Result result = Run(Lookup({u"--user"_s, u"tester"_s}));
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.out,
            u"match\t1\trock\t0b007403\tFirst\tBand\n"
            u"match\t2\tjazz\t0b007404\tSecond\tOther\n"_s);
  result = Run(Lookup({u"--pick"_s, u"2"_s}));
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_TRUE(result.out.contains(u"artist\tOther\nalbum\tSecond\n1\t150\t0:40\tZwei Wörter\n"_s))
      << result.out.toStdString();
  EXPECT_TRUE(test::ReadAll(Home() + u"/cdPlayer.ini"_s).contains("0=Zwei W\xC3\xB6rter\n"));
  EXPECT_TRUE(
      server_.received.contains(u"cddb hello tester localhost TunewrightJukebox v3.12.030"_s));

  // A disc the server does not know leaves no entry that would stop the next lookup.
  QFile::remove(Home() + u"/cdPlayer.ini"_s);
  server_.replies[u"cddb query"_s] = {"202 No match\r\n"};
  result = Run(Lookup({}));
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.err.trimmed(), u"CD Not found in Database!"_s);
  EXPECT_FALSE(test::ReadAll(Home() + u"/cdPlayer.ini"_s).contains("[15600]"));

  server_.replies[u"cddb query"_s] = {"211 Found inexact matches, list follows\r\n.\r\n"};
  result = Run(Lookup({}));
  EXPECT_EQ(result.code, 1);
  EXPECT_TRUE(result.out.isEmpty());
  EXPECT_EQ(result.err.trimmed(), u"CD Not found in Database!"_s);
}

TEST_F(CdCommandsTest, TitlesStayOneLineInTheCacheAndOneFieldInTheTable) {
  server_.replies[u"cddb query"_s] = {"200 rock 0b007403 Band / Album\r\n"};
  server_.replies[u"cddb read"_s] = {
      "210 rock 0b007403\r\nTTITLE0=Carriage\rReturn\r\nTTITLE1=Nul\0Byte\r\n.\r\n"_ba};
  Result result = Run(Lookup({}));
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  const QByteArray cache = test::ReadAll(Home() + u"/cdPlayer.ini"_s);
  EXPECT_TRUE(cache.contains("\n0=Carriage Return\n1=Nul Byte\n")) << cache.toStdString();

  // A title that holds a backslash and a tab is printed with the table's escapes.
  test::WriteAll(Home() + u"/cdPlayer.ini"_s,
                 "[15600]\nEntryType=1\nartist=AC\\DC\ntitle=Album\nnumtracks=3\n0=Tab\there\n"
                 "1=B\n2=C\n");
  result = Run({u"cd"_s, u"info"_s, u"--drive"_s, u"E:"_s});
  EXPECT_TRUE(result.out.contains(u"artist\tAC\\\\DC\n"_s)) << result.out.toStdString();
  EXPECT_TRUE(result.out.contains(u"\n1\t150\t0:40\tTab\\there\n"_s));

  // Titles that cannot be stored are a failure.
  QFile::remove(Home() + u"/cdPlayer.ini"_s);
  QFile::remove(Home() + u"/CdPlayer.tmp"_s);
  ASSERT_TRUE(QDir().mkpath(Home() + u"/CdPlayer.tmp"_s));
  result = Run(Lookup({}));
  EXPECT_EQ(result.code, 1);
  EXPECT_TRUE(result.out.isEmpty());
}

TEST_F(CdCommandsTest, RecordRipsTheTickedTracksOnceTheDriveIsConfigured) {
  const QString to = dir_.filePath(u"new songs"_s);
  Result result = Run({u"cd"_s, u"record"_s, u"--to"_s, to});
  EXPECT_EQ(result.code, 1);
  EXPECT_TRUE(result.err.contains(u"Audiolume is not configured to work with your PC."_s));

  test::WriteAll(Home() + u"/TWCD.ini"_s, "[DRIVE_1]\nCONFIG_OK=YES\n");
  result = Run({u"cd"_s, u"record"_s, u"--tracks"_s, u"1,3"_s, u"--format"_s, u"1"_s, u"--to"_s, to,
                u"--accuraterip"_s, accurateRip_.BaseUrl()});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_EQ(result.out,
            u"1\t0\t"_s + to + u"/01_Track 1.wav\n3\t0\t"_s + to + u"/03_Track 3.wav\n"_s);
  // The disc's entry as whipper names it; the database does not know it.
  ASSERT_EQ(accurateRip_.received.size(), 1);
  EXPECT_EQ(accurateRip_.received[0].target, u"/2/2/b/dBAR-003-00004b22-0000f7cd-0b007403.bin"_s);
  EXPECT_TRUE(test::ReadAll(to + u"/rip.log"_s)
                  .contains("\nAccurateRip: the disc is not in the database\n"));
  SF_INFO info{};
  SNDFILE* wav = sf_open((to + u"/03_Track 3.wav"_s).toUtf8().constData(), SFM_READ, &info);
  ASSERT_NE(wav, nullptr);
  sf_close(wav);
  EXPECT_EQ(info.frames, 1234 * 588) << "the whole track";

  // The songs are there: kept with --no-to-all, nothing recorded.
  result = Run({u"cd"_s, u"record"_s, u"--tracks"_s, u"1"_s, u"--no-to-all"_s});
  EXPECT_EQ(result.code, 0);
  EXPECT_TRUE(result.out.isEmpty());

  // Format 9 is FLAC, of the same audio.
  result = Run({u"cd"_s, u"record"_s, u"--tracks"_s, u"3"_s, u"--format"_s, u"9"_s});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_EQ(result.out, u"3\t0\t"_s + to + u"/03_Track 3.flac\n"_s);
  EXPECT_TRUE(test::DecodedAudio(to + u"/03_Track 3.flac"_s) ==
              test::DecodedAudio(to + u"/03_Track 3.wav"_s));
  EXPECT_EQ(Run({u"cd"_s, u"record"_s, u"--format"_s, u"10"_s}).code, 2);
}

TEST_F(CdCommandsTest, RecordedSongsJoinTheLibraryThere) {
  MakeLibrary();
  test::WriteAll(Home() + u"/TWCD.ini"_s, "[DRIVE_1]\nCONFIG_OK=YES\n");
  const QString to = dir_.filePath(u"new songs"_s);
  const Result result = Run({u"cd"_s, u"record"_s, u"--tracks"_s, u"3"_s, u"--format"_s, u"1"_s,
                             u"--to"_s, to, u"--accuraterip"_s, accurateRip_.BaseUrl()});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_FALSE(QFileInfo::exists(Home() + u"/VeltoDj.dat"_s));
  HomeLibrary home(Home());
  SongLibrary& library = home.library;
  ASSERT_EQ(library.SongCount(), 3);
  EXPECT_EQ(library.SongText(3, SongLibrary::kFilenameColumn), to + u"/03_Track 3.wav"_s);
}

// A rip log of an album recorded in two runs, the second after a failed check.
const QByteArray kTwoRunRipLog =
    "\nAudiolume 3.12 rip log, 2026-01-02 10:00\nDrive E: disc.cue\nFormat: WAV\n"
    "AccurateRip entry: 3/2/1/dBAR-002-00001123-00002a5e-0b007402.bin\n"
    "\nTrack 01  01.wav\n  AccurateRip v1: 0000000A   v2: 0000000B\n  Exit code: 0\n"
    "\nAudiolume 3.12 rip log, 2026-01-02 11:00\nDrive E: disc.cue\nFormat: WAV\n"
    "AccurateRip entry: 3/2/1/dBAR-002-00001123-00002a5e-0b007402.bin\n"
    "AccurateRip: not checked (the database could not be asked: timed out)\n"
    "\nTrack 02  02.wav\n  AccurateRip v1: 0000000C   v2: 0000000D\n"
    "  AccurateRip: not checked (the database could not be asked: timed out)\n  Exit code: 0\n";

// An entry of the rip log's disc, of pressings of two tracks.
QByteArray TwoTrackEntry(const QList<QList<test::PressedTrack>>& pressings) {
  return test::AccurateRipEntry(0x1123, 0x2a5e, 0x0b007402, pressings);
}

TEST_F(CdCommandsTest, VerifyChecksTheAlbumsRipLogAgainAndAgain) {
  const QString album = dir_.filePath(u"Band/Album"_s);
  QDir().mkpath(album);
  test::WriteAll(album + u"/rip.log"_s, kTwoRunRipLog);
  const QString entry = u"/accuraterip/3/2/1/dBAR-002-00001123-00002a5e-0b007402.bin"_s;
  accurateRip_.routes[entry] = {200, TwoTrackEntry({{{2, 0x0A}, {6, 0xEE}}})};
  Result result = Run({u"cd"_s, u"verify"_s, u"Band/Album"_s, u"--accuraterip"_s,
                       accurateRip_.BaseUrl() + u"/accuraterip/"_s});
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.out,
            u"1\taccurately ripped (confidence 2, v1)\n"
            u"2\tnot accurate (the database has confidence 6 for another sum)\n"
            u"AccurateRip: 1 of 2 tracks accurately ripped\n"_s);
  // Both runs' parts have the verdicts, the earlier ones replaced.
  QByteArray log = test::ReadAll(album + u"/rip.log"_s);
  EXPECT_EQ(log.count("AccurateRip: 1 of 2 tracks accurately ripped\n"), 2) << log.toStdString();
  EXPECT_FALSE(log.contains("not checked")) << log.toStdString();
  EXPECT_TRUE(log.contains("v2: 0000000B\n  AccurateRip: accurately ripped (confidence 2, v1)\n"));

  // The database's address from the settings; track 2 now agrees with a pressing's v2.
  accurateRip_.routes[entry] = {200, TwoTrackEntry({{{2, 0x0A}, {6, 0xEE}}, {{0, 0}, {9, 0x0D}}})};
  WriteIniString(Home() + u"/VeltoDj.ini"_s, u"Record"_s, u"AccurateRip URL"_s,
                 accurateRip_.BaseUrl() + u"/accuraterip"_s);
  result = Run({u"cd"_s, u"verify"_s, album});
  EXPECT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_EQ(result.out,
            u"1\taccurately ripped (confidence 2, v1)\n"
            u"2\taccurately ripped (confidence 9, v2)\n"
            u"AccurateRip: all 2 tracks accurately ripped\n"_s);
  log = test::ReadAll(album + u"/rip.log"_s);
  EXPECT_EQ(log.count("  AccurateRip: "), 2) << log.toStdString();
  EXPECT_EQ(log.count("AccurateRip: all 2 tracks accurately ripped\n"), 2) << log.toStdString();

  // A folder without a rip log.
  result = Run({u"cd"_s, u"verify"_s, dir_.path()});
  EXPECT_EQ(result.code, 1);
  EXPECT_TRUE(result.err.contains(u"rip.log"_s)) << result.err.toStdString();
}

// MusicBrainz's reply for the test disc: two releases hold it.
QByteArray TwoReleasesOfTheTestDisc() {
  QByteArray release = R"({"id": "ID", "title": "ALBUM", "date": "DATE", "country": "COUNTRY",
    "artist-credit": [{"name": "Ann", "joinphrase": " & "}, {"name": "Bob"}],
    "media": [{"position": 1, "discs": [{"id": "UDsEwlM3ka8E7NvaMdtZdGLOlgk-"}],
               "tracks": [{"title": "One"}, {"title": "Two\tTabbed"}, {"title": "Three"}]}]})";
  const auto filled = [&release](const QByteArray& id, const QByteArray& album,
                                 const QByteArray& date, const QByteArray& country) {
    return QByteArray(release)
        .replace("\"ID\"", '"' + id + '"')
        .replace("ALBUM", album)
        .replace("DATE", date)
        .replace("COUNTRY", country);
  };
  return "{\"releases\": [" +
         filled("11111111-aaaa-4aaa-8aaa-111111111111", "Both Sides", "1994-05-01", "GB") + ", " +
         filled("22222222-bbbb-4bbb-8bbb-222222222222", "Both Sides", "2011", "XE") + "]}";
}

const QString kTestDiscReleases =
    u"/ws/2/discid/UDsEwlM3ka8E7NvaMdtZdGLOlgk-?inc=recordings+artist-credits&fmt=json"_s;

TEST_F(CdCommandsTest, MusicBrainzLookupListsReleasesAndStoresThePickedOnesTitles) {
  test::FakeHttpServer web;
  web.routes[kTestDiscReleases] = {200, TwoReleasesOfTheTestDisc(), "application/json"};
  ASSERT_EQ(Run({u"cd"_s, u"drives"_s}).code, 0);  // the home and its settings made
  // The cover is asked of the same server, which has none.
  WriteIniString(Home() + u"/VeltoDj.ini"_s, u"CDDB"_s, u"Cover Art URL"_s, web.BaseUrl());
  const QStringList lookup = {u"cd"_s, u"lookup"_s, u"--musicbrainz"_s, u"--server"_s,
                              web.BaseUrl()};
  Result result = Run(lookup);
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(
      result.out,
      u"match\t1\t11111111-aaaa-4aaa-8aaa-111111111111\tBoth Sides\tAnn & Bob\tGB\t1994-05-01\n"
      u"match\t2\t22222222-bbbb-4bbb-8bbb-222222222222\tBoth Sides\tAnn & Bob\tXE\t2011\n"_s);
  EXPECT_FALSE(QFileInfo::exists(Home() + u"/cdPlayer.ini"_s));

  result = Run(lookup + QStringList{u"--pick"_s, u"2"_s});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_TRUE(
      result.out.startsWith(u"id\t0B007403\nmusicbrainz\tUDsEwlM3ka8E7NvaMdtZdGLOlgk-\n"_s));
  EXPECT_TRUE(
      result.out.contains(u"artist\tAnn & Bob\nalbum\tBoth Sides\n1\t150\t0:40\tOne\n"
                          u"2\t3150\t1:00\tTwo\\tTabbed\n"_s))
      << result.out.toStdString();
  EXPECT_TRUE(test::ReadAll(Home() + u"/cdPlayer.ini"_s).contains("\n0=One\n"));
  ASSERT_FALSE(web.received.isEmpty());
  EXPECT_EQ(web.received.last().target,
            u"/release/22222222-bbbb-4bbb-8bbb-222222222222/front-500"_s);

  web.routes.clear();
  result = Run(lookup);
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.err.trimmed(), u"MusicBrainz does not know this disc."_s);
}

TEST_F(CdCommandsTest, RecordingWithAMusicBrainzLookupPutsTheCoverToTheSongs) {
  test::FakeHttpServer web;
  QByteArray one = TwoReleasesOfTheTestDisc();
  one = one.left(one.indexOf(", {\"id\": \"22222222")) + "]}";
  web.routes[kTestDiscReleases] = {200, one, "application/json"};
  web.routes[u"/release/11111111-aaaa-4aaa-8aaa-111111111111/front-500"_s] = {200, test::SmallPng(),
                                                                              "image/png"};
  ASSERT_EQ(Run({u"cd"_s, u"drives"_s}).code, 0);
  const QString settings = Home() + u"/VeltoDj.ini"_s;
  WriteIniString(settings, u"CDDB"_s, u"Lookup"_s, u"MusicBrainz"_s);
  WriteIniString(settings, u"CDDB"_s, u"MusicBrainz URL"_s, web.BaseUrl());
  WriteIniString(settings, u"CDDB"_s, u"Cover Art URL"_s, web.BaseUrl());
  WriteIniString(settings, u"Record"_s, u"AccurateRip URL"_s, web.BaseUrl());
  test::WriteAll(Home() + u"/TWCD.ini"_s, "[DRIVE_1]\nCONFIG_OK=YES\n");
  const QString to = dir_.filePath(u"new songs"_s);
  const Result result = Run({u"cd"_s, u"record"_s, u"--lookup"_s, u"--tracks"_s, u"3"_s,
                             u"--format"_s, u"0"_s, u"--to"_s, to});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  const QString album = to + u"/Both Sides"_s;
  EXPECT_EQ(result.out, u"3\t0\t"_s + album + u"/03_Three.mp3\n"_s);
  // The trailer keeps the cover as the JPEG written beside the song.
  const QByteArray folderJpg = test::ReadAll(album + u"/folder.jpg"_s);
  ASSERT_TRUE(folderJpg.startsWith("\xFF\xD8\xFF"));
  EXPECT_TRUE(test::ReadAll(album + u"/03_Three.mp3"_s).contains(folderJpg));
}

TEST_F(CdCommandsTest, SitesComeFromTheServer) {
  server_.replies[u"sites"_s] = {
      "210 Ok\r\ngnudb.gnudb.org 8880 N000.00 W000.00 Random server\r\n.\r\n"};
  const Result result = Run({u"cddb"_s, u"sites"_s, u"--server"_s, u"127.0.0.1"_s, u"--port"_s,
                             QString::number(server_.Port())});
  ASSERT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_EQ(result.out, u"gnudb.gnudb.org\t8880\tRandom server\n"_s);
}

}  // namespace
}  // namespace audiolume
