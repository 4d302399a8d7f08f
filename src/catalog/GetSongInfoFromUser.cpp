#include "catalog/GetSongInfoFromUser.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "catalog/CategoryLists.h"
#include "library/ArtPicture.h"
#include "library/GenreCatalog.h"
#include "library/SongLibrary.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr int kPage = 10;

// The text fields' labels, in the order of GetSongInfoFromUser::Text; 0 for none.
constexpr int kTextLabels[] = {
    RC_TrackTitle, RC_Album,       RC_Artist, RC_Time,        0,
    RC_Frequency,  RC_Filename,    RC_CDSN,   RC_TrackNumber, RC_ArtistURL,
    RC_BuyCDURL,   RC_ArtistEmail, RC_Year,   RC_Comment};
constexpr int kListLabels[] = {RC_Genre, RC_Tempo, RC_Mood, RC_Situation, RC_AutoSelect_Criteria7};
// The box beside each text field, or -1.
constexpr int kTextBoxes[] = {-1,
                              TrackInfo::kAlbum,
                              TrackInfo::kArtist,
                              -1,
                              -1,
                              -1,
                              -1,
                              TrackInfo::kSerialNumber,
                              -1,
                              TrackInfo::kArtistURL,
                              TrackInfo::kBuyCDURL,
                              TrackInfo::kArtistEmail,
                              TrackInfo::kYear,
                              TrackInfo::kComment};

QString SongRecord::*const kListFields[] = {&SongRecord::Genre, &SongRecord::Tempo,
                                            &SongRecord::Mood, &SongRecord::Situation,
                                            &SongRecord::Preference};

}  // namespace

GetSongInfoFromUser::GetSongInfoFromUser(TrackInfoContext context) : context_(std::move(context)) {
  setObjectName(u"GetSongInfoFromUser"_s);
  setWindowTitle(context_.catalog.GetMsg(RC_TrackInfo));
  auto* save = new QPushButton(context_.catalog.GetMsg(RC_Save), this);
  save->setObjectName(u"imgOK"_s);
  save->setShortcut(QKeySequence(u"Alt+S"_s));
  auto* cancel = new QPushButton(context_.catalog.GetMsg(RC_Cancel), this);
  cancel->setObjectName(u"imgCancel"_s);
  connect(save, &QPushButton::clicked, this, &GetSongInfoFromUser::imgOK_Click);
  connect(cancel, &QPushButton::clicked, this, &GetSongInfoFromUser::imgCancel_Click);
  auto* buttons = new QHBoxLayout;
  for (const auto& [name, arrow, step] : {std::tuple{u"imgUpArrow"_s, Qt::UpArrow, -1},
                                          std::tuple{u"imgDownArrow"_s, Qt::DownArrow, 1}}) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setArrowType(arrow);
    buttons->addWidget(button);
    connect(button, &QToolButton::clicked, this, [this, by = step] { Move(by); });
  }
  buttons->addStretch();
  buttons->addWidget(save);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(BuildFields(), 1);
  top->addWidget(BuildBoxes());
  layout->addLayout(top);
  layout->addLayout(buttons);
  const TrackInfo::Boxes boxes = TrackInfo::ReadBoxes(context_.settingsFile);
  for (int box = 0; box < TrackInfo::kBoxes; ++box) {
    chkApplyToAlbum_[std::size_t(box)]->setChecked(boxes[std::size_t(box)]);
  }
}

