#include "recorder/RecordFrm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "platform/FileError.h"
#include "recorder/AccurateRip.h"
#include "recorder/CddbSettings.h"
#include "recorder/RecordDisc.h"
#include "recorder/RecordJob.h"
#include "recorder/RecordList.h"
#include "recorder/RecordSettings.h"
#include "recorder/TitleLookup.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"
#include "support/ReplaceQuestion.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

constexpr int kVisibleRows = 8;
constexpr int kRowHeight = 28;

QPushButton* ToolButton(QWidget* parent, const QString& name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

RecordFrm::RecordFrm(RecordFrmContext context) : context_(std::move(context)) {
  setObjectName(u"RecordFrm"_s);
  setWindowTitle(context_.catalog.GetMsg(RC_RecordFromCD));
  lblInsertDisc_ = new QLabel(this);
  lblInsertDisc_->setObjectName(u"lblInsertDisc"_s);
  lblInsertDisc_->setAlignment(Qt::AlignCenter);
  lblInsertDisc_->hide();
  lblErrorMessage_ = new QLabel(this);
  lblErrorMessage_->setObjectName(u"lblErrorMessage"_s);
  lblErrorMessage_->hide();
  lblRecError_ = new QLabel(this);
  lblRecError_->setObjectName(u"lblRecError"_s);
  lblRecError_->setStyleSheet(u"color: #b00000"_s);
  lblRecError_->hide();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildTop());
  layout->addWidget(lblInsertDisc_);
  layout->addWidget(BuildRows());
  layout->addWidget(lblErrorMessage_);
  layout->addWidget(lblRecError_);
  layout->addStretch();
  ConnectModel();
  ConnectJob();
  ClearDisc();
}

QWidget* RecordFrm::BuildTop() {
  auto* top = new QWidget(this);
  MessageCatalog& catalog = context_.catalog;
  txtArtist_ = new QLineEdit(top);
  txtArtist_->setObjectName(u"txtArtist"_s);
  txtAlbumTitle_ = new QLineEdit(top);
  txtAlbumTitle_->setObjectName(u"txtAlbumTitle"_s);
  lblSerialNum_ = new QLabel(top);
  lblSerialNum_->setObjectName(u"lblSerialNum"_s);
  lblSerialNum_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  btnCDDB_ = ToolButton(top, u"btnCDDB"_s, catalog.GetMsg(RC_CDDB));
  btnCDDBPrefs_ = ToolButton(top, u"btnCDDBPrefs"_s, catalog.GetMsg(RC_CDDBpref));
  imgSelectAll_ = ToolButton(top, u"imgSelectAll"_s, catalog.GetMsg(RC_SelectAll));
  imgUnselectAll_ = ToolButton(top, u"imgUnselectAll"_s, catalog.GetMsg(RC_ClearAll));
  cmdRecord_ = ToolButton(top, u"cmdRecord"_s, catalog.GetMsg(RC_RecordFromCD));
  cmdCancel_ = ToolButton(top, u"cmdCancel"_s, catalog.GetMsg(RC_Cancel));
  cmdCancel_->hide();
  lblOptions_ = ToolButton(top, u"lblOptions"_s, catalog.GetMsg(RC_RecOptions));
  picBusy_ = new QProgressBar(top);
  picBusy_->setObjectName(u"picBusy"_s);
  picBusy_->setRange(0, 0);
  picBusy_->setMaximumWidth(120);
  picBusy_->hide();
  const std::pair<QPushButton*, void (RecordFrm::*)()> handlers[] = {
      {btnCDDB_, &RecordFrm::btnCDDB_Click},
      {btnCDDBPrefs_, &RecordFrm::btnCDDBPrefs_Click},
      {imgSelectAll_, &RecordFrm::imgSelectAll_Click},
      {imgUnselectAll_, &RecordFrm::imgUnselectAll_Click},
      {cmdRecord_, &RecordFrm::cmdRecord_Click},
      {cmdCancel_, &RecordFrm::cmdCancel_Click},
      {lblOptions_, &RecordFrm::lblOptions_Click}};
  for (const auto& [button, handler] : handlers)
    connect(button, &QPushButton::clicked, this, handler);
  connect(txtArtist_, &QLineEdit::textEdited, this,
          [this](const QString& text) { context_.disc.Disc().artist = text; });
  connect(txtAlbumTitle_, &QLineEdit::textEdited, this,
          [this](const QString& text) { context_.disc.Disc().album = text; });

  auto* grid = new QGridLayout(top);
  grid->addWidget(new QLabel(catalog.GetMsg(RC_Artist), top), 0, 0);
  grid->addWidget(txtArtist_, 0, 1, 1, 3);
  grid->addWidget(new QLabel(catalog.GetMsg(RC_Album), top), 1, 0);
  grid->addWidget(txtAlbumTitle_, 1, 1, 1, 3);
  grid->addWidget(new QLabel(catalog.GetMsg(RC_SerNum), top), 2, 0);
  grid->addWidget(lblSerialNum_, 2, 1);
  grid->addWidget(picBusy_, 2, 2);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {btnCDDB_, btnCDDBPrefs_, imgSelectAll_, imgUnselectAll_, lblOptions_,
                              cmdRecord_, cmdCancel_}) {
    buttons->addWidget(button);
  }
  grid->addLayout(buttons, 3, 0, 1, 4);
  grid->setColumnStretch(1, 1);
  return top;
}

