#include "catalog/CurrentSong.h"

#include <QFileInfo>
#include <span>

#include "catalog/SongAdder.h"
#include "catalog/SongRowWriter.h"
#include "library/DatabaseCommands.h"
#include "library/ID3Tag.h"
#include "library/SongLibrary.h"
#include "library/TrailerTag.h"
#include "platform/StandardTags.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

QString SongRecord::*const kShortTexts[] = {
    &SongRecord::Title,      &SongRecord::Album,        &SongRecord::Artist,
    &SongRecord::Genre,      &SongRecord::Tempo,        &SongRecord::Mood,
    &SongRecord::Situation,  &SongRecord::Preference,   &SongRecord::TrackTime,
    &SongRecord::ArtistURL,  &SongRecord::SerialNumber, &SongRecord::BuyCDURL,
    &SongRecord::ArtistEmail};
// These keep their blanks and blank lines.
QString SongRecord::*const kLongTexts[] = {&SongRecord::Lyrics, &SongRecord::Notes,
                                           &SongRecord::Bios};

void TrimAll(CurrentSong::Song& song) {
  for (QString SongRecord::*const field : kShortTexts) {
    song.record.*field = (song.record.*field).trimmed();
  }
  song.year = song.year.trimmed();
  song.comment = song.comment.trimmed();
}

// A field that was edited (after differs from before) goes into the song saved.
template <typename Field>
void TakeIfEdited(const Field& before, const Field& after, Field& into) {
  if (after != before) into = after;
}

void TakeEdits(const CurrentSong::Song& before, const CurrentSong::Song& after,
               CurrentSong::Song& song) {
  for (const auto& fields : {std::span<QString SongRecord::*const>(kShortTexts),
                             std::span<QString SongRecord::*const>(kLongTexts)}) {
    for (QString SongRecord::*const field : fields) {
      TakeIfEdited(before.record.*field, after.record.*field, song.record.*field);
    }
  }
  TakeIfEdited(before.record.LastPlayed, after.record.LastPlayed, song.record.LastPlayed);
  TakeIfEdited(before.record.PlayFreq, after.record.PlayFreq, song.record.PlayFreq);
  TakeIfEdited(before.record.TrackNumber, after.record.TrackNumber, song.record.TrackNumber);
  for (std::size_t i = 0; i < before.record.Reserved.size(); ++i) {
    TakeIfEdited(before.record.Reserved[i], after.record.Reserved[i], song.record.Reserved[i]);
  }
  TakeIfEdited(before.year, after.year, song.year);
  TakeIfEdited(before.comment, after.comment, song.comment);
}

}  // namespace

CurrentSong::CurrentSong(SongLibrary& library, SongAdder& reader, const ID3Tag& id3,
                         SongRowWriter& writer, DatabaseCommands& database)
    : library_(library), reader_(reader), id3_(id3), writer_(writer), database_(database) {}

bool CurrentSong::Open(const QString& path) {
  if (!QFileInfo(path).isFile()) return false;
  if (path == path_ && IsChanged()) return true;
  path_ = path;
  loaded_ = Read(path);
  edited_ = loaded_;
  return true;
}

// The library holds what the file may not (the categories and play time of a FLAC song,
// the plays of this session); the file holds the long texts, which the database does not
// keep: a row has them only once saved in this session, and then the file has the same.
CurrentSong::Song CurrentSong::Read(const QString& path) const {
  Song song;
  SongRecord file;
  reader_.ReadSongInformation(path, file);
  if (id3_.ID3Present) {
    song.year = id3_.ID3Year.trimmed();
    song.comment = id3_.ID3Comment.trimmed();
    song.id3Genre = id3_.ID3Genre;
  } else if (const auto standard = platform::ReadStandardTags(path, false)) {
    if (standard->fields.year > 0) song.year = QString::number(standard->fields.year);
    song.comment = standard->fields.comment;
  }
  const int row = library_.FindSongByFilename(path);
  song.record = row > 0 ? library_.RecordAsSaved(row) : file;
  for (QString SongRecord::*const text : kLongTexts) {
    if (!(file.*text).isEmpty()) song.record.*text = file.*text;
  }
  song.record.Filename = path;
  return song;
}

int CurrentSong::Store(const QString& path, Song& song, const ID3Edits& edits,
                       const ArtPicture* art) {
  song.record.Filename = path;
  const int written = writer_.WriteSong(path, song.record, edits, art);
  if (library_.FindSongByFilename(path) > 0) library_.AddOrReplaceRecord(song.record);
  return written;
}

int CurrentSong::Save(const ArtPicture* art) {
  Song song = Read(path_);
  TakeEdits(loaded_, edited_, song);
  TrimAll(song);
  const auto edit = [](const QString& before, const QString& after) {
    return after != before ? std::optional(after.trimmed()) : std::nullopt;
  };
  const int written = Store(
      path_, song, {edit(loaded_.year, edited_.year), edit(loaded_.comment, edited_.comment)}, art);
  if (library_.FindSongByFilename(path_) > 0) {
    database_.SaveQuietly(u"in GetSongInfoFromUser.Save"_s);
  }
  loaded_ = song;
  edited_ = song;
  return written;
}

}  // namespace audiolume
