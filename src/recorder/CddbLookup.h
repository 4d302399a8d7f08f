#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include "recorder/CddbLink.h"
#include "recorder/CddbSettings.h"

namespace audiolume {

struct CdDisc;
class MessageCatalog;

/**
 * The title lookup: asks a CDDB server for the disc's artist, album and track titles and
 * writes them into the disc. A state machine advanced by the 500 ms tick tmrCDDB_Timer()
 * (steps −1 to 9, every wait counted in ticks so that tests drive them) and by replies.
 * Over cddbp it says hello, asks for protocol level 6, queries, reads and quits; over HTTP
 * each command is one request. UI thread only.
 */
class CddbLookup : public QObject {
  Q_OBJECT

 public:
  CddbLookup(CdDisc& disc, MessageCatalog& catalog, QString version, QObject* parent = nullptr);

  void SetSettings(const CddbSettings& settings) { settings_ = settings; }
  const CddbSettings& Settings() const { return settings_; }

  /** Connects to the server and starts the exchange. */
  void OpenConnection();
  /** Ends an exchange at once, as if it had failed quietly. */
  void Cancel();
  /** One tick of the exchange. */
  void tmrCDDB_Timer();
  /** The user's choice among several matches (an index into Matches()). */
  void lstCDDBMatches_dblClick(int index);

  int Step() const { return step_; }
  int Ticks() const { return ticks_; }
  bool IsBusy() const { return step_ >= 0; }
  QTimer& Timer() { return tmrCDDB_; }
  /** The matches offered (several exact ones, or inexact ones), as list lines. */
  const QStringList& Matches() const { return matches_; }
  /** Whether the last exchange filled in the titles. */
  bool TitlesRead() const { return titlesRead_; }
  /** The text of a failed exchange; empty after success or while one runs. */
  const QString& FailureText() const { return failure_; }

  /** The hello command's words after "cddb hello ". */
  QString HelloWords() const;
  QString QueryCommand() const;

 Q_SIGNALS:
  /** The status line's text; empty hides it. */
  void StatusChanged(const QString& text);
  void BusyChanged(bool busy);
  /** Artist, album or track titles of the disc changed. */
  void TitlesChanged();
  /** Several matches wait for the user's choice. */
  void MatchesShown(const QStringList& items);
  /** The exchange is over, one way or another. */
  void Finished();

 private:
  void OnData();
  void OnFailure(const QString& description);
  void SetStatus(int message);
  void Fail(int message);
  /** Ends the exchange at once on a refusal, with the server's reply line. */
  void Refuse(int message, const QString& reply);
  void ReadMatch(const QString& line);
  void OfferMatches();
  void FillTitles();
  void Quit();
  void Idle();
  /** Ends the lookup when the disc in the drive is no longer the one it was asked for. */
  bool DiscChanged();

  CdDisc& disc_;
  MessageCatalog& catalog_;
  QString version_;
  CddbSettings settings_;
  CddbLink link_;
  QTimer tmrCDDB_;
  int step_ = -1;
  int ticks_ = 0;
  bool running_ = false;  // from the connection until the exchange is wound up
  bool protoAsked_ = false;
  bool protoAnswered_ = false;
  bool titlesRead_ = false;
  QString matchLine_;
  QStringList matches_;
  QString failure_;
  QString askedFor_;  // the serial number and identifier of the disc looked up
};

}  // namespace audiolume
