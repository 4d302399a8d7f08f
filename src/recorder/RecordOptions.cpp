#include "recorder/RecordOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "recorder/RecordList.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

/** The MP3 qualities offered, with their format codes. */
constexpr std::pair<int, int> kQualities[] = {{RC_CDQual, 0},    {RC_NearCDQual, 2},
                                              {RC_RadioQual, 4}, {RC_HighCapacity, 6},
                                              {RC_CompMode, 7},  {RC_CompMode, 8}};
const QStringList kPartNames = {u"Artist"_s, u"Album"_s, u"Track number"_s, u"Track title"_s};

QPushButton* Button(QWidget* parent, const QString& name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

RecordOptions::RecordOptions(RecordOptionsContext context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)) {
  setObjectName(u"RecordOptions"_s);
  setWindowTitle(context_.catalog.GetMsg(RC_RecOptions));
  settings_ = RecordSettings::Load(context_.settingsFile, context_.appDir);
  auto* imgOK = Button(this, u"imgOK"_s, context_.catalog.GetMsg(RC_OK));
  auto* imgCancel = Button(this, u"imgCancel"_s, context_.catalog.GetMsg(RC_Cancel));
  auto* imgAdvOpt = Button(this, u"imgAdvOpt"_s, context_.catalog.GetMsg(RC_AdvOptions));
  auto* btnCDDBPrefs = Button(this, u"btnCDDBPrefs"_s, context_.catalog.GetMsg(RC_CDDBpref));
  auto* btnSetUp = Button(this, u"btnSetUpDrive"_s, context_.catalog.GetMsg(RC_AutoConfig));
  connect(imgOK, &QPushButton::clicked, this, &RecordOptions::imgOK_Click);
  connect(imgCancel, &QPushButton::clicked, this, &QDialog::reject);
  for (const auto& [button, action] : {std::pair{imgAdvOpt, context_.showAdvOptions},
                                       {btnCDDBPrefs, context_.showCddbPrefs},
                                       {btnSetUp, context_.setUpDrive}}) {
    button->setEnabled(bool(action));
    if (action) connect(button, &QPushButton::clicked, this, action);
  }
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(imgAdvOpt);
  buttons->addWidget(btnCDDBPrefs);
  buttons->addWidget(btnSetUp);
  buttons->addStretch();
  buttons->addWidget(imgOK);
  buttons->addWidget(imgCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildFormat());
  layout->addWidget(BuildNaming());
  layout->addLayout(buttons);
  UpdateExample();
}

