#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

#include "fakes/TestFiles.h"
#include "platform/FileError.h"
#include "support/AppError.h"
#include "support/CurrentError.h"
#include "support/ErrorCheck.h"
#include "support/ErrorLog.h"
#include "support/ScriptedPrompter.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kStamp = u"\\d\\d-\\d\\d-\\d{4}, \\d\\d:\\d\\d:\\d\\d"_s;

class ErrorCheckTest : public ::testing::Test {
 protected:
  QStringList LogLines() const {
    return QString::fromUtf8(test::ReadAll(log_.Path())).split(u'\n', Qt::SkipEmptyParts);
  }

  QTemporaryDir dir_;
  CurrentError error_;
  ErrorLog log_{dir_.filePath(u"TW_Error.log"_s), error_};
  ScriptedPrompter prompter_;
  ErrorCheck check_{error_, log_, prompter_};
};

TEST_F(ErrorCheckTest, ReportsPaddedDescriptionWithContextOnceAndClears) {
  error_.Trap([] { throw AppError(kErrOverflow); });
  EXPECT_EQ(check_.CheckError(u"in PlayList.LoadSongData"_s), kErrOverflow);

  const QString padded = u"Overflow"_s + QString(72, u' ');
  ASSERT_EQ(prompter_.ShownMessages().size(), 1);
  EXPECT_EQ(prompter_.ShownMessages()[0].text, padded + u"\nin PlayList.LoadSongData"_s);
  const QStringList lines = LogLines();
  ASSERT_EQ(lines.size(), 1);
  EXPECT_TRUE(QRegularExpression(u"^"_s + kStamp + u", Overflow: "_s + padded +
                                 u": in PlayList.LoadSongData$"_s)
                  .match(lines[0])
                  .hasMatch())
      << lines[0].toStdString();

  EXPECT_EQ(check_.CheckError(u"in PlayList.LoadSongData"_s), 0);
  EXPECT_EQ(prompter_.ShownMessages().size(), 1);
}

TEST_F(ErrorCheckTest, EmptyContextOnlyAnswersWhetherAnythingFailed) {
  error_.Trap([] { throw platform::FileError(ENOSPC, u"/full/TWPL.tmp"_s); });
  EXPECT_EQ(check_.CheckError({}), kErrDiskFull);
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());
  EXPECT_TRUE(LogLines().isEmpty());
  EXPECT_FALSE(error_.IsSet());
}

TEST_F(ErrorCheckTest, TrapTurnsFailuresIntoRuntimeNumbersAndKeepsTheFileName) {
  const std::pair<int, int> cases[] = {
      {ENOENT, kErrFileNotFound},    {ENOSPC, kErrDiskFull},      {EACCES, kErrPermissionDenied},
      {EROFS, kErrPermissionDenied}, {ENOTDIR, kErrPathNotFound}, {EIO, kErrPathFileAccess}};
  for (const auto& [code, number] : cases) {
    EXPECT_FALSE(error_.Trap([code] { throw platform::FileError(code, u"/m/a.mp3"_s); }));
    EXPECT_EQ(error_.Number(), number) << code;
    EXPECT_TRUE(error_.Description().endsWith(u": /m/a.mp3"_s));
  }
  error_.Trap([] { throw std::runtime_error("boom"); });
  EXPECT_EQ(error_.Number(), kErrInternal);
  EXPECT_TRUE(error_.Trap([] {}));
}

TEST_F(ErrorCheckTest, LogLinesHaveTheirFormatsWithOrWithoutAPendingError) {
  log_.LogError(u"Command Line =x"_s);
  log_.LogSystemError(u"TruncateFile"_s, u"SetEndOfFile"_s, 5);
  log_.LogSystemError(u"TruncateFile"_s, {}, 13);
  const QStringList lines = LogLines();
  ASSERT_EQ(lines.size(), 3);
  const QString expected[] = {u", : Command Line =x$"_s,
                              u"; WinError5, SetEndOfFile@ TruncateFile$"_s,
                              u"; WinError13@ TruncateFile$"_s};
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(QRegularExpression(u"^"_s + kStamp + expected[i]).match(lines[i]).hasMatch())
        << lines[i].toStdString();
  }
}

}  // namespace
}  // namespace audiolume
