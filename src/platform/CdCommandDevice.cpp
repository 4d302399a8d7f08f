#include "platform/CdCommandDevice.h"

#include <QStringList>

#include "platform/CdDevice.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume::platform {

namespace {

constexpr int kFramesPerSecond = 75;

QString Msf(int frames) {
  frames = std::max(frames, 0);
  return u"%1:%2:%3"_s.arg(frames / (60 * kFramesPerSecond), 2, 10, QChar(u'0'))
      .arg(frames / kFramesPerSecond % 60, 2, 10, QChar(u'0'))
      .arg(frames % kFramesPerSecond, 2, 10, QChar(u'0'));
}

// "mm:ss:ff" (or fewer fields, the last ones missing) to frames; -1 when malformed.
int FramesOf(const QStringList& fields) {
  static constexpr int kScale[] = {60 * kFramesPerSecond, kFramesPerSecond, 1};
  int frames = 0;
  for (qsizetype i = 0; i < fields.size() && i < 3; ++i) {
    bool ok = false;
    const int value = fields[i].toInt(&ok);
    if (!ok || value < 0) return -1;
    frames += value * kScale[i];
  }
  return fields.size() <= 3 ? frames : -1;
}

}  // namespace

/** One alias: its drive, the time format and the position a seek left. */
struct CdCommandDevice::Open {
  explicit Open(const QString& device) : drive(device) {}
  CdDevice drive;
  bool tmsf = false;
  int position = 0;
};

CdCommandDevice::CdCommandDevice(QList<CdDrive> drives) : drives_(std::move(drives)) {}

CdCommandDevice::~CdCommandDevice() = default;

QString CdCommandDevice::DeviceOf(const QString& letter) const {
  for (const CdDrive& drive : drives_) {
    if (drive.letter.compare(letter.left(2), Qt::CaseInsensitive) == 0) return drive.device;
  }
  return {};
}

int CdCommandDevice::SendString(const QString& command, QString& reply) {
  reply.clear();
  const QStringList words = command.simplified().toLower().split(u' ', Qt::SkipEmptyParts);
  if (words.size() < 2) return kMissingParameter;
  if (words[0] == u"open") return OpenDevice(words);
  const auto found = aliases_.find(words[1]);
  if (found == aliases_.end()) {
    return QStringList{u"set"_s, u"seek"_s, u"status"_s, u"stop"_s, u"close"_s}.contains(words[0])
               ? kInvalidDeviceName
               : kUnrecognizedCommand;
  }
  Open& open = **found;
  if (words[0] == u"close") {
    aliases_.erase(found);
    return kOk;
  }
  if (words[0] == u"stop") {
    if (const int code = ReadyToc(open); code != kOk) return code;
    return open.drive.StopAudio() ? kOk : kUnsupportedFunction;
  }
  if (words[0] == u"set") {
    if (words.size() != 5 || words[2] != u"time" || words[3] != u"format") {
      return kUnrecognizedKeyword;
    }
    if (words[4] != u"msf" && words[4] != u"tmsf") return kBadConstant;
    open.tmsf = words[4] == u"tmsf";
    return kOk;
  }
  if (words[0] == u"seek") return Seek(open, words);
  if (words[0] == u"status") return Status(open, words, reply);
  return kUnrecognizedCommand;
}

int CdCommandDevice::OpenDevice(const QStringList& words) {
  // open D: type cdaudio alias NAME
  if (words.size() != 6 || words[2] != u"type" || words[3] != u"cdaudio" || words[4] != u"alias") {
    return kUnrecognizedKeyword;
  }
  if (aliases_.contains(words[5])) return kDuplicateAlias;
  const QString device = DeviceOf(words[1]);
  if (device.isEmpty()) return kInvalidDeviceName;
  auto open = std::make_shared<Open>(device);
  switch (open->drive.Media()) {
    case CdMedia::InUse: return kMustUseShareable;
    case CdMedia::NoDevice: return kInvalidDeviceName;
    default:  // a drive opens without a disc; asking it for one is what fails
      break;
  }
  aliases_.insert(words[5], std::move(open));
  return kOk;
}

int CdCommandDevice::ReadyToc(Open& open) {
  switch (open.drive.Media()) {
    case CdMedia::Disc: return kOk;
    case CdMedia::InUse: return kMustUseShareable;
    case CdMedia::Damaged: return kInvalidFile;
    default: return kHardware;
  }
}

