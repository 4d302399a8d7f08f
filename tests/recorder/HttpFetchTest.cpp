#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <optional>

#include "fakes/FakeHttpServer.h"
#include "fakes/QtPrinters.h"
#include "recorder/HttpFetch.h"
#include "support/AppVersion.h"

namespace audiolume::test {
namespace {

using namespace Qt::Literals::StringLiterals;

class HttpFetchTest : public ::testing::Test {
 protected:
  HttpFetchTest() {
    QObject::connect(&fetch_, &HttpFetch::Finished,
                     [this](const HttpFetch::Result& result) { results_.append(result); });
  }

  /** Fetches path from the fake server and waits (at most waitMs) for the one result. */
  std::optional<HttpFetch::Result> FetchFromServer(const QString& path, int waitMs = 5000) {
    return Fetch(QUrl(server_.BaseUrl() + path), waitMs);
  }

  std::optional<HttpFetch::Result> Fetch(const QUrl& url, int waitMs = 5000) {
    results_.clear();
    fetch_.Get(url);
    QSignalSpy finished(&fetch_, &HttpFetch::Finished);
    if (results_.isEmpty()) finished.wait(waitMs);
    if (results_.size() != 1) return std::nullopt;
    return results_.first();
  }

  FakeHttpServer server_;
  HttpFetch fetch_;
  QList<HttpFetch::Result> results_;
};

TEST_F(HttpFetchTest, WholeReplyArrivesWithItsTypeAndTheRequestNamesTheProgram) {
  const QByteArray body("\x01\x00\x02binary\xFF", 10);
  server_.routes[u"/1/2/3/entry.bin"_s] = {200, body, "application/octet-stream"};
  const auto result = FetchFromServer(u"/1/2/3/entry.bin"_s);
  ASSERT_TRUE(result);
  EXPECT_TRUE(result->Ok()) << result->error.toStdString();
  EXPECT_EQ(result->status, 200);
  EXPECT_EQ(result->body, body);
  EXPECT_EQ(result->contentType, u"application/octet-stream"_s);
  ASSERT_EQ(server_.received.size(), 1);
  EXPECT_EQ(server_.received[0].target, u"/1/2/3/entry.bin"_s);
  const QByteArray agent = server_.received[0].headers.value("user-agent");
  EXPECT_TRUE(agent.startsWith("Audiolume/")) << agent.toStdString();
  EXPECT_TRUE(agent.contains(kAppVersion.toLatin1())) << agent.toStdString();
}

TEST_F(HttpFetchTest, MissingEntryIsTheServersAnswerAndNoAnswerIsAFailure) {
  const auto missing = FetchFromServer(u"/not/there.bin"_s);
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->outcome, HttpFetch::Outcome::Status);
  EXPECT_EQ(missing->status, 404);

  // A port where nothing listens.
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
  const quint16 port = closed.serverPort();
  closed.close();
  const auto refused = Fetch(QUrl(u"http://127.0.0.1:%1/x.bin"_s.arg(port)));
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->outcome, HttpFetch::Outcome::Failed);
  EXPECT_EQ(refused->status, 0);
  EXPECT_FALSE(refused->error.isEmpty());
}

TEST_F(HttpFetchTest, SilentServerIsGivenUpAtTheTimeLimitWithoutHoldingTheCaller) {
  server_.neverAnswer = true;
  fetch_.SetTimeLimit(400);
  QElapsedTimer clock;
  clock.start();
  fetch_.Get(QUrl(server_.BaseUrl() + u"/slow.bin"_s));
  EXPECT_LT(clock.elapsed(), 200);  // Get only starts the request
  EXPECT_TRUE(fetch_.IsBusy());
  QSignalSpy finished(&fetch_, &HttpFetch::Finished);
  ASSERT_TRUE(finished.wait(5000));
  EXPECT_GE(clock.elapsed(), 350);
  EXPECT_LT(clock.elapsed(), 3000);
  ASSERT_EQ(results_.size(), 1);
  EXPECT_EQ(results_[0].outcome, HttpFetch::Outcome::TimedOut);
  EXPECT_FALSE(fetch_.IsBusy());
  EXPECT_EQ(server_.received.size(), 1);  // the request did reach it
}

TEST_F(HttpFetchTest, BodyPastTheSizeLimitIsRefusedAndAFetchCanBeAbandoned) {
  server_.routes[u"/big.jpg"_s] = {200, QByteArray(100000, 'x'), "image/jpeg"};
  server_.routes[u"/small.jpg"_s] = {200, QByteArray(1000, 'x'), "image/jpeg"};
  fetch_.SetSizeLimit(50000);
  const auto big = FetchFromServer(u"/big.jpg"_s);
  ASSERT_TRUE(big);
  EXPECT_EQ(big->outcome, HttpFetch::Outcome::TooLarge);
  EXPECT_TRUE(big->body.isEmpty());
  const auto small = FetchFromServer(u"/small.jpg"_s);
  ASSERT_TRUE(small);
  EXPECT_TRUE(small->Ok());

  results_.clear();
  fetch_.Get(QUrl(server_.BaseUrl() + u"/small.jpg"_s));
  fetch_.Cancel();
  QSignalSpy finished(&fetch_, &HttpFetch::Finished);
  EXPECT_FALSE(finished.wait(300));
  EXPECT_TRUE(results_.isEmpty());
}

TEST_F(HttpFetchTest, RedirectIsFollowedQueryAndAll) {
  // The Cover Art Archive answers with a redirect to where the picture is kept.
  server_.routes[u"/release/abc/front-500"_s] = {
      307, {}, "text/plain", {{"Location", (server_.BaseUrl() + u"/store/abc.jpg"_s).toLatin1()}}};
  server_.routes[u"/store/abc.jpg"_s] = {200, "JPEG", "image/jpeg"};
  server_.routes[u"/ws/2/discid/X?fmt=json"_s] = {200, "{}", "application/json"};
  const auto cover = FetchFromServer(u"/release/abc/front-500"_s);
  ASSERT_TRUE(cover);
  EXPECT_TRUE(cover->Ok()) << cover->error.toStdString();
  EXPECT_EQ(cover->body, "JPEG");
  EXPECT_EQ(cover->contentType, u"image/jpeg"_s);
  const auto json = FetchFromServer(u"/ws/2/discid/X?fmt=json"_s);
  ASSERT_TRUE(json);
  EXPECT_EQ(json->body, "{}");
}

}  // namespace
}  // namespace audiolume::test
