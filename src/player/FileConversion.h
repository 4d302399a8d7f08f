#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <optional>

#include "platform/FileConverter.h"
#include "player/ConversionQueue.h"
#include "support/ReplaceQuestion.h"

namespace audiolume {

class MessageCatalog;
class Prompter;
class SongFilePresence;

/**
 * A batch of MP3 to WAV or WAV to MP3 conversions: destinations asked about once each
 * (or for all), the space a WAV file needs checked first, failures reported with their
 * texts and logged, and the converting flag set while it runs so that the player waits.
 * UI thread only. Files are converted side by side, one per core, on threads of their own
 * while the event loop goes on; questions, reports and results keep the order of the list.
 * progress hears about the file whose result is awaited, on its converting thread.
 */
class FileConversion {
 public:
  enum class Direction { Mp3ToWav, WavToMp3 };
  struct Result {
    int converted = 0;
    int failed = 0;
    bool cancelled = false;
  };
  /** Free and total bytes of the drive holding a folder. */
  struct DriveSpace {
    qint64 free = 0;
    qint64 total = 0;
  };

  FileConversion(MessageCatalog& catalog, Prompter& prompter, SongFilePresence& presence,
                 QString workingDir);

  bool IsConverting() const { return converting_; }

  /** How many files are converted at once; 0 (the default) means one per core. */
  void SetWorkers(int workers) { workers_ = workers; }

  /** Where free space is learnt; the drive's own figures unless replaced. */
  void SetSpaceProbe(std::function<DriveSpace(const QString& folder)> probe) {
    spaceOf_ = std::move(probe);
  }

  /** Converts files into folder; WAV to MP3 at bitRate (64000 when 0). Reports the count
   *  at the end. progress may cancel a file or the batch. */
  Result ConvertFiles(const QStringList& files, const QString& folder, Direction direction,
                      int bitRate, const platform::ConvertProgress& progress = {});

  /** Asks about an existing destination: 1 Yes, 2 Yes to All, 3 No, 4 No to All. The "to
   *  All" answers hold for the rest of the batch. */
  int PrepareDestination(const QString& destination);

  /** The bytes a WAV copy of an MP3 file needs, with 0.5% of the drive kept free. */
  static qint64 EstimatedWavBytes(const platform::Mp3Info& info, qint64 driveTotal);
  static DriveSpace SpaceOf(const QString& folder);

 private:
  /** One file of a batch: its conversion's ticket, or the code it was refused with. */
  struct Planned {
    qsizetype index = 0;  // in the list of files converted
    QString source;
    QString destination;
    int ticket = 0;
    int code = 0;
    qint64 reserved = 0;  // destination bytes counted against the drive's free space
  };
  struct Batch {
    Direction direction;
    int bitRate;
    const platform::ConvertProgress& progress;
    std::atomic<qsizetype> shown = 0;  // the file whose result is awaited
    std::atomic<int> stop = 0;         // the batch was cancelled from the progress
    Result result = {};
    bool dontAsk = false;
    qint64 reserved = 0;
    // Last, so that it ends (and waits for its jobs) before the state they use.
    ConversionQueue queue;
  };

  QStringList RefuseOtherFormats(const QStringList& files, Direction direction, Result& result);
  static QString Destination(const QString& source, const QString& folder, Direction direction);
  std::optional<Planned> Plan(Batch& batch, qsizetype index, const QString& source,
                              const QString& destination);
  void TakeResult(Batch& batch, const Planned& file, int code);
  void ReportFailure(const QString& source, Direction direction, int code);

  MessageCatalog& catalog_;
  Prompter& prompter_;
  SongFilePresence& presence_;
  QString workingDir_;
  std::function<DriveSpace(const QString&)> spaceOf_ = SpaceOf;
  bool converting_ = false;
  int workers_ = 0;
  ReplaceQuestion replace_;
};

}  // namespace audiolume
