#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>
#include <functional>

namespace audiolume {

/**
 * What an export knows of the portable player's folder, and what it plans from that. The
 * folder also holds its owner's files: "Audiolume.sent" lists the files this program sent
 * there, and only those are ever erased (never a song the library knows); a song never
 * replaces another file of the same name, in any case (it gets " (2)" unless it is the very
 * file sent before), and a song already lying in the folder is not sent again. The player
 * gets "Audiolume.m3u" listing every song this program has on it.
 *
 * This class reads the folder but changes nothing in it: the export deletes and writes the
 * files through the player.
 */
class PlayerFolder {
 public:
  static const QString kPlaylistName;
  static const QString kSentListName;

  /** The name a song gets on the player, and whether it is sent there. */
  struct Naming {
    QString name;
    bool send = true;  // false: it lies in the folder already, and is not sent again
  };

  explicit PlayerFolder(QString folder) : folder_(std::move(folder)) {}

  /** Learns the names in the folder and the songs sent there before. Returns the partial
   *  files an export that was cut short left behind, to delete. */
  QStringList Read();

  /** The songs sent before that erasing takes: all but those at kept paths (canonical)
   *  and those the library knows. */
  QStringList ErasePlan(const QSet<QString>& kept,
                        const std::function<bool(const QString&)>& libraryKnows) const;
  /** The erased songs that are gone from the folder are forgotten. */
  void Erased(const QStringList& names);

  /** Gives a song its name on the player. file: what is sent; source: the song's file,
   *  which names it. A name holds no character FAT refuses and fits with ".part". */
  Naming NameFor(const QString& file, const QString& source);
  /** A song arrived under name; sent: it was copied, rather than lay there already. */
  void Arrived(const QString& name, int seconds, const QString& title, bool sent);

  /** The contents of "Audiolume.m3u": every song this program has in the folder. */
  QByteArray PlaylistText() const;
  /** The contents of "Audiolume.sent": the songs this program sent to the folder. */
  QByteArray SentListText() const;

 private:
  /** A song this program has on the player, as its playlist lists it. */
  struct Song {
    QString name;
    int seconds = -1;
    QString title;
    bool sent = true;  // false: the song already lay in the folder and was not sent
  };

  bool IsSent(const QString& name) const;
  /** The songs that lie in the folder still. */
  QList<Song> Present() const;

  QString folder_;
  QList<Song> songs_;              // the playlist's songs, earlier exports' first
  QHash<QString, QString> files_;  // the files in the folder, by lower-case name
  QSet<QString> names_;            // the names given this time, in lower case
};

}  // namespace audiolume
