#pragma once

#include <QString>

namespace audiolume {

/**
 * Settings access used everywhere. A file name without any "/" means a file of that name
 * in the current folder (not the application directory). No caching.
 */
QString ResolveIniPath(const QString& file);

/** The value (at most 255 characters); empty when file, section or key is missing. */
QString ReadIniString(const QString& file, const QString& section, const QString& key);

/** The whole value, never cut: for paths, which run to 4096 bytes. */
QString ReadIniWhole(const QString& file, const QString& section, const QString& key);

/** ReadIniString's result, or defaultValue when that is empty (also for a stored "").*/
QString ReadIniDefault(const QString& file, const QString& section, const QString& key,
                       const QString& defaultValue);

/** Writes the value, creating file, section and key as needed; false on failure. */
bool WriteIniString(const QString& file, const QString& section, const QString& key,
                    const QString& value);

}  // namespace audiolume
