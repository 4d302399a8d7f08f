#pragma once

#include <QString>

namespace audiolume {

/**
 * The portable player's options, kept in "Diamond.ini" in the application directory,
 * section "General": the bit rate MP3 files are brought down to ("Bit rate", bits per
 * second; 0 sends every file as it is), whether the player's songs are erased first
 * ("Clear memory") and the player's folder ("Device Path").
 */
struct RioOptions {
  static constexpr int kBitRates[] = {128000, 80000, 64000, 0};

  int bitRate = 0;
  bool clearMemory = false;
  QString device;

  /** The options stored in iniFile; a missing or unknown bit rate sends files unchanged. */
  static RioOptions Read(const QString& iniFile);
  /** The player's folder, however long its path. */
  static QString ReadDevice(const QString& iniFile);
  static bool WriteBitRate(const QString& iniFile, int bitRate);
  static bool WriteClearMemory(const QString& iniFile, bool clear);
  static bool WriteDevice(const QString& iniFile, const QString& folder);
};

}  // namespace audiolume
