#include <gtest/gtest.h>

#include <QDir>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
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

// A conversion window over the folder "Music" of a temporary application directory,
// converting into "Music/out".
class FileConversionWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QDir(dir_.path()).mkpath(u"Music/out"_s);
    WriteIniString(settings_, u"Database"_s, u"Conversion Destination Path"_s,
                   dir_.filePath(u"Music/out"_s));
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }

  QTemporaryDir dir_;
  QString settings_ = dir_.filePath(u"VeltoDj.ini"_s);
  CurrentError error_;
  ErrorLog log_{dir_.filePath(u"TW_Error.log"_s), error_};
  ScriptedPrompter prompter_;
  MessageCatalog catalog_{dir_.path(), settings_, log_, prompter_};
  SongFilePresence presence_{{}, catalog_, prompter_};
  FileConversion conversion_{catalog_, prompter_, presence_, dir_.path()};
};

TEST_F(FileConversionWindowTest, ConvertsTheSelectedFilesAndStopsThePlayerFirst) {
  ASSERT_TRUE(test::WriteSineWav(Path(u"Music/a.wav"_s), 0.4));
  ASSERT_TRUE(test::WriteSineWav(Path(u"Music/b.wav"_s), 0.4));
  int stops = 0;
  frmFileConversion window(conversion_, catalog_, prompter_, settings_, dir_.path(),
                           [&] { ++stops; });

  window.ShowWavToMp3();
  auto* sources = window.findChild<QListWidget*>(u"File1"_s);
  ASSERT_EQ(sources->count(), 2);
  window.imgSelectAll_Click();
  window.imgStart_Click();
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(prompter_.ShownMessages().last().text, u"2 files were converted");
  EXPECT_EQ(window.findChild<QListWidget*>(u"File2"_s)->count(), 2);
  EXPECT_TRUE(QFile::exists(Path(u"Music/out/a.mp3"_s)));
}

// Choosing the destination after the files keeps the files chosen.
TEST_F(FileConversionWindowTest, ChoosingTheDestinationKeepsTheSelectedFiles) {
  ASSERT_TRUE(test::WriteSineWav(Path(u"Music/a.wav"_s), 0.4));
  ASSERT_TRUE(test::WriteSineWav(Path(u"Music/b.wav"_s), 0.4));
  QDir(dir_.path()).mkpath(u"Other"_s);
  frmFileConversion window(conversion_, catalog_, prompter_, settings_, dir_.path(), {});
  window.ShowWavToMp3();
  auto* sources = window.findChild<QListWidget*>(u"File1"_s);
  ASSERT_EQ(sources->count(), 2);
  sources->item(1)->setSelected(true);
  prompter_.QueueText(Path(u"Other"_s));
  QTest::mouseClick(window.findChild<QPushButton*>(u"browseDestination"_s), Qt::LeftButton);
  EXPECT_TRUE(sources->item(1)->isSelected());
  QTest::mouseClick(window.findChild<QPushButton*>(u"imgStart"_s), Qt::LeftButton);
  EXPECT_EQ(prompter_.ShownMessages().last().text, u"1 file was converted");
  EXPECT_TRUE(QFile::exists(Path(u"Other/b.mp3"_s)));
  EXPECT_FALSE(QFile::exists(Path(u"Other/a.mp3"_s)));
}

TEST_F(FileConversionWindowTest, EscapeDuringABatchCancelsItAndClosesTheWindowSafely) {
  for (const QString& name : {u"a.wav"_s, u"b.wav"_s, u"c.wav"_s}) {
    ASSERT_TRUE(test::WriteSineWav(Path(u"Music/"_s + name), 30.0));
  }
  QPointer<frmFileConversion> window =
      new frmFileConversion(conversion_, catalog_, prompter_, settings_, dir_.path(), {});
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->ShowWavToMp3();
  window->imgSelectAll_Click();
  QTimer::singleShot(150, window, [&] { QTest::keyClick(window, Qt::Key_Escape); });
  window->imgStart_Click();
  EXPECT_FALSE(conversion_.IsConverting());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  const QStringList left = QDir(Path(u"Music/out"_s)).entryList(QDir::Files);
  EXPECT_LT(left.size(), 3);
  EXPECT_TRUE(left.filter(u".part"_s).isEmpty()) << left.join(u' ').toStdString();
  EXPECT_TRUE(prompter_.ShownMessages().last().text.contains(u"cancel"_s, Qt::CaseInsensitive));
}

}  // namespace
}  // namespace audiolume
