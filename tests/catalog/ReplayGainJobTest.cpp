#include <gtest/gtest.h>

#include "catalog/ReplayGainJob.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {
namespace {

using Group = ReplayGainJob::Group;

// An album is its name in one folder, whatever the case; songs without one stand alone.
TEST(ReplayGainJobTest, AlbumsAreNamesWithinAFolderAndSongsWithoutOneStandAlone) {
  const QList<Group> groups = ReplayGainJob::Albums({{u"/a/1.flac"_s, u"Live"_s},
                                                     {u"/b/1.flac"_s, u"Live"_s},
                                                     {u"/a/2.mp3"_s, u" live "_s},
                                                     {u"/a/x.ogg"_s, {}},
                                                     {u"/a/y.ogg"_s, u"  "_s},
                                                     {u"/a/1.flac"_s, u"Live"_s},
                                                     {u"/b/2.flac"_s, u"Live"_s}});
  ASSERT_EQ(groups.size(), 4);
  EXPECT_EQ(groups[0].files, (QStringList{u"/a/1.flac"_s, u"/a/2.mp3"_s}));
  EXPECT_TRUE(groups[0].album);
  EXPECT_EQ(groups[1].files, (QStringList{u"/b/1.flac"_s, u"/b/2.flac"_s}));
  EXPECT_EQ(groups[2].files, QStringList{u"/a/x.ogg"_s});
  EXPECT_FALSE(groups[2].album);
  EXPECT_EQ(groups[3].files, QStringList{u"/a/y.ogg"_s});
  EXPECT_FALSE(groups[3].album);
}

}  // namespace
}  // namespace audiolume
