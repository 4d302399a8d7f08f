#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "fakes/TestFiles.h"
#include "support/AppVersion.h"
#include "support/CurrentError.h"
#include "support/Diagnostics.h"
#include "support/ErrorLog.h"
#include "support/MessageCatalog.h"
#include "support/Registry.h"
#include "support/ScriptedPrompter.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

class DiagnosticsTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QString Log() const { return QString::fromUtf8(test::ReadAll(Path(u"Diagnostic.log"_s))); }

  QTemporaryDir dir_;
  CurrentError error_;
  ErrorLog log_{Path(u"TW_Error.log"_s), error_};
  ScriptedPrompter prompter_;
  Registry registry_{platform::RegistryStore(Path(u"registry.ini"_s))};
  MessageCatalog catalog_{dir_.path(), Path(u"VeltoDj.ini"_s), log_, prompter_};
  Diagnostics diagnostics_{dir_.path(), Path(u"VeltoDj.ini"_s), registry_, catalog_, prompter_};
};

TEST_F(DiagnosticsTest, AppendDiagInfoFramesTheFileOrSaysItIsMissing) {
  test::WriteAll(Path(u"TWCD.ini"_s), "[Record]\r\n  track=1\r\n");
  diagnostics_.AppendDiagInfo(Path(u"TWCD.ini"_s));
  diagnostics_.AppendDiagInfo(u"/no/such.log"_s);
  const QString name = Path(u"TWCD.ini"_s);
  const QString expected = QString(name.size() + 10, u'*') + u"\n    "_s + name + u"      \n"_s +
                           QString(name.size() + 10, u'-') + u"\n[Record]\n  track=1\n\n"_s +
                           QString(22, u'*') + u"\n    /no/such.log      \n"_s + QString(22, u'-') +
                           u"\nFile does not exist.\n\n"_s;
  EXPECT_EQ(Log(), expected);
}

TEST_F(DiagnosticsTest, CaptureReplacesTheLogsAndGathersFilesRegistryAndListing) {
  registry_.SetRegValue(Hive::LocalMachine, kProgramKey, u"String"_s, u"AppPath"_s, dir_.path());
  test::WriteAll(Path(u"VeltoDj.ini"_s), "[PlayList]\nPlayer=/opt/player/run\n");
  test::WriteAll(Path(u"TW_Error.log"_s), "an old error\n");

  EXPECT_EQ(diagnostics_.CaptureDiagnostics(), Path(u"Diagnostic.log"_s));
  EXPECT_EQ(diagnostics_.CaptureDiagnostics(), Path(u"Diagnostic.log"_s));

  const QString log = Log();
  EXPECT_EQ(log.count(u"Tunewright JukeBox 3.12.030  "_s), 1);
  EXPECT_TRUE(log.startsWith(u"Tunewright JukeBox 3.12.030  "_s));
  const qsizetype settings = log.indexOf(u"Player=/opt/player/run"_s);
  const qsizetype errors = log.indexOf(u"an old error"_s);
  const qsizetype m3u = log.indexOf(u"/opt/player/WinAmp.m3u"_s);
  const qsizetype listing = log.indexOf(u" Directory of "_s + dir_.path());
  EXPECT_TRUE(settings > 0 && settings < errors && errors < m3u && m3u < listing)
      << log.toStdString();
  EXPECT_TRUE(log.contains(u"AppPath = "_s + dir_.path()));
  EXPECT_TRUE(log.contains(u"  VeltoDj.ini\n"_s));

  const QString registryLog = QString::fromUtf8(test::ReadAll(Path(u"Registry.log"_s)));
  EXPECT_EQ(registryLog.count(u"Version: "_s), 1);

  ASSERT_EQ(prompter_.ShownMessages().size(), 2);
  EXPECT_TRUE(prompter_.ShownMessages()[1].text.startsWith(
      u"The Diagnostic information is captured in the following file:\n"_s +
      Path(u"Diagnostic.log"_s) + u"\n\n"_s));
}

}  // namespace
}  // namespace audiolume
