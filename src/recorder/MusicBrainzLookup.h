#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include "recorder/CddbSettings.h"
#include "recorder/HttpFetch.h"
#include "recorder/MusicBrainzRelease.h"

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
class MusicBrainzLookup : public QObject {
  Q_OBJECT

 public:
  MusicBrainzLookup(CdDisc& disc, const ErrorLog& log, QObject* parent = nullptr);

  /** The web addresses come from here. */
  void SetSettings(const CddbSettings& settings) { settings_ = settings; }

  /** Starts the lookup of the disc as it is now. */
  void Start();
  /** Ends the lookup at once; what was written into the disc stays. */
  void Cancel();
  /** The user's choice among the releases offered (an index into Releases()). */
  void Choose(int index);

  bool IsBusy() const { return stage_ != Stage::Idle; }
  /** Whether several releases wait for the user's choice. */
  bool IsChoosing() const { return stage_ == Stage::Choosing; }
  /** The releases the last reply offered. */
  const QList<MusicBrainzRelease>& Releases() const { return releases_; }
  /** Whether the last lookup filled in the titles. */
  bool TitlesRead() const { return titlesRead_; }
  /** Why the last lookup read no titles; empty after success or while one runs. */
  const QString& FailureText() const { return failure_; }
  /** The request the lookup sends for a disc id. */
  QUrl ReleasesUrl(const QString& discId) const;
  QUrl CoverUrl(const QString& releaseId) const;

 Q_SIGNALS:
  /** What the lookup is doing or why it failed, for the status line; empty hides it. */
  void StatusChanged(const QString& text);
  /** True from Start() until the lookup ends (while releases wait for a choice too). */
  void BusyChanged(bool busy);
  /** The disc's artist, album, year or track titles were written. */
  void TitlesChanged();
  /** The releases offered, one list line each, in the order of Releases(). */
  void MatchesShown(const QStringList& items);
  /** The lookup ended: titles read, failed or cancelled. */
  void Finished();

 private:
  enum class Stage { Idle, Waiting, Asking, Choosing, Cover };

  void Ask();
  void OnReply(const HttpFetch::Result& result);
  void OfferReleases();
  void Fill(const MusicBrainzRelease& release);
  void OnCover(const HttpFetch::Result& result);
  void Fail(const QString& text);
  void LogCover(const QString& text) const;
  void End();
  /** True, and the lookup cancelled, when the disc in the drive is no longer the one asked for. */
  bool DiscChanged();

  CdDisc& disc_;
  const ErrorLog& log_;
  CddbSettings settings_;
  HttpFetch fetch_;
  QTimer spacing_;
  QElapsedTimer lastRequest_;
  Stage stage_ = Stage::Idle;
  QString askedFor_;
  QList<MusicBrainzRelease> releases_;
  bool titlesRead_ = false;
  QString failure_;
};

}  // namespace audiolume
