#pragma once

#include <QString>

namespace audiolume::platform {

/**
 * The original file system ignored case in names; ours does not. Returns the path of the
 * entry of folder whose name equals name without regard to case (an exact match first),
 * or an empty text when there is none.
 */
QString FindFileNoCase(const QString& folder, const QString& name);

/** The entry FindFileNoCase finds, or folder/name when there is none. */
QString FileInFolder(const QString& folder, const QString& name);

}  // namespace audiolume::platform
