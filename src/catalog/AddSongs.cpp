#include "catalog/AddSongs.h"

#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog/SongAddJob.h"
#include "library/SongRecord.h"
#include "library/TrailerTag.h"
#include "platform/AudioDecoder.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kInFolderRole = Qt::UserRole + 1;

QString Number(qsizetype count) {
  return QLocale(QLocale::English).toString(count);
}

}  // namespace

AddSongs::AddSongs(SongAdder& adder, TrailerTag& trailer, const GenreCatalog& genres,
                   const ErrorLog& log, MessageCatalog& catalog, Prompter& prompter,
                   QString settingsFile, QString workingDir, QWidget* parent)
    : QDialog(parent),
      trailer_(trailer),
      catalog_(catalog),
      prompter_(prompter),
      settingsFile_(std::move(settingsFile)),
      workingDir_(std::move(workingDir)),
      job_(new SongAddJob(adder, genres, catalog, prompter, log, this)),
      Dir1_(new QLineEdit(this)),
      subFolders_(new QCheckBox(u"Include sub-folders"_s, this)),
      File1_(new QListWidget(this)),
      count_(new QLabel(this)),
      lblFilename_(new QLabel(this)),
      lblSongName_(new QLabel(this)),
      lblArtist_(new QLabel(this)),
      lblAlbum_(new QLabel(this)),
      lblNoTrailer_(new QLabel(this)),
      ImgTest_(new QLabel(this)),
      status_(new QLabel(this)),
      progress_(new QProgressBar(this)),
      browse_(new QPushButton(catalog.GetMsg(RC_Browse), this)),
      imgOK_(new QPushButton(catalog.GetMsg(RC_OK), this)),
      imgCancel_(new QPushButton(catalog.GetMsg(RC_Cancel), this)) {
  setObjectName(u"AddSongs"_s);
  setWindowTitle(catalog.GetMsg(RC_Add_Songs));
  setAcceptDrops(true);
  File1_->setObjectName(u"File1"_s);
  File1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  subFolders_->setObjectName(u"subFolders"_s);
  subFolders_->setChecked(true);
  count_->setObjectName(u"count"_s);
  status_->setObjectName(u"status"_s);
  progress_->setObjectName(u"progress"_s);
  progress_->hide();
  imgOK_->setObjectName(u"imgOK"_s);
  imgCancel_->setObjectName(u"imgCancel"_s);
  Dir1_->setReadOnly(true);
  ImgTest_->setFixedSize(120, 120);
  ImgTest_->setAlignment(Qt::AlignCenter);
  // The message catalog has no text for a file without tags; this one is ours.
  lblNoTrailer_->setText(u"This file carries no tags."_s);
  lblNoTrailer_->hide();
  auto* imgSelectAll = new QPushButton(catalog.GetMsg(RC_SelectAll), this);
  connect(browse_, &QPushButton::clicked, this, [this] {
    if (const auto folder = prompter_.FolderName(catalog_.GetMsg(RC_Add_Songs), Dir1_->text())) {
      Dir1_Change(*folder);
    }
  });
  connect(subFolders_, &QCheckBox::toggled, this, [this] {
    if (!Dir1_->text().isEmpty()) Dir1_Change(Dir1_->text());
  });
  connect(File1_, &QListWidget::currentRowChanged, this, &AddSongs::File1_Click);
  connect(File1_, &QListWidget::itemDoubleClicked, this, &AddSongs::imgOK_Click);
  connect(imgSelectAll, &QPushButton::clicked, this, &AddSongs::imgSelectAll_Click);
  connect(imgOK_, &QPushButton::clicked, this, &AddSongs::imgOK_Click);
  connect(imgCancel_, &QPushButton::clicked, this, &AddSongs::reject);
  connect(job_, &SongAddJob::Progressed, this, &AddSongs::ShowProgress);
  connect(job_, &SongAddJob::Finished, this, &AddSongs::Done);

  auto* folder = new QHBoxLayout;
  folder->addWidget(Dir1_, 1);
  folder->addWidget(browse_);
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
  buttons->addWidget(imgOK_);
  buttons->addWidget(imgCancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      new QLabel(catalog.GetMsg(RC_Highlight1) + u'\n' + catalog.GetMsg(RC_Highlight2b), this));
  layout->addLayout(folder);
  layout->addWidget(subFolders_);
  layout->addLayout(middle, 1);
  layout->addWidget(count_);
  layout->addWidget(status_);
  layout->addWidget(progress_);
  layout->addLayout(buttons);
  resize(680, 460);
}

