#include "recorder/RecordSettings.h"

#include <QFile>
#include <QStandardPaths>

#include "recorder/AccurateRip.h"
#include "support/IniSettings.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const QString kRecordSection = u"Record"_s;
constexpr qint64 kWavBytesPerSecond = 177000;

/** A quality preset: its key prefix and default bit rate. */
struct Preset {
  int code;
  const char* prefix;  // "mp3cdq" → mp3cdqBitRate, mp3cdqChannelMode, mp3cdqStereoBand
  const char* rateKey;
  int defaultRate;  // 0: the CBR setting
};

constexpr Preset kPresets[] = {
    {0, "mp3cdq", "mp3cdqBitRate", 128},      {2, "mp3ncdq", "mp3ncdqBitRate", 96},
    {4, "mp3rq", "mp3rqBitRate", 64},         {6, "mp3cdq2", "mp3cdq2BitRate", 160},
    {7, "mp3custq", "mp3custqcbrBitRate", 0}, {8, "mp3custq", "mp3custqvbrBitRate", 0}};

// The value, or defaultValue written back when it is empty.
QString ReadOrWrite(const QString& file, const QString& key, const QString& defaultValue) {
  const QString value = ReadIniString(file, kRecordSection, key);
  if (!value.isEmpty()) return value;
  WriteIniString(file, kRecordSection, key, defaultValue);
  return defaultValue;
}

}  // namespace

RecordSettings RecordSettings::Load(const QString& settingsFile, const QString& appDir) {
  RecordSettings s;
  const auto read = [&settingsFile](const QString& key, const QString& fallback) {
    return ReadIniDefault(settingsFile, kRecordSection, key, fallback);
  };
  s.RF = ReadOrWrite(settingsFile, u"RF"_s, u"0"_s).toInt();
  if (QFile::exists(appDir + u"/TWCD.ini"_s)) {
    // Error correction stays on unless the user turns it off: a drive test that found no
    // jitter says nothing of the next scratched disc.
    s.EC = ReadOrWrite(settingsFile, u"EC"_s, u"1"_s).toInt();
  }
  s.AR = ReadOrWrite(settingsFile, u"AR"_s, u"0"_s).toInt();
  s.CBR = ReadOrWrite(settingsFile, u"CBR"_s, u"128"_s);
  s.VBR = ReadOrWrite(settingsFile, u"VBR"_s, u"50"_s);
  s.NewSongPath = ReadIniWhole(settingsFile, kRecordSection, u"NewSongPath"_s);
  // By default the desktop's music folder, where people look for their music.
  if (s.NewSongPath.isEmpty()) {
    s.NewSongPath = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
  }
  s.SPDIF = read(u"SPDIF"_s, u"0"_s).toInt();
  s.TrackOffset = read(u"TrackOffset"_s, u"0"_s);
  s.StartTime = read(u"StartTime"_s, u"0"_s);
  s.RecordLength = ReadIniString(settingsFile, kRecordSection, u"RecordLength"_s);
  s.ArtistSubDir = read(u"ArtistSubDir"_s, u"0"_s).toInt();
  s.AlbumSubDir = read(u"AlbumSubDir"_s, u"1"_s).toInt();
  for (int i = 0; i < 4; ++i) {
    s.Filename[i] = read(u"Filename"_s + QString::number(i), s.Filename[i]);
  }
  s.FilenameSeparator = read(u"FilenameSeparator"_s, u"_"_s);
  s.AccurateRipUrl = LoadAccurateRipUrl(settingsFile);
  return s;
}

QString RecordSettings::LoadAccurateRipUrl(const QString& settingsFile) {
  const QString url = ReadIniWhole(settingsFile, kRecordSection, u"AccurateRip URL"_s);
  return url.isEmpty() ? QString::fromLatin1(AccurateRip::kDefaultUrl) : url;
}

void RecordSettings::SaveChoices(const QString& settingsFile) const {
  WriteIniString(settingsFile, kRecordSection, u"AR"_s, QString::number(AR));
  WriteIniString(settingsFile, kRecordSection, u"EC"_s, QString::number(EC));
  WriteIniString(settingsFile, kRecordSection, u"RF"_s, QString::number(RF));
  WriteIniString(settingsFile, kRecordSection, u"NewSongPath"_s, NewSongPath);
  WriteIniString(settingsFile, kRecordSection, u"CBR"_s, CBR);
  WriteIniString(settingsFile, kRecordSection, u"VBR"_s, VBR);
}

void RecordSettings::SaveNaming(const QString& settingsFile) const {
  WriteIniString(settingsFile, kRecordSection, u"AlbumSubDir"_s, QString::number(AlbumSubDir));
  WriteIniString(settingsFile, kRecordSection, u"ArtistSubDir"_s, QString::number(ArtistSubDir));
  for (int i = 0; i < 4; ++i) {
    WriteIniString(settingsFile, kRecordSection, u"Filename"_s + QString::number(i), Filename[i]);
  }
  WriteIniString(settingsFile, kRecordSection, u"FilenameSeparator"_s, FilenameSeparator.trimmed());
}

QString RecordSettings::Extension() const {
  return RF == kWav ? u".wav"_s : RF == kFlac ? u".flac"_s : u".mp3"_s;
}

QString RecordSettings::EncoderFormat(const QString& settingsFile) const {
  for (const Preset& preset : kPresets) {
    if (preset.code != RF) continue;
    const QString prefix = QString::fromLatin1(preset.prefix);
    const QString defaultRate = preset.defaultRate > 0 ? QString::number(preset.defaultRate)
                                : RF == 8              ? u"0"_s
                                                       : CBR;
    const QString rateKey = QString::fromLatin1(preset.rateKey);
    // The custom rate is the one chosen now, whatever an earlier choice left in its key.
    if (RF == 7) WriteIniString(settingsFile, kRecordSection, rateKey, CBR.trimmed());
    const QString rate = ReadOrWrite(settingsFile, rateKey, defaultRate);
    const QString mode = ReadOrWrite(settingsFile, prefix + u"ChannelMode"_s, u"103"_s);
    const QString band = ReadOrWrite(settingsFile, prefix + u"StereoBand"_s, u"8"_s);
    if (RF == 8) return u"MP3 0:"_s + mode + u':' + band + u':' + VBR.trimmed();
    return u"MP3 "_s + rate + u':' + mode + u':' + band;
  }
  return RF == kFlac ? u"FLAC"_s : u"WAV"_s;
}

qint64 RecordSettings::BytesNeeded(int seconds) const {
  qint64 perSecond = 0;
  switch (RF) {
    case kWav: perSecond = kWavBytesPerSecond; break;
    case kFlac: perSecond = kWavBytesPerSecond * 60 / 100; break;  // lossless, about 60 %
    case 2: perSecond = 126 * 96; break;
    case 4: perSecond = 126 * 64; break;
    case 6: perSecond = 126 * 160; break;
    case 7: perSecond = 126 * CBR.toInt(); break;
    case 8: {
      const int q = VBR.toInt();
      perSecond = 126 * (q >= 75 ? 192 : q >= 50 ? 160 : q >= 25 ? 128 : q < 1 ? 100 : 112);
      break;
    }
    default: perSecond = 126 * 128; break;
  }
  return qint64(seconds) * perSecond + 5242880;
}

}  // namespace audiolume