QWidget* RecordFrm::BuildRows() {
  stack_ = new QStackedWidget(this);
  scrSongList_ = new QScrollArea(stack_);
  scrSongList_->setObjectName(u"scrSongList"_s);
  scrSongList_->setWidgetResizable(true);
  scrSongList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Eight rows show; more scroll.
  scrSongList_->setFixedHeight(kVisibleRows * kRowHeight + 2 * scrSongList_->frameWidth() + 4);
  pnlTrackInner_ = new QWidget(scrSongList_);
  pnlTrackInner_->setObjectName(u"pnlTrackInner"_s);
  auto* rows = new QVBoxLayout(pnlTrackInner_);
  rows->setSpacing(0);
  rows->setContentsMargins(0, 2, 0, 2);
  rows->addStretch();
  scrSongList_->setWidget(pnlTrackInner_);
  lstCDDBMatches_ = new QListWidget(stack_);
  lstCDDBMatches_->setObjectName(u"lstCDDBMatches"_s);
  lstCDDBMatches_->setFont(QFont(u"Monospace"_s));
  connect(lstCDDBMatches_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { lstCDDBMatches_dblClick(lstCDDBMatches_->row(item)); });
  // Escape leaves the choice: the lookup ends and the rows come back.
  auto* leave = new QShortcut(QKeySequence(Qt::Key_Escape), lstCDDBMatches_);
  leave->setContext(Qt::WidgetShortcut);
  connect(leave, &QShortcut::activated, this, [this] {
    for (TitleLookup* lookup : Lookups()) lookup->Cancel();
  });
  stack_->addWidget(scrSongList_);
  stack_->addWidget(lstCDDBMatches_);
  return stack_;
}

void RecordFrm::ConnectModel() {
  RecordDisc& disc = context_.disc;
  connect(&disc, &RecordDisc::StatusChanged, this, &RecordFrm::ShowStatus);
  connect(&disc, &RecordDisc::InsertDiscChanged, this, [this](const QString& text) {
    lblInsertDisc_->setText(text);
    lblInsertDisc_->setVisible(!text.isEmpty());
  });
  connect(&disc, &RecordDisc::DiscRead, this, &RecordFrm::ShowDisc);
  connect(&disc, &RecordDisc::DiscRemoved, this, &RecordFrm::ClearDisc);
  connect(&disc, &RecordDisc::LookupWanted, this, &RecordFrm::StartLookup);
  connect(&disc, &RecordDisc::GaveUp, this, &QWidget::close);
  for (TitleLookup* lookup : Lookups()) {
    connect(lookup, &TitleLookup::StatusChanged, this, &RecordFrm::ShowStatus);
    connect(lookup, &TitleLookup::BusyChanged, this, &RecordFrm::SetBusy);
    connect(lookup, &TitleLookup::TitlesChanged, this, &RecordFrm::ShowTitles);
    connect(lookup, &TitleLookup::MatchesShown, this, &RecordFrm::ShowMatches);
  }
  connect(&context_.musicBrainz, &TitleLookup::Finished, this, &RecordFrm::AfterMusicBrainz);
}

QList<TitleLookup*> RecordFrm::Lookups() const {
  return {&context_.cddb, &context_.musicBrainz};
}

void RecordFrm::SetLookupSettings(const CddbSettings& settings) {
  for (TitleLookup* lookup : Lookups()) lookup->SetSettings(settings);
}

// The disc, the lookup and the recording all speak through the one status line.
void RecordFrm::ShowStatus(const QString& text) {
  lblErrorMessage_->setText(text);
  lblErrorMessage_->setVisible(!text.isEmpty());
}

