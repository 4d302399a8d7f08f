// twcd-setup: tests the CD drive named in "TWCD.ini" for digital recording.
//
//   twcd-setup LONG|MEDIUM|SHORT
//
// Reads DRIVELETTER and DRIVENUMBER of section TWCD of "TWCD.ini" in the current folder
// (the first drive when they are missing), reads sectors from the middle of the disc's
// first audio track twice, with a read far away between the two so that the drive's cache
// cannot answer the second, and compares the passes (SHORT 10 seconds of audio, MEDIUM 60,
// LONG 300), and measures the read speed. Writes the drive's section DRIVE_n of
// "TWCD.ini": CONFIG_OK ("YES" when both passes agree, "33" when some sectors differed,
// which jitter correction can mend, or the reason the test failed: "NO_AUDIO_DISC",
// "READ_FAILED", "UNKNOWN_DRIVE"), DRIVELETTER, and the reading twcd starts from: SPEED 0
// (the drive's fastest), MULTIPASS YES and NJF YES (full paranoia), BLOCK (the sectors
// per read libcdio chose for the drive), OVERLAP 0 (paranoia's own) and MAX_MISMATCHES 20;
// and JITTER_ERRORS and AVERAGE_JITTER (differing sectors per 1000) into section TWCD of
// "TWCD.log". Exit code 0 when the drive passed.
#include <QCoreApplication>

#include "platform/CdDriveList.h"
#include "platform/CdRipper.h"
#include "support/IniSettings.h"

using namespace Qt::Literals::StringLiterals;
using audiolume::ReadIniString;
using audiolume::WriteIniString;
using audiolume::platform::CdRipper;
using audiolume::platform::ReadOptions;

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QString length = app.arguments().value(1).toUpper();
  const int seconds = length == u"LONG" ? 300 : length == u"MEDIUM" ? 60 : 10;
  if (length != u"LONG" && length != u"MEDIUM" && length != u"SHORT") {
    std::fputs("usage: twcd-setup LONG|MEDIUM|SHORT\n", stderr);
    return 2;
  }
  const QString control = u"TWCD.ini"_s;
  const auto drives =
      audiolume::platform::CdDriveList::List(qEnvironmentVariable("AUDIOLUME_CD_DRIVES"));
  QString letter = ReadIniString(control, u"TWCD"_s, u"DRIVELETTER"_s).left(1).toUpper();
  int number = ReadIniString(control, u"TWCD"_s, u"DRIVENUMBER"_s).toInt();
  if (letter.isEmpty() && !drives.isEmpty()) letter = drives.first().letter.left(1);
  QString device;
  for (qsizetype i = 0; i < drives.size(); ++i) {
    if (drives[i].letter.left(1) == letter) {
      device = drives[i].device;
      if (number < 1) number = int(i) + 1;
    }
  }
  if (number < 1) number = 1;
  const QString section = u"DRIVE_"_s + QString::number(number);
  const auto write = [&control, &section](const QString& key, const QString& value) {
    WriteIniString(control, section, key, value);
  };
  CdRipper::DriveTest test;
  QString result = u"UNKNOWN_DRIVE"_s;
  if (!device.isEmpty()) {
    if (!CdRipper::TestDrive(device, seconds * 75, test)) {
      result = u"NO_AUDIO_DISC"_s;
    } else if (!test.readable) {
      result = u"READ_FAILED"_s;
    } else {
      result = test.mismatches == 0 ? u"YES"_s : u"33"_s;
    }
  }
  write(u"CONFIG_OK"_s, result);
  write(u"DRIVELETTER"_s, letter);
  // Full paranoia whatever the test found: a drive that read the same twice may still
  // read a scratched disc wrongly, and only the user turns checking off.
  write(u"SPEED"_s, u"0"_s);
  write(u"MULTIPASS"_s, u"YES"_s);
  write(u"BLOCK"_s, QString::number(test.sectorsPerRead > 0 ? test.sectorsPerRead : 25));
  write(u"OVERLAP"_s, u"0"_s);
  write(u"MAX_MISMATCHES"_s, QString::number(ReadOptions().retries));
  write(u"NJF"_s, u"YES"_s);
  WriteIniString(u"TWCD.log"_s, u"TWCD"_s, u"JITTER_ERRORS"_s, QString::number(test.mismatches));
  // A drive without jitter says "0", which the recorder reads as no need for correction.
  WriteIniString(
      u"TWCD.log"_s, u"TWCD"_s, u"AVERAGE_JITTER"_s,
      test.mismatches == 0
          ? u"0"_s
          : QString::number(1000.0 * test.mismatches / std::max(1, test.sectorsRead), 'f', 2));
  std::printf("%s: %d sectors read twice, %d differed, %.1fx\n", qPrintable(result),
              test.sectorsRead, test.mismatches, test.speed);
  return result == u"YES" || result == u"33" ? 0 : 1;
}
