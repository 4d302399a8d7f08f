#include "catalog/SongTexts.h"

#include "catalog/CurrentSong.h"
#include "catalog/SongAdder.h"
#include "library/SongRecord.h"

namespace audiolume {

namespace {

QString SongRecord::*TextField(SongTexts::Tab tab) {
  QString SongRecord::*const fields[] = {&SongRecord::Lyrics, &SongRecord::Notes,
                                         &SongRecord::Bios};
  return fields[tab - 1];
}

}  // namespace

const QString& SongTexts::Path() const {
  return mode_ == Mode::Edit ? song_.Path() : path_;
}

QString SongTexts::BuyCDURL() const {
  return mode_ == Mode::Edit ? song_.Edited().record.BuyCDURL.trimmed() : buyCdUrl_;
}

QString SongTexts::ArtistURL() const {
  return mode_ == Mode::Edit ? song_.Edited().record.ArtistURL.trimmed() : artistUrl_;
}

QString SongTexts::ArtistEmail() const {
  return mode_ == Mode::Edit ? song_.Edited().record.ArtistEmail.trimmed() : artistEmail_;
}

const QString& SongTexts::Text(Tab tab) const {
  if (mode_ == Mode::Edit) return song_.Edited().record.*TextField(tab);
  return texts_.at(std::size_t(tab - 1));
}

void SongTexts::SetText(Tab tab, const QString& text) {
  if (mode_ == Mode::Edit) {
    song_.Edited().record.*TextField(tab) = text;
  } else {
    texts_.at(std::size_t(tab - 1)) = text;
  }
}

bool SongTexts::IsChanged() const {
  if (mode_ != Mode::Edit) return false;
  for (const Tab tab : {kLyrics, kNotes, kBios}) {
    if (song_.Edited().record.*TextField(tab) != song_.Loaded().record.*TextField(tab)) {
      return true;
    }
  }
  return false;
}

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
  if (!song_.Open(path)) return false;
  mode_ = Mode::Edit;
  return true;
}

void SongTexts::Reload() {
  Read(path_);
}

void SongTexts::Read(const QString& path) {
  SongRecord record;
  reader_.ReadSongInformation(path, record);
  Show(path, record);
}

void SongTexts::Show(const QString& path, const SongRecord& record) {
  mode_ = Mode::Display;
  path_ = path;
  texts_ = {record.Lyrics, record.Notes, record.Bios};
  buyCdUrl_ = record.BuyCDURL.trimmed();
  artistUrl_ = record.ArtistURL.trimmed();
  artistEmail_ = record.ArtistEmail.trimmed();
}

// Display mode goes on showing the song just edited, as it now stands.
int SongTexts::Save() {
  const int written = song_.Save();
  Show(song_.Path(), song_.Edited().record);
  return written;
}

void SongTexts::Cancel() {
  if (mode_ != Mode::Edit) return;
  for (const Tab tab : {kLyrics, kNotes, kBios}) {
    song_.Edited().record.*TextField(tab) = song_.Loaded().record.*TextField(tab);
  }
  Show(song_.Path(), song_.Edited().record);
}

}  // namespace audiolume
