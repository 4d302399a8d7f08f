// A CDDB lookup answered with 100,000 inexact matches, as a hostile or broken server may
// send: from the query to the chooser's list of matches, over cddbp from a local server,
// beside awk splitting the same reply into the chooser's columns. Targets: the list from
// the whole reply within 3 times of awk (it once took 100 s of the user interface's time),
// the whole exchange with the server in the same thread within 6 times.
//
// Usage: bench_cddb
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include "BenchTiming.h"
#include "fakes/FakeCddbServer.h"
#include "recorder/CdDisc.h"
#include "recorder/CddbLookup.h"
#include "support/CurrentError.h"
#include "support/ErrorLog.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/ScriptedPrompter.h"

using audiolume::bench::Report;
using namespace Qt::Literals::StringLiterals;
using namespace audiolume;

namespace {

constexpr int kMatches = 100000;

QByteArray InexactReply() {
  QByteArray reply = "211 Found inexact matches, list follows (until terminating `.')\r\n";
  for (int i = 0; i < kMatches; ++i) {
    // Short lines, so that the whole list stays within what any disc entry holds (4 MiB).
    reply += "rock " + QByteArray::number(0x0b000000 + i, 16) + " A" + QByteArray::number(i % 977) +
             " / T" + QByteArray::number(i) + "\r\n";
  }
  return reply + ".\r\n";
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QTemporaryDir folder;
  const QByteArray reply = InexactReply();
  test::FakeCddbServer server;
  server.replies[u"cddb hello"_s] = {"200 Hello\r\n"};
  server.replies[u"proto"_s] = {"201 OK, CDDB protocol level now: 6\r\n"};
  server.replies[u"cddb query"_s] = {reply};

  CurrentError error;
  ErrorLog log(folder.filePath(u"TW_Error.log"_s), error);
  ScriptedPrompter prompter;
  MessageCatalog catalog(folder.path(), folder.filePath(u"VeltoDj.ini"_s), log, prompter);
  CdDisc disc;
  disc.discId = u"0B007403"_s;
  disc.numberOfTracks = 3;
  disc.leadout = 8884;
  for (const int start : {150, 3150, 7650}) disc.tracks.append({0, 0, 0, 0, 0, start, 0});
  CddbLookup lookup(disc, catalog, u"1"_s);
  CddbSettings settings;
  settings.server = u"127.0.0.1"_s;
  settings.port = server.Port();
  lookup.SetSettings(settings);
  qsizetype shown = 0;
  QEventLoop loop;
  // The list's own part: from the whole reply in the buffer to the chooser's items.
  QElapsedTimer listing;
  QObject::connect(&lookup, &CddbLookup::StatusChanged, [&](const QString& text) {
    if (text == catalog.GetMsg(RC_FoundInfo)) listing.start();
  });
  QObject::connect(&lookup, &CddbLookup::MatchesShown, &loop, [&](const QStringList& items) {
    shown = items.size();
    loop.quit();
  });
  QObject::connect(&lookup, &CddbLookup::Finished, &loop, &QEventLoop::quit);
  const double whole = bench::Seconds([&] {
    lookup.Start();
    lookup.Timer().setInterval(5);  // the exchange's steps without the half-second ticks
    loop.exec();
  });
  const double ours = double(listing.nsecsElapsed()) / 1e9;
  if (shown != kMatches) {
    std::fprintf(stderr, "the lookup offered %lld matches: %s\n", static_cast<long long>(shown),
                 lookup.FailureText().toUtf8().constData());
    return 1;
  }

  QFile file(folder.filePath(u"reply.txt"_s));
  if (!file.open(QIODevice::WriteOnly) || file.write(reply) != reply.size()) return 1;
  file.close();
  bool ok = false;
  const double awk = bench::Seconds([&] {
    ok = bench::RunTool(
        u"awk"_s,
        {u"NR > 1 && $0 != \".\\r\" { split($0, part, \" / \"); printf \"%-40.39s%-40.39s \\\\ "
         u"%s \\\\ %s\\n\", part[2], part[1], $2, $1 }"_s,
         file.fileName()});
  });
  if (!ok) return 1;
  Report("100,000 matches listed", ours, "awk, the same columns", awk, 3.0);
  // The server shares the thread: the whole exchange includes its sending.
  Report("the whole lookup", whole, "awk, the same columns", awk, 6.0);
  return 0;
}
