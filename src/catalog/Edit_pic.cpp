#include "catalog/Edit_pic.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog/SongRowWriter.h"
#include "library/ArtPicture.h"
#include "library/SongRecord.h"
#include "library/TrailerTag.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kPictureSection = u"PlayList"_s;

}  // namespace

Edit_pic::Edit_pic(EditPicContext context) : context_(std::move(context)) {
  setObjectName(u"Edit_pic"_s);
  setWindowTitle(context_.catalog.GetMsg(RC_Menu_AddArt));
  Dir1_ = new QLineEdit(this);
  Dir1_->setObjectName(u"Dir1"_s);
  folders_ = new QListWidget(this);
  folders_->setObjectName(u"Drive1"_s);
  File1_ = new QListWidget(this);
  File1_->setObjectName(u"File1"_s);
  Image1_ = new QLabel(this);
  Image1_->setObjectName(u"Image1"_s);
  Image1_->setFixedSize(240, 240);
  Image1_->setAlignment(Qt::AlignCenter);
  Image1_->setFrameShape(QFrame::StyledPanel);
  Label2_ = new QLabel(this);
  Label2_->setObjectName(u"Label2"_s);
  connect(Dir1_, &QLineEdit::returnPressed, this, [this] { Dir1_Change(Dir1_->text()); });
  connect(folders_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    Dir1_Change(QDir(Dir1_->text()).absoluteFilePath(item->text()));
  });
  connect(File1_, &QListWidget::currentRowChanged, this, &Edit_pic::File1_Click);
  auto* done = new QPushButton(context_.catalog.GetMsg(RC_OK), this);
  done->setObjectName(u"imgDone"_s);
  auto* cancel = new QPushButton(context_.catalog.GetMsg(RC_Cancel), this);
  cancel->setObjectName(u"imgCancel"_s);
  auto* paint = new QPushButton(u"Paint…"_s, this);
  paint->setObjectName(u"cmdOpenPaint"_s);
  connect(done, &QPushButton::clicked, this, &Edit_pic::imgDone_Click);
  connect(cancel, &QPushButton::clicked, this, &QWidget::close);
  connect(paint, &QPushButton::clicked, this, &Edit_pic::cmdOpenPaint_Click);
  auto* lists = new QVBoxLayout;
  lists->addWidget(Dir1_);
  lists->addWidget(folders_, 1);
  lists->addWidget(File1_, 1);
  auto* preview = new QVBoxLayout;
  preview->addWidget(Image1_);
  preview->addWidget(Label2_);
  preview->addStretch();
  auto* top = new QHBoxLayout;
  top->addLayout(lists, 1);
  top->addLayout(preview);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(paint);
  buttons->addStretch();
  buttons->addWidget(done);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addLayout(buttons);
  resize(560, 380);
}

void Edit_pic::LinkPicture(const QString& songPath) {
  songPath_ = songPath;
  SongRecord record;
  QString type;
  QPixmap current;
  current.loadFromData(context_.trailer.ReadSongTagsWithArt(songPath, record, type));
  ShowPreview(current);
  Dir1_Change(ReadIniDefault(context_.settingsFile, kPictureSection, u"EditPicPath"_s,
                             QFileInfo(songPath).absolutePath()));
}

void Edit_pic::Dir1_Change(const QString& folder) {
  const QDir dir(folder);
  if (!dir.exists()) return;
  Dir1_->setText(dir.absolutePath());
  folders_->clear();
  folders_->addItems(dir.entryList(QDir::Dirs | QDir::NoDot, QDir::Name));
  File1_->clear();
  File1_->addItems(dir.entryList(ArtPicture::Patterns(), QDir::Files, QDir::Name));
  WriteIniString(context_.settingsFile, kPictureSection, u"EditPicPath"_s, dir.absolutePath());
}

QString Edit_pic::ChosenPicture() const {
  const QListWidgetItem* item = File1_->currentItem();
  return item ? QDir(Dir1_->text()).absoluteFilePath(item->text()) : QString();
}

void Edit_pic::File1_Click() {
  ShowPreview(QPixmap(ChosenPicture()));
}

void Edit_pic::ShowPreview(const QPixmap& picture) {
  Image1_->setPixmap(picture.isNull() ? QPixmap()
                                      : picture.scaled(Image1_->size(), Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation));
  Label2_->setText(picture.isNull() ? QString()
                                    : u' ' + QString::number(picture.width()) + u", "_s +
                                          QString::number(picture.height()));
}

QString Edit_pic::SizeText() const {
  return Label2_->text();
}

// A file that is no picture leaves the window open for another choice.
void Edit_pic::imgDone_Click() {
  const QString chosen = ChosenPicture();
  if (!chosen.isEmpty() && !songPath_.isEmpty()) {
    const auto art = ArtPicture::FromFile(chosen);
    if (!art) {
      context_.prompter.Tell(chosen + u"\nThis file is not a picture."_s, MessageIcon::Exclamation);
      return;
    }
    context_.writer.WriteArt(songPath_, *art);
  }
  close();
}

// The paint program set in the settings, else the desktop's own image handler.
void Edit_pic::cmdOpenPaint_Click() {
  const QString picture = ChosenPicture();
  const QString program =
      ReadIniString(context_.settingsFile, kPictureSection, u"Paint Program"_s).trimmed();
  if (program.isEmpty()) {
    if (!picture.isEmpty() && context_.openPicture) context_.openPicture(picture);
    return;
  }
  if (!QFileInfo(program).isFile()) {
    context_.prompter.Tell(u"Can't find "_s + program, MessageIcon::Exclamation);
    return;
  }
  if (context_.startProgram) context_.startProgram(program, picture);
}

}  // namespace audiolume