QWidget* RecordOptions::BuildFormat() {
  MessageCatalog& catalog = context_.catalog;
  auto* box = new QGroupBox(catalog.GetMsg(RC_RecOptions), this);
  optMp3_ = new QRadioButton(u"MP3"_s, box);
  optMp3_->setObjectName(u"optMusicFormat0"_s);
  optWav_ = new QRadioButton(catalog.GetMsg(RC_WavFormat).remove(u'*').trimmed(), box);
  optWav_->setObjectName(u"optMusicFormat1"_s);
  optFlac_ = new QRadioButton(u"FLAC"_s, box);
  optFlac_->setObjectName(u"optMusicFormat2"_s);
  quality_ = new QComboBox(box);
  quality_->setObjectName(u"cboQuality"_s);
  for (const auto& [message, code] : kQualities) {
    const QString caption = code == 7   ? catalog.GetMsg(message) + u" (CBR)"_s
                            : code == 8 ? catalog.GetMsg(message) + u" (VBR)"_s
                                        : catalog.GetMsg(message);
    quality_->addItem(caption, code);
  }
  optCBR_ = new QComboBox(box);
  optCBR_->setObjectName(u"optCBR"_s);
  for (const int kbps : {64, 96, 112, 128, 160, 192, 224, 256, 320})
    optCBR_->addItem(QString::number(kbps));
  optCBR_->setCurrentText(settings_.CBR);
  optVBR_ = new QComboBox(box);
  optVBR_->setObjectName(u"optVBR"_s);
  for (int quality = 0; quality <= 100; quality += 10) optVBR_->addItem(QString::number(quality));
  optVBR_->setCurrentText(settings_.VBR);
  (settings_.RF == RecordSettings::kWav    ? optWav_
   : settings_.RF == RecordSettings::kFlac ? optFlac_
                                           : optMp3_)
      ->setChecked(true);
  quality_->setCurrentIndex(std::max(0, quality_->findData(settings_.RF)));
  optRecordMode_ = new QComboBox(box);
  optRecordMode_->setObjectName(u"optRecordMode"_s);
  optRecordMode_->addItems({catalog.GetMsg(RC_Digital), catalog.GetMsg(RC_Analog), u"S/PDIF"_s});
  optRecordMode_->setCurrentIndex(settings_.AR == 0 ? 0 : settings_.SPDIF == 1 ? 2 : 1);
  optErrorCorrect_ = new QCheckBox(catalog.GetMsg(RC_ErrorCorr), box);
  optErrorCorrect_->setObjectName(u"optErrorCorrect"_s);
  optErrorCorrect_->setChecked(settings_.EC == 1);
  cdSelect_ = new QComboBox(box);
  cdSelect_->setObjectName(u"cdSelect"_s);
  for (qsizetype i = 0; i < context_.drives.size(); ++i) {
    // Drives with a set-up of their own are marked.
    const bool configured = !ReadIniString(context_.appDir + u"/TWCD.ini"_s,
                                           u"DRIVE_"_s + QString::number(i + 1), u"CONFIG_OK"_s)
                                 .isEmpty();
    cdSelect_->addItem(context_.drives[i] + (configured ? u" ✔"_s : QString()));
  }
  cdSelect_->setCurrentIndex(context_.selectedDrive);
  auto* format = new QHBoxLayout;
  format->addWidget(optMp3_);
  format->addWidget(quality_);
  format->addWidget(optCBR_);
  format->addWidget(optVBR_);
  format->addWidget(optWav_);
  format->addWidget(optFlac_);
  auto* form = new QFormLayout(box);
  form->addRow(catalog.GetMsg(RC_CompMode), format);
  form->addRow(catalog.GetMsg(RC_RecMode), optRecordMode_);
  form->addRow(QString(), optErrorCorrect_);
  form->addRow(catalog.GetMsg(RC_CDSelect), cdSelect_);
  const auto follow = [this] {
    quality_->setEnabled(optMp3_->isChecked());
    optCBR_->setEnabled(optMp3_->isChecked() && quality_->currentData().toInt() == 7);
    optVBR_->setEnabled(optMp3_->isChecked() && quality_->currentData().toInt() == 8);
    UpdateExample();
  };
  for (QRadioButton* choice : {optMp3_, optWav_, optFlac_}) {
    connect(choice, &QRadioButton::toggled, this, follow);
  }
  connect(quality_, &QComboBox::currentIndexChanged, this, follow);
  follow();
  return box;
}

QWidget* RecordOptions::BuildNaming() {
  auto* box = new QGroupBox(context_.catalog.GetMsg(RC_Filename), this);
  Dir1_ = new QLineEdit(settings_.NewSongPath, box);
  Dir1_->setObjectName(u"Dir1"_s);
  auto* browse = new QPushButton(u"…"_s, box);
  browse->setObjectName(u"Drive1"_s);
  connect(browse, &QPushButton::clicked, this, [this] {
    if (const auto folder =
            context_.prompter.FolderName(context_.catalog.GetMsg(RC_NewSongPath), Dir1_->text())) {
      Dir1_->setText(*folder);
    }
  });
  chkPathArtist_ = new QCheckBox(kPartNames[0], box);
  chkPathArtist_->setObjectName(u"chkPathArtist"_s);
  chkPathArtist_->setChecked(settings_.ArtistSubDir == 1);
  chkPathAlbum_ = new QCheckBox(kPartNames[1], box);
  chkPathAlbum_->setObjectName(u"chkPathAlbum"_s);
  chkPathAlbum_->setChecked(settings_.AlbumSubDir == 1);
  auto* rows = new QVBoxLayout;
  for (int i = 0; i < 4; ++i) {
    auto* row = new QCheckBox(box);
    row->setObjectName(u"chkFilename"_s);
    connect(row, &QCheckBox::toggled, this, [this] { UpdateExample(); });
    connect(row, &QCheckBox::clicked, this, [this, i] { currentRow_ = i; });
    chkFilename_.append(row);
    rows->addWidget(row);
  }
  ShowNameRows();
  auto* up = Button(box, u"imgUpArrow"_s, u"▲"_s);
  auto* down = Button(box, u"imgDownArrow"_s, u"▼"_s);
  connect(up, &QPushButton::clicked, this, &RecordOptions::imgUpArrow_Click);
  connect(down, &QPushButton::clicked, this, &RecordOptions::imgDownArrow_Click);
  txtSeparator_ = new QLineEdit(settings_.FilenameSeparator, box);
  txtSeparator_->setObjectName(u"txtSeparator"_s);
  lblFilenameExample_ = new QLabel(box);
  lblFilenameExample_->setObjectName(u"lblFilenameExample"_s);
  lblFilenameExample_->setWordWrap(true);
  for (QLineEdit* edit : {Dir1_, txtSeparator_}) {
    connect(edit, &QLineEdit::textChanged, this, [this] { UpdateExample(); });
  }
  for (QCheckBox* tick : {chkPathArtist_, chkPathAlbum_}) {
    connect(tick, &QCheckBox::toggled, this, [this] { UpdateExample(); });
  }
  auto* folder = new QHBoxLayout;
  folder->addWidget(Dir1_, 1);
  folder->addWidget(browse);
  auto* levels = new QHBoxLayout;
  levels->addWidget(chkPathArtist_);
  levels->addWidget(chkPathAlbum_);
  levels->addStretch();
  auto* arrows = new QVBoxLayout;
  arrows->addWidget(up);
  arrows->addWidget(down);
  arrows->addStretch();
  auto* parts = new QHBoxLayout;
  parts->addLayout(rows, 1);
  parts->addLayout(arrows);
  auto* form = new QFormLayout(box);
  form->addRow(context_.catalog.GetMsg(RC_NewSongPath), folder);
  form->addRow(QString(), levels);
  form->addRow(context_.catalog.GetMsg(RC_Filename), parts);
  form->addRow(u"Separator"_s, txtSeparator_);
  form->addRow(QString(), lblFilenameExample_);
  return box;
}

