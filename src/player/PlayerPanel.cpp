#include "player/PlayerPanel.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "player/PlayerEngine.h"
#include "player/SeekBar.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

PlayerPanel::PlayerPanel(PlayerEngine& engine, MessageCatalog& catalog, const QString& themeFolder,
                         QWidget* parent)
    : QWidget(parent), engine_(engine), catalog_(catalog) {
  setObjectName(u"picPlayer"_s);
  const QString skin = themeFolder + u"/player.png"_s;
  if (QFileInfo::exists(skin)) {
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(u"#picPlayer { border-image: url("_s + skin +
                  u") 0 0 0 0 stretch stretch; } QLabel { color: #f2f2f2; }"
                  u" QToolButton { background: rgba(255, 255, 255, 0.82);"
                  u" border-radius: 13px; padding: 2px; }"
                  u" QToolButton:checked { background: #f0a53c; }"
                  u" QToolButton:disabled { background: rgba(255, 255, 255, 0.3); }"_s);
  }
  BuildControls();
  BuildLayout();
  FollowEngine();
  setFixedWidth(380);
}

QToolButton* PlayerPanel::TransportButton(const QString& name, int icon, int tipId) {
  auto* button = new QToolButton(this);
  button->setObjectName(name);
  button->setIcon(style()->standardIcon(QStyle::StandardPixmap(icon)));
  button->setIconSize(QSize(22, 22));
  button->setToolTip(catalog_.GetMsg(tipId));
  button->setAutoRaise(true);
  return button;
}

void PlayerPanel::BuildControls() {
  lblSongName_ = new QLabel(catalog_.GetMsg(RC_TWPL_Title), this);
  lblSongName_->setObjectName(u"lblSongName"_s);
  QFont titleFont = lblSongName_->font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
  titleFont.setBold(true);
  lblSongName_->setFont(titleFont);
  lblArtist_ = new QLabel(this);
  lblArtist_->setObjectName(u"lblArtist"_s);
  PositionLabel_ = new QLabel(u"0:00/0:00"_s, this);
  PositionLabel_->setObjectName(u"PositionLabel"_s);
  PositionScroll_ = new SeekBar(this);
  PositionScroll_->setObjectName(u"PositionScroll"_s);
  VolumeSlider_ = new QSlider(Qt::Horizontal, this);
  VolumeSlider_->setObjectName(u"VolumeSlider"_s);
  VolumeSlider_->setRange(0, PlayerEngine::kVolumeMaximum);
  // Its value runs from loud (0) to silent (maximum); shown the usual way round.
  VolumeSlider_->setInvertedAppearance(true);
  VolumeSlider_->setMaximumWidth(110);
  cmdPlayOrder_ = new QComboBox(this);
  cmdPlayOrder_->setObjectName(u"cmdPlayOrder"_s);
  cmdPlayOrder_->addItems(
      {catalog_.GetMsg(RC_FixedOrder), catalog_.GetMsg(RC_AutoSelect_RandomOrder)});
  cmdPlayOption_ = new QComboBox(this);
  cmdPlayOption_->setObjectName(u"cmdPlayOption"_s);
  cmdPlayOption_->addItems({catalog_.GetMsg(RC_SinglePlay), catalog_.GetMsg(RC_Continuous)});

  cmdSkipBack_ = TransportButton(u"cmdSkipBack"_s, QStyle::SP_MediaSkipBackward, RC_PreviousTTips);
  Button_Play_ = TransportButton(u"Button_Play"_s, QStyle::SP_MediaPlay, RC_PlayTTips);
  Button_Pause_ = TransportButton(u"Button_Pause"_s, QStyle::SP_MediaPause, RC_PauseTTips);
  Button_Stop_ = TransportButton(u"Button_Stop"_s, QStyle::SP_MediaStop, RC_StopTTips);
  cmdSkipForward_ =
      TransportButton(u"cmdSkipForward"_s, QStyle::SP_MediaSkipForward, RC_ForwardTTips);
  imgSizeDown_ =
      TransportButton(u"imgSizeDown"_s, QStyle::SP_TitleBarShadeButton, RC_SizeDownTTips);
  imgSizeUp_ = TransportButton(u"imgSizeUp"_s, QStyle::SP_TitleBarUnshadeButton, RC_SizeUpTTips);
  Button_Play_->setCheckable(true);
  Button_Pause_->setCheckable(true);
  connect(cmdSkipBack_, &QToolButton::clicked, &engine_, &PlayerEngine::cmdSkipBack_Click);
  connect(cmdSkipForward_, &QToolButton::clicked, &engine_, &PlayerEngine::cmdSkipForward_Click);
  connect(Button_Stop_, &QToolButton::pressed, &engine_, &PlayerEngine::Button_Stop_MouseDown);
  connect(Button_Play_, &QToolButton::pressed, this, &PlayerPanel::PlayPressed);
  connect(Button_Pause_, &QToolButton::pressed, &engine_, &PlayerEngine::Button_Pause_MouseDown);
  connect(Button_Pause_, &QToolButton::released, &engine_, &PlayerEngine::Button_Pause_MouseUp);
  connect(imgSizeDown_, &QToolButton::clicked, this, &PlayerPanel::SizeDownClicked);
  connect(imgSizeUp_, &QToolButton::clicked, this, &PlayerPanel::SizeUpClicked);
  connect(PositionScroll_, &QSlider::sliderMoved, &engine_, &PlayerEngine::PositionScroll_Scroll);
  connect(VolumeSlider_, &QSlider::valueChanged, &engine_, &PlayerEngine::VolumeSlider_Change);
  connect(cmdPlayOrder_, &QComboBox::activated, this, &PlayerPanel::PlayOrderChosen);
  connect(cmdPlayOption_, &QComboBox::activated, this, &PlayerPanel::PlayCycleChosen);
}

