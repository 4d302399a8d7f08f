#pragma once

#include <QString>

namespace audiolume::platform {

/**
 * The Windows private-profile functions over one INI file. Nothing is cached: every call
 * reads the file again, so a value written anywhere is seen by the next read.
 */
class IniProfile {
 public:
  /** The longest value a read returns; the original read into a 256-character buffer. */
  static constexpr qsizetype kMaxValueLength = 255;

  /** The trimmed value, cut to kMaxValueLength; empty when the file, section or key is
   *  missing or the file cannot be read. Never throws. */
  static QString ReadString(const QString& path, const QString& section, const QString& key);
  /** ReadString's value whole, for values such as paths that must never be cut. */
  static QString ReadWholeString(const QString& path, const QString& section, const QString& key);

  /** Creates file, section and key as needed. Returns false when the file cannot be
   *  written. Never throws. */
  static bool WriteString(const QString& path, const QString& section, const QString& key,
                          const QString& value);
};

}  // namespace audiolume::platform
