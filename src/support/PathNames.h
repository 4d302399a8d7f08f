#pragma once

#include <QString>

namespace audiolume {

/** A path cut at its last "/": the folder (no trailing "/") and the file name. Without a
 *  "/" the folder is empty and the name is the whole path. */
struct PathParts {
  QString folder;
  QString name;
};
PathParts SplitPathName(const QString& path);

/** A name cut at its last ".": the base and the extension (without the dot). Without a
 *  "." the base is the whole name and the extension empty. */
struct NameParts {
  QString base;
  QString extension;
};
NameParts SplitFileExtension(const QString& name);

/** Whether the file name at the end of path has that extension ("wav"), in any case. */
bool HasExtension(const QString& path, const QString& extension);

}  // namespace audiolume