QWidget* GetSongInfoFromUser::BuildFields() {
  auto* fields = new QWidget(this);
  auto* grid = new QGridLayout(fields);
  int row = 0;
  const auto addRow = [&](const QString& label, QWidget* editor) {
    grid->addWidget(new QLabel(label, fields), row, 0);
    grid->addWidget(editor, row++, 1);
  };
  for (int index = 0; index < kTexts; ++index) {
    auto* edit = new QLineEdit(fields);
    edit->setObjectName(u"txtTrackInfo"_s + QString::number(index));
    txtTrackInfo_[std::size_t(index)] = edit;
    if (index == kFilename) edit->setReadOnly(true);
    addRow(kTextLabels[index] ? context_.catalog.GetMsg(kTextLabels[index]) : QString(), edit);
    if (index == kArtist) {
      for (int list = 0; list < 5; ++list) {
        auto* combo = new QComboBox(fields);
        combo->setObjectName(u"cmbDropDown"_s + QString::number(list));
        combo->setEditable(true);  // free text too
        combo->addItems(context_.categories.List(list));
        cmbDropDown_[std::size_t(list)] = combo;
        addRow(context_.catalog.GetMsg(kListLabels[list]), combo);
      }
    }
  }
  // Double-clicks on the web addresses open them.
  for (const int index : {kArtistURL, kBuyCDURL, kArtistEmail}) {
    txtTrackInfo_[std::size_t(index)]->installEventFilter(this);
  }
  auto* texts = new QHBoxLayout;
  for (const auto& [name, caption, tab] :
       {std::tuple{u"lblNotes"_s, RC_Notes, 2}, std::tuple{u"lblBios"_s, RC_ArtistBios, 3},
        std::tuple{u"lblLyrics"_s, RC_Lyrics, 1}}) {
    auto* button = new QPushButton(context_.catalog.GetMsg(caption), fields);
    button->setObjectName(name);
    texts->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, which = tab] {
      if (context_.editTexts) context_.editTexts(context_.info.Path(), which);
    });
  }
  lblID3Genre_ = new QLabel(fields);
  lblID3Genre_->setObjectName(u"lblID3Genre"_s);
  addRow(context_.catalog.GetMsg(RC_ID3Genre), lblID3Genre_);
  grid->addLayout(texts, row, 0, 1, 2);
  return fields;
}

QWidget* GetSongInfoFromUser::BuildBoxes() {
  auto* panel = new QWidget(this);
  auto* layout = new QVBoxLayout(panel);
  imgArt_ = new QLabel(panel);
  imgArt_->setObjectName(u"imgArt"_s);
  imgArt_->setFixedSize(160, 160);
  imgArt_->setAlignment(Qt::AlignCenter);
  imgArt_->setFrameShape(QFrame::StyledPanel);
  imgArt_->installEventFilter(this);  // a click chooses another picture
  layout->addWidget(imgArt_);
  auto* editArt = new QPushButton(context_.catalog.GetMsg(RC_Menu_AddArt), panel);
  editArt->setObjectName(u"imgEditArt"_s);
  connect(editArt, &QPushButton::clicked, this, &GetSongInfoFromUser::imgEditArt_Click);
  layout->addWidget(editArt);
  layout->addWidget(new QLabel(context_.catalog.GetMsg(RC_ApplyFields), panel));
  const int captions[TrackInfo::kBoxes] = {RC_Album,
                                           RC_Artist,
                                           RC_Genre,
                                           RC_Tempo,
                                           RC_Mood,
                                           RC_Situation,
                                           RC_AutoSelect_Criteria7,
                                           RC_Year,
                                           RC_Comment,
                                           RC_CDSN,
                                           RC_ArtistURL,
                                           RC_BuyCDURL,
                                           RC_ArtistEmail,
                                           RC_ArtistBios,
                                           RC_Menu_AddArt};
  for (int box = 0; box < TrackInfo::kBoxes; ++box) {
    auto* check = new QCheckBox(context_.catalog.GetMsg(captions[box]), panel);
    check->setObjectName(u"chkApplyToAlbum"_s + QString::number(box));
    chkApplyToAlbum_[std::size_t(box)] = check;
    layout->addWidget(check);
  }
  layout->addStretch();
  return panel;
}

