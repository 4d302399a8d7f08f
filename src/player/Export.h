#pragma once

#include <QDialog>
#include <QList>

#include "library/PlayListText.h"
#include "player/RioOptions.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace audiolume {

class MessageCatalog;
class RioExport;

/**
 * The progress window of an export to the portable player: what is being done, the song's
 * number, its progress, and buttons to cancel the song or the whole export. Modal while
 * the export runs; closing it cancels the export and closes once the export has ended.
 * UI thread only.
 */
class Export : public QDialog {
  Q_OBJECT

 public:
  Export(RioExport& rio, MessageCatalog& catalog, QWidget* parent = nullptr);

  /** Runs the export of songs and returns when it has ended. */
  void Run(const QList<PlayListEntry>& songs, const RioOptions& options);

  void cmdCancelDownload_Click();
  void cmdCancelAllDownload_Click();

 protected:
  void reject() override;

 private:
  void ShowProgress(int percent);

  RioExport& rio_;
  QLabel* lblHeading_;
  QLabel* lblDetail_;
  QLabel* lblSongNumber_;
  QLabel* lblProgress_;
  QProgressBar* progress_;
  QPushButton* cmdCancelDownload_;
  QPushButton* cmdCancelAllDownload_;
};

}  // namespace audiolume
