#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include "fakes/FakeHttpServer.h"
#include "fakes/TaggedFiles.h"
#include "fakes/TestFiles.h"
#include "recorder/CdDisc.h"
#include "recorder/MusicBrainzLookup.h"
#include "recorder/RecorderFixture.h"

namespace audiolume::test {
namespace {

const QString kDiscId = u"lwHl8fGzJyLXQR33ug60E8jhf4k-"_s;
const QString kReleasesPath =
    u"/ws/2/discid/lwHl8fGzJyLXQR33ug60E8jhf4k-?inc=recordings+artist-credits&fmt=json"_s;

// The web service's reply for a disc two releases hold: the second disc of a two-disc set,
// whose first disc is another, and a single disc whose tracks take their recordings' titles.
const QByteArray kTwoReleases = R"reply({
  "id": "lwHl8fGzJyLXQR33ug60E8jhf4k-", "offset-count": 3, "sectors": 8884,
  "releases": [
    {"id": "11111111-aaaa-4aaa-8aaa-111111111111", "title": "Both Sides", "status": "Official",
     "date": "1994-05-01", "country": "GB",
     "artist-credit": [{"name": "Ann", "joinphrase": " feat. ", "artist": {"name": "Ann"}},
                       {"name": "Bob", "joinphrase": "", "artist": {"name": "Bob"}}],
     "media": [
       {"position": 1, "format": "CD", "track-count": 2,
        "discs": [{"id": "OtherDisc0000000000000000000-", "sectors": 9000}],
        "tracks": [{"position": 1, "title": "First Side 1"},
                   {"position": 2, "title": "First Side 2"}]},
       {"position": 2, "format": "CD", "track-count": 3,
        "discs": [{"id": "lwHl8fGzJyLXQR33ug60E8jhf4k-", "sectors": 8884}],
        "tracks": [{"position": 1, "title": "Second Side 1", "recording": {"title": "Rec 1"}},
                   {"position": 2, "title": "Café", "recording": {"title": "Rec 2"}},
                   {"position": 3, "title": "Second Side 3", "recording": {"title": "Rec 3"}}]}]},
    {"id": "22222222-bbbb-4bbb-8bbb-222222222222", "title": "Both Sides (Remaster)",
     "date": "2011", "country": "XE",
     "artist-credit": [{"name": "Ann", "joinphrase": ""}],
     "media": [
       {"position": 1, "format": "CD",
        "discs": [{"id": "lwHl8fGzJyLXQR33ug60E8jhf4k-"}],
        "tracks": [{"position": 1, "title": "", "recording": {"title": "Remastered 1"}},
                   {"position": 2, "title": "Remastered 2"},
                   {"position": 3, "title": "Remastered 3"}]}]}
  ]})reply";

class MusicBrainzLookupTest : public RecorderFixture {
 protected:
  MusicBrainzLookupTest() {
    disc_.musicBrainzId = kDiscId;
    disc_.serialNumber = u"15600"_s;
    disc_.titles = {u"Track 1"_s, u"Track 2"_s, u"Track 3"_s};
    settings_.musicBrainzUrl = server_.BaseUrl() + u'/';
    settings_.coverArtUrl = server_.BaseUrl();
    lookup_.SetSettings(settings_);
  }

  /** Starts the lookup and waits until it ends or offers releases. */
  void Run(const std::function<void()>& start) {
    QSignalSpy finished(&lookup_, &MusicBrainzLookup::Finished);
    QSignalSpy offered(&lookup_, &MusicBrainzLookup::MatchesShown);
    start();
    for (int i = 0; i < 500 && finished.isEmpty() && offered.isEmpty(); ++i) QTest::qWait(10);
    offers_ = offered.isEmpty() ? QStringList() : offered.first().first().toStringList();
  }

  /** A port nothing listens on. */
  static QString Unreachable() {
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    return u"http://127.0.0.1:%1"_s.arg(closed.serverPort());
  }

  FakeHttpServer server_;
  CdDisc disc_;
  CddbSettings settings_;
  MusicBrainzLookup lookup_{disc_, log_};
  QStringList offers_;
};

