#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include "recorder/CddbLink.h"

namespace audiolume {

class MessageCatalog;

/**
 * Fetches the list of public CDDB sites with the "sites" command, for the preferences
 * window: connect, wait for the greeting, ask, collect up to the "." line, parse, quit.
 * Advanced by the 500 ms tick tmrClock_Timer(). UI thread only.
 */
class CddbSites : public QObject {
  Q_OBJECT

 public:
  /** A site of the list. */
  struct Site {
    QString host;
    int port = 0;
    QString description;
  };

  explicit CddbSites(MessageCatalog& catalog, QObject* parent = nullptr);

  void Fetch(const QString& host, int port);
  void tmrClock_Timer();
  int Step() const { return step_; }
  QTimer& Timer() { return tmrClock_; }
  const QList<Site>& Sites() const { return sites_; }

  /** A site as one line of the list: host and description padded to 30 characters. */
  static QString ListLine(const Site& site);
  /** The host of a list line: its first 30 characters, trimmed. */
  static QString HostOfLine(const QString& line);

 Q_SIGNALS:
  void StatusChanged(const QString& text);
  /** The list arrived (possibly empty). */
  void SitesReady();
  /** The exchange is over. */
  void Finished();

 private:
  void OnData();
  void Fail(const QString& text);
  void Parse();

  MessageCatalog& catalog_;
  CddbLink link_;
  QTimer tmrClock_;
  int step_ = -1;
  int ticks_ = 0;
  QList<Site> sites_;
};

}  // namespace audiolume
