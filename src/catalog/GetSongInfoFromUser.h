#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "catalog/TrackInfo.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace audiolume {

class CategoryLists;
class GenreCatalog;
class MessageCatalog;
class Prompter;

/** What the track information window works with. */
struct TrackInfoContext {
  TrackInfo& info;
  const CategoryLists& categories;
  const GenreCatalog& genres;
  MessageCatalog& catalog;
  Prompter& prompter;
  QString settingsFile;
  /** Selects the song step places away from a song's place in the library grid; its
   *  file, empty when none. */
  std::function<QString(const QString& from, int step)> move;
  /** Opens the lyrics (1), notes (2) or biography (3) of a song for editing. */
  std::function<void(const QString& path, int tab)> editTexts;
  /** Opens a web address in the browser. */
  std::function<void(const QString& address)> openAddress;
  /** The song's row changed: the library grid redraws. */
  std::function<void()> saved;
  /** The song edited was read anew or its edits dropped: the other windows over it show
   *  it again. */
  std::function<void()> reloaded;
};

/**
 * Everything the library and the song's tags hold about one song, editable, with the
 * category drop-down lists, the apply-to-album boxes and the picture; Save writes it all,
 * the arrows and Up, Down, Page Up and Page Down step through the library grid, asking
 * to save first only when something changed.
 */
class GetSongInfoFromUser : public QWidget {
  Q_OBJECT

 public:
  /** The text fields, in the order of the window. */
  enum Text {
    kTitle,
    kAlbum,
    kArtist,
    kPlayTime,
    kLastPlayed,
    kFrequency,
    kFilename,
    kSerialNumber,
    kTrackNumber,
    kArtistURL,
    kBuyCDURL,
    kArtistEmail,
    kYear,
    kComment,
    kTexts
  };

  explicit GetSongInfoFromUser(TrackInfoContext context);

  /** Shows a song, asking first to save the edits of another one shown; the song shown
   *  stays as it is. False when its file is missing. */
  bool EditTrackInfo(const QString& path);
  /** Whether the fields differ from what was loaded. */
  bool IsChanged();

  void imgOK_Click();
  void imgCancel_Click();
  /** Moves step songs through the library grid (-1 up, +1 down, ±10 a page). */
  void Move(int step);
  void txtTrackInfo_DblClick(int index);
  /** Chooses a picture file as the song's art, shown now and stored on Save. */
  void imgEditArt_Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* BuildFields();
  QWidget* BuildBoxes();
  void Fill();
  void TakeFields();
  bool AskToSave();
  void Save();
  bool Shows() const;
  TrackInfo::Boxes TickedBoxes() const;
  void ShowPicture();

  TrackInfoContext context_;
  std::array<QLineEdit*, kTexts> txtTrackInfo_{};
  std::array<QComboBox*, 5> cmbDropDown_{};
  std::array<QCheckBox*, TrackInfo::kBoxes> chkApplyToAlbum_{};
  QLabel* imgArt_ = nullptr;
  QLabel* lblID3Genre_ = nullptr;
  bool cancelled_ = false;
  QString shown_;  // the song the fields were filled from
};

}  // namespace audiolume
