#pragma once

#include <QList>
#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QStackedWidget;

namespace audiolume {

class MessageCatalog;
class Prompter;
class RecordDisc;
class RecordJob;
class TitleLookup;
struct CddbSettings;

/** What the recorder window works with. */
struct RecordFrmContext {
  RecordDisc& disc;
  /** The lookups at a CDDB server and at MusicBrainz. */
  TitleLookup& cddb;
  TitleLookup& musicBrainz;
  RecordJob& job;
  MessageCatalog& catalog;
  Prompter& prompter;
  QString settingsFile;
  QString appDir;
  /** The CDDB preferences, modal; false when the user cancelled. */
  std::function<bool()> showCddbPrefs;
  /** The "connect to CDDB?" question; false when the user declined. */
  std::function<bool()> askCddbLogin;
  /** The recording options, modal. */
  std::function<void()> showOptions;
  /** The drive set-up (its test, modal), run before the first digital recording. */
  std::function<void()> setUpDrive;
};

/**
 * The recorder window, its disc part: the disc's artist, album and serial number, one row
 * per track (number, title to edit, tick, length; eight visible, the rest scrolled), the
 * CDDB button with its busy indicator and the list of inexact matches (or of MusicBrainz's
 * releases), and the status line. The disc and the lookups live in plain classes; this
 * window shows them.
 */
class RecordFrm : public QWidget {
  Q_OBJECT

 public:
  explicit RecordFrm(RecordFrmContext context);

  /** Reads the CDDB settings and opens the disc. */
  void Form_Load();
  void btnCDDB_Click();
  void btnCDDBPrefs_Click();
  void imgSelectAll_Click();
  void imgUnselectAll_Click();
  void lstCDDBMatches_dblClick(int row);
  /** Records the ticked tracks. */
  void cmdRecord_Click();
  /** Asks, then ends the recording. */
  void cmdCancel_Click();
  void lblOptions_Click();

  /** The start of a title lookup: preferences when never set, the login question, then
   *  MusicBrainz or the CDDB server as the preferences say. */
  void StartLookup();

  int VisibleRows() const;
  QLineEdit* TrackTitle(int index) const;
  QCheckBox* TrackTick(int index) const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Row {
    QWidget* line;
    QLabel* lblTrack;
    QLineEdit* txtTrack;
    QCheckBox* ChkTrack;
    QLabel* lblSongTime;
    QProgressBar* picProgress;
    QLabel* picRecordStatus;
  };

  QWidget* BuildTop();
  QWidget* BuildRows();
  void ConnectModel();
  void ShowDisc();
  void ShowTitles();
  void ClearDisc();
  void SetBusy(bool busy);
  void ShowMatches(const QStringList& items);
  /** MusicBrainz is over: CDDB is asked next when it failed and the preferences say so. */
  void AfterMusicBrainz();
  QList<TitleLookup*> Lookups() const;
  void SetLookupSettings(const CddbSettings& settings);
  void ConnectJob();
  void ShowStatus(const QString& text);
  void SetRecording(bool recording);
  Row& RowAt(int index);
  static void ShowRow(Row& row, bool shown);

  RecordFrmContext context_;
  QLineEdit* txtArtist_;
  QLineEdit* txtAlbumTitle_;
  QLabel* lblSerialNum_;
  QLabel* lblInsertDisc_;
  QLabel* lblErrorMessage_;
  QPushButton* btnCDDB_;
  QPushButton* btnCDDBPrefs_;
  QPushButton* imgSelectAll_;
  QPushButton* imgUnselectAll_;
  QPushButton* cmdRecord_;
  QPushButton* cmdCancel_;
  QLabel* lblRecError_;
  QPushButton* lblOptions_;
  QProgressBar* picBusy_;
  QStackedWidget* stack_;
  QScrollArea* scrSongList_;
  QWidget* pnlTrackInner_;
  QListWidget* lstCDDBMatches_;
  QList<Row> rows_;
};

}  // namespace audiolume
