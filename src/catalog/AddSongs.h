#pragma once

#include <QDialog>

#include "catalog/FolderWalk.h"
#include "catalog/SongAdder.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace audiolume {

class ErrorLog;
class GenreCatalog;
class MessageCatalog;
class Prompter;
class SongAddJob;
class TrailerTag;

/**
 * The window that adds song files from disk to the library, with a preview of each: a
 * folder with its sub-folders, or folders and files dropped from a file manager. The adding
 * runs on a thread of its own with a progress bar; Cancel keeps what was added so far.
 */
class AddSongs : public QDialog {
  Q_OBJECT

 public:
  AddSongs(SongAdder& adder, TrailerTag& trailer, const GenreCatalog& genres, const ErrorLog& log,
           MessageCatalog& catalog, Prompter& prompter, QString settingsFile, QString workingDir,
           QWidget* parent = nullptr);
  ~AddSongs() override;

  void Form_Load();
  void Dir1_Change(const QString& folder);
  void File1_Click();
  void imgSelectAll_Click();
  void imgOK_Click();
  /** Lists the song files of dropped folders and the dropped song files, after those
   *  listed already. */
  void AddDropped(const QStringList& paths);
  /** While songs are being added, stops before the next one; else closes the window. */
  void reject() override;

 Q_SIGNALS:
  /** Songs were added; the library window redraws its list. */
  void SongsAdded();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void ListFound(const QList<FolderWalk::Found>& found);
  void ShowCount();
  void ShowProgress(const SongAdder::Progress& progress);
  void Done(const SongAdder::Report& report);

  TrailerTag& trailer_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
  QString settingsFile_;
  QString workingDir_;
  SongAddJob* job_;
  QLineEdit* Dir1_;
  QCheckBox* subFolders_;
  QListWidget* File1_;
  QLabel* count_;
  QLabel* lblFilename_;
  QLabel* lblSongName_;
  QLabel* lblArtist_;
  QLabel* lblAlbum_;
  QLabel* lblNoTrailer_;
  QLabel* ImgTest_;
  QLabel* status_;
  QProgressBar* progress_;
  QPushButton* browse_;
  QPushButton* imgOK_;
  QPushButton* imgCancel_;
  int otherFiles_ = 0;  // files of the listed folders that are not songs
};

}  // namespace audiolume
