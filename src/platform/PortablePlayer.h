#pragma once

#include <QString>
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
  /** Erases the player's songs; a status word. */
  virtual quint32 TWRIO_InitializeMemory() = 0;
  virtual qint64 TWRIO_GetMemFree() = 0;
  virtual bool TWRIO_FileExist(const QString& path) = 0;
  /** Starts sending a file, named name on the player (its own name when empty); 1 when
   *  it started. */
  virtual int TWRIO_DownloadFile(const QString& path, const QString& name = {}) = 0;
  /** Percent of the file sent. */
  virtual int TWRIO_GetProgress(int which) = 0;
  virtual void TWRIO_StopDownload() = 0;
  virtual void TWRIO_Close() = 0;

  /** ended is called on the sending thread each time a download ends, so that the caller
   *  need not wait for its next poll to learn it. Set it while no download runs. */
  virtual void SetDownloadEnded(std::function<void()> ended) = 0;
};

/**
 * A player that mounts as a folder (a USB music player, a card, a phone): a download is
 * a copy in chunks on a worker thread into "name.part", synced and renamed; erasing
 * deletes only the song files lying directly in the folder, never sub-folders or other
 * files, since a phone or card also holds its owner's own files.
 */
std::unique_ptr<PortablePlayer> MakeFolderPlayer(const QString& folder);

}  // namespace audiolume::platform
