#include <gtest/gtest.h>

#include <QDir>
#include <QListWidget>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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
  SongFilePresence presence({}, catalog, prompter);
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

TEST(FileConversionWindowTest, EscapeDuringABatchCancelsItAndClosesTheWindowSafely) {
  QTemporaryDir dir;
  QDir(dir.path()).mkpath(u"Music/out"_s);
  for (const QString& name : {u"a.wav"_s, u"b.wav"_s, u"c.wav"_s}) {
    ASSERT_TRUE(test::WriteSineWav(dir.filePath(u"Music/"_s + name), 30.0));
  }
  const QString settings = dir.filePath(u"VeltoDj.ini"_s);
  WriteIniString(settings, u"Database"_s, u"Conversion Destination Path"_s,
                 dir.filePath(u"Music/out"_s));
  CurrentError error;
  ErrorLog log(dir.filePath(u"TW_Error.log"_s), error);
  ScriptedPrompter prompter;
  MessageCatalog catalog(dir.path(), settings, log, prompter);
  SongFilePresence presence({}, catalog, prompter);
  FileConversion conversion(catalog, prompter, presence, dir.path());
  QPointer<frmFileConversion> window =
      new frmFileConversion(conversion, catalog, prompter, settings, dir.path(), {});
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->ShowWavToMp3();
  window->imgSelectAll_Click();
  QTimer::singleShot(150, window, [&] { QTest::keyClick(window, Qt::Key_Escape); });
  window->imgStart_Click();
  EXPECT_FALSE(conversion.IsConverting());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  const QStringList left = QDir(dir.filePath(u"Music/out"_s)).entryList(QDir::Files);
  EXPECT_LT(left.size(), 3);
  EXPECT_TRUE(left.filter(u".part"_s).isEmpty()) << left.join(u' ').toStdString();
  EXPECT_TRUE(prompter.ShownMessages().last().text.contains(u"cancel"_s, Qt::CaseInsensitive));
}

}  // namespace
}  // namespace audiolume
