#pragma once

#include <QWidget>
#include <array>
#include <functional>

class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace audiolume {

class MessageCatalog;
class Prompter;
class SongTexts;

/** What the lyrics window works with. */
struct LyricsContext {
  SongTexts& texts;
  MessageCatalog& catalog;
  Prompter& prompter;
  /** Opens the track information of a song file; a save there comes back through
   *  SongSaved. */
  std::function<void(const QString& path)> editTrackInfo;
  /** Opens a web address in the browser. */
  std::function<void(const QString& address)> openAddress;
  /** Opens the picture chooser for a song file's art. */
  std::function<void(const QString& path)> editArt;
};

/**
 * The lyrics, notes and artist biography of a song on three tabs: read-only for the song
 * playing, or editable for the song edited, what is typed going into it at once, until
 * OK saves the song or Cancel drops the texts typed. Closing the window otherwise asks
 * about texts typed. Either way the window returns to showing the song playing.
 */
class Lyrics : public QWidget {
  Q_OBJECT

 public:
  explicit Lyrics(LyricsContext context);

  /** Display mode with the playing song's texts. */
  void ShowLyrics(const QString& lyrics, const QString& notes, const QString& bios);
  /** The playing song changed; an edit in progress is kept. */
  void SetSongFile(const QString& path);
  /** Edit mode for a song file on a tab (1 lyrics, 2 notes, 3 biography). */
  bool EditLyrics(const QString& path, int tab);
  void ShowTab(int tab);
  /** A song's information was saved elsewhere: its texts are read again when shown. */
  void SongSaved(const QString& path);
  /** The song edited was read anew or its edits dropped: an edit shows it again. */
  void SongReloaded();
  int CurrentTab() const;

  void imgOK_Click();
  void imgCancel_Click();
  void imgOptions_Click();
  void imgBuyCD_Click();
  /** The options pop-up: the artist's e-mail and web site, the buy-CD page, the art. */
  QMenu* OptionsMenu() const { return mnuOptionsPopUp_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildOptions();
  void Refresh();
  void TextTyped(int tab);

  LyricsContext context_;
  QTabBar* tabs_;
  QStackedWidget* stack_;
  std::array<QPlainTextEdit*, 3> boxes_{};
  QPushButton* imgOK_;
  QPushButton* imgCancel_;
  QPushButton* imgOptions_;
  QPushButton* imgBuyCD_;
  QMenu* mnuOptionsPopUp_;
  bool refreshing_ = false;  // the boxes are being filled, not typed into
};

}  // namespace audiolume
