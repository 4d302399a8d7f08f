#pragma once

#include <QList>
#include <QStringList>
#include <functional>
#include <optional>

#include "support/ReplaceQuestion.h"

namespace audiolume {

class ErrorCheck;
class MessageCatalog;
class Prompter;
class SongFilePresence;
class SongLibrary;
class TrailerTag;
struct SongRecord;

/**
 * Adds song files to the library: the information comes from the trailer tag, else the
 * standard tag (ID3v2, Vorbis comments, …) and the ID3v1 tag, else the file name; WAV files are
 * converted to MP3 on the way; MPEG files that had no trailer get one (except on CD drives), other
 * formats are never written into; a file that no decoder opens is refused; the library is saved
 * once at the end. UI thread only.
 */
class SongAdder {
 public:
  struct Added {
    int row;
    QString path;
  };

  SongAdder(SongLibrary& library, TrailerTag& trailer, SongFilePresence& presence,
            MessageCatalog& catalog, Prompter& prompter, ErrorCheck& check, QString workingDir);

  /** Answers the replace question in advance for the whole run ("Yes to All", "No to All"). */
  void SetAnswers(bool yesToAll, bool noToAll);

  /** Adds the files in order; status gets the progress texts. Returns what was added. */
  QList<Added> AddSongs(const QStringList& files,
                        const std::function<void(const QString&)>& status = {});
  /** Whether the last AddSongs refused a file (missing, not playable, not converted, or
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

 private:
  bool ShouldAdd(const QString& path);
  std::optional<double> ProbeSong(const QString& path);
  int ConvertWav(QString& path);
  void LogConversionError(int code) const;

  SongLibrary& library_;
  TrailerTag& trailer_;
  SongFilePresence& presence_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
  ErrorCheck& check_;
  QString workingDir_;
  int presetToAll_ = 0;
  bool failed_ = false;
  ReplaceQuestion replaceRecord_;  // a song already in the library
  ReplaceQuestion replaceMp3_;     // an MP3 file where a WAV file's copy would go
};

}  // namespace audiolume
