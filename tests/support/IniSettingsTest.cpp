#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "fakes/CurrentDirGuard.h"
#include "fakes/TestFiles.h"
#include "support/IniSettings.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

// Runs the test in a folder of its own and returns to where it was afterwards.
class IniSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QDir(current_.path()).mkdir(u"program"_s);
    QDir::setCurrent(current_.path());
  }

  test::CurrentDirGuard guard_;
  QTemporaryDir current_;
};

TEST_F(IniSettingsTest, BareNameMeansTheCurrentFolderAndPathsAreTakenAsGiven) {
  ASSERT_TRUE(WriteIniString(u"VeltoDj.ini"_s, u"General"_s, u"Language"_s, u"eng"_s));
  EXPECT_TRUE(QFile::exists(current_.filePath(u"VeltoDj.ini"_s)));

  const QString inProgram = current_.filePath(u"program/VeltoDj.ini"_s);
  ASSERT_TRUE(WriteIniString(inProgram, u"General"_s, u"Language"_s, u"deu"_s));
  EXPECT_EQ(ReadIniString(u"VeltoDj.ini"_s, u"General"_s, u"Language"_s), u"eng");
  EXPECT_EQ(ReadIniString(inProgram, u"general"_s, u"language"_s), u"deu");
}

TEST_F(IniSettingsTest, EmptyStoredValueGivesTheDefaultOnlyThroughReadIniDefault) {
  test::WriteAll(current_.filePath(u"VeltoDj.ini"_s), "[Record]\nPlay volume=\nShell Option=2\n");
  EXPECT_EQ(ReadIniString(u"VeltoDj.ini"_s, u"Record"_s, u"Play volume"_s), u"");
  EXPECT_EQ(ReadIniDefault(u"VeltoDj.ini"_s, u"Record"_s, u"Play volume"_s, u"50"_s), u"50");
  EXPECT_EQ(ReadIniDefault(u"VeltoDj.ini"_s, u"Record"_s, u"Shell Option"_s, u"0"_s), u"2");
  EXPECT_EQ(ReadIniDefault(u"VeltoDj.ini"_s, u"Record"_s, u"program"_s, u"CDDA.exe"_s),
            u"CDDA.exe");
}

}  // namespace
}  // namespace audiolume