void PlayerPanel::BuildLayout() {
  auto* title = new QHBoxLayout;
  title->addWidget(lblSongName_, 1);
  title->addWidget(imgSizeDown_);
  title->addWidget(imgSizeUp_);
  auto* position = new QHBoxLayout;
  position->addWidget(PositionScroll_, 1);
  position->addWidget(PositionLabel_);
  auto* transport = new QHBoxLayout;
  for (QToolButton* button :
       {cmdSkipBack_, Button_Play_, Button_Pause_, Button_Stop_, cmdSkipForward_}) {
    transport->addWidget(button);
  }
  transport->addStretch();
  transport->addWidget(VolumeSlider_);
  auto* order = new QHBoxLayout;
  order->addWidget(cmdPlayOrder_);
  order->addWidget(cmdPlayOption_);
  order->addStretch();
  // The CD mode and the file mode; the chosen one is highlighted.
  auto* lblMp3 = new QToolButton(this);
  auto* lblCDPlayer = new QToolButton(this);
  for (const auto& [button, name, text, on] : {std::tuple{lblMp3, u"lblMp3"_s, u"MP3"_s, false},
                                               {lblCDPlayer, u"lblCDPlayer"_s, u"CD"_s, true}}) {
    button->setObjectName(name);
    button->setText(text);
    button->setCheckable(true);
    button->setAutoExclusive(true);
    order->addWidget(button);
    connect(button, &QToolButton::clicked, this, [this, mode = on] { engine_.SetCDMode(mode); });
  }
  lblMp3->setChecked(true);
  // The library, the playlist manager, the lyrics and the track information, one click
  // from the player.
  auto* windows = new QHBoxLayout;
  for (const auto& [name, caption, tip, item] :
       {std::tuple{u"lblMusicLibrary"_s, RC_MusicLibTTips, RC_MusicLibTTips, u"mnuShowMusicLib"_s},
        {u"lblPlayList"_s, RC_PlayList, RC_PlayListMgrTTips, u"mnuShowPlayListMgr"_s},
        {u"lblLyrics"_s, RC_Lyrics, RC_TrackInfoTTips, u"mnuShowLyrics"_s},
        {u"lblTrackInfo"_s, RC_TrackInfo, RC_EditTrackInfo, u"mnuEditTrackInfo"_s},
        {u"imgButton_Record"_s, RC_Button_Recorder, RC_RecordTTips, u"mnuShowRecorder"_s}}) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(catalog_.GetMsg(caption).section(u':', 0, 0));
    button->setToolTip(catalog_.GetMsg(tip));
    // The recorder's button sits beside the CD mode, where there is room for it.
    if (item == u"mnuShowRecorder") {
      order->insertWidget(order->count() - 2, button);
    } else {
      windows->addWidget(button);
    }
    connect(button, &QToolButton::clicked, this,
            [this, menuItem = item] { Q_EMIT MenuItemClicked(menuItem); });
  }
  auto* player = new QVBoxLayout(this);
  player->addLayout(title);
  player->addWidget(lblArtist_);
  player->addLayout(position);
  player->addLayout(transport);
  player->addLayout(order);
  windows->addStretch();
  player->addLayout(windows);
}

void PlayerPanel::FollowEngine() {
  connect(&engine_, &PlayerEngine::SongStarted, this,
          [this](int, const QString&, const QString& title, const QString& artist) {
            ShowSong(title, artist);
          });
  connect(&engine_, &PlayerEngine::LabelsCleared, this, [this] {
    lblSongName_->clear();
    lblArtist_->clear();
  });
  connect(&engine_, &PlayerEngine::TimeChanged, PositionLabel_, &QLabel::setText);
  connect(&engine_, &PlayerEngine::PositionChanged, this, [this](int value, int maximum) {
    if (PositionScroll_->isSliderDown()) return;
    const QSignalBlocker block(PositionScroll_);
    PositionScroll_->setMaximum(maximum);
    PositionScroll_->setPageStep(std::max(1, maximum / 10));
    PositionScroll_->setValue(value);
  });
  connect(&engine_, &PlayerEngine::ButtonsChanged, this, [this](bool play, bool pause) {
    Button_Play_->setChecked(play);
    Button_Pause_->setChecked(pause);
  });
  connect(&engine_, &PlayerEngine::VolumeSliderMoved, this, &PlayerPanel::ShowVolume);
}

void PlayerPanel::ShowSong(const QString& title, const QString& artist) {
  lblSongName_->setText(title);
  lblArtist_->setText(artist);
}

void PlayerPanel::ShowPlayOrder(int order, int cycle) {
  cmdPlayOrder_->setCurrentIndex(order);
  cmdPlayOption_->setCurrentIndex(cycle);
}

void PlayerPanel::ShowVolume(int value) {
  const QSignalBlocker block(VolumeSlider_);
  VolumeSlider_->setValue(value);
}

void PlayerPanel::ShowSize(bool smallest, bool largest) {
  for (QWidget* widget : std::initializer_list<QWidget*>{
           PositionScroll_, PositionLabel_, VolumeSlider_, cmdPlayOrder_, cmdPlayOption_}) {
    widget->setVisible(!smallest);
  }
  imgSizeDown_->setEnabled(!smallest);
  imgSizeUp_->setEnabled(!largest);
}

}  // namespace audiolume
