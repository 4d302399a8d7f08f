#pragma once

#include <QList>
#include <QString>
#include <array>

#include "catalog/CurrentSong.h"

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
            DatabaseCommands& database, QString workingDir);

  /** Opens the song (CurrentSong::Open: edits of the same song stay); its picture goes to
   *  "Temp.jpg" in the working directory (as JPEG). False when the file does not exist. */
  bool Load(const QString& path);
  const QString& Path() const { return song_.Path(); }
  Song& Current() { return song_.Edited(); }
  const Song& Current() const { return song_.Edited(); }
  /** Whether anything differs from what was loaded, the picture included. */
  bool IsChanged() const;
  /** Drops the edits, the picture chosen too. */
  void Revert();
  /** "Temp.jpg" while the song has a picture; empty when it has none. */
  QString PicturePath() const;
  /** Takes a picture file to store with the next save: "bmp", "wmf" and "ico" files as
   *  they are, JPEG and PNG pictures as JPEG art through "Temp.jpg". False for a file it
   *  cannot read or another kind. */
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
  void StorePicture(const QByteArray& art, const QString& type);

  CurrentSong& song_;
  SongLibrary& library_;
  TrailerTag& trailer_;
  DatabaseCommands& database_;
  QString workingDir_;
  bool hasPicture_ = false;
  QString newPicture_;  // a picture file chosen since loading
};

}  // namespace audiolume
