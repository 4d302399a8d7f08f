#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "library/PlayListText.h"
#include "library/SongRecord.h"
#include "platform/PortablePlayer.h"
#include "platform/StandardTags.h"
#include "player/ConversionQueue.h"
#include "player/PlayerFolder.h"
#include "player/RioOptions.h"
#include "support/ReplaceQuestion.h"

namespace audiolume {

class MessageCatalog;
class Prompter;
class SongFilePresence;

/**
 * Sends the songs of a playlist to the portable player: the player is checked and maybe
 * erased, each song is looked for, MP3 files above the chosen bit rate are re-encoded
 * into the working directory's "Temp" folder (one per core, ahead of the song being
 * sent), each file is sent while its progress is polled, and the count is reported.
 *
 * The player's folder also holds its owner's files: PlayerFolder plans what is sent there
 * under which name and what erasing takes (and erasing asks first); at the end the player
 * gets the playlist of every song this program has on it.
 *
 * The export runs on the event loop: ExportToRio returns once the first song is under
 * way, the timers and conversions drive the rest, and Finished comes at the end (also
 * for an export that ends at once). Questions go through the prompter. UI thread only.
 */
class RioExport : public QObject {
  Q_OBJECT

 public:
  using OpenPlayer = std::function<std::unique_ptr<platform::PortablePlayer>(const QString&)>;
  struct Result {
    int sent = 0;
    int failed = 0;  // songs that did not arrive, for any reason
  };

  /** What the library tells of song files: whether it holds a song of that path, and a
   *  song's record (its row, else the file's tags). */
  struct Library {
    std::function<bool(const QString&)> knows = [](const QString&) { return false; };
    std::function<SongRecord(const QString&)> record = [](const QString&) { return SongRecord{}; };
  };

  RioExport(MessageCatalog& catalog, Prompter& prompter, SongFilePresence& presence,
            QString workingDir, OpenPlayer openPlayer);
  ~RioExport() override;

  void SetLibrary(Library library) { library_ = std::move(library); }

  /** How many songs are re-encoded at once; 0 (the default) means one per core. */
  void SetWorkers(int workers) { workers_ = workers; }

  void ExportToRio(const QList<PlayListEntry>& songs, const RioOptions& options);
  bool IsRunning() const { return running_; }
  /** The caption of the answer that erases the songs sent earlier. */
  static QString EraseCaption();
  const Result& Outcome() const { return result_; }

  /** The status word's message, if any: class 3 and 4 are told with title; returns the
   *  class. */
  int ReportRioStatus(quint32 status, const QString& title);

  void cmdCancelDownload_Click();
  void cmdCancelAllDownload_Click();
  void tmrRioProgress_Timer();
  void tmrDownloadTimeOut_Timer();
  const QTimer& ProgressTimer() const { return tmrRioProgress_; }
  const QTimer& TimeOutTimer() const { return tmrDownloadTimeOut_; }

 Q_SIGNALS:
  /** The two lines of the window: what is being done, and to which song. */
  void Captions(const QString& heading, const QString& detail);
  /** The song being sent (from 1) of count. */
  void SongNumber(int number, int count);
  /** Percent of the song sent; -1 while no song is being sent. */
  void ProgressChanged(int percent);
  /** A song arrived; path is where it lies on the player. */
  void SongArrived(int number, const QString& path);
  /** The export ended; report is the count told to the user (empty when it never began). */
  void Finished(const QString& report);

 private:
  /** A song of the list made ready for sending. */
  struct Song {
    int number = 0;
    QString title;
    QString artist;
    int seconds = -1;   // its length, -1 when unknown
    QString source;     // the song's file
    QString file;       // what is sent: the song, or its re-encoded copy
    QString name;       // its name on the player, given when it is sent
    QString temporary;  // the re-encoded copy made for this export, deleted once sent
    int ticket = 0;     // its re-encoding while that runs
    QString converting;
    // How far the re-encoding is, in percent; written by the converting thread.
    std::shared_ptr<std::atomic<int>> converted;
  };

  bool Begin();
  bool Ready();
  bool Erase();
  void Advance();
  void FillAhead();
  std::optional<Song> Prepare(const PlayListEntry& entry, int number);
  QString TemporaryName(const QString& file);
  bool TakeConversion(Song& song);
  bool DownloadToRio(Song& song);
  void SendFile(const Song& song);
  void CheckDownload();
  void EndDownload(bool arrived, bool sent = true);
  void Finish();
  void End(const QString& report);
  void WritePlaylistFile();
  static void DeleteTemporary(const Song& song);

  MessageCatalog& catalog_;
  Prompter& prompter_;
  SongFilePresence& presence_;
  QString workingDir_;
  OpenPlayer openPlayer_;
  Library library_;
  int workers_ = 0;
  ReplaceQuestion replace_;
  QTimer tmrRioProgress_;
  QTimer tmrDownloadTimeOut_;

  QList<PlayListEntry> songs_;
  RioOptions options_;
  std::unique_ptr<platform::PortablePlayer> player_;
  std::unique_ptr<ConversionQueue> conversions_;
  bool wasRunning_ = false;
  bool running_ = false;
  bool advancing_ = false;
  bool dontAskMissing_ = false;
  qsizetype next_ = 0;
  std::deque<Song> ahead_;
  std::unique_ptr<PlayerFolder> folder_;
  QSet<QString> temporaries_;  // the names given in "Temp", in lower case
  Result result_;

  // The download of the first song in ahead_.
  bool downloading_ = false;
  bool done_ = false;
  bool cancel_ = false;
  bool cancelAll_ = false;
  bool timedOut_ = false;
  bool inTick_ = false;
  int lastProgress_ = 0;
};

}  // namespace audiolume
