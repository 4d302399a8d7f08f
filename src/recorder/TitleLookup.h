#pragma once

#include <QObject>
#include <QStringList>

#include "recorder/CddbSettings.h"

namespace audiolume {

struct CdDisc;

/**
 * What the title lookups (a CDDB server, MusicBrainz) have in common, so that the recorder
 * window and twpl drive either one alike: a lookup starts, may offer several matches for
 * the user's choice, writes the titles it reads into the disc and ends, read, failed or
 * cancelled. A lookup whose disc leaves the drive before the answer comes cancels itself,
 * so that no disc gets another's titles. UI thread only.
 */
class TitleLookup : public QObject {
  Q_OBJECT

 public:
  /** The server's and the web service's addresses come from here. */
  void SetSettings(const CddbSettings& settings) { settings_ = settings; }
  const CddbSettings& Settings() const { return settings_; }

  /** Starts the lookup of the disc as it is now. */
  virtual void Start() = 0;
  /** Ends the lookup at once; what was written into the disc stays. */
  virtual void Cancel() = 0;
  /** The user's choice among the matches offered (an index into MatchesShown's items). */
  virtual void Choose(int index) = 0;
  /** True from Start() until the lookup ends (while matches wait for a choice too). */
  virtual bool IsBusy() const = 0;
  /** Whether several matches wait for the user's choice. */
  virtual bool IsChoosing() const = 0;

  /** Whether the last lookup filled in the titles. */
  bool TitlesRead() const { return titlesRead_; }
  /** Why the last lookup read no titles; empty after success or while one runs. */
  const QString& FailureText() const { return failure_; }

 Q_SIGNALS:
  /** What the lookup is doing or why it failed, for the status line; empty hides it. */
  void StatusChanged(const QString& text);
  void BusyChanged(bool busy);
  /** The disc's artist, album, year or track titles were written. */
  void TitlesChanged();
  /** Several matches wait for the user's choice, one list line each. */
  void MatchesShown(const QStringList& items);
  /** The lookup ended: titles read, failed or cancelled. */
  void Finished();

 protected:
  TitleLookup(CdDisc& disc, QObject* parent);

  /** The identifier of the disc the lookup asks about, as the service knows discs. */
  virtual const QString& DiscIdentifier() const = 0;
  /** Stops whatever the lookup waits for: connections, requests, timers. */
  virtual void Halt() = 0;

  /** The lookup runs: the last one's result is forgotten and the disc asked for noted. */
  void Begin();
  /** The lookup ends, halted at once; a failure stays on the status line, success clears it. */
  void End();
  /** The lookup failed with text, which goes to the status line. */
  void SetFailure(const QString& text);
  void SetTitlesRead() { titlesRead_ = true; }
  /** Whether the lookup runs, from Begin() until End(). */
  bool IsRunning() const { return running_; }
  /** True, and the lookup cancelled, when the disc in the drive is no longer the one asked
   *  for: the answer belongs to the disc that went. */
  bool DiscChanged();

  CdDisc& disc_;
  CddbSettings settings_;

 private:
  QString DiscKey() const;

  bool running_ = false;
  bool titlesRead_ = false;
  QString failure_;
  QString askedFor_;
};

}  // namespace audiolume
