#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <atomic>

#include "catalog/BackgroundWork.h"
#include "catalog/ThreadPrompter.h"
#include "platform/ReplayGainTags.h"

namespace audiolume {

class TrailerTag;

/**
 * Measures songs' loudness for ReplayGain on a thread of its own and stores the values in
 * their standard tags, album by album: the songs of one album (the same album name in the
 * same folder) get album values measured over all of them; a song without an album gets
 * only its own. The music plays on and the windows stay answering; the jukebox's own tag
 * of an MP3 is mended on the UI thread when its ID3v2 tag grows. Made and used on the UI
 * thread.
 */
class ReplayGainJob : public QObject {
  Q_OBJECT

 public:
  /** A song to scan: its file and its album as the library has it. */
  struct Song {
    QString file;
    QString album;
  };
  /** Songs measured together; album says whether they get album values. */
  struct Group {
    QStringList files;
    bool album = false;
  };
  struct Report {
    int stored = 0;      // files whose tags hold their values
    QStringList failed;  // "file: why" of each file that could not be measured or written
    bool cancelled = false;
  };

  ReplayGainJob(TrailerTag& trailer, Prompter& prompter, QObject* parent = nullptr);
  /** A job still running is cancelled, and the events it waits for are handled until it
   *  ends. */
  ~ReplayGainJob() override;

  /** The songs by album, in the order of their first song; each file once. */
  static QList<Group> Albums(const QList<Song>& songs);

  /** Starts on the songs; Finished follows. */
  void Start(const QList<Song>& songs);
  /** Stops at the next block of audio; values stored so far stay. */
  void Cancel() { cancel_ = true; }
  bool Running() const { return work_.Running(); }

 Q_SIGNALS:
  void Progressed(int done, int total);
  void Finished(const audiolume::ReplayGainJob::Report& report);

 private:
  Report Run(const QList<Group>& groups, int total);
  bool Store(const QString& file, const platform::ReplayGainInfo& values);

  TrailerTag& trailer_;
  ThreadPrompter prompter_;
  std::atomic_bool cancel_ = false;
  BackgroundWork work_{*this};  // last: it waits for the thread before the rest goes
};

}  // namespace audiolume
