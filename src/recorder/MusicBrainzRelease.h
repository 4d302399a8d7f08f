#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace audiolume {

/**
 * One MusicBrainz release that holds a disc, as the web service's disc id look-up
 * ("/ws/2/discid/ID?inc=recordings+artist-credits&fmt=json") describes it: the titles are
 * those of the medium holding the disc, so that the second disc of a set gets its own.
 * Plain data.
 */
struct MusicBrainzRelease {
  QString id;  // the release's MBID
  QString album;
  QString artist;  // the artist credit with its join phrases ("A feat. B")
  QString country;
  QString date;        // "1994-05-01", "1994" or empty
  int medium = 0;      // the position of the medium holding the disc in the release
  QStringList titles;  // titles[k] is track k + 1 of that medium

  /** The year of the date; empty without one. */
  QString Year() const;

  /** The releases of a reply whose media hold discId, in the reply's order. Nothing when
   *  the reply is no JSON object of that form; error, when given, then says why. */
  static std::optional<QList<MusicBrainzRelease>> FromReply(const QByteArray& json,
                                                            const QString& discId,
                                                            QString* error = nullptr);
};

}  // namespace audiolume
