#include "recorder/CddbLookup.h"

#include <QMap>

#include "recorder/CdDisc.h"
#include "recorder/CddbText.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr int kReplyWait = 180;
const QString kLineEnd = u"\r\n"_s;
const QString kItemSeparator = u" \\ "_s;

}  // namespace

CddbLookup::CddbLookup(CdDisc& disc, MessageCatalog& catalog, QString version, QObject* parent)
    : TitleLookup(disc, parent), catalog_(catalog), version_(std::move(version)) {
  tmrCDDB_.setInterval(500);
  connect(&tmrCDDB_, &QTimer::timeout, this, &CddbLookup::tmrCDDB_Timer);
  connect(&link_, &CddbLink::DataArrived, this, &CddbLookup::OnData);
  connect(&link_, &CddbLink::Failed, this, &CddbLookup::OnFailure);
}

QString CddbLookup::HelloWords() const {
  return CddbText::CleanUserName(settings_.user) + u" localhost TunewrightJukebox v"_s + version_;
}

QString CddbLookup::QueryCommand() const {
  QString command = u"cddb query "_s + disc_.discId + u' ' + QString::number(disc_.numberOfTracks);
  for (const CdDisc::TrackInfo& track : disc_.tracks)
    command += u' ' + QString::number(track.startOffset);
  // The last field is the lead-out's address in whole seconds, as freedb's clients send it.
  return command + u' ' + QString::number(disc_.leadout / 75);
}

const QString& CddbLookup::DiscIdentifier() const {
  return disc_.discId;
}

void CddbLookup::Start() {
  matches_.clear();
  matchLine_.clear();
  Begin();
  SetStatus(RC_ConnectingCDDB);
  ticks_ = 0;
  if (settings_.useHttp) {
    // Each request carries the hello and the protocol level; the exchange starts at the query.
    link_.UseHttp(settings_.server, settings_.port, HelloWords());
    protoAsked_ = protoAnswered_ = true;
    step_ = 3;
  } else {
    link_.SetUtf8(false);
    link_.Connect(settings_.server, settings_.port);
    protoAsked_ = protoAnswered_ = false;
    step_ = 0;
  }
  tmrCDDB_.start();
}

void CddbLookup::OnData() {
  QString& buffer = link_.Buffer();
  const QString& command = link_.LastCommand();
  const QString firstLine = buffer.section(kLineEnd, 0, 0);
  QString rest = buffer;
  const int code = CddbText::ReadReplyCode(rest);
  // 4xx and 5xx are the server's refusals: nothing more is coming, so nothing is waited for.
  const bool refused = code >= 400 && code < 600;
  if (command == u"connect") {
    if (step_ != 0) return;
    if (code == 200 || code == 201) {  // a read-write server greets with 200
      step_ = 1;
      ticks_ = 0;
      SetStatus(RC_ReqAuthen);
    } else if (refused) {
      Refuse(RC_CDDBFailed, firstLine);
    }
  } else if (command.startsWith(u"cddb hello"_s)) {
    if (step_ != 2) return;
    if (code == 200 || code == 402) {  // 402: hands were shaken already
      step_ = 3;
      ticks_ = 0;
      SetStatus(RC_SeekInfo);
    } else if (refused) {
      Refuse(RC_CDDBNotAuthen, firstLine);
    }
  } else if (command.startsWith(u"proto"_s)) {
    // Level 6 sends entries in UTF-8; a server that refuses stays at level 1.
    link_.SetUtf8(code == 201);
    protoAnswered_ = true;
  } else if (command.startsWith(u"cddb query"_s)) {
    if (step_ != 4) return;
    // 210 lists several exact matches (protocol level 4 on), 211 inexact ones.
    const bool list = code == 210 || code == 211;
    if (list && !CddbText::HasEndMarker(buffer)) return;  // the list is still coming
    if (code == 200) {
      matchLine_ = firstLine.mid(4);
      step_ = 5;
      SetStatus(RC_FoundInfo);
    } else if (list) {
      step_ = 6;
      SetStatus(RC_FoundInfo);
    } else if (refused) {
      Refuse(RC_CDDBNotResp, firstLine);
    } else {
      Fail(RC_CDDBNotFound);
    }
  } else if (command.startsWith(u"cddb read"_s)) {
    if (step_ != 7) return;
    if (code == 210 && CddbText::HasEndMarker(buffer)) {
      step_ = 8;
      SetStatus(RC_GetInfo);
    } else if (refused) {
      Refuse(RC_CDDBNotReturn, firstLine);
    }
  } else if (command == u"quit") {
    step_ = -1;
  }
}

