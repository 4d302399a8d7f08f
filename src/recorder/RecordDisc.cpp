#include "recorder/RecordDisc.h"

#include "platform/CdCommandDevice.h"
#include "platform/MusicBrainzDiscId.h"
#include "recorder/TitleCache.h"
#include "support/CurrentError.h"
#include "support/ErrorCheck.h"
#include "support/ErrorLog.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

using platform::CdCommandDevice;

constexpr int kDriveSlotsLogged = 4;

}  // namespace

RecordDisc::RecordDisc(Context context, QObject* parent)
    : QObject(parent), context_(std::move(context)) {
  mciTimer_.setInterval(2000);
  connect(&mciTimer_, &QTimer::timeout, this, &RecordDisc::mciTimer_Timer);
}

int RecordDisc::Send(const QString& command, QString& reply) {
  return context_.mci.SendString(command, reply);
}

int RecordDisc::Send(const QString& command) {
  QString reply;
  return Send(command, reply);
}

void RecordDisc::Log(const QString& line) const {
  ErrorLog::AppendLine(context_.initLog, line);
}

QString RecordDisc::DriveDevice() const {
  for (const platform::CdDrive& drive : context_.mci.Drives()) {
    if (drive.letter == driveLetter_) return drive.device;
  }
  return {};
}

QString RecordDisc::TrackDefault(int track) const {
  return context_.catalog.GetMsgWithValue(RC_TrackNum, QString::number(track));
}

int RecordDisc::GetAllCDDriveLetters(QString& letters) {
  Log(u"About to call GetLogicalDriveStrings()"_s);
  QString all;
  for (const platform::CdDrive& drive : context_.mci.Drives()) all += drive.letter + u"/ "_s;
  Log(u"GetLogicalDriveStrings() -- sAllDrives = "_s + all);
  letters.clear();
  int count = 0;
  for (const platform::CdDrive& drive : context_.mci.Drives()) {
    letters += drive.letter.left(2);
    ++count;
    Log(u"CdDrive (DRIVE_CDROM) = "_s + drive.letter + u", nNumCDDrives "_s +
        QString::number(count) + u", sCDDriveLetters "_s + letters);
  }
  Log(u"nNumCDDrives is "_s + QString::number(count));
  letters_ = letters;
  if (count == 0) {
    context_.prompter.Tell(context_.catalog.GetMsg(RC_UnRecognizeCDROM), MessageIcon::Critical);
    return -1;
  }
  return count;
}

int RecordDisc::MyOpenCD() {
  for (;;) {
    int code = Send(u"open "_s + driveLetter_ + u" type CDAudio alias twplcd"_s);
    if (code == CdCommandDevice::kMustUseShareable) {
      const int answer = context_.prompter.Ask(
          context_.catalog.GetMsg(RC_CDinUsed_1) + u'\n' + context_.catalog.GetMsg(RC_CDinUsed_2),
          context_.catalog.GetMsg(RC_OK) + u'|' + context_.catalog.GetMsg(RC_Cancel),
          MessageIcon::Exclamation);
      if (answer != 1) return 3;
      Send(u"close twplcd"_s);
      if (context_.wait) context_.wait(2000);
      continue;
    }
    if (code == CdCommandDevice::kDuplicateAlias) {
      context_.prompter.Tell(context_.catalog.GetMsg(RC_DrvNotClosed_1) + u'\n' +
                                 context_.catalog.GetMsg(RC_DrvNotClosed_2),
                             MessageIcon::Exclamation);
      code = 0;
    }
    open_ = code == 0;
    if (code != 0) {
      return context_.prompter.Ask(
          context_.catalog.GetMsgWithValue(RC_WinError, QString::number(code)) + u'\n' +
              CdCommandDevice::ErrorString(code) + u": "_s + QString::number(code),
          {}, MessageIcon::Critical);
    }
    if (const int format = Send(u"set twplcd time format tmsf"_s); format != 0) return format;
    return -CdRomInfo();
  }
}

int RecordDisc::CdRomInfo() {
  QString reply;
  const int code = Send(u"status twplcd number of tracks"_s, reply);
  if (code != 0) {
    // No disc, a tray on the move or no such drive: the search goes on quietly.
    if (code != CdCommandDevice::kHardware && code != CdCommandDevice::kInvalidDeviceName) {
      // A damaged image's reply says what is wrong with it.
      const QString text = u"CdRomInfo(\n"_s + CdCommandDevice::ErrorString(code) +
                           (reply.isEmpty() ? QString() : u'\n' + reply);
      context_.log.LogError(text);
      context_.prompter.Tell(context_.catalog.GetMsg(RC_ErrMsg) + u"\n\n"_s + text,
                             MessageIcon::Critical);
    }
    return 4;
  }
  const int tracks = reply.toInt();
  if (tracks == 0) return 4;
  if (tracks < 3) {
    Send(u"status twplcd type track 1 wait"_s, reply);
    if (!reply.startsWith(u"audio"_s)) return 1;
  }
  disc_.numberOfTracks = tracks;
  return 0;
}