void RecordFrm::Form_Load() {
  SetLookupSettings(CddbSettings::Load(context_.settingsFile));
  context_.disc.Disc().pollSuspended = false;
  context_.disc.InitCD();
}

RecordFrm::Row& RecordFrm::RowAt(int index) {
  while (rows_.size() <= index) {
    const int number = int(rows_.size()) + 1;
    auto* line = new QWidget(pnlTrackInner_);
    line->setFixedHeight(kRowHeight);
    Row row{line,
            new QLabel(QString::number(number), line),
            new QLineEdit(line),
            new QCheckBox(line),
            new QLabel(line),
            new QProgressBar(line),
            new QLabel(line)};
    row.picProgress->setObjectName(u"picProgress"_s);
    row.picProgress->setFixedWidth(90);
    row.picProgress->setRange(0, 100);
    row.picProgress->hide();
    row.picRecordStatus->setObjectName(u"picRecordStatus"_s);
    row.picRecordStatus->setFixedWidth(18);
    row.lblTrack->setObjectName(u"lblTrack"_s);
    row.txtTrack->setObjectName(u"txtTrack"_s);
    row.ChkTrack->setObjectName(u"ChkTrack"_s);
    row.lblSongTime->setObjectName(u"lblSongTime"_s);
    row.lblTrack->setFixedWidth(28);
    row.lblSongTime->setFixedWidth(48);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(4, 1, 4, 1);
    layout->addWidget(row.ChkTrack);
    layout->addWidget(row.lblTrack);
    layout->addWidget(row.txtTrack, 1);
    layout->addWidget(row.lblSongTime);
    layout->addWidget(row.picProgress);
    layout->addWidget(row.picRecordStatus);
    auto* rows = static_cast<QVBoxLayout*>(pnlTrackInner_->layout());
    rows->insertWidget(rows->count() - 1, line);
    const int k = number - 1;
    connect(row.txtTrack, &QLineEdit::textEdited, this, [this, k](const QString& text) {
      QStringList& titles = context_.disc.Disc().titles;
      if (k < titles.size()) titles[k] = text;
    });
    rows_.append(row);
  }
  return rows_[index];
}

void RecordFrm::ShowDisc() {
  const CdDisc& disc = context_.disc.Disc();
  for (int k = 0; k < disc.tracks.size(); ++k) {
    Row& row = RowAt(k);
    const CdDisc::TrackInfo& track = disc.tracks[k];
    row.lblSongTime->setText(track.LengthText());
    ShowRow(row, true);
  }
  for (qsizetype k = disc.tracks.size(); k < rows_.size(); ++k) {
    ShowRow(rows_[k], false);
    rows_[k].ChkTrack->setChecked(false);
  }
  lblSerialNum_->setText(disc.serialNumber);
  imgSelectAll_->setEnabled(true);
  imgUnselectAll_->setEnabled(true);
  btnCDDB_->setEnabled(true);
  cmdRecord_->setEnabled(true);
  ShowTitles();
}

void RecordFrm::ShowTitles() {
  const CdDisc& disc = context_.disc.Disc();
  txtArtist_->setText(disc.artist);
  txtAlbumTitle_->setText(disc.album);
  for (qsizetype k = 0; k < disc.titles.size() && k < rows_.size(); ++k) {
    rows_[k].txtTrack->setText(disc.titles[k]);
  }
}

void RecordFrm::ClearDisc() {
  for (Row& row : rows_) {
    row.ChkTrack->setChecked(false);
    ShowRow(row, false);
  }
  if (!rows_.isEmpty())
    rows_[0].txtTrack->setText(context_.catalog.GetMsgWithValue(RC_TrackNum, u"1"_s));
  lblSerialNum_->clear();
  txtArtist_->clear();
  for (Row& row : rows_) {
    row.picProgress->hide();
    row.picRecordStatus->clear();
    row.picRecordStatus->setToolTip(QString());
  }
  txtAlbumTitle_->clear();
  cmdRecord_->setEnabled(false);
  imgSelectAll_->setEnabled(false);
  imgUnselectAll_->setEnabled(false);
}

void RecordFrm::ShowRow(Row& row, bool shown) {
  row.line->setVisible(shown);
}

int RecordFrm::VisibleRows() const {
  int visible = 0;
  for (const Row& row : rows_) visible += row.line->isVisibleTo(this) ? 1 : 0;
  return visible;
}

QLineEdit* RecordFrm::TrackTitle(int index) const {
  return index < rows_.size() ? rows_[index].txtTrack : nullptr;
}

QCheckBox* RecordFrm::TrackTick(int index) const {
  return index < rows_.size() ? rows_[index].ChkTrack : nullptr;
}

