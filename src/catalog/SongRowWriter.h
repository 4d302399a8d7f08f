#pragma once

#include <QString>

namespace audiolume {

class SongAdder;
class SongFilePresence;
class SongLibrary;
class TrailerTag;
struct ID3Edits;
struct SongRecord;

/**
 * Writes a library row's editable texts (title to preference) into its song file: the
 * file's own information is read first so that everything else in its tags stays, then
 * the trailer tag is written back. Formats that must not carry trailing data (FLAC, Ogg,
 * Opus, MP4) take title, artist, album and genre into their own standard tag instead,
 * and only when those differ. Files on CD drives are left alone. UI thread only.
 */
class SongRowWriter {
 public:
  static constexpr int kEditableColumns = 8;

  SongRowWriter(const SongLibrary& library, SongAdder& adder, TrailerTag& trailer,
                const SongFilePresence& presence)
      : library_(library), adder_(adder), trailer_(trailer), presence_(presence) {}

  /** 0 when written or when nothing needed writing; else the tag writer's error (70 when
   *  a standard tag could not be written). */
  int Write(int row);

  /** Writes a whole record (and the ID3 year and comment when given) into a song file by
   *  the same rules; the track information's save. Same results as Write. */
  int WriteSong(const QString& path, SongRecord& record, const ID3Edits& edits);

 private:
  int WriteStandardTag(const QString& path, const SongRecord& record, const ID3Edits& edits);

  const SongLibrary& library_;
  SongAdder& adder_;
  TrailerTag& trailer_;
  const SongFilePresence& presence_;
};

}  // namespace audiolume