// A job still running ends before the controls it reports to go.
AddSongs::~AddSongs() {
  job_->disconnect(this);
  delete job_;
}

void AddSongs::Form_Load() {
  Dir1_Change(
      ReadIniDefault(settingsFile_, u"Record"_s, u"AddSongPath"_s, workingDir_ + u"/Music"_s));
}

// Every song file found is selected: a folder is added in one step.
void AddSongs::Dir1_Change(const QString& folder) {
  Dir1_->setText(folder);
  File1_->clear();
  FolderWalk walk(subFolders_->isChecked());
  const QList<FolderWalk::Found> found = walk.Walk({folder});
  otherFiles_ = walk.OtherFiles();
  ListFound(found);
  WriteIniString(settingsFile_, u"Record"_s, u"AddSongPath"_s, folder);
}

void AddSongs::ListFound(const QList<FolderWalk::Found>& found) {
  const QDir top(Dir1_->text());
  for (const FolderWalk::Found& file : found) {
    const QString shown =
        file.path.startsWith(top.path() + u'/') ? top.relativeFilePath(file.path) : file.path;
    auto* item = new QListWidgetItem(shown, File1_);
    item->setData(kPathRole, file.path);
    item->setData(kInFolderRole, file.inFolder);
    item->setSelected(true);
  }
  ShowCount();
}

void AddSongs::ShowCount() {
  QString text = SongAdder::Counted(File1_->count(), u"song file found"_s, u"song files found"_s);
  if (otherFiles_ > 0)
    text += u", "_s + SongAdder::Counted(otherFiles_, u"other file"_s, u"other files"_s);
  count_->setText(text);
}

void AddSongs::AddDropped(const QStringList& paths) {
  QList<FolderWalk::Found> found;
  QSet<QString> listed;
  for (int row = 0; row < File1_->count(); ++row)
    listed.insert(File1_->item(row)->data(kPathRole).toString());
  for (const QString& path : paths) {
    FolderWalk walk(subFolders_->isChecked());
    for (const FolderWalk::Found& file : walk.Walk({path})) {
      // Dropped files are treated as those of a folder: what is not a song is only counted.
      if (!file.inFolder && !platform::IsSongFileName(file.path)) {
        ++otherFiles_;
      } else if (!listed.contains(file.path)) {
        listed.insert(file.path);
        found.append({file.path, true});
      }
    }
    otherFiles_ += walk.OtherFiles();
  }
  ListFound(found);
}

void AddSongs::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && !job_->Running()) event->acceptProposedAction();
}

void AddSongs::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths.append(url.toLocalFile());
  }
  AddDropped(paths);
  event->acceptProposedAction();
}

void AddSongs::File1_Click() {
  const QListWidgetItem* item = File1_->currentItem();
  if (!item) return;
  const QString path = item->data(kPathRole).toString();
  lblFilename_->setText(QFileInfo(path).fileName());
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
  if (job_->Running()) return;
  QList<FolderWalk::Found> found;
  for (int row = 0; row < File1_->count(); ++row) {
    const QListWidgetItem* item = File1_->item(row);
    if (item->isSelected())
      found.append({item->data(kPathRole).toString(), item->data(kInFolderRole).toBool()});
  }
  for (QWidget* control : std::initializer_list<QWidget*>{imgOK_, browse_, subFolders_, File1_})
    control->setEnabled(false);
  progress_->setRange(0, std::max<int>(1, found.size()));
  progress_->setValue(0);
  progress_->show();
  job_->Start(found, otherFiles_);
}

void AddSongs::ShowProgress(const SongAdder::Progress& progress) {
  if (progress.total > 0) progress_->setValue(progress.done);
  progress_->setFormat(Number(progress.done) + u" of "_s + Number(progress.total));
  if (!progress.folder.isEmpty()) status_->setText(progress.folder);
}

// The library was saved by the job; the window closes with the report on the screen.
void AddSongs::Done(const SongAdder::Report& report) {
  status_->setText(report.Summary());
  Q_EMIT SongsAdded();
  prompter_.Tell(report.Summary(), MessageIcon::Information);
  accept();
}

void AddSongs::reject() {
  if (!job_->Running()) {
    QDialog::reject();
    return;
  }
  job_->Cancel();
  imgCancel_->setEnabled(false);
  status_->setText(u"Stopping after the current song…"_s);
}

}  // namespace audiolume