void CddbLookup::tmrCDDB_Timer() {
  if (DiscChanged()) return;
  switch (step_) {
    case -1: Idle(); return;
    case 0:
      if (ticks_ >= kCddbGreetingTicks) Fail(RC_CDDBFailed);
      break;
    case 1:
      link_.Send(u"cddb hello "_s + HelloWords());
      step_ = 2;
      break;
    case 2:
      if (ticks_ >= kReplyWait) Fail(RC_CDDBNotAuthen);
      break;
    case 3:
      if (!protoAsked_) {
        link_.Send(u"proto 6"_s);
        protoAsked_ = true;
      } else if (protoAnswered_) {
        link_.Send(QueryCommand());
        step_ = 4;
      } else if (ticks_ >= kReplyWait) {
        Fail(RC_CDDBNotResp);
      }
      break;
    case 4:
      if (ticks_ >= kReplyWait) Fail(RC_CDDBNotResp);
      break;
    case 5: ReadMatch(matchLine_); break;
    case 6: OfferMatches(); return;
    case 7:
      if (ticks_ >= kReplyWait) Fail(RC_CDDBNotReturn);
      break;
    case 8:
      FillTitles();
      Quit();
      break;
    case 9:
      if (ticks_ >= kReplyWait) Fail(RC_CDDBUnclean);
      break;
    default: break;
  }
  if (++ticks_ >= kCddbExchangeTicks) Fail(RC_CDDBFailed);
}

void CddbLookup::ReadMatch(const QString& line) {
  const CddbText::Match match = CddbText::SplitMatchLine(line);
  disc_.artist = match.artist;
  disc_.album = match.album;
  Q_EMIT TitlesChanged();
  link_.Send(u"cddb read "_s + match.category + u' ' + match.discId);
  step_ = 7;
}

void CddbLookup::OfferMatches() {
  // The match lines run from after the status line up to the "." line.
  QStringList found;
  const QStringList lines = link_.Buffer().split(kLineEnd);
  for (qsizetype i = 1; i < lines.size() && lines[i].trimmed() != u"."; ++i) {
    if (!lines[i].trimmed().isEmpty()) found.append(lines[i]);
  }
  if (found.isEmpty()) {  // a list of nothing: no match, and no chooser to close
    Fail(RC_CDDBNotFound);
    return;
  }
  if (found.size() == 1) {  // as good as exact
    ReadMatch(found.first());
    return;
  }
  matches_.clear();
  for (const QString& line : std::as_const(found)) {
    const CddbText::Match match = CddbText::SplitMatchLine(line);
    matches_.append(
        CddbText::MatchListLine(match.album, match.artist, {}, match.discId, match.category));
  }
  tmrCDDB_.stop();
  Q_EMIT MatchesShown(matches_);
}

void CddbLookup::Choose(int index) {
  if (!IsChoosing() || index < 0 || index >= matches_.size()) return;
  if (DiscChanged()) return;
  const QStringList parts = matches_[index].split(kItemSeparator);
  disc_.album = parts.value(3);
  disc_.artist = parts.value(4);
  Q_EMIT TitlesChanged();
  link_.Send(u"cddb read "_s + parts.value(2) + u' ' + parts.value(1));
  matches_.clear();
  step_ = 7;
  tmrCDDB_.start();
}

void CddbLookup::FillTitles() {
  // Lines "KEYWORD=value" after the status line; a long value goes on over lines of the
  // same keyword, and escapes may span them, so values are joined before they are read.
  QMap<QString, QString> values;
  const QStringList lines = link_.Buffer().split(kLineEnd);
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const qsizetype equals = lines[i].indexOf(u'=');
    if (equals > 0 && !lines[i].startsWith(u'#'))
      values[lines[i].left(equals)] += lines[i].mid(equals + 1);
  }
  for (auto it = values.cbegin(); it != values.cend(); ++it) {
    if (!it.key().startsWith(u"TTITLE"_s)) continue;
    bool numbered = false;
    const int n = it.key().mid(6).toInt(&numbered);
    if (numbered && n >= 0 && n < disc_.titles.size()) disc_.titles[n] = CddbText::EntryText(*it);
  }
  disc_.year = CddbText::EntryText(values.value(u"DYEAR"_s)).trimmed();
  disc_.genre = CddbText::EntryText(values.value(u"DGENRE"_s)).trimmed();
  SetTitlesRead();
  Q_EMIT TitlesChanged();
}

void CddbLookup::Quit() {
  SetStatus(RC_CloseCDDB);
  if (link_.IsHttp()) {
    step_ = -1;  // nothing stays open between requests
    return;
  }
  step_ = 9;
  if (!link_.IsClosed()) link_.Send(u"quit"_s);
}

void CddbLookup::SetStatus(int message) {
  Q_EMIT StatusChanged(catalog_.GetMsg(message));
}

void CddbLookup::Fail(int message) {
  SetFailure(catalog_.GetMsg(message));
  ticks_ = 0;
  step_ = -1;
}

void CddbLookup::Refuse(int message, const QString& reply) {
  OnFailure(catalog_.GetMsg(message) + u" ("_s + reply.trimmed() + u')');
}

void CddbLookup::OnFailure(const QString& description) {
  if (!IsRunning()) return;
  SetFailure(description);
  Idle();
}

void CddbLookup::Cancel() {
  step_ = -1;
  Idle();
}

void CddbLookup::Idle() {
  if (IsRunning()) End();
}

void CddbLookup::Halt() {
  link_.Close();
  tmrCDDB_.stop();
  step_ = -1;
}

}  // namespace audiolume
