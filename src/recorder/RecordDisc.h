#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "platform/CdDevice.h"
#include "recorder/CdDisc.h"

namespace audiolume {

namespace platform {
class CdCommandDevice;
}
class CurrentError;
class ErrorCheck;
class ErrorLog;
class MessageCatalog;
class Prompter;
class TitleCache;

/**
 * The recorder's side of the disc: finds the CD drives, opens the selected one through
 * the CD-audio command strings ("twplcd"), builds the track table and the disc's CDDB
 * identifier and serial number, keeps the titles in the title cache, and polls every
 * 2 seconds for a disc going in or out. The window shows what the signals say. UI thread.
 */
class RecordDisc : public QObject {
  Q_OBJECT

 public:
  struct Context {
    platform::CdCommandDevice& mci;
    MessageCatalog& catalog;
    Prompter& prompter;
    TitleCache& cache;
    CurrentError& error;
    ErrorCheck& check;
    const ErrorLog& log;
    QString initLog;                   // "RecordInit.log" of the application directory
    std::function<void(int ms)> wait;  // a pause that keeps the window alive
  };

  explicit RecordDisc(Context context, QObject* parent = nullptr);

  CdDisc& Disc() { return disc_; }
  QTimer& PollTimer() { return mciTimer_; }

  /** The CD drives' letters ("D:E:"); their number, or −1 when there is none. */
  int GetAllCDDriveLetters(QString& letters);
  int SelectedDrive() const { return selected_; }
  void SetSelectedDrive(int index) { selected_ = index; }
  /** The drive chosen in the options: its disc is read, so that the window shows it and
   *  a recording reads it, drive letter and number alike. */
  void ChooseDrive(int index);
  const QString& DriveLetter() const { return driveLetter_; }
  /** The device or image behind the selected drive. */
  QString DriveDevice() const;
  /** Keeps OpenCD from starting a title lookup for a disc the cache does not know. */
  void SetLookupSuppressed(bool suppressed) { lookupSuppressed_ = suppressed; }
  bool LookupSuppressed() const { return lookupSuppressed_; }
  /** True while the drive is open under the recorder's alias. */
  bool IsOpen() const { return open_; }

  /** 0 audio disc open; −1 data disc; −4 no disc; 3 the user gave up on a busy drive;
   *  else the answer to an error box. */
  int MyOpenCD();
  /** 0 audio disc, 1 data disc, 4 no disc or error. */
  int CdRomInfo();
  void MyCloseCD();
  /** Finds a drive with an audio disc and reads it: 0 done, 5 the user gave up, 2 failed. */
  int OpenCD(bool skipIdentity);
  void InitCD() { OpenCD(false); }
  void GetCDID();
  /** Writes the titles shown into the title cache; false when they could not be stored. */
  bool SaveCDPlayerData();
  void CloseMCI();
  void mciTimer_Timer();

 Q_SIGNALS:
  void StatusChanged(const QString& text);
  /** The "insert a disc" label's text; empty hides it. */
  void InsertDiscChanged(const QString& text);
  /** A disc was read: rows, labels and titles are to be shown anew. */
  void DiscRead();
  /** The disc went out: rows are to be cleared. */
  void DiscRemoved();
  /** A disc was inserted and is being opened. */
  void DiscInserted();
  /** The disc has no titles yet; the lookup may start. */
  void LookupWanted();
  /** The user gave up finding a disc; the window closes. */
  void GaveUp();

 private:
  int Send(const QString& command, QString& reply);
  int Send(const QString& command);
  void Log(const QString& line) const;
  int SearchDrives();
  void ReadDisc(bool skipIdentity);
  QString TrackDefault(int track) const;
  /** The track table as read. */
  platform::CdToc Toc() const;

  Context context_;
  CdDisc disc_;
  QTimer mciTimer_;
  QString letters_;
  int selected_ = 0;
  QString driveLetter_;
  bool lookupSuppressed_ = false;
  bool open_ = false;
};

}  // namespace audiolume
