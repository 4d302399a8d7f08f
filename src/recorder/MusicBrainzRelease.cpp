#include "recorder/MusicBrainzRelease.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

QString JoinedArtistCredit(const QJsonArray& credit) {
  QString artist;
  for (const QJsonValue& name : credit) {
    const QJsonObject part = name.toObject();
    artist += part.value(u"name"_s).toString() + part.value(u"joinphrase"_s).toString();
  }
  return artist;
}

bool MediumHoldsDisc(const QJsonObject& medium, const QString& discId) {
  for (const QJsonValue& disc : medium.value(u"discs"_s).toArray()) {
    if (disc.toObject().value(u"id"_s).toString() == discId) return true;
  }
  return false;
}

QStringList TrackTitles(const QJsonObject& medium) {
  QStringList titles;
  for (const QJsonValue& value : medium.value(u"tracks"_s).toArray()) {
    const QJsonObject track = value.toObject();
    // A track's own title is what the sleeve prints; the recording's is the fallback.
    QString title = track.value(u"title"_s).toString();
    if (title.isEmpty()) {
      title = track.value(u"recording"_s).toObject().value(u"title"_s).toString();
    }
    titles.append(title);
  }
  return titles;
}

}  // namespace

QString MusicBrainzRelease::Year() const {
  return date.left(4);
}

std::optional<QList<MusicBrainzRelease>> MusicBrainzRelease::FromReply(const QByteArray& json,
                                                                       const QString& discId,
                                                                       QString* error) {
  QJsonParseError parsed;
  const QJsonDocument document = QJsonDocument::fromJson(json, &parsed);
  if (!document.isObject() || !document.object().value(u"releases"_s).isArray()) {
    if (error != nullptr) {
      *error = parsed.error != QJsonParseError::NoError ? parsed.errorString()
                                                        : u"the reply names no releases"_s;
    }
    return std::nullopt;
  }
  QList<MusicBrainzRelease> releases;
  for (const QJsonValue& value : document.object().value(u"releases"_s).toArray()) {
    const QJsonObject release = value.toObject();
    for (const QJsonValue& media : release.value(u"media"_s).toArray()) {
      const QJsonObject medium = media.toObject();
      if (!MediumHoldsDisc(medium, discId)) continue;
      releases.append({release.value(u"id"_s).toString(), release.value(u"title"_s).toString(),
                       JoinedArtistCredit(release.value(u"artist-credit"_s).toArray()),
                       release.value(u"country"_s).toString(), release.value(u"date"_s).toString(),
                       medium.value(u"position"_s).toInt(), TrackTitles(medium)});
      break;  // a set with the same disc twice is still one release
    }
  }
  return releases;
}

}  // namespace audiolume