int CdCommandDevice::Seek(Open& open, const QStringList& words) {
  if (words.size() < 4 || words[2] != u"to") return kMissingParameter;
  if (const int code = ReadyToc(open); code != kOk) return code;
  const CdToc& toc = open.drive.Toc();
  QStringList fields = words[3].split(u':');
  if (open.tmsf) {
    // tt[:mm[:ss[:ff]]]: a track, and a point inside it.
    bool ok = false;
    const int track = fields.takeFirst().toInt(&ok);
    const int offset = FramesOf(fields);
    if (!ok || track < 1 || track > toc.tracks.size() || offset < 0) return kOutOfRange;
    open.position = toc.tracks[track - 1].start + offset;
    return kOk;
  }
  const int frames = FramesOf(fields);
  if (frames < 0 || frames > toc.leadout) return kOutOfRange;
  open.position = frames;
  return kOk;
}

int CdCommandDevice::Status(Open& open, const QStringList& words, QString& reply) {
  QStringList item = words.mid(2);
  item.removeAll(u"wait"_s);
  if (item.isEmpty()) return kMissingParameter;
  if (const int code = ReadyToc(open); code != kOk) {
    if (code == kInvalidFile) reply = open.drive.Problem();
    return code;
  }
  const CdToc& toc = open.drive.Toc();
  const auto trackArgument = [&item, &toc](int& track) {
    bool ok = false;
    track = item.size() == 3 && item[1] == u"track" ? item[2].toInt(&ok) : 0;
    return ok && track >= 1 && track <= toc.tracks.size();
  };
  int track = 0;
  if (item == QStringList{u"number"_s, u"of"_s, u"tracks"_s}) {
    reply = QString::number(toc.tracks.size());
  } else if (item == QStringList{u"position"_s}) {
    if (!open.tmsf) {
      reply = Msf(open.position);
    } else {
      int current = 1;
      while (current < toc.tracks.size() && toc.tracks[current].start <= open.position) ++current;
      reply = u"%1:"_s.arg(toc.tracks[current - 1].number, 2, 10, QChar(u'0')) +
              Msf(open.position - toc.tracks[current - 1].start);
    }
  } else if (item == QStringList{u"length"_s}) {
    reply = Msf(toc.leadout - toc.tracks.first().start);
  } else if (item.first() == u"length") {
    if (!trackArgument(track)) return kOutOfRange;
    reply = Msf(toc.TrackLength(track));
  } else if (item.first() == u"type") {
    if (!trackArgument(track)) return kOutOfRange;
    reply = toc.tracks[track - 1].audio ? u"audio"_s : u"other"_s;
  } else {
    return kUnrecognizedKeyword;
  }
  return kOk;
}

quint32 CdCommandDevice::SerialNumber(const QString& letter) {
  const QString device = DeviceOf(letter);
  // A drive open under an alias already knows its table of contents.
  for (const std::shared_ptr<Open>& open : std::as_const(aliases_)) {
    if (open->drive.Device() == device) {
      return ReadyToc(*open) == kOk ? AudioCdSerial(open->drive.Toc()) : 0;
    }
  }
  CdDevice drive(device);
  return drive.Media() == CdMedia::Disc ? AudioCdSerial(drive.Toc()) : 0;
}

QString CdCommandDevice::ErrorString(int code) {
  switch (code) {
    case kOk: return u"The specified command was carried out."_s;
    case kUnrecognizedKeyword:
      return u"The driver cannot recognize the specified command parameter."_s;
    case kUnrecognizedCommand: return u"The driver cannot recognize the specified command."_s;
    case kHardware:
      return u"The CD drive is not ready: there is no disc in it, or its tray is open or "
             u"moving."_s;
    case kInvalidDeviceName: return u"The specified device is not open or is not a CD drive."_s;
    case kMissingParameter: return u"The specified command requires a parameter."_s;
    case kUnsupportedFunction: return u"The CD drive does not support the specified command."_s;
    case kOutOfRange:
      return u"The specified parameter is out of range for the specified command."_s;
    case kDuplicateAlias: return u"The specified alias is already open."_s;
    case kBadConstant: return u"There is an undefined parameter in the specified command."_s;
    case kMustUseShareable: return u"The CD drive is being used by another program."_s;
    case kInvalidFile: return u"The disc image is damaged or cannot be read safely."_s;
    default: return u"Unknown CD drive error."_s;
  }
}

}  // namespace audiolume::platform
