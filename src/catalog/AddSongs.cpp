#include "catalog/AddSongs.h"

#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog/SongAdder.h"
#include "library/SongRecord.h"
#include "library/TrailerTag.h"
#include "platform/AudioDecoder.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

AddSongs::AddSongs(SongAdder& adder, TrailerTag& trailer, MessageCatalog& catalog,
                   Prompter& prompter, QString settingsFile, QString workingDir, QWidget* parent)
    : QDialog(parent),
      adder_(adder),
      trailer_(trailer),
      catalog_(catalog),
      prompter_(prompter),
      settingsFile_(std::move(settingsFile)),
      workingDir_(std::move(workingDir)),
      Dir1_(new QLineEdit(this)),
      File1_(new QListWidget(this)),
      lblFilename_(new QLabel(this)),
      lblSongName_(new QLabel(this)),
      lblArtist_(new QLabel(this)),
      lblAlbum_(new QLabel(this)),
      lblNoTrailer_(new QLabel(this)),
      ImgTest_(new QLabel(this)),
      status_(new QLabel(this)) {
  setObjectName(u"AddSongs"_s);
  setWindowTitle(catalog.GetMsg(RC_Add_Songs));
  File1_->setObjectName(u"File1"_s);
  File1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  Dir1_->setReadOnly(true);
  ImgTest_->setFixedSize(120, 120);
  ImgTest_->setAlignment(Qt::AlignCenter);
  // The message catalog has no text for a file without tags; this one is ours.
  lblNoTrailer_->setText(u"This file carries no tags."_s);
  lblNoTrailer_->hide();
  auto* browse = new QPushButton(catalog.GetMsg(RC_Browse), this);
  auto* imgSelectAll = new QPushButton(catalog.GetMsg(RC_SelectAll), this);
  auto* imgOK = new QPushButton(catalog.GetMsg(RC_OK), this);
  auto* imgCancel = new QPushButton(catalog.GetMsg(RC_Cancel), this);
  connect(browse, &QPushButton::clicked, this, [this] {
    if (const auto folder = prompter_.FolderName(catalog_.GetMsg(RC_Add_Songs), Dir1_->text())) {
      Dir1_Change(*folder);
    }
  });
  connect(File1_, &QListWidget::currentRowChanged, this, &AddSongs::File1_Click);
  connect(File1_, &QListWidget::itemDoubleClicked, this, &AddSongs::imgOK_Click);
  connect(imgSelectAll, &QPushButton::clicked, this, &AddSongs::imgSelectAll_Click);
  connect(imgOK, &QPushButton::clicked, this, &AddSongs::imgOK_Click);
  connect(imgCancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* folder = new QHBoxLayout;
  folder->addWidget(Dir1_, 1);
  folder->addWidget(browse);
  auto* preview = new QFormLayout;
  preview->addRow(catalog.GetMsg(RC_Filename), lblFilename_);
  preview->addRow(catalog.GetMsg(RC_Song_Title), lblSongName_);
  preview->addRow(catalog.GetMsg(RC_Artist), lblArtist_);
  preview->addRow(catalog.GetMsg(RC_Album), lblAlbum_);
  preview->addRow(lblNoTrailer_);
  preview->addRow(ImgTest_);
  auto* middle = new QHBoxLayout;
  middle->addWidget(File1_, 1);
  middle->addLayout(preview);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(imgSelectAll);
  buttons->addStretch();
  buttons->addWidget(imgOK);
  buttons->addWidget(imgCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      new QLabel(catalog.GetMsg(RC_Highlight1) + u'\n' + catalog.GetMsg(RC_Highlight2b), this));
  layout->addLayout(folder);
  layout->addLayout(middle, 1);
  layout->addWidget(status_);
  layout->addLayout(buttons);
  resize(680, 440);
}

void AddSongs::Form_Load() {
  Dir1_Change(
      ReadIniDefault(settingsFile_, u"Record"_s, u"AddSongPath"_s, workingDir_ + u"/Music"_s));
}

void AddSongs::Dir1_Change(const QString& folder) {
  Dir1_->setText(folder);
  File1_->clear();
  File1_->addItems(QDir(folder).entryList(platform::SongFilePatterns(), QDir::Files, QDir::Name));
  WriteIniString(settingsFile_, u"Record"_s, u"AddSongPath"_s, folder);
}

void AddSongs::File1_Click() {
  const QListWidgetItem* item = File1_->currentItem();
  if (!item) return;
  const QString path = Dir1_->text() + u'/' + item->text();
  lblFilename_->setText(item->text());
  SongRecord record;
  QString artType;
  const QByteArray art = trailer_.ReadSongTagsWithArt(path, record, artType);
  const bool tagged = trailer_.LastScan().found || !record.Title.isEmpty();
  for (QLabel* label : {lblSongName_, lblArtist_, lblAlbum_}) label->setVisible(tagged);
  lblNoTrailer_->setVisible(!tagged);
  lblSongName_->setText(record.Title);
  lblArtist_->setText(record.Artist);
  lblAlbum_->setText(record.Album);
  QPixmap picture;
  picture.loadFromData(art);
  ImgTest_->setVisible(!picture.isNull());
  if (!picture.isNull()) {
    ImgTest_->setPixmap(
        picture.scaled(ImgTest_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
  }
}

void AddSongs::imgSelectAll_Click() {
  File1_->selectAll();
}

void AddSongs::imgOK_Click() {
  QStringList files;
  for (int row = 0; row < File1_->count(); ++row) {
    if (File1_->item(row)->isSelected())
      files.append(Dir1_->text() + u'/' + File1_->item(row)->text());
  }
  setCursor(Qt::WaitCursor);
  adder_.AddSongs(files, [this](const QString& text) {
    status_->setText(text);
    status_->repaint();
  });
  unsetCursor();
  Q_EMIT SongsAdded();
  accept();
}

}  // namespace audiolume
