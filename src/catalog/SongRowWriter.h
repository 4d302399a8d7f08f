#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace audiolume {

class Prompter;
class SongAdder;
class SongFilePresence;
class SongLibrary;
class TrailerTag;
struct ArtPicture;
struct ID3Edits;
struct ID3Tag;
struct SongRecord;

namespace platform {
struct StandardTagFields;
}

/**
 * Stores a song's information where each part of it lives. MPEG files keep everything in
 * their trailer tag: the file's own information is read first so that everything else in
 * its tags stays, then the trailer is written back, and the title, artist, album, genre,
 * year, comment and track the edit changed go into the ID3v2 tag other players read
 * (made when there is none), its other frames kept. Files that take no trailer (WAV,
 * FLAC, Ogg, Opus, MP4) take those fields into their own standard tag instead, only those
 * the edit changed, and lyrics and the picture where that tag has a place for them (the
 * Vorbis comments of FLAC, Ogg and Opus), while their notes and biography stay in the
 * song's library row. What cannot be stored (a
 * format with no place for it, a file that cannot be written, notes of a song the library
 * does not hold) is told through the prompter. Files on CD drives are left alone. UI
 * thread only.
 */
class SongRowWriter {
 public:
  static constexpr int kEditableColumns = 8;

  /** id3 is the ID3v1 working copy the trailer's reader fills. */
  SongRowWriter(SongLibrary& library, SongAdder& adder, TrailerTag& trailer, const ID3Tag& id3,
                const SongFilePresence& presence, Prompter& prompter)
      : library_(library),
        adder_(adder),
        trailer_(trailer),
        id3_(id3),
        presence_(presence),
        prompter_(prompter) {}

  /** 0 when written or when nothing needed writing; else the tag writer's error (70 when
   *  a part of the song could not be stored). */
  int Write(int row);

  /** Writes a whole record (and the ID3 year and comment, and the picture, when given)
   *  into a song file by the same rules; the track information's save. Same results as
   *  Write. */
  int WriteSong(const QString& path, SongRecord& record, const ID3Edits& edits,
                const ArtPicture* art = nullptr);

  /** Stores a picture as the song's art, the rest of its tags as they are. Same results. */
  int WriteArt(const QString& path, const ArtPicture& art);

  /** From now on what cannot be stored is gathered rather than told song by song, so that
   *  the songs of an album take one message; TellGathered tells it and ends gathering. */
  void Gather() { gathering_ = true; }
  void TellGathered();

 private:
  /** Writes record over before, the file's information as it was. */
  int Store(const QString& path, const SongRecord& before, SongRecord& record,
            const ID3Edits& edits, const ArtPicture* art);
  int WriteTrailerArt(const QString& path, const ArtPicture& art);
  int WriteId3v2Tag(const QString& path, const platform::StandardTagFields& fields);
  int WriteStandardTag(const QString& path, const SongRecord& before, const SongRecord& record,
                       const ID3Edits& edits, const ArtPicture* art);
  int KeepInRow(const QString& path, const SongRecord& record);
  int NotStored(const QString& path, const QString& why);

  SongLibrary& library_;
  SongAdder& adder_;
  TrailerTag& trailer_;
  const ID3Tag& id3_;
  const SongFilePresence& presence_;
  Prompter& prompter_;
  bool gathering_ = false;
  QMap<QString, QStringList> gathered_;  // the songs for each reason
};

}  // namespace audiolume
