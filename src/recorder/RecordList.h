#pragma once

#include <QList>
#include <QSet>
#include <QString>

namespace audiolume {

struct CdDisc;
struct RecordSettings;
class ReplaceQuestion;

/** One track to record, with the song file it becomes. */
struct RecordItem {
  int track = 0;
  QString title;
  QString artist;
  QString album;
  QString path;
  QString year;  // of the disc, from its CDDB entry; empty when not known
  QString genre;
};

/** How the recorder names its songs and which tracks it records. */
class RecordList {
 public:
  /** The text without control characters, the characters file names cannot hold (and the
   *  period), and the code points 128, 129, 141 to 144, 157 and 158; trimmed. */
  static QString GetValidFileName(const QString& text);

  /** The folder for new songs, with the artist's and the album's sub-folders as the
   *  settings ask (an empty name adds no level). create: make them. Throws FileError. */
  static QString OutputFolder(const RecordSettings& settings, const QString& artist,
                              const QString& album, bool create);
  /** The song file's name without folder and extension, for track (1-based); "Track NN"
   *  when nothing of it is left. */
  static QString FileName(const RecordSettings& settings, int track, const QString& title,
                          const QString& artist, const QString& album);
  /** The song file folder/name + extension, its name cut to fit a file system's 255 bytes
   *  (the ripper's ".part" included), with " (2)", " (3)"... when taken has it already. */
  static QString UniquePath(const QString& folder, const QString& name, const QString& extension,
                            const QSet<QString>& taken);

  /**
   * The ticked tracks of the disc (ticked[k] for track k + 1) with their song files. A
   * track whose file exists is recorded only when the replace question (reset by the
   * caller) says so; otherwise its tick is cleared. Throws FileError when a folder cannot
   * be made.
   */
  static QList<RecordItem> BuildRecordList(const RecordSettings& settings, const CdDisc& disc,
                                           QList<bool>& ticked, ReplaceQuestion& replace);
};

}  // namespace audiolume