void RecordDisc::MyCloseCD() {
  const auto report = [this](int step, int code) {
    context_.prompter.Tell(context_.catalog.GetMsgWithValue(RC_WinError, QString::number(code)) +
                               u"\n("_s + QString::number(step) + u',' + QString::number(code) +
                               u')',
                           MessageIcon::Critical);
  };
  const int stop = Send(u"stop twplcd"_s);
  if (stop != 0 && stop != CdCommandDevice::kHardware &&
      stop != CdCommandDevice::kInvalidDeviceName &&
      stop != CdCommandDevice::kUnsupportedFunction) {
    report(1, stop);
  }
  const int close = Send(u"close twplcd"_s);
  open_ = false;
  if (close != 0 && close != CdCommandDevice::kHardware &&
      close != CdCommandDevice::kInvalidDeviceName) {
    report(2, close);
  }
}

void RecordDisc::ChooseDrive(int index) {
  if (index == selected_ && open_) return;
  SaveCDPlayerData();
  CloseMCI();
  selected_ = index;
  OpenCD(false);
}

int RecordDisc::OpenCD(bool skipIdentity) {
  mciTimer_.stop();
  QString letters;
  // Without any drive there is nothing to open: the window goes as if the user gave up.
  if (letters_.isEmpty() && GetAllCDDriveLetters(letters) <= 0) {
    Q_EMIT GaveUp();
    return 5;
  }
  Log(u"Call RecordFrm.OpenCD()"_s);
  Log(u"RecordOptions.gnCdDriveLetter = "_s + QString::number(selected_));
  for (int slot = 0; slot < kDriveSlotsLogged; ++slot) {
    Log(u"RecordOptions.CdDrive(%1) = "_s.arg(slot) + letters_.mid(slot * 2, 2));
  }
  int code = 2;
  context_.error.Trap([this, skipIdentity, &code] {
    code = SearchDrives();
    if (code == 0) ReadDisc(skipIdentity);
  });
  if (context_.check.CheckError(u"in RecordFrm.OpenCD"_s) != 0) return 2;
  if (code == 5) {
    driveLetter_.clear();
    Send(u"close twplcd"_s);
    open_ = false;
    Q_EMIT GaveUp();
  }
  return code;
}

// 0 with a drive open on an audio disc, 5 when the user gave up.
int RecordDisc::SearchDrives() {
  const int count = int(letters_.size() / 2);
  if (selected_ < 0 || selected_ >= count) selected_ = 0;
  for (;;) {
    int index = selected_;
    do {
      driveLetter_ = letters_.mid(index * 2, 2);
      Log(u"--> RecordOptions.gCdDriveLetter "_s + driveLetter_);
      Log(u"--> Calling MyOpenCD()"_s);
      const int type = MyOpenCD();
      Log(u"--> nCdTYpe "_s + QString::number(type));
      Log(u"--> Done Calling MyOpenCD()"_s);
      if (type == 3) return 5;
      if (type == 0) {
        selected_ = index;
        return 0;
      }
      MyCloseCD();
      index = (index + 1) % count;
    } while (index != selected_);
    const int answer = context_.prompter.Ask(
        context_.catalog.GetMsg(RC_InsertCD_1) + u'\n' + context_.catalog.GetMsg(RC_InsertCD_2),
        context_.catalog.GetMsg(RC_OK) + u'|' + context_.catalog.GetMsg(RC_Cancel),
        MessageIcon::Information);
    if (answer != 1) return 5;
  }
}

void RecordDisc::ReadDisc(bool skipIdentity) {
  disc_.tracks.clear();
  Q_EMIT StatusChanged(context_.catalog.GetMsg(RC_GetCDSN));
  disc_.serialNumber = QString::number(context_.mci.SerialNumber(driveLetter_), 16).toUpper();
  Q_EMIT InsertDiscChanged(context_.catalog.GetMsg(RC_ReadingCDInfo));
  disc_.artist.clear();
  disc_.album.clear();
  disc_.year.clear();
  disc_.genre.clear();
  disc_.releaseId.clear();
  disc_.cover.clear();
  disc_.orderLine.clear();
  disc_.playnumLine.clear();
  disc_.waitingForDisc = false;
  disc_.ResetTitles([this](int track) { return TrackDefault(track); });
  if (!skipIdentity) {
    Q_EMIT StatusChanged(context_.catalog.GetMsg(RC_GetCDID));
    GetCDID();
  }
  mciTimer_.start();
  disc_.cached = context_.cache.ReadCDPlayerData(disc_);
  // An entry of default titles only, as a failed lookup once left, names nothing.
  const bool known =
      disc_.cached && disc_.HasTitles([this](int track) { return TrackDefault(track); });
  Q_EMIT StatusChanged(QString());
  Q_EMIT DiscRead();
  if (!known && !lookupSuppressed_) Q_EMIT LookupWanted();
  Q_EMIT InsertDiscChanged(QString());
}

