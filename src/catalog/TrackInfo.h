#pragma once

#include <QList>
#include <QString>
#include <array>
#include <optional>

#include "catalog/CurrentSong.h"
#include "library/ArtPicture.h"

namespace audiolume {

class DatabaseCommands;
class SongLibrary;
class TrailerTag;

/**
 * One song's information as the track information window edits it: the song edited
 * (shared with the lyrics editor) with its picture, saved into the song file, its
 * library row and the database, and copied to the other songs of its album field by
 * field. UI thread only.
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
  using Song = CurrentSong::Song;

  /** A song of the album that apply to album rewrote. */
  struct Changed {
    int row;
    QString path;
  };

  TrackInfo(CurrentSong& song, SongLibrary& library, TrailerTag& trailer,
            DatabaseCommands& database);

  /** Opens the song (CurrentSong::Open: edits of the same song stay) with its picture,
   *  which this object keeps in memory. False when the file does not exist. */
  bool Load(const QString& path);
  const QString& Path() const { return song_.Path(); }
  Song& Current() { return song_.Edited(); }
  const Song& Current() const { return song_.Edited(); }
  /** Whether anything differs from what was loaded, the picture included. */
  bool IsChanged() const;
  /** Drops the edits, the picture chosen too. */
  void Revert();
  /** The song's picture as shown: the one chosen since loading, else its stored art;
   *  empty when it has none. */
  QByteArray Picture() const;
  /** Takes a picture file to store with the next save (and to copy to the album). False
   *  for a file that cannot be read or is no picture. */
  bool SetPicture(const QString& picturePath);

  /** CurrentSong::Save, and the picture chosen. Returns the tag writer's result. */
  int Save();

  /**
   * Copies the ticked fields of the saved song to every other song of its album: songs
   * with the same CD serial number when it has one (songs without one join by album
   * name), else songs of the same album name, compared trimmed and without regard to
   * case. Each of them keeps what its library row and file hold but the ticked fields.
   * Returns the songs changed, in library order.
   */
  QList<Changed> ApplyToAlbum(const Boxes& boxes);

  /** The box states kept in the settings file (section "Tag", "ChkBox0" … "ChkBox14"). */
  static Boxes ReadBoxes(const QString& settingsFile);
  static void WriteBoxes(const QString& settingsFile, const Boxes& boxes);

 private:
  void ReadPicture();
  bool OnSameAlbum(int row) const;
  void CopyTicked(const Boxes& boxes, Song& song) const;

  CurrentSong& song_;
  SongLibrary& library_;
  TrailerTag& trailer_;
  DatabaseCommands& database_;
  std::optional<ArtPicture> picture_;
  bool pictureChanged_ = false;  // chosen since loading or saving
};

}  // namespace audiolume
