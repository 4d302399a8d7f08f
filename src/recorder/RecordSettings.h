#pragma once

#include <QString>
#include <QStringList>

namespace audiolume {

/**
 * Section "Record" of the settings file as the recorder uses it: the format and quality,
 * the recording mode, the folder for new songs, how files are named, and the trimming
 * passed to the ripper. Missing values take their defaults; the marked ones are written
 * back when read empty.
 */
struct RecordSettings {
  /** The format codes that are no MP3 quality. */
  static constexpr int kWav = 1;
  static constexpr int kFlac = 9;

  int RF = 0;  // record format code
  int EC = 1;  // error correction
  int AR = 0;  // analog recording
  QString CBR = QStringLiteral("128");
  QString VBR = QStringLiteral("50");
  QString NewSongPath;
  int SPDIF = 0;
  QString TrackOffset = QStringLiteral("0");
  QString StartTime = QStringLiteral("0");
  QString RecordLength;
  int ArtistSubDir = 0;
  int AlbumSubDir = 1;
  QStringList Filename = {QStringLiteral("0,1"), QStringLiteral("0,2"), QStringLiteral("1,3"),
                          QStringLiteral("1,4")};
  QString FilenameSeparator = QStringLiteral("_");
  /** Where the AccurateRip database's entries lie ("AccurateRip URL"); left empty by
   *  settings made in code, which have no rip checked. */
  QString AccurateRipUrl;

  /** appDir holds "TWCD.ini": once the drive is set up, error correction is written back
   *  on when it was never chosen. */
  static RecordSettings Load(const QString& settingsFile, const QString& appDir);
  /** "AccurateRip URL", the database's public address when it is not set. */
  static QString LoadAccurateRipUrl(const QString& settingsFile);
  /** What the recorder writes after the options window: AR, EC, RF, NewSongPath, CBR, VBR. */
  void SaveChoices(const QString& settingsFile) const;
  /** What the options window writes: the folder levels, the name parts and separator. */
  void SaveNaming(const QString& settingsFile) const;

  /** ".wav" for WAV, ".flac" for FLAC, ".mp3" for every MP3 code. */
  QString Extension() const;
  /** The ripper's format text ("WAV", "FLAC", "MP3 128:103:8", "MP3 0:103:8:50"), from the
   *  quality preset keys, which get their defaults written back when empty. */
  QString EncoderFormat(const QString& settingsFile) const;
  /** The bytes a recording of seconds needs, with 5 MB to spare. */
  qint64 BytesNeeded(int seconds) const;
};

}  // namespace audiolume