TEST_F(MusicBrainzLookupTest, SeveralReleasesWaitForAChoiceAndASetsSecondDiscGetsItsTitles) {
  const QByteArray cover = SmallPng();
  server_.routes[kReleasesPath] = {200, kTwoReleases, "application/json"};
  server_.routes[u"/release/11111111-aaaa-4aaa-8aaa-111111111111/front-500"_s] = {200, cover,
                                                                                  "image/png"};
  Run([this] { lookup_.Start(); });
  ASSERT_EQ(offers_.size(), 2) << lookup_.FailureText().toStdString();
  EXPECT_TRUE(offers_[0].startsWith(u"Both Sides"_s));
  EXPECT_TRUE(offers_[0].contains(u"Ann feat. Bob"_s));
  EXPECT_TRUE(offers_[1].contains(u"XE 2011"_s));
  EXPECT_TRUE(lookup_.IsChoosing());
  EXPECT_EQ(disc_.album, QString()) << "nothing is written before the choice";
  ASSERT_EQ(server_.received.size(), 1);
  EXPECT_EQ(server_.received[0].target, kReleasesPath);
  EXPECT_TRUE(server_.received[0].headers.value("user-agent").startsWith("Audiolume/3.12"));

  Run([this] { lookup_.Choose(0); });
  EXPECT_FALSE(lookup_.IsBusy());
  EXPECT_TRUE(lookup_.TitlesRead());
  EXPECT_EQ(disc_.artist, u"Ann feat. Bob"_s);
  EXPECT_EQ(disc_.album, u"Both Sides"_s);
  EXPECT_EQ(disc_.year, u"1994"_s);
  EXPECT_EQ(disc_.titles, (QStringList{u"Second Side 1"_s, u"Café"_s, u"Second Side 3"_s}));
  EXPECT_EQ(disc_.releaseId, u"11111111-aaaa-4aaa-8aaa-111111111111"_s);
  EXPECT_EQ(disc_.cover, cover);
}

TEST_F(MusicBrainzLookupTest, ACoverThatIsNoPictureIsLeftOutWithALogLine) {
  QByteArray one = kTwoReleases;
  one.replace("\"2011\"", "\"\"");
  const qsizetype second = one.indexOf("{\"id\": \"22222222");
  one = one.left(one.indexOf("{\"id\": \"11111111")) + one.mid(second);
  server_.routes[kReleasesPath] = {200, one, "application/json"};
  server_.routes[u"/release/22222222-bbbb-4bbb-8bbb-222222222222/front-500"_s] = {
      200, "<html><body>Not a picture</body></html>", "image/jpeg"};
  Run([this] { lookup_.Start(); });
  EXPECT_TRUE(offers_.isEmpty()) << "one release is taken at once";
  EXPECT_TRUE(lookup_.TitlesRead());
  EXPECT_EQ(disc_.album, u"Both Sides (Remaster)"_s);
  EXPECT_EQ(disc_.year, QString());
  EXPECT_EQ(disc_.titles[0], u"Remastered 1"_s) << "the recording's title when the track has none";
  EXPECT_TRUE(disc_.cover.isEmpty());
  const QByteArray log = ReadAll(Path(u"TW_Error.log"_s));
  EXPECT_TRUE(log.contains("22222222-bbbb-4bbb-8bbb-222222222222: what came is no picture"))
      << log.toStdString();
}

TEST_F(MusicBrainzLookupTest, NoCoverAndNoNetworkLeaveTheTitlesOrSayWhy) {
  QByteArray one = kTwoReleases;
  one = one.left(one.indexOf(",\n    {\"id\": \"22222222")) + "]}";
  server_.routes[kReleasesPath] = {200, one, "application/json"};
  settings_.coverArtUrl = Unreachable();
  lookup_.SetSettings(settings_);
  Run([this] { lookup_.Start(); });
  EXPECT_TRUE(lookup_.TitlesRead()) << lookup_.FailureText().toStdString();
  EXPECT_EQ(disc_.album, u"Both Sides"_s);
  EXPECT_TRUE(disc_.cover.isEmpty());

  disc_.album.clear();
  server_.routes.remove(kReleasesPath);  // MusicBrainz's 404: no release holds the disc
  Run([this] { lookup_.Start(); });
  EXPECT_FALSE(lookup_.TitlesRead());
  EXPECT_EQ(lookup_.FailureText(), u"MusicBrainz does not know this disc."_s);

  settings_.musicBrainzUrl = Unreachable();
  lookup_.SetSettings(settings_);
  Run([this] { lookup_.Start(); });
  EXPECT_FALSE(lookup_.TitlesRead());
  EXPECT_TRUE(lookup_.FailureText().startsWith(u"MusicBrainz could not be asked: "_s));
  EXPECT_EQ(disc_.album, QString());
}

TEST_F(MusicBrainzLookupTest, RequestsAreASecondApart) {
  QElapsedTimer clock;
  clock.start();
  Run([this] { lookup_.Start(); });
  ASSERT_EQ(server_.received.size(), 1);
  Run([this] { lookup_.Start(); });
  EXPECT_EQ(server_.received.size(), 2);
  EXPECT_GE(clock.elapsed(), 1000);
}

}  // namespace
}  // namespace audiolume::test
