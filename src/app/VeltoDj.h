#pragma once

#include <QString>
#include <memory>

#include <functional>

#include "app/AppServices.h"
#include "platform/CdDriveList.h"

namespace audiolume {

namespace platform {
class SingleInstance;
}

/** What the executable tells the controller about its surroundings. */
struct StartupOptions {
  QString explicitHome;  // --home or AUDIOLUME_HOME; never registered
  QString registryPath;
  QString dataHome;       // where an unregistered jukebox makes its folder
  QString shippedDir;     // files shipped beside the program
  QString cdDrives;       // AUDIOLUME_CD_DRIVES
  QString commandLine;    // the arguments, joined
  QString audio;          // AUDIOLUME_AUDIO: "null" plays silently
  QStringList arguments;  // the arguments one by one: paths or file URLs
};

/** Section "Record" as read at start-up. */
struct StartSettings {
  QString program;  // the ripper's program and options, for the recorder
  QString track;
  QString filename;
  QString options;
  QString getFileSize;
  int shellOption = 0;
  int playVolume = 50;
  QString internetBrowser;  // for web links
  QString internetUrl;
};

/**
 * The application controller: settles the application directory, forms the program's
 * file paths, bootstraps and reads the settings, counts runs, hands a command line to a
 * running copy and owns the support services. The song collection is the entry point's
 * to own (Collection). UI thread only.
 */
class VeltoDj {
 public:
  VeltoDj(StartupOptions options, Prompter& prompter);

  /** ResolveAppPath, RegisterEncoderDirectory, InitAppPaths and ReadVeltoDjIni. */
  void Initialize();

  /** The settings bootstrap, the library file rename, the CD drive list and the run
   *  counter. */
  void Load();

  /** Copies "VeltoDj.dft" to a missing "VeltoDj.ini", or asks for the working folder
   *  when both are missing. */
  void BootstrapSettings();

  /** Takes the command line: it is logged, and the files it names (paths or file URLs, as
   *  a file manager's "Open with" gives them) are the songs to play. An option (a line
   *  starting with "-") names none. */
  void ParseCommandLine();

  /** Hands the songs to play (or, without any, "F12": show yourself) to a running copy and
   *  returns true when one took them; otherwise starts answering later copies. */
  bool ActivatePreviousInstance(platform::SingleInstance& instance);

  /** Copies the newest library (and start-up playlist) of an earlier application
   *  directory named in the registry, when this one has none. */
  void RecoverPreviousLibrary();

  void RefreshCDDriveList();
  QList<platform::CdDrive> CdDrives() const;
  /** The device of drive "D:", the first CD drive; empty without one. */
  QString FirstCdDevice() const;

  /** Last step of shut-down: back to the working directory. */
  void Unload();

  const QString& WorkingDirectory() const { return home_; }
  QString SettingsFile() const { return services_.SettingsFile(); }
  QString StartupPlaylistFile() const { return home_ + QStringLiteral("/PlayList.txt"); }
  const StartSettings& Settings() const { return settings_; }
  int PlayVolume() const { return settings_.playVolume; }
  void SetPlayVolume(int volume) { settings_.playVolume = volume; }
  int RunCount() const { return runCount_; }
  /** The song files of the command line, absolute, in order. */
  const QStringList& FilesToPlay() const { return filesToPlay_; }
  bool RioOffered() const { return rioOffered_; }
  const QString& CommandLine() const { return options_.commandLine; }
  const QString& AudioChoice() const { return options_.audio; }
  QString ThemeFolder() const { return home_ + QStringLiteral("/Themes"); }

  /** Section "General": the font size in points, and the font height in pixels. */
  int FontSize() const { return fontSize_; }
  int FontHeight() const { return fontHeight_; }

  AppServices& Services() { return services_; }

 private:
  static QString ResolveAppPath(const StartupOptions& options, bool& registered);
  void RegisterAppPath();
  void RegisterEncoderDirectory();
  void ReadVeltoDjIni();
  void ReadFontSettings();
  void ConvertOldDefaultPlaylist();
  /** "TWPL.TWD" in the application directory, whatever the case of its name there. */
  QString DatabasePath() const;

  StartupOptions options_;
  bool registered_ = false;
  QString home_;
  AppServices services_;

  StartSettings settings_;
  int fontSize_ = 0;
  int fontHeight_ = 0;
  int runCount_ = 0;
  bool rioOffered_ = false;
  bool rioInstalled_ = false;
  QStringList filesToPlay_;
};

}  // namespace audiolume
