#pragma once

#include <QDialog>
#include <atomic>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace audiolume {

class FileConversion;
class MessageCatalog;
class Prompter;

/** The file conversion window: MP3 files to WAV, or WAV files to MP3, in batches. */
class frmFileConversion : public QDialog {
  Q_OBJECT

 public:
  frmFileConversion(FileConversion& conversion, MessageCatalog& catalog, Prompter& prompter,
                    QString settingsFile, QString workingDir, std::function<void()> stopPlayer,
                    QWidget* parent = nullptr);

  void ShowMp3ToWav();
  void ShowWavToMp3();

  void imgSelectAll_Click();
  void imgStart_Click();
  void imgCancel_Click();

  /** While a batch runs, closing (Escape, the title bar) cancels it; the window closes
   *  once the file being converted has stopped and its partial output is gone. */
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Show(int direction);
  void FillFiles();
  void FillList(QListWidget* list, const QString& folder, const QStringList& patterns);
  QString Folder(const QString& key) const;
  void ChooseFolder(QLineEdit* edit, const QString& key);

  FileConversion& conversion_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
  QString settingsFile_;
  QString workingDir_;
  std::function<void()> stopPlayer_;
  QLineEdit* Dir1_;
  QLineEdit* Dir2_;
  QListWidget* File1_;
  QListWidget* File2_;
  QComboBox* cmbSource_;
  QComboBox* cmbDestin_;
  QPushButton* imgStart_;
  QPushButton* imgCancel_;
  QProgressBar* progress_;
  std::atomic<int> cancel_{0};
  bool running_ = false;
  bool closeWhenDone_ = false;
};

}  // namespace audiolume