void RecordFrm::imgSelectAll_Click() {
  for (qsizetype k = 0; k < context_.disc.Disc().tracks.size() && k < rows_.size(); ++k) {
    rows_[k].ChkTrack->setChecked(true);
  }
}

void RecordFrm::imgUnselectAll_Click() {
  for (Row& row : rows_) row.ChkTrack->setChecked(false);
}

void RecordFrm::btnCDDB_Click() {
  context_.disc.SaveCDPlayerData();
  StartLookup();
}

void RecordFrm::btnCDDBPrefs_Click() {
  if (context_.showCddbPrefs()) SetLookupSettings(CddbSettings::Load(context_.settingsFile));
}

void RecordFrm::StartLookup() {
  if (context_.cddb.IsBusy() || context_.musicBrainz.IsBusy() ||
      context_.disc.Disc().numberOfTracks == 0) {
    return;
  }
  CddbSettings settings = context_.cddb.Settings();
  if (!settings.useCddb) return;
  if (settings.notConfigured) {
    if (!context_.showCddbPrefs()) return;
    settings = CddbSettings::Load(context_.settingsFile);
    SetLookupSettings(settings);
    if (!settings.useCddb) return;
  }
  if (settings.showCddbDlg) {
    if (!context_.askCddbLogin()) return;
    // The question may have been turned off for next time.
    settings = CddbSettings::Load(context_.settingsFile);
    SetLookupSettings(settings);
  }
  (settings.AsksMusicBrainz() ? context_.musicBrainz : context_.cddb).Start();
}

void RecordFrm::AfterMusicBrainz() {
  // Cancelled by the user or the disc going leaves no failure: nothing more is asked.
  if (context_.musicBrainz.FailureText().isEmpty()) return;
  if (context_.cddb.Settings().source == CddbSettings::Source::MusicBrainzThenCddb)
    context_.cddb.Start();
}

void RecordFrm::SetBusy(bool busy) {
  const QList<QWidget*> held = {scrSongList_, txtAlbumTitle_, txtArtist_, pnlTrackInner_, btnCDDB_};
  for (QWidget* widget : held) widget->setEnabled(!busy);
  picBusy_->setVisible(busy);
  if (!busy) stack_->setCurrentWidget(scrSongList_);
}

void RecordFrm::ShowMatches(const QStringList& items) {
  lstCDDBMatches_->clear();
  for (const QString& item : items) {
    auto* line = new QListWidgetItem(item.section(u" \\ "_s, 0, 0), lstCDDBMatches_);
    line->setToolTip(item.section(u" \\ "_s, 3, 4).replace(u" \\ "_s, u" — "_s));
  }
  stack_->setCurrentWidget(lstCDDBMatches_);
  lstCDDBMatches_->setCurrentRow(0);
  lstCDDBMatches_->setFocus();
  picBusy_->hide();  // the user's turn
}

void RecordFrm::lstCDDBMatches_dblClick(int row) {
  stack_->setCurrentWidget(scrSongList_);
  lstCDDBMatches_->clear();
  for (TitleLookup* lookup : Lookups()) {
    if (lookup->IsChoosing()) lookup->Choose(row);
  }
}

void RecordFrm::ConnectJob() {
  RecordJob& job = context_.job;
  connect(&job, &RecordJob::TrackMarked, this, [this](int track, RecordJob::Mark mark) {
    if (track < 1 || track > rows_.size()) return;
    Row& row = rows_[track - 1];
    static const QString kMarks[] = {QString(), u"…"_s, u"●"_s, u"✔"_s, u"⚠"_s, u"✘"_s};
    row.picRecordStatus->setText(kMarks[int(mark)]);
    row.picRecordStatus->setToolTip(QString());
    row.picProgress->setVisible(mark != RecordJob::Mark::None);
    if (mark == RecordJob::Mark::Queued) row.picProgress->setValue(0);
    if (mark == RecordJob::Mark::Done || mark == RecordJob::Mark::Warning) {
      row.picProgress->setValue(100);
    }
  });
  connect(&job, &RecordJob::TrackVerified, this,
          [this](int track, const AccurateRip::Verdict& verdict) {
            if (track < 1 || track > rows_.size()) return;
            QLabel* mark = rows_[track - 1].picRecordStatus;
            // The database's word marks the track only when it has one on its sums.
            if (verdict.kind == AccurateRip::Verdict::Kind::Accurate) mark->setText(u"☑"_s);
            if (verdict.kind == AccurateRip::Verdict::Kind::NotAccurate) mark->setText(u"≠"_s);
            mark->setToolTip(verdict.LogLine().trimmed());
          });
  connect(&job, &RecordJob::TrackProgress, this,
          [this](int track, int percent, const QString& text) {
            if (track < 1 || track > rows_.size()) return;
            rows_[track - 1].picProgress->setValue(std::min(percent, 100));
            rows_[track - 1].picProgress->setFormat(text);
          });
  connect(&job, &RecordJob::StatusChanged, this, &RecordFrm::ShowStatus);
  connect(&job, &RecordJob::ErrorLineChanged, this, [this](const QString& text) {
    lblRecError_->setText(text);
    lblRecError_->setVisible(!text.isEmpty());
  });
  connect(&job, &RecordJob::JobEnded, this, [this] { SetRecording(false); });
}

