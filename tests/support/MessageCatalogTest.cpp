#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "fakes/TestFiles.h"
#include "support/CurrentError.h"
#include "support/ErrorLog.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/ScriptedPrompter.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;
using Source = MessageCatalog::Source;

class MessageCatalogTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  void WriteMessages(const QByteArray& contents) const {
    test::WriteAll(Path(u"TWPL_Msg.eng"_s), contents);
  }
  QStringList LogLines() const {
    return QString::fromUtf8(test::ReadAll(log_.Path())).split(u'\n', Qt::SkipEmptyParts);
  }
  qsizetype Shown() const { return prompter_.ShownMessages().size(); }

  QTemporaryDir dir_;
  CurrentError error_;
  ErrorLog log_{dir_.filePath(u"TW_Error.log"_s), error_};
  ScriptedPrompter prompter_;
  MessageCatalog catalog_{dir_.path(), dir_.filePath(u"VeltoDj.ini"_s), log_, prompter_};
};

TEST_F(MessageCatalogTest, BuiltInTableIsUsedUntilTheFileIsSwitchedOn) {
  WriteMessages("[Strings]\nRC_DB_Saved=Saved from the file.\n");
  EXPECT_EQ(catalog_.GetMsg(RC_DB_Saved), u"Song data has been saved.");
  catalog_.SetLookupSource(Source::MessageFile);
  EXPECT_EQ(catalog_.GetMsg(RC_DB_Saved), u"Saved from the file.");
  catalog_.SetLookupSource(Source::BuiltIn);
  EXPECT_EQ(catalog_.GetMsg(RC_DB_Saved), u"Song data has been saved.");
  EXPECT_EQ(Shown(), 0);
}

TEST_F(MessageCatalogTest, FileLookupFallsBackToTheTableSilentlyAndUsesTheHighSection) {
  WriteMessages(
      "[Strings]\nRC_New=wrong section\n"
      "[RC_ReadOnlyDrive]\nRC_New=Neu\n");
  catalog_.SetLookupSource(Source::MessageFile);
  EXPECT_EQ(catalog_.GetMsg(RC_DB_Saved), u"Song data has been saved.");
  EXPECT_EQ(catalog_.GetMsg(RC_New), u"Neu");
  EXPECT_EQ(catalog_.GetMsg(RC_NewReserved), u"(New) is reserved and can't be deleted");
  EXPECT_EQ(Shown(), 0);
  EXPECT_TRUE(LogLines().isEmpty());
}

TEST_F(MessageCatalogTest, MissingMessageWarnsOnceAndLogsEveryTime) {
  WriteMessages("[Strings]\n");
  catalog_.SetLookupSource(Source::MessageFile);
  EXPECT_EQ(catalog_.GetMsg(RC_Unused549), u"");
  EXPECT_EQ(catalog_.GetMsg(RC_Unused549), u"");
  EXPECT_EQ(catalog_.GetMsgWithValue(RC_Unused549, u"x"_s), u"");
  ASSERT_EQ(Shown(), 1);
  EXPECT_TRUE(
      prompter_.ShownMessages()[0].text.startsWith(u"Missing 'RC_Unused549' in TWPL_Msg.eng\n"_s));
  EXPECT_EQ(prompter_.ShownMessages()[0].icon, MessageIcon::Exclamation);
  const QStringList lines = LogLines();
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[0].endsWith(u": Missing 'RC_Unused549' in "_s + Path(u"TWPL_Msg.eng"_s)));
  EXPECT_TRUE(lines[2].endsWith(u": Missing 'RC_Unused549' in TWPL_Msg.eng"_s));
}

TEST_F(MessageCatalogTest, MissingMessageFileIsReportedOnce) {
  EXPECT_EQ(catalog_.GetMsg(RC_Unused549), u"");
  EXPECT_EQ(catalog_.GetMsg(RC_Unused642), u"");
  ASSERT_EQ(Shown(), 1);
  EXPECT_EQ(prompter_.ShownMessages()[0].text,
            u"Missing Message file:\n"_s + Path(u"TWPL_Msg.eng"_s));
  const QStringList lines = LogLines();
  ASSERT_EQ(lines.size(), 1);
  EXPECT_TRUE(lines[0].endsWith(Path(u"TWPL_Msg.eng"_s) + u" does not exist"_s));
}

TEST_F(MessageCatalogTest, FirstPlaceholderIsReplaced) {
  EXPECT_EQ(catalog_.GetMsgWithValue(RC_DB_Existed_Message1, u"a.txt"_s), u"a.txt already exists.");
  EXPECT_EQ(catalog_.GetMsgWithValue(RC_GetTrackID, u"3"_s), u"Getting ID of track 3");
  EXPECT_EQ(catalog_.GetMsgWithValue(RC_DB_Saved, u"x"_s), u"Song data has been saved.");

  WriteMessages("[Strings]\nRC_Hours=A {x\nRC_Time=A {x} C {y}\nRC_Edit=A {x}\n");
  catalog_.SetLookupSource(Source::MessageFile);
  EXPECT_EQ(catalog_.GetMsgWithValue(RC_Hours, u"B"_s), u"A B");
  EXPECT_EQ(catalog_.GetMsgWithValue(RC_Time, u"B"_s), u"A B C {y}");
  EXPECT_EQ(catalog_.GetMsgWithValue(RC_Edit, u"B"_s), u"A B");
}

TEST_F(MessageCatalogTest, LoadMessageFilesChoosesTheLanguageFilesAndFontAndWarns) {
  test::WriteAll(Path(u"VeltoDj.ini"_s), "[General]\nLanguage=DEU\nFont_deu=DejaVu Serif\n");
  test::WriteAll(Path(u"TWPL_Msg.DEU"_s), "[Strings]\nRC_Yes=&Ja\n");
  catalog_.SetLookupSource(Source::MessageFile);
  catalog_.LoadMessageFiles();

  EXPECT_EQ(catalog_.MessageFile(), Path(u"TWPL_Msg.DEU"_s));
  EXPECT_EQ(catalog_.ErrorTextFile(), Path(u"TWPL_Err.eng"_s));
  EXPECT_EQ(catalog_.MessageFont(), u"DejaVu Serif");
  EXPECT_EQ(catalog_.GetMsg(RC_Yes), u"&Ja");
  ASSERT_EQ(Shown(), 1);
  EXPECT_EQ(
      prompter_.ShownMessages()[0].text,
      u"Missing Err file TWPL_Err.eng\nProgram won't be able to display error messages correctly"_s);
  EXPECT_EQ(prompter_.ShownMessages()[0].icon, MessageIcon::Critical);
}

TEST_F(MessageCatalogTest, MissingMessageFileAtStartIsNotReportedAgainLater) {
  test::WriteAll(Path(u"TWPL_Err.eng"_s), "[RealAudio]\n");
  catalog_.SetLookupSource(Source::MessageFile);
  catalog_.LoadMessageFiles();
  ASSERT_EQ(Shown(), 1);
  EXPECT_TRUE(
      prompter_.ShownMessages()[0].text.startsWith(u"Missing message file TWPL_Msg.eng\n"_s));
  EXPECT_EQ(catalog_.GetMsg(RC_OK), u"&OK");
  EXPECT_EQ(catalog_.GetMsg(RC_Unused549), u"");
  EXPECT_EQ(Shown(), 1);
}

}  // namespace
}  // namespace audiolume