bool GetSongInfoFromUser::EditTrackInfo(const QString& path) {
  if (path == shown_ && Shows()) return true;
  if (path != context_.info.Path()) AskToSave();
  const bool loaded = context_.info.Load(path);
  Fill();
  if (context_.reloaded) context_.reloaded();
  return loaded;
}

bool GetSongInfoFromUser::Shows() const {
  return !shown_.isEmpty() && shown_ == context_.info.Path();
}

void GetSongInfoFromUser::Fill() {
  shown_ = context_.info.Path();
  const TrackInfo::Song& song = context_.info.Current();
  const SongRecord& r = song.record;
  const QString texts[kTexts] = {r.Title,
                                 r.Album,
                                 r.Artist,
                                 r.TrackTime,
                                 SongLibrary::FormatLastPlayed(r.LastPlayed),
                                 QString::number(r.PlayFreq),
                                 context_.info.Path(),
                                 r.SerialNumber,
                                 QString::number(r.TrackNumber),
                                 r.ArtistURL,
                                 r.BuyCDURL,
                                 r.ArtistEmail,
                                 song.year,
                                 song.comment};
  for (int index = 0; index < kTexts; ++index) {
    txtTrackInfo_[std::size_t(index)]->setText(texts[index]);
  }
  for (int list = 0; list < 5; ++list)
    cmbDropDown_[std::size_t(list)]->setEditText(r.*kListFields[list]);
  const int genre = song.id3Genre;
  lblID3Genre_->setText(
      genre < 0 ? QString() : QString::number(genre) + u"  "_s + context_.genres.GenreName(genre));
  ShowPicture();
}

void GetSongInfoFromUser::ShowPicture() {
  QPixmap picture;
  picture.loadFromData(context_.info.Picture());
  imgArt_->setPixmap(picture.isNull() ? QPixmap()
                                      : picture.scaled(imgArt_->size(), Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation));
}

// A frequency or track number that is not a number counts as 0; a last-played text that
// is not a date, or that still reads as the date shown (which has no milliseconds),
// leaves the date as it was.
void GetSongInfoFromUser::TakeFields() {
  TrackInfo::Song& song = context_.info.Current();
  SongRecord& r = song.record;
  const auto text = [this](int index) { return txtTrackInfo_[std::size_t(index)]->text(); };
  r.Title = text(kTitle);
  r.Album = text(kAlbum);
  r.Artist = text(kArtist);
  r.TrackTime = text(kPlayTime);
  if (text(kLastPlayed) != SongLibrary::FormatLastPlayed(r.LastPlayed)) {
    if (const auto date = SongLibrary::ParseLastPlayed(text(kLastPlayed))) r.LastPlayed = *date;
  }
  r.PlayFreq = text(kFrequency).trimmed().toInt();
  r.SerialNumber = text(kSerialNumber);
  r.TrackNumber = text(kTrackNumber).trimmed().toShort();
  r.ArtistURL = text(kArtistURL);
  r.BuyCDURL = text(kBuyCDURL);
  r.ArtistEmail = text(kArtistEmail);
  song.year = text(kYear);
  song.comment = text(kComment);
  for (int list = 0; list < 5; ++list)
    r.*kListFields[list] = cmbDropDown_[std::size_t(list)]->currentText();
}

TrackInfo::Boxes GetSongInfoFromUser::TickedBoxes() const {
  TrackInfo::Boxes boxes{};
  for (int box = 0; box < TrackInfo::kBoxes; ++box) {
    boxes[std::size_t(box)] = chkApplyToAlbum_[std::size_t(box)]->isChecked();
  }
  return boxes;
}

bool GetSongInfoFromUser::IsChanged() {
  if (Shows()) TakeFields();
  return context_.info.IsChanged();
}

// The whole save: the song, then its album when boxes are ticked. A song the window does
// not show (edited in the lyrics editor only) is saved without its album.
void GetSongInfoFromUser::Save() {
  if (context_.info.Path().isEmpty()) return;
  const bool shows = Shows();
  if (shows) TakeFields();
  context_.info.Save();
  if (shows) context_.info.ApplyToAlbum(TickedBoxes());
  if (context_.saved) context_.saved();
}

