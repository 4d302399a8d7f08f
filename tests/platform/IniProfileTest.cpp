#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "fakes/TestFiles.h"
#include "platform/IniDocument.h"
#include "platform/IniProfile.h"

namespace audiolume::platform {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::ReadAll;
using test::WriteAll;

class IniProfileTest : public ::testing::Test {
 protected:
  QString Read(const QString& section, const QString& key) const {
    return IniProfile::ReadString(path_, section, key);
  }
  QTemporaryDir dir_;
  QString path_ = dir_.filePath(QStringLiteral("VeltoDj.ini"));
};

TEST_F(IniProfileTest, ReadsWithCaseInsensitiveNamesFirstMatchAndTrimmedValues) {
  WriteAll(path_,
           "[PlayList]\r\n"
           "  SortKey =  3  \r\n"
           "sortkey=9\r\n"
           "; Player=comment\r\n"
           "[Playlist]\r\n"
           "Player=second section is never read\r\n");
  EXPECT_EQ(Read(u"playlist"_s, u"SORTKEY"_s), u"3");
  EXPECT_EQ(Read(u"PlayList"_s, u"Player"_s), u"");
  EXPECT_EQ(Read(u"PlayList"_s, u"; Player"_s), u"");
  EXPECT_EQ(Read(u"Missing"_s, u"SortKey"_s), u"");
  EXPECT_EQ(IniProfile::ReadString(dir_.filePath(u"none.ini"_s), u"a"_s, u"b"_s), u"");
}

TEST_F(IniProfileTest, ReadIsCutAt255Characters) {
  const QString longValue(300, u'x');
  ASSERT_TRUE(IniProfile::WriteString(path_, u"General"_s, u"Long"_s, longValue));
  EXPECT_EQ(Read(u"General"_s, u"Long"_s), longValue.left(255));
  // The file keeps all of it.
  EXPECT_TRUE(ReadAll(path_).contains(longValue.toUtf8()));
}

TEST_F(IniProfileTest, WritesCreateUpdateInPlaceAndAppendWhileKeepingTheRest) {
  ASSERT_TRUE(IniProfile::WriteString(path_, u"Player"_s, u"Left"_s, u"10"_s));
  EXPECT_EQ(ReadAll(path_), "[Player]\nLeft=10\n");

  WriteAll(path_,
           "; settings\n"
           "[Player]\n"
           "LEFT = 10\n"
           "Top=20\n"
           "\n"
           "[Record]\n"
           "Play volume=50\n");
  ASSERT_TRUE(IniProfile::WriteString(path_, u"player"_s, u"left"_s, u"15"_s));
  ASSERT_TRUE(IniProfile::WriteString(path_, u"Player"_s, u"View Mode"_s, u"2"_s));
  ASSERT_TRUE(IniProfile::WriteString(path_, u"CDDB"_s, u"Port"_s, u"8880"_s));
  EXPECT_EQ(ReadAll(path_),
            "; settings\n"
            "[Player]\n"
            "LEFT=15\n"
            "Top=20\n"
            "View Mode=2\n"
            "\n"
            "[Record]\n"
            "Play volume=50\n"
            "\n"
            "[CDDB]\n"
            "Port=8880\n");
}

TEST_F(IniProfileTest, NothingIsCachedAndWindowsLineEndsAndCodePageSurvive) {
  WriteAll(path_, "[Tag]\r\nArtist=Bj\xF6rk\r\n");  // Windows-1252, not UTF-8
  EXPECT_EQ(Read(u"Tag"_s, u"Artist"_s), u"Björk");
  ASSERT_TRUE(IniProfile::WriteString(path_, u"Tag"_s, u"Album"_s, u"Début"_s));
  EXPECT_EQ(ReadAll(path_),
            "[Tag]\r\nArtist=Bj\xF6rk\r\nAlbum=D\xC3\xA9"
            "but\r\n");
  WriteAll(path_, "[Tag]\nArtist=changed behind our back\n");
  EXPECT_EQ(Read(u"Tag"_s, u"Artist"_s), u"changed behind our back");
}

TEST_F(IniProfileTest, AValueWithLineBreaksStaysOnItsLineAndCreatesNoKeys) {
  ASSERT_TRUE(IniProfile::WriteString(path_, u"Tag"_s, u"Title"_s, u"Song\r\n[Evil]\nx=1"_s));
  ASSERT_TRUE(IniProfile::WriteString(path_, u"Tag\nY"_s, u"Key\rZ"_s, u"v"_s));
  EXPECT_EQ(ReadAll(path_), "[Tag]\nTitle=Song  [Evil] x=1\n\n[Tag Y]\nKey Z=v\n");
  EXPECT_FALSE(IniDocument::Load(path_).HasSection(u"Evil"_s));
  EXPECT_EQ(Read(u"Tag"_s, u"x"_s), u"");
}

TEST_F(IniProfileTest, AFailedWriteReportsFalseAndLeavesTheFile) {
  EXPECT_FALSE(
      IniProfile::WriteString(dir_.filePath(u"no/such/dir/x.ini"_s), u"a"_s, u"b"_s, u"c"_s));
  // A folder where the file should be cannot be replaced, not even by root.
  const QString folder = dir_.filePath(u"folder.ini"_s);
  ASSERT_TRUE(QDir().mkdir(folder));
  EXPECT_FALSE(IniProfile::WriteString(folder, u"a"_s, u"b"_s, u"c"_s));
  EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(IniDocumentTest, EnumeratesSectionsAndEntriesOnceEach) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"r.ini"_s);
  WriteAll(path, "[A]\nx=1\nX=2\ny=3\n[b]\n[a]\nz=4\n");
  const IniDocument doc = IniDocument::Load(path);
  EXPECT_EQ(doc.Sections(), (QStringList{u"A"_s, u"b"_s}));
  const auto entries = doc.Entries(u"a"_s);
  ASSERT_EQ(entries.size(), 2);
  EXPECT_EQ(entries[0], (QPair<QString, QString>(u"x"_s, u"1"_s)));
  EXPECT_EQ(entries[1], (QPair<QString, QString>(u"y"_s, u"3"_s)));
}

}  // namespace
}  // namespace audiolume::platform
