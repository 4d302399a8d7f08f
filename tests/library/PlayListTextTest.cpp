#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "fakes/TestFiles.h"
#include "library/PlayListText.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(PlayListTextTest, SongLinesRoundTripWithPresetsAndContinuedLines) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"PlayList.txt"_s);
  const QList<PlayListEntry> entries = {{u"/m/a.mp3"_s, u"Song A"_s, u"Artist"_s, {}},
                                        {u"/m/é.mp3"_s, u"É"_s, u"B"_s, u"Hall"_s}};
  PlayListText::Write(path, entries);
  EXPECT_EQ(test::ReadAll(path),
            " 1 \xFF/m/a.mp3\xFFSong A\xFF"
            "Artist\r\n"
            " 2 \xFF/m/\xC3\xA9.mp3\xFF\xC3\x89\xFF"
            "B!SB!Hall\r\n");
  EXPECT_EQ(PlayListText::Read(path), entries);

  const QList<PlayListEntry> continued =
      PlayListText::ParseSongLines(" 7 \xFF/m/long\r\nname.mp3 \xFF  Title \xFF Art\r\n\r\n");
  ASSERT_EQ(continued.size(), 1);
  EXPECT_EQ(continued[0], (PlayListEntry{u"/m/longname.mp3"_s, u"Title"_s, u"Art"_s, {}}));
  EXPECT_TRUE(PlayListText::Read(dir.filePath(u"none.txt"_s)).isEmpty());
}

}  // namespace
}  // namespace audiolume