void GetSongInfoFromUser::imgOK_Click() {
  Save();
  cancelled_ = true;  // saved: closing asks nothing more
  close();
}

void GetSongInfoFromUser::imgCancel_Click() {
  cancelled_ = true;
  close();
}

// Yes saves, No drops the edits.
bool GetSongInfoFromUser::AskToSave() {
  if (!IsChanged()) return false;
  MessageCatalog& catalog = context_.catalog;
  const QString name = QFileInfo(context_.info.Path()).fileName();
  const int answer = context_.prompter.Ask(catalog.GetMsgWithValue(RC_SaveTrackInfo, name),
                                           catalog.GetMsg(RC_Yes) + u'|' + catalog.GetMsg(RC_No),
                                           MessageIcon::Question);
  if (answer != 1) {
    context_.info.Revert();
    if (context_.reloaded) context_.reloaded();
    return false;
  }
  Save();
  return true;
}

// Steps from the song shown, wherever the window was opened from.
void GetSongInfoFromUser::Move(int step) {
  AskToSave();
  const QString next = context_.move ? context_.move(context_.info.Path(), step) : QString();
  if (next.isEmpty()) {
    Fill();  // what the question left
  } else {
    EditTrackInfo(next);
  }
}

void GetSongInfoFromUser::txtTrackInfo_DblClick(int index) {
  const QString address = txtTrackInfo_.at(std::size_t(index))->text().trimmed();
  if (address.isEmpty() || !context_.openAddress) return;
  context_.openAddress(index == kArtistEmail && !address.contains(u':') ? u"mailto:"_s + address
                                                                        : address);
}

// The folder is the picture chooser's, remembered as EditPicPath.
void GetSongInfoFromUser::imgEditArt_Click() {
  const QString path = context_.info.Path();
  if (path.isEmpty()) return;
  const QString folder = ReadIniDefault(context_.settingsFile, u"PlayList"_s, u"EditPicPath"_s,
                                        QFileInfo(path).absolutePath());
  const QStringList chosen =
      context_.prompter.OpenFileNames(context_.catalog.GetMsg(RC_Menu_AddArt), folder,
                                      u"Pictures ("_s + ArtPicture::Patterns().join(u' ') + u')');
  if (chosen.isEmpty()) return;
  if (!context_.info.SetPicture(chosen.first())) {
    context_.prompter.Tell(chosen.first() + u"\nThis file is not a picture."_s,
                           MessageIcon::Exclamation);
    return;
  }
  WriteIniString(context_.settingsFile, u"PlayList"_s, u"EditPicPath"_s,
                 QFileInfo(chosen.first()).absolutePath());
  ShowPicture();
}

bool GetSongInfoFromUser::eventFilter(QObject* watched, QEvent* event) {
  if (watched == imgArt_ && event->type() == QEvent::MouseButtonRelease) {
    imgEditArt_Click();
    return true;
  }
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (const int index : {kArtistURL, kBuyCDURL, kArtistEmail}) {
      if (watched == txtTrackInfo_[std::size_t(index)]) {
        txtTrackInfo_DblClick(index);
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void GetSongInfoFromUser::keyPressEvent(QKeyEvent* event) {
  const int steps[][2] = {
      {Qt::Key_Up, -1}, {Qt::Key_Down, 1}, {Qt::Key_PageUp, -kPage}, {Qt::Key_PageDown, kPage}};
  for (const auto& [key, step] : steps) {
    if (event->key() == key) {
      Move(step);
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

void GetSongInfoFromUser::closeEvent(QCloseEvent* event) {
  if (!cancelled_) AskToSave();
  cancelled_ = false;
  TrackInfo::WriteBoxes(context_.settingsFile, TickedBoxes());
  event->accept();
}

}  // namespace audiolume
