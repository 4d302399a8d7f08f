#include <gtest/gtest.h>

#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>

#include "fakes/SineFiles.h"
#include "fakes/TestFiles.h"
#include "library/SongFilePresence.h"
#include "player/FileConversion.h"
#include "player/frmFileConversion.h"
#include "support/CurrentError.h"
#include "support/ErrorLog.h"
#include "support/IniSettings.h"
#include "support/MessageCatalog.h"
#include "support/ScriptedPrompter.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(FileConversionWindowTest, ConvertsTheSelectedFilesAndStopsThePlayerFirst) {
  QTemporaryDir dir;
  QDir(dir.path()).mkpath(u"Music/out"_s);
  ASSERT_TRUE(test::WriteSineWav(dir.filePath(u"Music/a.wav"_s), 0.4));
  ASSERT_TRUE(test::WriteSineWav(dir.filePath(u"Music/b.wav"_s), 0.4));
  const QString settings = dir.filePath(u"VeltoDj.ini"_s);
  WriteIniString(settings, u"Database"_s, u"Conversion Destination Path"_s,
                 dir.filePath(u"Music/out"_s));
  CurrentError error;
  ErrorLog log(dir.filePath(u"TW_Error.log"_s), error);
  ScriptedPrompter prompter;
  MessageCatalog catalog(dir.path(), settings, log, prompter);
  SongFilePresence presence(settings, catalog, prompter);
  FileConversion conversion(catalog, prompter, presence, dir.path());
  int stops = 0;
  frmFileConversion window(conversion, catalog, prompter, settings, dir.path(), [&] { ++stops; });

  window.ShowWavToMp3();
  auto* sources = window.findChild<QListWidget*>(u"File1"_s);
  ASSERT_EQ(sources->count(), 2);
  window.imgSelectAll_Click();
  window.imgStart_Click();
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(prompter.ShownMessages().last().text, u"2 files were converted");
  EXPECT_EQ(window.findChild<QListWidget*>(u"File2"_s)->count(), 2);
  EXPECT_TRUE(QFile::exists(dir.filePath(u"Music/out/a.mp3"_s)));
}

}  // namespace
}  // namespace audiolume
