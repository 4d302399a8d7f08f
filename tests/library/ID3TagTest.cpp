#include "library/TagFixture.h"

namespace audiolume::test {
namespace {

using ID3TagTest = TagFixture;

TEST_F(ID3TagTest, LayoutAndFixedWidthFields) {
  ID3Tag tag;
  tag.SetTitle(u"A title that is longer than thirty characters"_s);
  tag.SetArtist(u"Björk"_s);
  tag.SetYear(u"19999"_s);
  tag.ID3Genre = 80;
  const QByteArray bytes = tag.Bytes();
  ASSERT_EQ(bytes.size(), 128);
  EXPECT_EQ(bytes.left(33), "TAGA title that is longer than th");
  EXPECT_EQ(bytes.mid(33, 30), QByteArray("Bj\xC3\xB6rk").leftJustified(30, ' '));
  EXPECT_EQ(bytes.mid(93, 4), "1999");
  EXPECT_EQ(bytes.at(127), char(80));

  ID3Tag read;
  ASSERT_TRUE(read.Parse(bytes));
  EXPECT_EQ(read.ID3Artist.trimmed(), u"Björk");
  EXPECT_EQ(read.ID3Title.size(), 30);
  EXPECT_FALSE(ID3Tag().Parse(QByteArray(128, 'x')));
}

TEST_F(ID3TagTest, MultiByteTextsAndTheTrackNumberSurviveARewrite) {
  // 28 characters, 34 bytes in UTF-8: the tag keeps what fits into its 30 bytes.
  const QString title = u"Ça été très, très éloigné !"_s + u"x"_s;
  ASSERT_EQ(title.size(), 28);
  SongRecord record;
  record.Title = title;
  id3_.Clear();
  EXPECT_EQ(sync_.SyncID3WithRecord(record), 0);
  ID3Tag reread;
  ASSERT_TRUE(reread.Parse(id3_.Bytes()));
  id3_ = reread;
  EXPECT_EQ(sync_.SyncID3WithRecord(record), 0);  // no question about what cannot fit
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());
  EXPECT_EQ(record.Title, title);

  QByteArray v11 = Id3(u"Song"_s, u"Artist"_s);
  v11.replace(97, 30, QByteArray("A comment").leftJustified(28, '\0') + '\0' + char(7));
  ID3Tag tag;
  ASSERT_TRUE(tag.Parse(v11));
  EXPECT_EQ(tag.ID3Track, 7);
  EXPECT_EQ(tag.ID3Comment.trimmed(), u"A comment");
  tag.SetComment(QString(40, u'c'));
  const QByteArray written = tag.Bytes();
  ASSERT_EQ(written.size(), 128);
  EXPECT_EQ(written.mid(97, 28), QByteArray(28, 'c'));
  EXPECT_EQ(written.at(125), '\0');
  EXPECT_EQ(written.at(126), char(7));
}

TEST_F(ID3TagTest, GenreNumbersByNameAndPrefix) {
  EXPECT_EQ(genres_.GenreName(17), u"Rock");
  EXPECT_EQ(genres_.GenreNumber(u"ROCK"_s), 17);
  EXPECT_EQ(genres_.GenreNumber(u"Rocky"_s), 80);  // prefix of 17 and 80: the later wins
  EXPECT_EQ(genres_.GenreNumber(u"Zydeco"_s), 12);
  EXPECT_EQ(genres_.GenreNumber(u""_s), 0);  // number 0 has no name here

  GenreCatalog complete;
  complete.Load(QString::fromUtf8(SHIPPED_DIR) + u"/ID3v1.cat"_s);
  EXPECT_EQ(complete.GenreName(125), u"Dance Hall");
  EXPECT_EQ(complete.GenreNumber(u""_s), 12);
  GenreCatalog missing;
  missing.Load(Path(u"none.cat"_s));
  EXPECT_EQ(missing.GenreName(17), u"");
  EXPECT_EQ(missing.GenreNumber(u"Rock"_s), 12);
}

TEST_F(ID3TagTest, SyncCompletesBothSidesAndAsksOnlyWhenTheyDiffer) {
  id3_.Parse(Id3(u"Song"_s, u""_s));
  SongRecord record;
  record.Title = u"Song"_s;
  record.Artist = u"Someone"_s;
  EXPECT_EQ(sync_.SyncID3WithRecord(record), 0);  // blanks and trimming do not differ
  EXPECT_EQ(id3_.ID3Artist.trimmed(), u"Someone");
  EXPECT_EQ(record.Album, u"Album");
  EXPECT_EQ(record.Genre, u"Rock");

  record.Title = QString(30, u'x') + u"tail beyond the tag"_s;
  id3_.SetTitle(QString(30, u'x'));
  EXPECT_EQ(sync_.SyncID3WithRecord(record), 0);

  for (const int answer : {1, 2, 3}) {
    id3_.Parse(Id3(u"Tag Title"_s, u"Tag Artist"_s));
    SongRecord mine;
    mine.Title = u"My Title"_s;
    mine.Artist = u"Tag Artist"_s;
    prompter_.QueueAnswer(answer);
    EXPECT_EQ(sync_.SyncID3WithRecord(mine), answer);
    const QString question = prompter_.ShownMessages().last().text;
    EXPECT_EQ(question,
              u"The Tunewright and ID3 tag are different\nTunewright Tag:\n          My Title"
              u"\n\nID3 Tag:\n          Tag Title"_s);
    EXPECT_EQ(prompter_.ShownMessages().last().buttons, u"Use Tunewright Tag|Use ID3 Tag|Cancel");
    EXPECT_EQ(mine.Title, answer == 2 ? u"Tag Title" : u"My Title");
    EXPECT_EQ(id3_.ID3Title.trimmed(), answer == 1 ? u"My Title" : u"Tag Title");
  }

  ID3Tag fresh;
  id3_ = fresh;  // no tag in the file: the tag is made from the record
  SongRecord rock;
  rock.Title = u"New"_s;
  rock.Genre = u"rocksteady"_s;
  EXPECT_EQ(sync_.SyncID3WithRecord(rock), 0);
  EXPECT_EQ(id3_.ID3Genre, 80);
  EXPECT_EQ(id3_.ID3Title.trimmed(), u"New");
}

}  // namespace
}  // namespace audiolume::test
