#pragma once

#include <QString>
#include <array>

namespace audiolume {

class SongAdder;
class SongRowWriter;

/**
 * The lyrics, notes and artist biography the lyrics window shows: in display mode those
 * of the song playing, kept up to date by the player; in edit mode those of one song file,
 * which an update from the player never overwrites, until they are saved into its tag.
 * UI thread only.
 */
class SongTexts {
 public:
  enum Tab { kLyrics = 1, kNotes = 2, kBios = 3 };
  enum class Mode { Display, Edit };

  SongTexts(SongAdder& reader, SongRowWriter& writer) : reader_(reader), writer_(writer) {}

  Mode CurrentMode() const { return mode_; }
  /** The song file shown or edited; empty when the texts came without one. */
  const QString& Path() const { return path_; }
  /** The song's web addresses, from its tag. */
  const QString& BuyCDURL() const { return buyCdUrl_; }
  const QString& ArtistURL() const { return artistUrl_; }
  const QString& ArtistEmail() const { return artistEmail_; }
  const QString& Text(Tab tab) const { return texts_.at(std::size_t(tab - 1)); }
  void SetText(Tab tab, const QString& text) { texts_.at(std::size_t(tab - 1)) = text; }

  /** Display mode with these texts. */
  void ShowLyrics(const QString& lyrics, const QString& notes, const QString& bios);
  /** The playing song changed: its texts replace the shown ones in display mode only. */
  void SetTrackInfo(const QString& lyrics, const QString& notes, const QString& bios);
  /** SetTrackInfo with the texts a song file's tags hold; false while an edit is open. */
  bool SetSongFile(const QString& path);
  /** Edit mode for a song file, with the texts its tags hold. False when it is missing. */
  bool EditLyrics(const QString& path);
  /** Reads the edited song's texts again (after the track information saved it). */
  void Reload();
  /** Writes the three texts into the edited song's tag and returns to display mode.
   *  Returns the tag writer's result (0 written). */
  int Save();
  /** Leaves an edit without writing; display mode again. */
  void Cancel() { mode_ = Mode::Display; }

 private:
  SongAdder& reader_;
  SongRowWriter& writer_;
  Mode mode_ = Mode::Display;
  void Read(const QString& path);

  QString path_;
  QString buyCdUrl_;
  QString artistUrl_;
  QString artistEmail_;
  std::array<QString, 3> texts_;
};

}  // namespace audiolume
