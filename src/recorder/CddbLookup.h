#pragma once

#include <QTimer>

#include "recorder/CddbLink.h"
#include "recorder/TitleLookup.h"

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
class CddbLookup : public TitleLookup {
  Q_OBJECT

 public:
  CddbLookup(CdDisc& disc, MessageCatalog& catalog, QString version, QObject* parent = nullptr);

  /** Connects to the server and starts the exchange. */
  void Start() override;
  /** Ends an exchange at once, as if it had failed quietly. */
  void Cancel() override;
  /** The user's choice among several matches (an index into Matches()). */
  void Choose(int index) override;
  bool IsBusy() const override { return step_ >= 0; }
  bool IsChoosing() const override { return step_ == 6 && !matches_.isEmpty(); }
  /** One tick of the exchange. */
  void tmrCDDB_Timer();

  int Step() const { return step_; }
  int Ticks() const { return ticks_; }
  QTimer& Timer() { return tmrCDDB_; }
  /** The matches offered (several exact ones, or inexact ones), as list lines. */
  const QStringList& Matches() const { return matches_; }

  /** The hello command's words after "cddb hello ". */
  QString HelloWords() const;
  QString QueryCommand() const;

 protected:
  const QString& DiscIdentifier() const override;
  void Halt() override;

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
  /** Winds the exchange up, once, after its last step. */
  void Idle();

  MessageCatalog& catalog_;
  QString version_;
  CddbLink link_;
  QTimer tmrCDDB_;
  int step_ = -1;
  int ticks_ = 0;
  bool protoAsked_ = false;
  bool protoAnswered_ = false;
  QString matchLine_;
  QStringList matches_;
};

}  // namespace audiolume
