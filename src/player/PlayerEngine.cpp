#include "player/PlayerEngine.h"

#include <QFileInfo>

#include "library/SongLibrary.h"
#include "platform/AudioDecoder.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/PathNames.h"
#include "support/Prompter.h"
#include "support/Runtime.h"

using namespace Qt::Literals::StringLiterals;
using audiolume::platform::RealAudioEngine;
using audiolume::platform::XAudioPlayer;

namespace audiolume {

namespace {

QString TimeText(int minutes, int seconds) {
  return FormatNumber(minutes, u"#0"_s) + u':' + FormatNumber(seconds, u"00"_s);
}

}  // namespace

PlayerEngine::PlayerEngine(PlayQueue& queue, SongLibrary& library, MessageCatalog& catalog,
                           Prompter& prompter, QString errorTextFile, BackEnds backEnds,
                           QObject* parent)
    : QObject(parent),
      queue_(queue),
      library_(library),
      catalog_(catalog),
      prompter_(prompter),
      errorTextFile_(std::move(errorTextFile)),
      external_(catalog, prompter),
      delay_([this](int ms, std::function<void()> then) { QTimer::singleShot(ms, this, then); }) {
  const std::shared_ptr<platform::AudioSink> sink = std::move(backEnds.sink);
  xaudio_ = std::make_unique<XAudioPlayer>(
      sink, [this](quint32 message, qint64 w, qint64 l) { XaNotifyWindowProc(message, w, l); },
      backEnds.mpegOpen);
  realAudio_ = std::make_unique<RealAudioEngine>(sink, backEnds.otherOpen);
  connect(xaudio_.get(), &XAudioPlayer::NextStarted, this, &PlayerEngine::OnNextStarted);
  connect(realAudio_.get(), &RealAudioEngine::NextStarted, this, &PlayerEngine::OnNextStarted);
  // An edit of the queue or its order may change the song that follows.
  connect(this, &PlayerEngine::QueueChanged, this, &PlayerEngine::QueueFollowing);
  connect(this, &PlayerEngine::OrderChanged, this, &PlayerEngine::QueueFollowing);
  qint32 engine = 0;
  realAudio_->RaSetup(engine, raHandle_, 0);
  realAudio_->RaRegisterNotifyWnd(raHandle_, 0, 0, 0);
  realAudio_->RaSetClientLocale(raHandle_, 0);
  realAudio_->RaSetClientId(raHandle_, u"Audiolume "_s + u"3.12 EN ProgNet"_s);
  volumeSupported_ = realAudio_->RaVolumeSupport(raHandle_, kVolumeMaximum) != 0;

  positionTimer_.setInterval(50);
  eofTimer_.setInterval(1);
  eofPositionTimer_.setInterval(50);
  fadeTimer_.setInterval(1);
  connect(&positionTimer_, &QTimer::timeout, this, &PlayerEngine::PositionTimer_Timer);
  connect(&eofTimer_, &QTimer::timeout, this, &PlayerEngine::EOFTimer_Timer);
  connect(&eofPositionTimer_, &QTimer::timeout, this, &PlayerEngine::EOFPositionTimer_Timer);
  connect(&fadeTimer_, &QTimer::timeout, this, &PlayerEngine::FadeTimer_Timer);
}

PlayerEngine::~PlayerEngine() {
  ShutdownAudio();
}

void PlayerEngine::SetRefusals(std::function<bool()> recordingAnalog,
                               std::function<bool()> converting) {
  recordingAnalog_ = std::move(recordingAnalog);
  converting_ = std::move(converting);
}

// A wait belongs to the song and transport state it was started in: Stop, Pause and the
// start of another song drop it.
void PlayerEngine::Wait(int milliseconds, std::function<void()> then) {
  delay_(milliseconds, [this, generation = generation_, then = std::move(then)] {
    if (generation == generation_) then();
  });
}

PlayerEngine::Kind PlayerEngine::Classify(const QString& file) {
  const QString extension = u'.' + SplitFileExtension(file).extension.toLower();
  for (const QString& mpeg : {u".mp3"_s, u".mp2"_s, u".mp1"_s, u".mpg"_s}) {
    if (mpeg.contains(extension)) return Kind::Mpeg;
  }
  return Kind::Other;  // ".wav", ".ra" and everything else
}

// ---- queue -------------------------------------------------------------------------

void PlayerEngine::AddSongToPlayList(const QString& file, int position) {
  const PlayListEntry entry =
      readEntry_ ? readEntry_(file)
                 : PlayListEntry{file, SplitFileExtension(SplitPathName(file).name).base, {}, {}};
  queue_.Insert(position, entry);
  Q_EMIT QueueChanged();
}

void PlayerEngine::RemoveFromPlayList(int listIndex) {
  if (listIndex == queue_.CurrentIndex() - 1) Stop_Player();
  queue_.Remove(listIndex + 1);
  Q_EMIT QueueChanged();
}

void PlayerEngine::AddDroppedFiles(const QStringList& files) {
  for (const QString& file : files) {
    if (platform::IsSongFileName(file)) AddSongToPlayList(file, queue_.Length() + 1);
  }
}

// Rows of the library go by the row's texts, without looking at their files.
void PlayerEngine::AddLibraryRows(const QList<int>& rows) {
  QList<PlayListEntry> entries;
  for (const int row : rows) {
    if (row >= 1 && row <= library_.SongCount()) entries.append(library_.PlayListEntryOf(row));
  }
  if (!entries.isEmpty()) AppendEntries(entries);
}

void PlayerEngine::AppendEntries(const QList<PlayListEntry>& entries) {
  queue_.Append(entries);
  Q_EMIT QueueChanged();
}

void PlayerEngine::MoveEntry(int from, int to) {
  queue_.Move(from + 1, to + 1);
  Q_EMIT QueueChanged();
}

void PlayerEngine::ResetPlayerVars() {
  queue_.Clear();
  positionLabel_.clear();
  Q_EMIT TimeChanged(positionLabel_);
  Q_EMIT LabelsCleared();
  Q_EMIT QueueChanged();
}

// ---- order -------------------------------------------------------------------------

void PlayerEngine::NextSong(int step) {
  queue_.NextSong(step);
  Stop_Player();
  newSong_ = true;
  seekable_ = false;
  if (queue_.AllPlayed()) Q_EMIT LabelsCleared();
  Q_EMIT SelectionChanged(queue_.CurrentIndex() - 1);
}

// Plays the song NextSong chose, unless a single-play cycle has just run out.
void PlayerEngine::AfterNextSong() {
  newSong_ = true;
  paused_ = false;
  if (!queue_.AllPlayed()) {
    listIndex_ = queue_.CurrentIndex() - 1;
    PlayCurrentSong();
    return;
  }
  queue_.ResetOrderState();
  listIndex_ = 0;  // the next Play starts the queue again from its first entry
  Q_EMIT PlayEnded();
}

void PlayerEngine::PlayNextSong() {
  if (!external_.Program().isEmpty()) return;
  Stop_Player();
  if (singleSong_) {
    singleSong_ = false;
    Q_EMIT LabelsCleared();
    Q_EMIT PlayEnded();
    return;
  }
  NextSong(+1);
  AfterNextSong();
}

void PlayerEngine::cmdSkipForward_Click() {
  singleSong_ = false;
  PlayNextSong();
}

void PlayerEngine::cmdSkipBack_Click() {
  if (!external_.Program().isEmpty()) return;
  singleSong_ = false;
  Stop_Player();
  NextSong(-1);
  AfterNextSong();
}

void PlayerEngine::lstTitle_DblClick(int listIndex) {
  if (!external_.Program().isEmpty()) return;  // a double-click plays in this player only
  Stop_Player();
  listIndex_ = listIndex;
  newSong_ = true;
  PlayCurrentSong();
  paused_ = false;
}

// ---- transport ---------------------------------------------------------------------

void PlayerEngine::SetButtons(bool playDown, bool pauseDown) {
  Q_EMIT ButtonsChanged(playDown, pauseDown);
}

void PlayerEngine::Button_Play_MouseDown() {
  if (!external_.Program().isEmpty()) {
    external_.PlayQueue(queue_.Entries());
    return;
  }
  if (paused_) {
    Button_Pause_MouseUp();
    return;
  }
  SetButtons(true, false);
  playing_ = true;
  PlayCurrentSong();
}

void PlayerEngine::SetCDMode(bool on) {
  Stop_Player();
  cdMode_ = on;
  if (cdQueue_.Swap(queue_, on)) {
    listIndex_ = 0;
    Q_EMIT QueueChanged();
  }
}

// The drive's own output serves the CD mode without a readable disc, or when a track
// could not be read digitally.
bool PlayerEngine::DriveAudio() const {
  return cdMode_ && (!cdQueue_.Digital() || cdAnalog_);
}

void PlayerEngine::PlayCurrentSong() {
  queue_.SetCurrentIndex(std::max(1, listIndex_ + 1));
  const int index = queue_.CurrentIndex();
  if (cdMode_ && !cdQueue_.Digital()) {
    Q_EMIT SelectionChanged(index - 1);  // the drive plays what it plays; nothing starts here
    return;
  }
  PlaySongFile(index <= queue_.Length() ? queue_.Entry(index).path : QString());
  Q_EMIT SelectionChanged(index - 1);
}

void PlayerEngine::PlaySongFile(const QString& file) {
  if (!external_.Program().isEmpty()) {
    if (file.isEmpty()) {
      external_.PlayQueue(queue_.Entries());
    } else {
      external_.Play({file});
    }
    return;
  }
  Stop_Player();  // one song at a time, whichever back-end played the last
  if (!file.isEmpty()) library_.NoteSongPlayed(file);
  const int refusal = recordingAnalog_() ? RC_DisPlayerAnlgRec
                      : converting_()    ? RC_DisPlayerConvert
                      : file.isEmpty()   ? RC_MustAddToPlaylist
                                         : 0;
  if (refusal != 0) {
    prompter_.Tell(catalog_.GetMsg(refusal), MessageIcon::Exclamation);
    Stop_Player();
    return;
  }
  SetButtons(true, false);
  playing_ = true;
  streamEnded_ = false;
  currentFile_ = file;
  current_ = Classify(file);
  if (current_ == Kind::Mpeg) {
    mpegReady_ = false;
    xaudio_->control_message_send_S(XAudioPlayer::kInputOpen, file);
    // The MPEG back-end is silent about files it cannot open; without its announcement
    // the song is reported as the other back-end would and the queue goes on.
    if (!mpegReady_) {
      BackEndFailed(QFileInfo(file).isFile() ? RealAudioEngine::kNotDecodable
                                             : RealAudioEngine::kCannotOpen);
      return;
    }
    xaudio_->control_message_send_N(XAudioPlayer::kPlay);
    ApplyVolume();
    failuresInRow_ = 0;
    ShowSong();
    QueueFollowing();
  } else {
    newSong_ = true;
    positionTimer_.start();
  }
}

bool PlayerEngine::CueSong(int index, double seconds) {
  if (!external_.Program().isEmpty() || cdMode_ || index < 1 || index > queue_.Length()) {
    return false;
  }
  Stop_Player();
  const QString file = queue_.Entry(index).path;
  if (!QFileInfo(file).isFile()) return false;
  queue_.SetCurrentIndex(index);
  listIndex_ = index - 1;
  currentFile_ = file;
  current_ = Classify(file);
  streamEnded_ = false;
  newSong_ = false;
  if (!OpenCued(std::max(0.0, seconds))) {
    current_ = Kind::None;
    return false;
  }
  playDownAtPause_ = true;
  paused_ = true;
  SetButtons(false, true);
  QueueFollowing();
  return true;
}

// The song is opened and readied at its place at the user's volume, without a fade-in.
bool PlayerEngine::OpenCued(double seconds) {
  ApplyVolume();
  if (current_ == Kind::Mpeg) {
    mpegReady_ = false;
    xaudio_->control_message_send_S(XAudioPlayer::kInputOpen, currentFile_);
    if (!mpegReady_ || duration_ <= 0) return false;
    const double fraction = std::clamp(seconds / duration_, 0.0, 1.0);
    xaudio_->control_message_send_II(XAudioPlayer::kSeek,
                                     qint32(fraction * XAudioPlayer::kPositionRange),
                                     XAudioPlayer::kPositionRange);
    return true;
  }
  if (realAudio_->RaOpen(raHandle_, 0, currentFile_) != 0) return false;
  realAudio_->RaSeek(raHandle_, qint32(seconds * 10));
  seekable_ = true;
  return ShowOtherStatus();
}

void PlayerEngine::ShowSong() {
  const int index = queue_.CurrentIndex();
  QString title;
  QString artist;
  if (!singleSong_ && index >= 1 && index <= queue_.Length()) {
    title = queue_.Entry(index).title;
    artist = queue_.Entry(index).artist;
  }
  if (title.isEmpty()) title = SplitPathName(currentFile_).name;
  Q_EMIT SongStarted(index, currentFile_, title, artist);
}

void PlayerEngine::Play_Single_Song(const QString& file) {
  if (!QFileInfo(file).isFile()) {
    prompter_.Tell(catalog_.GetMsgWithValue(RC_DB_CantFind_songFilename1, file),
                   MessageIcon::Exclamation);
    return;
  }
  Stop_Player();
  singleSong_ = true;
  PlaySongFile(file);
}

void PlayerEngine::Button_Pause_MouseDown() {
  if (paused_) return;
  playDownAtPause_ = playing_;
  if (!playing_) return;
  SetButtons(false, true);
  playing_ = false;
  // The end-of-song run-on holds too, and goes on when play resumes.
  eofTimer_.stop();
  eofPositionTimer_.stop();
  ++generation_;
  if (DriveAudio()) {
    cd_->_CdsPause();
  } else if (current_ == Kind::Mpeg) {
    xaudio_->control_message_send_N(XAudioPlayer::kPause);
  } else {
    realAudio_->RaPause(raHandle_);
    positionTimer_.stop();
  }
}

// The release after a press that paused marks the pause; the next release resumes.
void PlayerEngine::Button_Pause_MouseUp() {
  if (!paused_) {
    paused_ = !playing_ && playDownAtPause_;
    return;
  }
  SetButtons(playDownAtPause_, false);
  if (playDownAtPause_) {
    if (DriveAudio()) {
      cd_->_CdsResume();
    } else if (current_ == Kind::Mpeg) {
      xaudio_->control_message_send_N(XAudioPlayer::kPlay);
      if (streamEnded_) StartRunOn(1000);
    } else {
      realAudio_->RaBegin(raHandle_);
      positionTimer_.start();
    }
    playing_ = true;
    ShowSong();
  }
  paused_ = false;
}

void PlayerEngine::Button_Stop_MouseDown() {
  Stop_Player();
}

void PlayerEngine::Stop_Player() {
  positionTimer_.stop();
  eofTimer_.stop();
  eofPositionTimer_.stop();
  ++generation_;
  SetButtons(false, false);
  playing_ = false;
  paused_ = false;
  joinQueued_ = false;
  if (DriveAudio()) {
    cd_->_CdsStop();
  } else if (current_ == Kind::Mpeg) {
    xaudio_->control_message_send_N(XAudioPlayer::kStop);
    xaudio_->control_message_send_N(XAudioPlayer::kInputClose);
  } else if (current_ == Kind::Other) {
    realAudio_->RaClose(raHandle_);
  }
  cdAnalog_ = false;
}

void PlayerEngine::PositionScroll_Scroll(int value) {
  SeekTo(value, shownRange_ > 0 ? lengthSeconds_ * value / shownRange_ : 0.0);
}

void PlayerEngine::SeekTo(int value, double seconds) {
  Q_EMIT Sought(seconds);
  if (DriveAudio()) {
    if (positionRange_ > 0) cd_->_CdsSkip(double(value) / double(positionRange_));
  } else if (current_ == Kind::Mpeg) {
    Wait(100, [this, value] {
      xaudio_->control_message_send_II(XAudioPlayer::kSeek, value, qint32(positionRange_));
    });
  } else if (seekable_) {
    realAudio_->RaSeek(raHandle_, value);
    realAudio_->RaBegin(raHandle_);
  }
}

void PlayerEngine::VolumeSlider_Change(int value) {
  fadeTimer_.stop();  // the user's own level wins over a fade under way
  volumeSlider_ = std::clamp(value, 0, kVolumeMaximum);
  ApplyVolume();
  Q_EMIT VolumeChosen();
}

int PlayerEngine::ChosenVolumeLevel() const {
  return fadeTimer_.isActive() ? fadeDistance_ : VolumeLevel();
}

void PlayerEngine::SetPlayOrder(PlayQueue::Order order) {
  if (queue_.PlayOrder() == order) return;
  queue_.SetOrder(order);
  Q_EMIT OrderChanged();
}

void PlayerEngine::SetPlayCycle(PlayQueue::Cycle cycle) {
  if (queue_.PlayCycle() == cycle) return;
  queue_.SetCycle(cycle);
  Q_EMIT OrderChanged();
}

void PlayerEngine::ApplyVolume() {
  if (volumeSupported_) realAudio_->RaSetVolume(raHandle_, VolumeLevel());
  xaudio_->control_message_send_III(XAudioPlayer::kVolume, 50, VolumeLevel(), 255);
}

// ---- MPEG back-end -----------------------------------------------------------------

void PlayerEngine::XaNotifyWindowProc(quint32 message, qint64 wParam, qint64 lParam) {
  switch (message) {
    case XAudioPlayer::kReady:
      mpegReady_ = true;
      xaudio_->control_message_send_I(XAudioPlayer::kNotifyMask, 1);
      break;
    case XAudioPlayer::kState:
      if (wParam == XAudioPlayer::kStateEndOfStream && !streamEnded_) {
        streamEnded_ = true;
        // The display runs on at most a moment past what was heard: a damaged header may
        // promise hours that the stream never had.
        runOnEnd_ = std::min(duration_, minutes_ * 60 + seconds_ + 2);
        // Paused while the last of the buffer played: the run-on waits for the resume.
        if (playing_) StartRunOn(1);
      }
      break;
    case XAudioPlayer::kDuration:
      duration_ = int(wParam);
      minutes_ = seconds_ = 0;
      cmdXaUpdateTimecode();
      break;
    case XAudioPlayer::kTimecode: {
      minutes_ = int((wParam % 65536) / 256);
      // Minutes and seconds are bytes: a larger value leaves the seconds as they were.
      if (wParam / 65536 <= 255) seconds_ = int(wParam / 65536);
      cmdXaUpdateTimecode();
      break;
    }
    case XAudioPlayer::kPosition:
      positionOffset_ = wParam;
      positionRange_ = lParam;
      cmdXaUpdatePosition();
      break;
    default: break;
  }
}

void PlayerEngine::cmdXaUpdateTimecode() {
  positionLabel_ = TimeText(minutes_, seconds_) + u'/' + TimeText(duration_ / 60, duration_ % 60);
  Q_EMIT TimeChanged(positionLabel_);
}

void PlayerEngine::cmdXaUpdatePosition() {
  ShowPosition(int(positionOffset_), int(positionRange_), duration_);
}

void PlayerEngine::ShowPosition(int value, int maximum, double lengthSeconds) {
  shownPosition_ = value;
  shownRange_ = maximum;
  lengthSeconds_ = lengthSeconds;
  Q_EMIT PositionChanged(value, maximum);
}

double PlayerEngine::PositionSeconds() const {
  return shownRange_ > 0 ? lengthSeconds_ * shownPosition_ / shownRange_ : 0.0;
}

void PlayerEngine::SeekToSeconds(double seconds) {
  if (shownRange_ <= 0 || lengthSeconds_ <= 0) return;
  const double fraction = std::clamp(seconds / lengthSeconds_, 0.0, 1.0);
  // The bar shows the new place at once, as it does when dragged there.
  shownPosition_ = int(fraction * shownRange_);
  SeekTo(shownPosition_, seconds);
}

void PlayerEngine::MoveVolumeSlider(int value) {
  VolumeSlider_Change(value);
  Q_EMIT VolumeSliderMoved(volumeSlider_);
}

// The display runs on to the song's full length before the next song starts.
void PlayerEngine::EOFTimer_Timer() {
  auto count = [this] {
    if (seconds_ > 58) {
      seconds_ = 0;
      ++minutes_;
    } else {
      ++seconds_;
    }
    cmdXaUpdateTimecode();
    if (minutes_ * 60 + seconds_ < runOnEnd_) return;
    eofTimer_.stop();
    eofTimer_.setInterval(1);
    Wait(250, [this] {
      eofPositionTimer_.stop();
      PlayNextSong();
    });
  };
  if (eofTimer_.interval() == 1) {
    eofPositionTimer_.start();
    eofTimer_.setInterval(1000);
    Wait(700, count);
  } else {
    count();
  }
}

void PlayerEngine::EOFPositionTimer_Timer() {
  if (positionOffset_ >= positionRange_) {
    eofPositionTimer_.stop();
    return;
  }
  ++positionOffset_;
  cmdXaUpdatePosition();
}

// ---- RealAudio back-end ------------------------------------------------------------

QString PlayerEngine::RealAudioErrorText(int code) const {
  const QString text =
      ReadIniString(errorTextFile_, u"RealAudio"_s, u"Error"_s + QString::number(code));
  return text.isEmpty() ? u"RealAudio Error"_s + Str(code) : text;
}

void PlayerEngine::StartRunOn(int interval) {
  eofTimer_.setInterval(interval);
  eofTimer_.start();
}

// The first failure of a run is shown; the songs after it that fail too are only
// reported, each after a return to the event loop, and once every song of the queue has
// failed in a row, play stops and says so once. A queue of missing files never traps.
void PlayerEngine::BackEndFailed(int code) {
  const QString text = RealAudioErrorText(code);
  Q_EMIT SongFailed(currentFile_, text);
  Stop_Player();
  ++failuresInRow_;
  if (failuresInRow_ == 1) prompter_.Tell(text, MessageIcon::Exclamation);
  if (!singleSong_ && failuresInRow_ >= queue_.Length()) {
    failuresInRow_ = 0;
    queue_.ResetOrderState();
    listIndex_ = 0;
    Q_EMIT LabelsCleared();
    if (queue_.Length() > 1) {
      prompter_.Tell(u"None of the songs in the play list could be played."_s,
                     MessageIcon::Exclamation);
    }
    Q_EMIT PlayEnded();
    return;
  }
  QTimer::singleShot(0, this, [this, generation = generation_] {
    if (generation == generation_) PlayNextSong();
  });
}

void PlayerEngine::StartOther() {
  positionTimer_.stop();
  newSong_ = false;
  fadeDistance_ = kVolumeMaximum - volumeSlider_;
  volumeSlider_ = kVolumeMaximum;
  ApplyVolume();
  fadeTimer_.start();
  cdAnalog_ = false;
  if (const qint16 code = realAudio_->RaOpen(raHandle_, 0, currentFile_)) {
    if (!platform::IsCdTrackPath(currentFile_) ||
        !cd_->PlayTrack(currentFile_.section(u'#', -1).toInt())) {
      return BackEndFailed(code);
    }
    cdAnalog_ = true;  // the drive plays the track through its own output
    failuresInRow_ = 0;
    ShowSong();
    return;
  }
  if (const qint16 code = realAudio_->RaBegin(raHandle_)) return BackEndFailed(code);
  failuresInRow_ = 0;
  ShowSong();
  QueueFollowing();
  Wait(100, [this] {
    if (playing_ && current_ == Kind::Other) positionTimer_.start();
  });
}

// Gapless play needs the next song to be known and to play on the back-end playing now;
// the external player, the CD mode and a song played alone change songs as always. An
// edit of the queue, its order or cycle makes the queue forget a song drawn ahead: the
// new choice replaces the song readied for it.
void PlayerEngine::QueueFollowing() {
  const bool playingHere = (playing_ || paused_) && !singleSong_ && !cdMode_ &&
                           external_.Program().isEmpty() && current_ != Kind::None;
  const int following = playingHere ? queue_.FollowingIndex() : 0;
  // A song the back-end cannot open (a CD track on the MPEG one) is not joined.
  const QString file = following > 0 ? queue_.Entry(following).path : QString();
  if (current_ == Kind::Mpeg) {
    joinQueued_ = xaudio_->QueueNext(file);
  } else if (current_ == Kind::Other) {
    joinQueued_ = realAudio_->QueueNext(file);
  }
}

// The order of the work is that of PlayNextSong and PlaySongFile: the queue moves on,
// the song counts as played, then it is shown.
void PlayerEngine::OnNextStarted() {
  joinQueued_ = false;
  queue_.NextSong(+1);
  const int index = queue_.CurrentIndex();
  if (index < 1 || index > queue_.Length()) return;
  listIndex_ = index - 1;
  currentFile_ = queue_.Entry(index).path;
  streamEnded_ = false;
  library_.NoteSongPlayed(currentFile_);
  failuresInRow_ = 0;
  ShowSong();
  Q_EMIT SelectionChanged(listIndex_);
  QueueFollowing();
}

void PlayerEngine::PositionTimer_Timer() {
  if (newSong_) {
    StartOther();
    return;
  }
  if (!ShowOtherStatus()) {
    joinQueued_ = false;  // a song that broke off is followed the ordinary way
    return;
  }
  seekable_ = true;
  if (shownPosition_ > shownRange_ - 4 && !joinQueued_) PlayNextSong();
}

bool PlayerEngine::ShowOtherStatus() {
  qint32 position = 0;
  qint32 length = 0;
  if (const qint16 code = realAudio_->RaGetStatus(raHandle_, position, length)) {
    prompter_.Tell(RealAudioErrorText(code), MessageIcon::Exclamation);
    return false;
  }
  positionLabel_ = TimeText(position / 600, (position / 10) % 60) + u'/' +
                   TimeText(length / 600, (length / 10) % 60);
  Q_EMIT TimeChanged(positionLabel_);
  ShowPosition(position, length, length / 10.0);
  return true;
}

void PlayerEngine::FadeTimer_Timer() {
  const int target = kVolumeMaximum - fadeDistance_;
  volumeSlider_ = std::max(volumeSlider_ - 4, target);
  if (volumeSlider_ <= target) fadeTimer_.stop();
  ApplyVolume();
  Q_EMIT VolumeSliderMoved(volumeSlider_);
}

void PlayerEngine::ShutdownAudio() {
  positionTimer_.stop();
  eofTimer_.stop();
  eofPositionTimer_.stop();
  fadeTimer_.stop();
  if (!xaudio_) return;
  if (current_ == Kind::Mpeg) {
    for (const int command :
         {XAudioPlayer::kStop, XAudioPlayer::kInputClose, XAudioPlayer::kFinal}) {
      xaudio_->control_message_send_N(command);
    }
  } else {
    realAudio_->RaClose(raHandle_);
  }
  realAudio_->RaShutdown(raHandle_);
  xaudio_->control_message_send_N(XAudioPlayer::kExit);
}

}  // namespace audiolume
