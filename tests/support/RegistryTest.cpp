#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "fakes/TestFiles.h"
#include "support/Registry.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

class RegistryTest : public ::testing::Test {
 protected:
  QString StorePath() const { return dir_.filePath(u"config/registry.ini"_s); }
  QTemporaryDir dir_;
  Registry registry_{platform::RegistryStore(StorePath())};
};

TEST_F(RegistryTest, StringsAndNumbersRoundTripAndOtherTypesWriteNothing) {
  const QString key = u"Software\\Velto\\Tunewright Jukebox\\3.12.030"_s;
  registry_.SetRegValue(Hive::LocalMachine, key, u"String"_s, u"AppPath"_s, u"/home/a b"_s);
  registry_.SetRegValue(Hive::LocalMachine, key, u"Number"_s, u"Runs"_s, u"5"_s);
  registry_.SetRegValue(Hive::LocalMachine, key, u"Binary"_s, u"Other"_s, u"1"_s);

  EXPECT_EQ(registry_.ReadRegValue(Hive::LocalMachine, key, u"AppPath"_s), u"/home/a b");
  EXPECT_EQ(registry_.ReadRegValue(Hive::LocalMachine, key.toLower(), u"runs"_s), u"5");
  EXPECT_EQ(registry_.ReadRegValue(Hive::LocalMachine, key, u"Other"_s), u"");
  EXPECT_EQ(registry_.ReadRegValue(Hive::CurrentUser, key, u"AppPath"_s), u"");

  const auto runs =
      platform::RegistryStore(StorePath()).Read(u"HKEY_LOCAL_MACHINE\\"_s + key, u"Runs"_s);
  ASSERT_TRUE(runs.has_value());
  EXPECT_EQ(runs->type, platform::RegistryStore::Type::Number);
}

TEST_F(RegistryTest, FailuresAreSilent) {
  Registry broken{platform::RegistryStore(u"/proc/no/such/registry.ini"_s)};
  broken.CreateRegKey(Hive::LocalMachine, u"Software"_s);
  broken.SetRegValue(Hive::LocalMachine, u"Software"_s, u"String"_s, u"a"_s, u"b"_s);
  EXPECT_EQ(broken.ReadRegValue(Hive::LocalMachine, u"Software"_s, u"a"_s), u"");
}

TEST_F(RegistryTest, DumpListsValuesAndEverySubkeyOrSaysTheKeyCannotBeOpened) {
  const QString base = u"Software\\Velto\\Tunewright Jukebox"_s;
  registry_.SetRegValue(Hive::LocalMachine, base + u"\\3.12.030"_s, u"String"_s, u"AppPath"_s,
                        u"/music/home"_s);
  registry_.SetRegValue(Hive::LocalMachine, base + u"\\3.12.030"_s, u"String"_s, u"sNumOfRuns"_s,
                        u"7"_s);
  registry_.CreateRegKey(Hive::LocalMachine, base + u"\\Empty"_s);
  test::WriteAll(StorePath(), test::ReadAll(StorePath()) +
                                  "[HKEY_LOCAL_MACHINE\\Software\\Velto\\Tunewright "
                                  "Jukebox\\Odd]\nBlob=binary:00ff\n");

  const QString log = dir_.filePath(u"Registry.log"_s);
  registry_.LogRegistryHive(Hive::LocalMachine, base, log);
  registry_.LogRegistryHive(Hive::Users, u"Nothing"_s, log);

  const QStringList lines = QString::fromUtf8(test::ReadAll(log)).split(u'\n');
  const QStringList expected = {u"Version: 3.12"_s,
                                u"Cur Path = "_s + QDir::currentPath(),
                                u"HKEY_LOCAL_MACHINE\\"_s + base,
                                u"3.12.030"_s,
                                u"AppPath = /music/home"_s,
                                u"sNumOfRuns = 7"_s,
                                u"Empty"_s,
                                u"Odd"_s,
                                u"Blob = Wrong data type: binary"_s,
                                u"Version: 3.12"_s,
                                u"Cur Path = "_s + QDir::currentPath(),
                                u"HKEY_USERS\\Nothing"_s,
                                u"Could not open 'HKEY_USERS\\Nothing' key while Logging "
                                u"registry hive."_s,
                                QString()};
  EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace audiolume
