#include "catalog/SongTexts.h"

#include <QFileInfo>

#include "catalog/SongAdder.h"
#include "catalog/SongRowWriter.h"
#include "library/SongRecord.h"
#include "library/TrailerTag.h"

namespace audiolume {

void SongTexts::ShowLyrics(const QString& lyrics, const QString& notes, const QString& bios) {
  mode_ = Mode::Display;
  path_.clear();
  buyCdUrl_.clear();
  artistUrl_.clear();
  artistEmail_.clear();
  texts_ = {lyrics, notes, bios};
}

void SongTexts::SetTrackInfo(const QString& lyrics, const QString& notes, const QString& bios) {
  if (mode_ == Mode::Display) texts_ = {lyrics, notes, bios};
}

bool SongTexts::SetSongFile(const QString& path) {
  if (mode_ != Mode::Display) return false;
  Read(path);
  return true;
}

bool SongTexts::EditLyrics(const QString& path) {
  if (!QFileInfo(path).isFile()) return false;
  mode_ = Mode::Edit;
  Read(path);
  return true;
}

void SongTexts::Reload() {
  Read(path_);
}

void SongTexts::Read(const QString& path) {
  path_ = path;
  SongRecord record;
  reader_.ReadSongInformation(path, record);
  texts_ = {record.Lyrics, record.Notes, record.Bios};
  buyCdUrl_ = record.BuyCDURL.trimmed();
  artistUrl_ = record.ArtistURL.trimmed();
  artistEmail_ = record.ArtistEmail.trimmed();
}

// Everything else in the file's tag stays as it is: the song is read again first.
int SongTexts::Save() {
  SongRecord record;
  reader_.ReadSongInformation(path_, record);
  record.Filename = path_;
  record.Lyrics = texts_[0];
  record.Notes = texts_[1];
  record.Bios = texts_[2];
  const int written = writer_.WriteSong(path_, record, {});
  mode_ = Mode::Display;
  return written;
}

}  // namespace audiolume