void RecordFrm::SetRecording(bool recording) {
  const QList<QWidget*> held = {btnCDDB_,        btnCDDBPrefs_, imgSelectAll_,
                                imgUnselectAll_, cmdRecord_,    pnlTrackInner_};
  for (QWidget* widget : held) widget->setEnabled(!recording);
  cmdRecord_->setVisible(!recording);
  cmdCancel_->setVisible(recording);
  context_.disc.Disc().pollSuspended = recording;
  if (!recording) context_.disc.PollTimer().start();
}

void RecordFrm::cmdRecord_Click() {
  if (context_.job.IsRecording()) return;
  RecordDisc& disc = context_.disc;
  disc.SaveCDPlayerData();
  RecordSettings settings = RecordSettings::Load(context_.settingsFile, context_.appDir);
  QList<bool> ticked;
  for (qsizetype k = 0; k < disc.Disc().tracks.size() && k < rows_.size(); ++k) {
    ticked.append(rows_[k].ChkTrack->isChecked());
  }
  if (!ticked.contains(true)) {
    context_.prompter.Tell(u"There are no songs checked"_s, MessageIcon::Exclamation);
    return;
  }
  if (context_.setUpDrive && context_.job.NeedsDriveSetUp(settings)) {
    // A drive is tested before its first digital recording; the test may also have
    // switched the recorder to analog capture.
    context_.setUpDrive();
    settings = RecordSettings::Load(context_.settingsFile, context_.appDir);
  }
  ReplaceQuestion replace(context_.catalog, context_.prompter);
  QList<RecordItem> items;
  try {
    items = RecordList::BuildRecordList(settings, disc.Disc(), ticked, replace);
  } catch (const platform::FileError& error) {
    context_.prompter.Tell(error.Path() + u'\n' + QString::fromLocal8Bit(error.what()),
                           MessageIcon::Critical);
    return;
  }
  for (qsizetype k = 0; k < ticked.size(); ++k) rows_[k].ChkTrack->setChecked(ticked[k]);
  if (items.isEmpty()) return;
  if (const QString refusal = context_.job.Refusal(settings, disc.DriveDevice());
      !refusal.isEmpty()) {
    context_.prompter.Tell(refusal, MessageIcon::Exclamation);
    return;
  }
  lblRecError_->hide();
  SetRecording(true);
  context_.job.Start(settings, RecordJob::TracksOf(items, disc.Disc()), disc.SelectedDrive(),
                     disc.DriveLetter(), disc.DriveDevice(),
                     AccurateRip::IdsOf(disc.Disc()).EntryPath(), disc.Disc().cover);
}

void RecordFrm::lblOptions_Click() {
  if (context_.showOptions && !context_.job.IsRecording()) context_.showOptions();
}

void RecordFrm::cmdCancel_Click() {
  if (!context_.job.IsRecording()) return;
  const int answer =
      context_.prompter.Ask(context_.catalog.GetMsg(RC_AreYouSure_Cancel),
                            context_.catalog.GetMsg(RC_Yes) + u'|' + context_.catalog.GetMsg(RC_No),
                            MessageIcon::Question);
  if (answer == 1) context_.job.Cancel();
}

void RecordFrm::closeEvent(QCloseEvent* event) {
  // A recording writes songs for this disc; the window stays until it is over or given up.
  if (context_.job.IsRecording()) {
    cmdCancel_Click();
    if (context_.job.IsRecording()) {
      event->ignore();
      return;
    }
  }
  // The lookup writes into the disc the window shows; it ends with the window.
  for (TitleLookup* lookup : Lookups()) lookup->Cancel();
  context_.disc.CloseMCI();
  context_.disc.SaveCDPlayerData();
  event->accept();
}

}  // namespace audiolume