// Each row shows its part's name and tick, in the stored order.
void RecordOptions::ShowNameRows() {
  for (int i = 0; i < 4; ++i) {
    const QString& part = settings_.Filename[i];
    const QSignalBlocker quiet(chkFilename_[i]);
    chkFilename_[i]->setText(kPartNames.value(part.mid(2).toInt() - 1));
    chkFilename_[i]->setChecked(part.startsWith(u'1'));
  }
}

RecordSettings RecordOptions::Chosen() const {
  RecordSettings chosen = settings_;
  chosen.RF = optWav_->isChecked()    ? RecordSettings::kWav
              : optFlac_->isChecked() ? RecordSettings::kFlac
                                      : quality_->currentData().toInt();
  chosen.CBR = optCBR_->currentText();
  chosen.VBR = optVBR_->currentText();
  chosen.AR = optRecordMode_->currentIndex() == 0 ? 0 : 1;
  chosen.SPDIF = optRecordMode_->currentIndex() == 2 ? 1 : 0;
  chosen.EC = optErrorCorrect_->isChecked() ? 1 : 0;
  chosen.NewSongPath = Dir1_->text().trimmed();
  chosen.ArtistSubDir = chkPathArtist_->isChecked() ? 1 : 0;
  chosen.AlbumSubDir = chkPathAlbum_->isChecked() ? 1 : 0;
  for (int i = 0; i < 4; ++i) {
    chosen.Filename[i] =
        (chkFilename_[i]->isChecked() ? u"1,"_s : u"0,"_s) + settings_.Filename[i].mid(2);
  }
  chosen.FilenameSeparator = txtSeparator_->text();
  return chosen;
}

int RecordOptions::SelectedDrive() const {
  return cdSelect_->currentIndex();
}

QString RecordOptions::ExampleText() const {
  const RecordSettings chosen = Chosen();
  return RecordList::OutputFolder(chosen, u"Artist"_s, u"Album"_s, false) + u'/' +
         RecordList::FileName(chosen, 3, u"Title"_s, u"Artist"_s, u"Album"_s) + chosen.Extension();
}

void RecordOptions::UpdateExample() {
  if (lblFilenameExample_) lblFilenameExample_->setText(ExampleText());
}

void RecordOptions::imgUpArrow_Click() {
  if (currentRow_ <= 0) return;
  settings_ = Chosen();
  settings_.Filename.swapItemsAt(currentRow_, currentRow_ - 1);
  --currentRow_;
  ShowNameRows();
  UpdateExample();
}

void RecordOptions::imgDownArrow_Click() {
  if (currentRow_ >= 3) return;
  settings_ = Chosen();
  settings_.Filename.swapItemsAt(currentRow_, currentRow_ + 1);
  ++currentRow_;
  ShowNameRows();
  UpdateExample();
}

void RecordOptions::imgOK_Click() {
  const RecordSettings chosen = Chosen();
  chosen.SaveNaming(context_.settingsFile);
  chosen.SaveChoices(context_.settingsFile);
  WriteIniString(context_.settingsFile, u"Record"_s, u"SPDIF"_s, QString::number(chosen.SPDIF));
  accept();
}

}  // namespace audiolume