void RecordDisc::GetCDID() {
  int digitTotal = 0;
  disc_.tracks.clear();
  for (int track = 1; track <= disc_.numberOfTracks; ++track) {
    Q_EMIT StatusChanged(context_.catalog.GetMsgWithValue(RC_GetTrackID, QString::number(track)));
    QString position;
    QString length;
    Send(u"seek twplcd to "_s + QString::number(track));
    Send(u"set twplcd time format msf"_s);
    Send(u"status twplcd position"_s, position);
    Send(u"set twplcd time format tmsf"_s);
    Send(u"status twplcd length track "_s + QString::number(track), length);
    const CdDisc::Msf trackLength = CdDisc::ParseMsf(length);
    const CdDisc::Msf start = CdDisc::ParseMsf(position);
    CdDisc::TrackInfo info;
    info.lengthMinutes = trackLength.minutes;
    info.lengthSeconds = trackLength.seconds;
    info.startMinutes = start.minutes;
    info.startSeconds = start.seconds;
    info.startFrames = start.frames;
    const int startSeconds = info.startMinutes * 60 + info.startSeconds;
    info.digitSum = qint16(CdDisc::DigitSum(startSeconds));
    digitTotal += info.digitSum;
    info.startOffset = start.Frames();
    QString type;
    Send(u"status twplcd type track "_s + QString::number(track), type);
    info.audio = !type.startsWith(u"other"_s);
    disc_.tracks.append(info);
  }
  QString length;
  Send(u"status twplcd length"_s, length);
  disc_.discLength = CdDisc::RoundedSeconds(length);
  // The disc's length runs from the first track's start to the lead-out.
  disc_.leadout = (disc_.tracks.isEmpty() ? 0 : disc_.tracks.first().startOffset) +
                  CdDisc::ParseMsf(length).Frames();
  disc_.discId =
      CdDisc::DiscIdentifier(digitTotal, disc_.IdentifierSeconds(), disc_.numberOfTracks);
  disc_.musicBrainzId = platform::MusicBrainzDiscId(Toc());
}

platform::CdToc RecordDisc::Toc() const {
  platform::CdToc toc;
  toc.leadout = disc_.leadout;
  for (int k = 0; k < disc_.tracks.size(); ++k) {
    const CdDisc::TrackInfo& track = disc_.tracks[k];
    toc.tracks.append({k + 1, track.startOffset, track.audio});
  }
  return toc;
}

bool RecordDisc::SaveCDPlayerData() {
  // Default titles came from no server and no user: the disc stays unknown, to be looked up.
  if (!disc_.cached && !disc_.HasTitles([this](int track) { return TrackDefault(track); })) {
    return true;
  }
  context_.error.Trap([this] { context_.cache.SaveCDPlayerData(disc_, int(disc_.titles.size())); });
  if (context_.check.CheckError(u"in Record.SaveCDPlayerData"_s) != 0) return false;
  disc_.cached = true;
  return true;
}

void RecordDisc::CloseMCI() {
  mciTimer_.stop();
  MyCloseCD();
}

void RecordDisc::mciTimer_Timer() {
  if (disc_.pollSuspended) return;
  QString reply;
  const int tracks = Send(u"status twplcd number of tracks"_s, reply) == 0 ? reply.toInt() : 0;
  if (tracks > 0 && disc_.waitingForDisc) {
    Q_EMIT InsertDiscChanged(context_.catalog.GetMsg(RC_ScanningCD));
    disc_.waitingForDisc = false;
    disc_.numberOfTracks = tracks;
    Q_EMIT DiscInserted();
    MyCloseCD();
    OpenCD(false);
    CdRomInfo();
  } else if (tracks == 0 && !disc_.waitingForDisc) {
    disc_.waitingForDisc = true;
    // The titles typed so far are kept before the rows go.
    SaveCDPlayerData();
    disc_.numberOfTracks = 0;
    disc_.tracks.clear();
    disc_.titles = {TrackDefault(1)};
    disc_.serialNumber.clear();
    disc_.musicBrainzId.clear();
    disc_.releaseId.clear();
    disc_.cover.clear();
    disc_.artist.clear();
    disc_.album.clear();
    disc_.year.clear();
    disc_.genre.clear();
    disc_.cached = false;
    Q_EMIT DiscRemoved();
    Q_EMIT InsertDiscChanged(context_.catalog.GetMsg(RC_InsertCD));
  } else {
    disc_.numberOfTracks = tracks;
  }
}

}  // namespace audiolume
