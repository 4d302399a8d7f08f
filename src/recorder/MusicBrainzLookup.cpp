#include "recorder/MusicBrainzLookup.h"

#include <QImage>

#include "recorder/CdDisc.h"
#include "recorder/CddbText.h"
#include "support/ErrorLog.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

// MusicBrainz asks every program to send at most one request a second.
constexpr qint64 kMusicBrainzSpacingMs = 1000;

QString WithoutClosingSlash(QString url) {
  while (url.endsWith(u'/')) url.chop(1);
  return url;
}

}  // namespace

MusicBrainzLookup::MusicBrainzLookup(CdDisc& disc, const ErrorLog& log, QObject* parent)
    : TitleLookup(disc, parent), log_(log) {
  spacing_.setSingleShot(true);
  connect(&spacing_, &QTimer::timeout, this, &MusicBrainzLookup::Ask);
  connect(&fetch_, &HttpFetch::Finished, this, [this](const HttpFetch::Result& result) {
    if (stage_ == Stage::Asking) {
      OnReply(result);
    } else if (stage_ == Stage::Cover) {
      OnCover(result);
    }
  });
}

QUrl MusicBrainzLookup::ReleasesUrl(const QString& discId) const {
  return QUrl(WithoutClosingSlash(settings_.musicBrainzUrl) + u"/ws/2/discid/"_s + discId +
              u"?inc=recordings+artist-credits&fmt=json"_s);
}

QUrl MusicBrainzLookup::CoverUrl(const QString& releaseId) const {
  return QUrl(WithoutClosingSlash(settings_.coverArtUrl) + u"/release/"_s + releaseId +
              u"/front-500"_s);
}

const QString& MusicBrainzLookup::DiscIdentifier() const {
  return disc_.musicBrainzId;
}

void MusicBrainzLookup::Start() {
  if (IsBusy()) return;
  releases_.clear();
  stage_ = Stage::Waiting;
  Begin();
  if (disc_.musicBrainzId.isEmpty()) {
    Fail(u"The disc's MusicBrainz id could not be worked out from its track table."_s);
    return;
  }
  Q_EMIT StatusChanged(u"Asking MusicBrainz for the disc's titles…"_s);
  const qint64 since = lastRequest_.isValid() ? lastRequest_.elapsed() : kMusicBrainzSpacingMs;
  if (since >= kMusicBrainzSpacingMs) {
    Ask();
  } else {
    spacing_.start(int(kMusicBrainzSpacingMs - since));
  }
}

void MusicBrainzLookup::Ask() {
  if (DiscChanged()) return;
  stage_ = Stage::Asking;
  lastRequest_.start();
  fetch_.Get(ReleasesUrl(disc_.musicBrainzId));
}

void MusicBrainzLookup::OnReply(const HttpFetch::Result& result) {
  if (DiscChanged()) return;
  if (result.status == 404) {
    Fail(u"MusicBrainz does not know this disc."_s);
    return;
  }
  if (!result.Ok()) {
    Fail(u"MusicBrainz could not be asked: "_s + result.error);
    return;
  }
  QString error;
  const auto releases = MusicBrainzRelease::FromReply(result.body, disc_.musicBrainzId, &error);
  if (!releases) {
    Fail(u"MusicBrainz's reply could not be read: "_s + error);
    return;
  }
  releases_ = *releases;
  if (releases_.isEmpty()) {
    Fail(u"MusicBrainz does not know this disc."_s);
  } else if (releases_.size() == 1) {
    Fill(releases_.first());
  } else {
    OfferReleases();
  }
}

void MusicBrainzLookup::OfferReleases() {
  stage_ = Stage::Choosing;
  QStringList items;
  for (const MusicBrainzRelease& release : std::as_const(releases_)) {
    items.append(CddbText::MatchListLine(release.album, release.artist,
                                         release.country + u' ' + release.date, release.id,
                                         release.country));
  }
  Q_EMIT StatusChanged(u"MusicBrainz knows several releases of this disc: choose one."_s);
  Q_EMIT MatchesShown(items);
}

void MusicBrainzLookup::Choose(int index) {
  if (!IsChoosing() || index < 0 || index >= releases_.size() || DiscChanged()) return;
  Fill(releases_[index]);
}

void MusicBrainzLookup::Fill(const MusicBrainzRelease& release) {
  disc_.artist = release.artist;
  disc_.album = release.album;
  disc_.year = release.Year();
  for (qsizetype k = 0; k < release.titles.size() && k < disc_.titles.size(); ++k) {
    disc_.titles[k] = release.titles[k];
  }
  disc_.releaseId = release.id;
  disc_.cover.clear();
  SetTitlesRead();
  Q_EMIT TitlesChanged();
  stage_ = Stage::Cover;
  Q_EMIT StatusChanged(u"Fetching the album's cover…"_s);
  fetch_.Get(CoverUrl(release.id));
}

void MusicBrainzLookup::OnCover(const HttpFetch::Result& result) {
  if (DiscChanged()) return;
  if (!result.Ok()) {
    LogCover(result.status == 404 ? u"the Cover Art Archive has none"_s : result.error);
  } else if (QImage::fromData(result.body).isNull()) {
    LogCover(u"what came is no picture; it is left out"_s);
  } else {
    disc_.cover = result.body;
  }
  End();
}

void MusicBrainzLookup::LogCover(const QString& text) const {
  log_.Append(ErrorLog::Stamp() + u", The front cover of MusicBrainz release "_s + disc_.releaseId +
              u": "_s + text);
}

void MusicBrainzLookup::Fail(const QString& text) {
  SetFailure(text);
  End();
}

void MusicBrainzLookup::Cancel() {
  if (IsBusy()) End();
}

void MusicBrainzLookup::Halt() {
  stage_ = Stage::Idle;
  spacing_.stop();
  fetch_.Cancel();
}

}  // namespace audiolume
