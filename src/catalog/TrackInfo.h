#pragma once

#include <QList>
#include <QString>
#include <array>
#include <optional>

#include "catalog/ArtPicture.h"
#include "library/SongRecord.h"

namespace audiolume {

class DatabaseCommands;
class SongAdder;
class SongLibrary;
class SongRowWriter;
class TrailerTag;
struct ID3Tag;

/**
 * One song's information as the track information window edits it: loaded through the
 * song reader (trailer, standard tag, ID3v1, file name) with the ID3 year and comment and
 * the picture, saved into the song file, its library row and the database, and copied to
 * the other songs of its album field by field. UI thread only.
 */
class TrackInfo {
 public:
  /** The apply-to-album boxes: the fields an album shares, then the picture. */
  enum Box {
    kAlbum,
    kArtist,
    kGenre,
    kTempo,
    kMood,
    kSituation,
    kPreference,
    kYear,
    kComment,
    kSerialNumber,
    kArtistURL,
    kBuyCDURL,
    kArtistEmail,
    kBios,
    kArt,
    kBoxes
  };
  using Boxes = std::array<bool, kBoxes>;

  /** What the window shows and edits. */
  struct Song {
    SongRecord record;
    QString year;
    QString comment;
    bool operator==(const Song&) const = default;
  };

  /** A song of the album that apply to album rewrote. */
  struct Changed {
    int row;
    QString path;
  };

  TrackInfo(SongLibrary& library, SongAdder& reader, TrailerTag& trailer, const ID3Tag& id3,
            SongRowWriter& writer, DatabaseCommands& database, QString workingDir);

  /** Reads the song with its picture, which this object keeps in memory. False when the
   *  file does not exist. */
  bool Load(const QString& path);
  const QString& Path() const { return path_; }
  Song& Current() { return current_; }
  const Song& Current() const { return current_; }
  /** The genre number of the song's ID3v1 tag; -1 when it has none. */
  int Id3Genre() const { return id3Genre_; }
  /** Whether anything differs from what was loaded, the picture included. */
  bool IsChanged() const;
  /** The song's picture as shown: the one chosen since loading, else its stored art;
   *  empty when it has none. */
  QByteArray Picture() const;
  /** Takes a picture file to store with the next save (and to copy to the album). False
   *  for a file that cannot be read or is no picture. */
  bool SetPicture(const QString& picturePath);

  /**
   * Trims every field, writes the song file's tags, stores the record in the library row
   * and saves the database. Returns the tag writer's result (0 when written); a file that
   * cannot be written is reported by the writer and the library row is updated all the
   * same.
   */
  int Save();

  /**
   * Copies the ticked fields of the saved song to every other song of its album: songs
   * with the same CD serial number when it has one (songs without one join by album
   * name), else songs of the same album name, compared trimmed and without regard to
   * case. Returns the songs changed, in library order.
   */
  QList<Changed> ApplyToAlbum(const Boxes& boxes);

  /** The box states kept in the settings file (section "Tag", "ChkBox0" … "ChkBox14"). */
  static Boxes ReadBoxes(const QString& settingsFile);
  static void WriteBoxes(const QString& settingsFile, const Boxes& boxes);

 private:
  Song ReadSong(const QString& path) const;
  bool OnSameAlbum(int row) const;
  void CopyTicked(const Boxes& boxes, Song& song) const;

  SongLibrary& library_;
  SongAdder& reader_;
  TrailerTag& trailer_;
  const ID3Tag& id3_;
  SongRowWriter& writer_;
  DatabaseCommands& database_;
  QString workingDir_;
  QString path_;
  Song loaded_;
  Song current_;
  std::optional<ArtPicture> picture_;
  bool pictureChanged_ = false;  // chosen since loading or saving
  int id3Genre_ = -1;
};

}  // namespace audiolume
