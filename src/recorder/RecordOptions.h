#pragma once

#include <QDialog>
#include <QList>
#include <functional>

#include "recorder/RecordSettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace audiolume {

class MessageCatalog;
class Prompter;

/** What the recording options work with. */
struct RecordOptionsContext {
  MessageCatalog& catalog;
  Prompter& prompter;
  QString settingsFile;
  QString appDir;
  QStringList drives;  // "D:", "E:", …
  int selectedDrive = 0;
  std::function<void()> showAdvOptions;
  std::function<void()> showCddbPrefs;
  std::function<void()> setUpDrive;
};

/**
 * The recording options: format and quality, recording mode and error correction, the
 * drive, the folder for new songs and how the files are named, with a live example of
 * the name. OK stores them; Cancel stores nothing.
 */
class RecordOptions : public QDialog {
  Q_OBJECT

 public:
  explicit RecordOptions(RecordOptionsContext context, QWidget* parent = nullptr);

  void imgOK_Click();
  void imgUpArrow_Click();
  void imgDownArrow_Click();
  /** The settings as the controls show them. */
  RecordSettings Chosen() const;
  int SelectedDrive() const;
  QString ExampleText() const;

 private:
  QWidget* BuildFormat();
  QWidget* BuildNaming();
  void ShowNameRows();
  void UpdateExample();

  RecordOptionsContext context_;
  RecordSettings settings_;
  QRadioButton* optMp3_ = nullptr;
  QRadioButton* optWav_ = nullptr;
  QRadioButton* optFlac_ = nullptr;
  QComboBox* quality_ = nullptr;
  QComboBox* optCBR_ = nullptr;
  QComboBox* optVBR_ = nullptr;
  QComboBox* optRecordMode_ = nullptr;
  QCheckBox* optErrorCorrect_ = nullptr;
  QComboBox* cdSelect_ = nullptr;
  QLineEdit* Dir1_ = nullptr;
  QCheckBox* chkPathArtist_ = nullptr;
  QCheckBox* chkPathAlbum_ = nullptr;
  QList<QCheckBox*> chkFilename_;
  int currentRow_ = 0;
  QLineEdit* txtSeparator_ = nullptr;
  QLabel* lblFilenameExample_ = nullptr;
};

}  // namespace audiolume
