#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace audiolume::platform {

/**
 * A portable player that songs are sent to, with the calls of the player library the
 * export was written for. Status words: the low 16 bits are the class (1 ready, 2
 * finished, 3 memory full, 4 error), the high 16 bits the error code of class 4.
 * UI thread only; a download runs on a thread of its own and is polled.
 */
class PortablePlayer {
 public:
  enum StatusClass : int { kReady = 1, kFinished = 2, kMemoryFull = 3, kError = 4 };
  enum ErrorCode : int {
    kOutOfFlash = 3,
    kTimeout = 4,
    kNoDevice = 6,
    kFailToRead = 17,
    kFailToWrite = 18
  };

  static constexpr quint32 Word(int statusClass, int code = 0) {
    return quint32(code) << 16 | quint32(statusClass);
  }
  static int ClassOf(quint32 word) { return int(word & 0xFFFF); }
  static int CodeOf(quint32 word) { return int(word >> 16); }
  /** The text of an error code ("Timeout"), or "error" and the code. */
  static QString ErrorText(int code);

  virtual ~PortablePlayer() = default;

  virtual bool TWRIO_IsRIORunning() = 0;
  virtual bool TWRIO_IsConnected() = 0;
  /** 0 when the player is not ready; otherwise a status word (of the download under way). */
  virtual quint32 TWRIO_GetStatus(int which) = 0;
  /** Erases these files lying directly in the player's folder (names, not paths); a
   *  status word. Links and folders of those names are left alone. */
  virtual quint32 TWRIO_DeleteFiles(const QStringList& names) = 0;
  /** Puts a small file (the playlist) on the player, replacing one of that name by a
   *  rename; false when it could not be written. */
  virtual bool TWRIO_WriteFile(const QString& name, const QByteArray& contents) = 0;
  virtual qint64 TWRIO_GetMemFree() = 0;
  virtual bool TWRIO_FileExist(const QString& path) = 0;
  /** Starts sending a file, named name on the player (its own name when empty); 1 when
   *  it started. */
  virtual int TWRIO_DownloadFile(const QString& path, const QString& name = {}) = 0;
  /** Percent of the file sent. */
  virtual int TWRIO_GetProgress(int which) = 0;
  /** Stops the download without waiting for it: a device that stopped answering may hold
   *  the sending thread in the kernel for long. */
  virtual void TWRIO_StopDownload() = 0;
  virtual void TWRIO_Close() = 0;

  /** ended is called on the sending thread each time a download ends, so that the caller
   *  need not wait for its next poll to learn it. Set it while no download runs. */
  virtual void SetDownloadEnded(std::function<void()> ended) = 0;
};

/**
 * A player that mounts as a folder (a USB music player, a card, a phone): a download is
 * a copy in chunks on a worker thread into "name.part", created new (never through a
 * link lying there), synced and renamed. A stopped download is abandoned rather than
 * waited for: its thread removes its partial file when it returns.
 */
std::unique_ptr<PortablePlayer> MakeFolderPlayer(const QString& folder);

}  // namespace audiolume::platform
