#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;

namespace audiolume {

class MessageCatalog;
class Prompter;
class SongAdder;
class TrailerTag;

/** The window that adds song files from disk to the library, with a preview of each. */
class AddSongs : public QDialog {
  Q_OBJECT

 public:
  AddSongs(SongAdder& adder, TrailerTag& trailer, MessageCatalog& catalog, Prompter& prompter,
           QString settingsFile, QString workingDir, QWidget* parent = nullptr);

  void Form_Load();
  void Dir1_Change(const QString& folder);
  void File1_Click();
  void imgSelectAll_Click();
  void imgOK_Click();

 Q_SIGNALS:
  /** Songs were added; the library window redraws its list. */
  void SongsAdded();

 private:
  SongAdder& adder_;
  TrailerTag& trailer_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
  QString settingsFile_;
  QString workingDir_;
  QLineEdit* Dir1_;
  QListWidget* File1_;
  QLabel* lblFilename_;
  QLabel* lblSongName_;
  QLabel* lblArtist_;
  QLabel* lblAlbum_;
  QLabel* lblNoTrailer_;
  QLabel* ImgTest_;
  QLabel* status_;
};

}  // namespace audiolume
