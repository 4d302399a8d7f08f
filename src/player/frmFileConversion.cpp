#include "player/frmFileConversion.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include "player/FileConversion.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kConversionSection = u"Database"_s;
const QString kSourceKey = u"Conversion Source Path"_s;
const QString kDestinationKey = u"Conversion Destination Path"_s;
constexpr int kBitRates[] = {128000, 96000, 64000};

}  // namespace

frmFileConversion::frmFileConversion(FileConversion& conversion, MessageCatalog& catalog,
                                     Prompter& prompter, QString settingsFile, QString workingDir,
                                     std::function<void()> stopPlayer, QWidget* parent)
    : QDialog(parent),
      conversion_(conversion),
      catalog_(catalog),
      prompter_(prompter),
      settingsFile_(std::move(settingsFile)),
      workingDir_(std::move(workingDir)),
      stopPlayer_(std::move(stopPlayer)),
      Dir1_(new QLineEdit(this)),
      Dir2_(new QLineEdit(this)),
      File1_(new QListWidget(this)),
      File2_(new QListWidget(this)),
      cmbSource_(new QComboBox(this)),
      cmbDestin_(new QComboBox(this)),
      imgStart_(new QPushButton(catalog.GetMsg(RC_Start), this)),
      imgCancel_(new QPushButton(catalog.GetMsg(RC_Cancel), this)),
      progress_(new QProgressBar(this)) {
  setObjectName(u"frmFileConversion"_s);
  setWindowTitle(catalog.GetMsg(RC_TW_FileConvert));
  File1_->setObjectName(u"File1"_s);
  File2_->setObjectName(u"File2"_s);
  File1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  Dir1_->setReadOnly(true);
  Dir2_->setReadOnly(true);
  cmbSource_->setObjectName(u"cmbSource"_s);
  cmbDestin_->setObjectName(u"cmbDestin"_s);
  cmbSource_->addItems({u"*.mp3"_s, u"*.wav"_s});
  auto* browseSource = new QPushButton(catalog.GetMsg(RC_Browse), this);
  auto* browseDestination = new QPushButton(catalog.GetMsg(RC_Browse), this);
  auto* imgSelectAll = new QPushButton(catalog.GetMsg(RC_SelectAll), this);
  browseSource->setObjectName(u"browseSource"_s);
  browseDestination->setObjectName(u"browseDestination"_s);
  imgStart_->setObjectName(u"imgStart"_s);
  connect(browseSource, &QPushButton::clicked, this, [this] { ChooseFolder(Dir1_, kSourceKey); });
  connect(browseDestination, &QPushButton::clicked, this,
          [this] { ChooseFolder(Dir2_, kDestinationKey); });
  connect(imgSelectAll, &QPushButton::clicked, this, &frmFileConversion::imgSelectAll_Click);
  connect(imgStart_, &QPushButton::clicked, this, &frmFileConversion::imgStart_Click);
  connect(imgCancel_, &QPushButton::clicked, this, &frmFileConversion::imgCancel_Click);
  connect(cmbSource_, &QComboBox::currentIndexChanged, this, [this](int index) { Show(index); });

  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel(catalog.GetMsg(RC_from), this), 0, 0);
  layout->addWidget(Dir1_, 0, 1);
  layout->addWidget(browseSource, 0, 2);
  layout->addWidget(cmbSource_, 1, 1);
  layout->addWidget(File1_, 2, 0, 1, 3);
  layout->addWidget(new QLabel(catalog.GetMsg(RC_to), this), 0, 3);
  layout->addWidget(Dir2_, 0, 4);
  layout->addWidget(browseDestination, 0, 5);
  layout->addWidget(cmbDestin_, 1, 4);
  layout->addWidget(File2_, 2, 3, 1, 3);
  layout->addWidget(new QLabel(catalog.GetMsg(RC_FileConvHelp), this), 3, 0, 1, 6);
  layout->addWidget(progress_, 4, 0, 1, 6);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(imgSelectAll);
  buttons->addStretch();
  buttons->addWidget(imgStart_);
  buttons->addWidget(imgCancel_);
  layout->addLayout(buttons, 5, 0, 1, 6);
  progress_->setRange(0, 1000);
  resize(760, 460);
}

