#pragma once

#include <QString>

namespace audiolume {

class Registry;

/** Where the program keeps its files, and the files shipped with it. */
class AppHome {
 public:
  /**
   * The application directory: explicitHome when given (from --home or AUDIOLUME_HOME),
   * else the registered AppPath when that folder exists, else dataHome + "/Audiolume".
   * The folder is created. Returns it as an absolute path without a trailing "/".
   */
  static QString Resolve(const QString& explicitHome, const Registry& registry,
                         const QString& dataHome);

  /** The folder of the files shipped beside the program: ../share/audiolume from the
   *  executable's folder, in a build tree as in an installation. */
  static QString ShippedDataDir(const QString& executableDir);

  /** The folder of the helper programs the recorder starts (twcd, twcd-setup):
   *  ../libexec/audiolume from the executable's folder, in a build tree as in an
   *  installation. */
  static QString HelperProgramDir(const QString& executableDir);

  /** Copies every shipped file missing from home into it, folders too (the skin);
   *  existing files are kept. */
  static void InstallShippedFiles(const QString& shippedDir, const QString& home);
};

}  // namespace audiolume
