#pragma once

#include <QList>
#include <QStringList>
#include <atomic>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "catalog/FolderWalk.h"
#include "library/ID3Tag.h"
#include "library/SongRecord.h"
#include "platform/SongFormat.h"
#include "support/ReplaceQuestion.h"

namespace audiolume {

class ErrorCheck;
class MessageCatalog;
class Prompter;
class SongFilePresence;
class SongLibrary;
class TrailerTag;

/**
 * Adds song files, and the song files of folders and their sub-folders, to the library: the
 * information comes from the trailer tag, else the standard tag (ID3v2, Vorbis comments, …)
 * and the ID3v1 tag, else the file name; WAV files are converted to MP3 on the way; MPEG
 * files that had no trailer get one (except on CD drives), other formats are never written
 * into; a named file that no decoder opens is refused, one found in a folder is counted as
 * another file; the library is saved once at the end, also when the run was cancelled.
 *
 * The library, the presence check and the error check are used only through the owner
 * call, so that a copy made for a thread of its own does its file work there and touches
 * them on the thread that owns them. Questions keep their "to all" answers for the run.
 */
class SongAdder {
 public:
  struct Added {
    int row;
    QString path;
  };

  /** What one run did. */
  struct Report {
    QList<Added> added;
    int otherFiles = 0;  // files found in folders that are not songs
    /** "2,040 songs added, 312 other files skipped". */
    QString Summary() const;
  };

  /** Where a run is: songs looked at of those found, and the folder of the current one. */
  struct Progress {
    int done = 0;
    int total = 0;
    QString folder;
    QString text;  // "Adding NAME" and the like
  };
  using ProgressFunction = std::function<void(const Progress&)>;

  /** Runs a piece of work on the thread that owns the library; by default, at once. */
  using OwnerCall = std::function<void(const std::function<void()>& work)>;

  SongAdder(SongLibrary& library, TrailerTag& trailer, SongFilePresence& presence,
            MessageCatalog& catalog, Prompter& prompter, ErrorCheck& check, QString workingDir);

  /** The same adder with its own tag reader and questioner, for another thread; owner
   *  runs its work with the library on the library's thread. */
  SongAdder(const SongAdder& other, TrailerTag& trailer, Prompter& prompter, OwnerCall owner);

  /** Answers the replace question in advance for the whole run ("Yes to All", "No to All"). */
  void SetAnswers(bool yesToAll, bool noToAll);

  /** Another tag reader, with working copies of its own: a run then reads its songs on two
   *  threads. */
  void SetSecondReader(TrailerTag& reader) { secondReader_ = &reader; }

  /** A run stops before the next song once cancel is set; what was added stays. */
  void SetCancel(const std::atomic_bool* cancel) { cancel_ = cancel; }

  /** Adds the files in order; status gets the progress texts. Returns what was added. */
  QList<Added> AddSongs(const QStringList& files,
                        const std::function<void(const QString&)>& status = {});

  /** Adds the files and the song files of the folders (with their sub-folders when
   *  subFolders is set), in the order FolderWalk finds them. */
  Report AddPaths(const QStringList& paths, bool subFolders, const ProgressFunction& progress = {});
  /** Adds what a walk found; otherFiles are those it counted, for the report. */
  Report AddFound(const QList<FolderWalk::Found>& found, int otherFiles,
                  const ProgressFunction& progress = {});

  /** Whether the last run refused a named file (missing, not playable, not converted, or
   *  past a full library) or could not save the library. A song left out because the
   *  user would not replace its record is no failure. */
  bool Failed() const { return failed_; }

  /** Fills record from the song file's trailer tag, else its standard tag and its ID3v1
   *  tag; the title falls back to the file's name. A song that takes no trailer (FLAC,
   *  Ogg, …) has its notes and biography from its library row.
   *  Returns true when the file has no trailer yet and may take one. */
  bool ReadSongInformation(const QString& path, SongRecord& record);

  /** Whether the file is one that carries our trailer: an MPEG file off the CD drives. */
  bool TakesTrailer(const QString& path) const;

  const SongLibrary& Library() const { return library_; }

  /** "1 song added", "2,040 songs added": the count with thousands marked. */
  static QString Counted(qsizetype count, const QString& one, const QString& many);

 private:
  enum class Step { Next, Stop };
  using RowNotes = std::optional<std::pair<QString, QString>>;  // notes, biography
  // A song found, and whether it goes in: its file is there and the user lets its row be
  // replaced. A song that takes no trailer keeps its notes and biography in its row.
  struct Admission {
    QString path;
    bool inFolder = false;
    bool add = false;
    RowNotes rowNotes;
  };
  // A song read and settled, for the library to take and its trailer to be written.
  struct Reading {
    SongRecord record;
    ID3Tag id3;  // the working copy as the reading left it
    platform::SongFormat format = platform::SongFormat::Unknown;
    bool hadTrailer = false;
    bool writeTrailer = false;
  };

  Step AddRound(const QList<FolderWalk::Found>& round, qsizetype done, qsizetype total,
                bool& dontAsk, Report& report);
  QList<Admission> Admit(const QList<FolderWalk::Found>& round, bool& dontAsk);
  std::optional<Reading> ReadSong(const Admission& song, TrailerTag& reader) const;
  Step Settle(const Admission& song, std::optional<Reading>& read, std::vector<Reading>& readings,
              Report& report);
  Step TakeIn(std::vector<Reading>& readings, Report& report);
  bool ReadInformation(TrailerTag& reader, const QString& path, platform::SongFormat format,
                       const RowNotes& rowNotes, SongRecord& record) const;
  RowNotes NotesOfRow(int row) const;
  bool TakesTrailer(const QString& path, platform::SongFormat format) const;
  bool ShouldReplace(const QString& path);
  static std::optional<double> ProbeSong(const QString& path, platform::SongFormat format,
                                         bool& exact);
  int ConvertWav(QString& path);
  void LogConversionError(int code) const;
  void WriteTrailer(Reading& reading);
  int AskAboutDifference(SongRecord& record);
  void OnOwner(const std::function<void()>& work) const;
  void Tell(const Progress& progress) const;
  bool Cancelled() const { return cancel_ && cancel_->load(); }

  SongLibrary& library_;
  TrailerTag& trailer_;
  TrailerTag* secondReader_ = nullptr;  // the running one's
  SongFilePresence& presence_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
  ErrorCheck& check_;
  QString workingDir_;
  OwnerCall owner_;
  ProgressFunction progress_;  // the running one's
  const std::atomic_bool* cancel_ = nullptr;
  int presetToAll_ = 0;
  bool failed_ = false;
  ReplaceQuestion replaceRecord_;  // a song already in the library
  ReplaceQuestion replaceMp3_;     // an MP3 file where a WAV file's copy would go
  int tagAnswerToAll_ = 0;         // a trailer that disagrees with its ID3 tag
  QStringList cdMountPoints_;      // the running one's: none of their files takes a trailer
};

}  // namespace audiolume