QString frmFileConversion::Folder(const QString& key) const {
  return ReadIniDefault(settingsFile_, kConversionSection, key, workingDir_ + u"/Music"_s);
}

void frmFileConversion::ChooseFolder(QLineEdit* edit, const QString& key) {
  const auto folder = prompter_.FolderName(
      catalog_.GetMsg(key == kSourceKey ? RC_SelSourceDir : RC_SelDestDir), edit->text());
  if (!folder) return;
  edit->setText(*folder);
  WriteIniString(settingsFile_, kConversionSection, key, *folder);
  // Only the list of the folder chosen changes: the files picked on the other side stay.
  if (edit == Dir1_) {
    FillList(File1_, Dir1_->text(), {cmbSource_->currentText()});
  } else {
    FillList(File2_, Dir2_->text(), {});
  }
}

void frmFileConversion::ShowMp3ToWav() {
  cmbSource_->setCurrentIndex(0);
  Show(0);
  show();
}

void frmFileConversion::ShowWavToMp3() {
  cmbSource_->setCurrentIndex(1);
  Show(1);
  show();
}

void frmFileConversion::Show(int direction) {
  Dir1_->setText(Folder(kSourceKey));
  Dir2_->setText(Folder(kDestinationKey));
  cmbDestin_->clear();
  if (direction == 0) {
    cmbDestin_->addItem(u"Wav"_s);
  } else {
    cmbDestin_->addItems({u"Mp3 - 128 kbps"_s, u"Mp3 - 96 kbps"_s, u"Mp3 - 64 kbps"_s});
  }
  cmbDestin_->setCurrentIndex(0);
  FillFiles();
}

void frmFileConversion::FillFiles() {
  FillList(File1_, Dir1_->text(), {cmbSource_->currentText()});
  FillList(File2_, Dir2_->text(), {});
}

void frmFileConversion::FillList(QListWidget* list, const QString& folder,
                                 const QStringList& patterns) {
  list->clear();
  list->addItems(QDir(folder).entryList(patterns, QDir::Files, QDir::Name));
}

void frmFileConversion::imgSelectAll_Click() {
  File1_->selectAll();
}

void frmFileConversion::imgStart_Click() {
  QStringList files;
  for (int row = 0; row < File1_->count(); ++row) {
    if (File1_->item(row)->isSelected())
      files.append(Dir1_->text() + u'/' + File1_->item(row)->text());
  }
  if (files.isEmpty()) {
    prompter_.Tell(catalog_.GetMsg(RC_NoneSelected), MessageIcon::Information);
    return;
  }
  imgStart_->setEnabled(false);
  imgCancel_->setText(catalog_.GetMsg(RC_CancelAll));
  if (stopPlayer_) stopPlayer_();
  running_ = true;
  cancel_ = 0;
  const bool toWav = cmbSource_->currentIndex() == 0;
  const int choice = cmbDestin_->currentIndex();
  const int bitRate = !toWav && choice >= 0 && choice < 3 ? kBitRates[choice] : 64000;
  conversion_.ConvertFiles(
      files, Dir2_->text(),
      toWav ? FileConversion::Direction::Mp3ToWav : FileConversion::Direction::WavToMp3, bitRate,
      [this](double fraction) {
        QMetaObject::invokeMethod(progress_,
                                  [this, fraction] { progress_->setValue(int(fraction * 1000)); });
        return cancel_.load();
      });
  running_ = false;
  progress_->setValue(0);
  imgStart_->setEnabled(true);
  imgCancel_->setText(catalog_.GetMsg(RC_Cancel));
  if (closeWhenDone_) {
    closeWhenDone_ = false;
    close();
    return;
  }
  FillFiles();
}

void frmFileConversion::reject() {
  if (!running_) {
    QDialog::reject();
    return;
  }
  cancel_ = 2;
  closeWhenDone_ = true;
}

void frmFileConversion::closeEvent(QCloseEvent* event) {
  if (running_) {
    event->ignore();
    reject();
    return;
  }
  QDialog::closeEvent(event);
}

void frmFileConversion::imgCancel_Click() {
  if (running_) {
    cancel_ = 2;  // stops the file being converted and the rest of the batch
    return;
  }
  close();
}

}  // namespace audiolume
