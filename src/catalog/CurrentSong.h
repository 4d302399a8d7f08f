#pragma once

#include <QString>

#include "library/SongRecord.h"

namespace audiolume {

class DatabaseCommands;
struct ArtPicture;
class SongAdder;
class SongLibrary;
class SongRowWriter;
struct ID3Edits;
struct ID3Tag;

/**
 * The song being edited, one record that the track information and the lyrics editor
 * read and write together: the song as it was read and as it stands edited. Saving
 * starts again from what the library row and the file hold at that moment and puts only
 * the fields edited since reading over it, so that nothing another window or a play
 * changed meanwhile is lost. UI thread only.
 */
class CurrentSong {
 public:
  /** A song's record with the ID3 year and comment, which the record has no field for. */
  struct Song {
    SongRecord record;
    QString year;
    QString comment;
    int id3Genre = -1;  // the ID3v1 tag's genre number; -1 without one
    bool operator==(const Song&) const = default;
  };

  CurrentSong(SongLibrary& library, SongAdder& reader, const ID3Tag& id3, SongRowWriter& writer,
              DatabaseCommands& database);

  /** Makes path the song edited, read afresh; when it is already the one edited and has
   *  changes, they stay. False when the file does not exist. */
  bool Open(const QString& path);
  const QString& Path() const { return path_; }
  const Song& Loaded() const { return loaded_; }
  Song& Edited() { return edited_; }
  const Song& Edited() const { return edited_; }
  bool IsChanged() const { return edited_ != loaded_; }
  /** Drops the edits. */
  void Revert() { edited_ = loaded_; }

  /**
   * Trims every field and stores the fields edited since reading over what the library
   * row and the file hold now: the song file's tags, the library row and the database.
   * Returns the tag writer's result (0 when written); a file that cannot be written is
   * reported by the writer and the library row is updated all the same.
   */
  int Save(const ArtPicture* art = nullptr);

  /**
   * A song as it stands: its library row as saving writes it (this session's plays
   * included), else what its file holds; the lyrics, notes and biography from the file,
   * else from the row; the ID3 year, comment and genre from the file.
   */
  Song Read(const QString& path) const;
  /** Writes a song into its file (the ID3 year and comment as edits say) and into its
   *  library row when it has one; the database is the caller's to save. Returns the tag
   *  writer's result. */
  int Store(const QString& path, Song& song, const ID3Edits& edits,
            const ArtPicture* art = nullptr);
  /** The writer Store writes through. */
  SongRowWriter& Writer() { return writer_; }

 private:
  SongLibrary& library_;
  SongAdder& reader_;
  const ID3Tag& id3_;
  SongRowWriter& writer_;
  DatabaseCommands& database_;
  QString path_;
  Song loaded_;
  Song edited_;
};

}  // namespace audiolume
