#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "library/SongLibrary.h"
#include "support/CurrentError.h"
#include "support/ErrorCheck.h"
#include "support/ErrorLog.h"
#include "support/ScriptedPrompter.h"

namespace audiolume {

using namespace Qt::Literals::StringLiterals;

struct Result {
  int code;
  QString out;
  QString err;
};

// The library of a home as the jukebox would load it, to look at what twpl stored.
struct HomeLibrary {
  explicit HomeLibrary(const QString& home)
      : log(home + u"/TW_Error.log"_s, error), library(home, error, check) {
    QDir().mkpath(home);
    library.LoadSongData();
  }
  CurrentError error;
  ScriptedPrompter prompter;
  ErrorLog log;
  ErrorCheck check{error, log, prompter};
  SongLibrary library;
};

// Runs twpl on a fresh home and registry, as a script would.
class TwplTest : public ::testing::Test {
 protected:
  Result Run(const QStringList& args) { return RunWith({}, args); }

  // Runs twpl behind another program, such as "prlimit --fsize=N".
  Result RunWith(const QStringList& wrapper, const QStringList& args) {
    QProcess twpl;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"AUDIOLUME_HOME"_s);
    env.insert(u"AUDIOLUME_REGISTRY"_s, dir_.filePath(u"registry.ini"_s));
    // Deleted songs go to a trash in the test's folder, not the user's.
    env.insert(u"HOME"_s, dir_.path());
    env.insert(u"XDG_DATA_HOME"_s, dir_.filePath(u"share"_s));
    twpl.setWorkingDirectory(dir_.path());
    QStringList command = wrapper + QStringList{QString::fromUtf8(TWPL_PATH), u"--home"_s, Home()};
    const QString program = command.takeFirst();
    for (const QString& name : extraEnv_.keys()) env.insert(name, extraEnv_.value(name));
    twpl.setProcessEnvironment(env);
    twpl.start(program, command + args);
    // The event loop runs meanwhile, so that servers of the test can answer.
    QSignalSpy finished(&twpl, &QProcess::finished);
    if (twpl.state() != QProcess::NotRunning) finished.wait(60000);
    return {twpl.exitCode(), QString::fromUtf8(twpl.readAllStandardOutput()),
            QString::fromUtf8(twpl.readAllStandardError())};
  }
  QString Home() const { return dir_.filePath(u"home"_s); }

  // A library of two songs, the second listed first.
  void MakeLibrary() {
    HomeLibrary home(Home());
    SongLibrary& library = home.library;
    library.AddSongRow(u"One"_s, u"Album"_s, u"Artist"_s, u"3:07"_s, u"/m/one.mp3"_s);
    library.AddSongRow(u"Two"_s, {}, u"B"_s, u"1:00"_s, u"/m/two.mp3"_s);
    ASSERT_TRUE(library.SaveSongData());
  }

  QTemporaryDir dir_;
  QProcessEnvironment extraEnv_;  // set for every run, such as AUDIOLUME_CD_DRIVES
};

}  // namespace audiolume
