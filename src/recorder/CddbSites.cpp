#include "recorder/CddbSites.h"

#include "recorder/CddbText.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr int kSitesWait = 60;

}  // namespace

CddbSites::CddbSites(MessageCatalog& catalog, QObject* parent)
    : QObject(parent), catalog_(catalog) {
  tmrClock_.setInterval(500);
  connect(&tmrClock_, &QTimer::timeout, this, &CddbSites::tmrClock_Timer);
  connect(&link_, &CddbLink::DataArrived, this, &CddbSites::OnData);
  connect(&link_, &CddbLink::Failed, this, [this](const QString& description) {
    if (step_ >= 0) Fail(description);
  });
}

void CddbSites::Fetch(const QString& host, int port) {
  Q_EMIT StatusChanged(catalog_.GetMsg(RC_CDDBOpenConn));
  sites_.clear();
  link_.Connect(host, port);
  step_ = 0;
  ticks_ = 0;
  tmrClock_.start();
}

void CddbSites::OnData() {
  QString& buffer = link_.Buffer();
  QString rest = buffer;
  const int code = CddbText::ReadReplyCode(rest);
  // 4xx and 5xx are the server's refusals: nothing more is coming.
  if (code >= 400 && code < 600 && (step_ == 0 || step_ == 2)) {
    Fail(catalog_.GetMsg(step_ == 0 ? RC_CDDBFailed : RC_CDDBNoSites) + u" ("_s +
         buffer.section(u"\r\n"_s, 0, 0).trimmed() + u')');
    return;
  }
  if (link_.LastCommand() == u"connect") {
    if (step_ == 0 && (code == 200 || code == 201)) {  // a read-write server greets with 200
      step_ = 1;
      ticks_ = 0;
    }
  } else if (link_.LastCommand() == u"sites" && step_ == 2) {
    Q_EMIT StatusChanged(catalog_.GetMsg(RC_CDDBLoadSites));
    if (CddbText::HasEndMarker(buffer)) {
      step_ = 3;
      ticks_ = 0;
    }
  }
}

void CddbSites::tmrClock_Timer() {
  switch (step_) {
    case -1:
      tmrClock_.stop();
      link_.Close();
      Q_EMIT Finished();
      return;
    case 0:
      if (ticks_ >= kCddbGreetingTicks) Fail(catalog_.GetMsg(RC_CDDBFailed));
      break;
    case 1:
      Q_EMIT StatusChanged(catalog_.GetMsg(RC_CDDBAskingSites));
      link_.Send(u"sites"_s);
      step_ = 2;
      break;
    case 2:
      if (ticks_ >= kSitesWait) Fail(catalog_.GetMsg(RC_CDDBNoSites));
      break;
    case 3:
      Q_EMIT StatusChanged(u"Parsing Sites..."_s);
      Parse();
      link_.Send(u"quit"_s);
      step_ = -1;
      Q_EMIT StatusChanged(QString());
      Q_EMIT SitesReady();
      break;
    default: break;
  }
  if (++ticks_ >= kCddbExchangeTicks) Fail(catalog_.GetMsg(RC_CDDBFailed));
}

void CddbSites::Parse() {
  QString buffer = link_.Buffer();
  CddbText::ParseIt(buffer, u"\r\n"_s);  // the status line
  for (const QString& line : buffer.split(u"\r\n"_s)) {
    if (line.trimmed() == u".") break;
    // host port latitude longitude description…
    const QStringList words = line.simplified().split(u' ');
    if (words.size() < 5) continue;
    sites_.append({words[0], words[1].toInt(), words.mid(4).join(u' ')});
  }
}

void CddbSites::Fail(const QString& text) {
  Q_EMIT StatusChanged(text);
  ticks_ = 0;
  step_ = -1;
}

QString CddbSites::ListLine(const Site& site) {
  return site.host.leftJustified(30, u' ', true) + site.description.leftJustified(30, u' ', true) +
         QString::number(site.port);
}

QString CddbSites::HostOfLine(const QString& line) {
  return line.left(30).trimmed();
}

}  // namespace audiolume
