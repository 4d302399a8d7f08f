#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

namespace audiolume {

class MessageCatalog;
class Prompter;
class TrailerTag;
struct ArtPicture;

/**
 * An album's front cover put to its recorded songs: as each song's art (in the trailer of
 * an MP3 file, as the front cover of a FLAC or Ogg file's own tag; a WAV file has no place
 * for one) and as "folder.jpg" beside them, where other players look for it. A folder.jpg
 * already there is replaced only when the user says so, unless it holds the same picture;
 * each folder is asked about once a recording. UI thread only.
 */
class AlbumCover {
 public:
  AlbumCover(TrailerTag& trailer, MessageCatalog& catalog, Prompter& prompter);

  /** A new recording: folders are looked at afresh. */
  void Reset() { folders_.clear(); }
  /** Puts cover, a picture's bytes, into the song and beside it. What could not be stored,
   *  for the user; empty when all went well. */
  QString Store(const QString& songPath, const QByteArray& cover);

 private:
  bool PutIntoSong(const QString& path, const ArtPicture& picture);
  QString PutBeside(const QString& folder, const ArtPicture& picture);
  bool MayReplace(const QString& path, const QByteArray& jpeg);

  TrailerTag& trailer_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
  QSet<QString> folders_;  // the folder.jpg files this recording has dealt with
};

}  // namespace audiolume
