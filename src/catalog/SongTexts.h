#pragma once

#include <QString>
#include <array>

namespace audiolume {

class CurrentSong;
class SongAdder;
struct SongRecord;

/**
 * The lyrics, notes and artist biography the lyrics window shows: in display mode those
 * of the song playing, kept up to date by the player; in edit mode those of the song
 * edited, which the track information edits too, and which an update from the player
 * never overwrites. UI thread only.
 */
class SongTexts {
 public:
  enum Tab { kLyrics = 1, kNotes = 2, kBios = 3 };
  enum class Mode { Display, Edit };

  SongTexts(SongAdder& reader, CurrentSong& song) : reader_(reader), song_(song) {}

  Mode CurrentMode() const { return mode_; }
  /** The song file shown or edited; empty when the texts came without one. */
  const QString& Path() const;
  /** The song's web addresses, from its tag. */
  QString BuyCDURL() const;
  QString ArtistURL() const;
  QString ArtistEmail() const;
  const QString& Text(Tab tab) const;
  /** In edit mode the text goes into the song edited at once. */
  void SetText(Tab tab, const QString& text);
  /** Whether a text of the song edited differs from what was read. */
  bool IsChanged() const;

  /** Display mode with these texts. */
  void ShowLyrics(const QString& lyrics, const QString& notes, const QString& bios);
  /** The playing song changed: its texts replace the shown ones in display mode only. */
  void SetTrackInfo(const QString& lyrics, const QString& notes, const QString& bios);
  /** SetTrackInfo with the texts a song file's tags hold; false while an edit is open. */
  bool SetSongFile(const QString& path);
  /** Edit mode for a song file: it becomes the song edited (CurrentSong::Open). False
   *  when it is missing. */
  bool EditLyrics(const QString& path);
  /** Reads the shown song's texts again (after the track information saved it). */
  void Reload();
  /** Saves the song edited (CurrentSong::Save) and returns to display mode with its
   *  texts. Returns the tag writer's result (0 written). */
  int Save();
  /** Drops the texts typed and returns to display mode. */
  void Cancel();

 private:
  void Read(const QString& path);
  void Show(const QString& path, const SongRecord& record);

  SongAdder& reader_;
  CurrentSong& song_;
  Mode mode_ = Mode::Display;
  // What display mode shows.
  QString path_;
  QString buyCdUrl_;
  QString artistUrl_;
  QString artistEmail_;
  std::array<QString, 3> texts_;
};

}  // namespace audiolume
