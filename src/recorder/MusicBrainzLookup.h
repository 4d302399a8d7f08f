#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include "recorder/HttpFetch.h"
#include "recorder/MusicBrainzRelease.h"
#include "recorder/TitleLookup.h"

namespace audiolume {

struct CdDisc;
class ErrorLog;

/**
 * The title lookup through MusicBrainz: asks the web service for the releases that hold
 * the disc's MusicBrainz disc id, writes the chosen one's artist, album, year and track
 * titles into the disc (several releases wait for the user's choice, as CDDB's inexact
 * matches do), then fetches that release's front cover from the Cover Art Archive into
 * the disc. Requests to MusicBrainz are at least a second apart, as the service asks. A
 * cover that is missing, unreachable or no picture is left out with a line in the error
 * log; the titles stay. UI thread only.
 */
class MusicBrainzLookup : public TitleLookup {
  Q_OBJECT

 public:
  MusicBrainzLookup(CdDisc& disc, const ErrorLog& log, QObject* parent = nullptr);

  void Start() override;
  void Cancel() override;
  /** The user's choice among the releases offered (an index into Releases()). */
  void Choose(int index) override;
  bool IsBusy() const override { return stage_ != Stage::Idle; }
  bool IsChoosing() const override { return stage_ == Stage::Choosing; }

  /** The releases the last reply offered. */
  const QList<MusicBrainzRelease>& Releases() const { return releases_; }
  /** The request the lookup sends for a disc id. */
  QUrl ReleasesUrl(const QString& discId) const;
  QUrl CoverUrl(const QString& releaseId) const;

 protected:
  const QString& DiscIdentifier() const override;
  void Halt() override;

 private:
  enum class Stage { Idle, Waiting, Asking, Choosing, Cover };

  void Ask();
  void OnReply(const HttpFetch::Result& result);
  void OfferReleases();
  void Fill(const MusicBrainzRelease& release);
  void OnCover(const HttpFetch::Result& result);
  void Fail(const QString& text);
  void LogCover(const QString& text) const;

  const ErrorLog& log_;
  HttpFetch fetch_;
  QTimer spacing_;
  QElapsedTimer lastRequest_;
  Stage stage_ = Stage::Idle;
  QList<MusicBrainzRelease> releases_;
};

}  // namespace audiolume
