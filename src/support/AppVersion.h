#pragma once

#include <QString>

namespace audiolume {

/** The program's version and build; the version also heads the library database file. */
inline const QString kAppVersion = QStringLiteral("3.12");
inline const QString kAppBuild = QStringLiteral(".030");

/** The program's own registry key under the local-machine hive. */
inline const QString kProgramKeyBase = QStringLiteral("Software\\Velto\\Tunewright Jukebox");
inline const QString kProgramKey = kProgramKeyBase + u'\\' + kAppVersion + kAppBuild;

}  // namespace audiolume
