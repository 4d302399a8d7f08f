#pragma once

#include <QString>

namespace audiolume {

class MessageCatalog;
class Prompter;
class Registry;

/**
 * Gathers the program's logs, settings, control files, registry values and folder
 * listings into "Diagnostic.log" in the application directory, for a support request.
 * UI thread only.
 */
class Diagnostics {
 public:
  Diagnostics(QString appDir, QString settingsFile, const Registry& registry,
              MessageCatalog& catalog, Prompter& prompter);

  /** Recreates "Registry.log" and "Diagnostic.log", tells the user where the capture
   *  is, and returns the path of "Diagnostic.log". */
  QString CaptureDiagnostics();

  /** Appends the file at path to "Diagnostic.log" under a banner naming it. */
  void AppendDiagInfo(const QString& path) const;

 private:
  QString LogPath() const;
  void AppendLines(const QStringList& lines) const;
  void AppendFolderListing(const QString& folder) const;

  QString appDir_;
  QString settingsFile_;
  const Registry& registry_;
  MessageCatalog& catalog_;
  Prompter& prompter_;
};

}  // namespace audiolume
