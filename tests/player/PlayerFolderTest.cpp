#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "fakes/TestFiles.h"
#include "player/PlayerFolder.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

class PlayerFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QDir(dir_.path()).mkdir(u"player"_s);
    QDir(dir_.path()).mkdir(u"songs"_s);
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  /** A song file of the songs folder. */
  QString Song(const QString& name, const QByteArray& bytes = "song") const {
    test::WriteAll(Path(u"songs/"_s + name), bytes);
    return Path(u"songs/"_s + name);
  }

  QTemporaryDir dir_;
  PlayerFolder folder_{dir_.filePath(u"player"_s)};
};

TEST_F(PlayerFolderTest, NamesHoldNoCharacterFatRefusesAndFitWithPart) {
  folder_.Read();
  const QString odd = Song(u"a?b:c*d\"e<f>g|h\\i.mp3"_s);
  EXPECT_EQ(folder_.NameFor(odd, odd).name, u"a_b_c_d_e_f_g_h_i.mp3");
  // 247 bytes of name before ".mp3": with ".part" one byte too long, cut before the "é".
  const QString base = u'x' + QString(123, QChar(0xe9));
  const QString longName = Song(base + u".mp3"_s);
  const QString cut = base.chopped(1) + u".mp3"_s;
  EXPECT_EQ(cut.toUtf8().size() + 5, 254);
  EXPECT_EQ(folder_.NameFor(longName, longName).name, cut);
  // The same name twice in one export, in another case: the second gets " (2)".
  const QString other = Song(u"A_B_C_D_E_F_G_H_I.MP3"_s);
  const PlayerFolder::Naming naming = folder_.NameFor(other, other);
  EXPECT_EQ(naming.name, u"A_B_C_D_E_F_G_H_I (2).MP3");
  EXPECT_TRUE(naming.send);
}

TEST_F(PlayerFolderTest, OnlyFilesListedAsSentInTheirExactCaseAreErasedOrRelisted) {
  for (const QString& name : {u"a.mp3"_s, u"b.mp3"_s, u"c.ogg"_s, u"d.flac"_s}) {
    test::WriteAll(Path(u"player/"_s + name), name.toUtf8());
  }
  test::WriteAll(Path(u"player/a.mp3.part"_s), "cut short");
  test::WriteAll(Path(u"player/Audiolume.m3u.part"_s), "cut short");
  test::WriteAll(Path(u"player/film.mkv.part"_s), "the owner's download");
  // b.mp3 is listed as "B.mp3": another file; gone.mp3 is no longer there.
  test::WriteAll(Path(u"player/Audiolume.sent"_s),
                 "# header\na.mp3\t60\tA\nB.mp3\t61\tB\ngone.mp3\t62\tGone\nd.flac\t63\tD\n");
  QStringList leftovers = folder_.Read();
  leftovers.sort();
  EXPECT_EQ(leftovers, (QStringList{u"Audiolume.m3u.part"_s, u"a.mp3.part"_s}));

  // d.flac is to be sent again in this export; the library knows a.mp3 by its path.
  const QSet<QString> kept{QFileInfo(Path(u"player/d.flac"_s)).canonicalFilePath()};
  EXPECT_EQ(folder_.ErasePlan(kept, [](const QString&) { return false; }),
            (QStringList{u"a.mp3"_s}));
  EXPECT_TRUE(
      folder_
          .ErasePlan(kept, [this](const QString& path) { return path == Path(u"player/a.mp3"_s); })
          .isEmpty());
  // Of the names erased, those still in the folder stay known.
  QFile::remove(Path(u"player/a.mp3"_s));
  folder_.Erased({u"a.mp3"_s, u"d.flac"_s});

  // The very file sent before is not sent again; another b.mp3 is not written over it.
  const QString d = Song(u"d.flac"_s, "d.flac");
  EXPECT_EQ(folder_.NameFor(d, d).send, false);
  const QString b = Song(u"b.mp3"_s, "b.mp3");
  EXPECT_EQ(folder_.NameFor(b, b).name, u"b (2).mp3");
  const QString a = Song(u"a.mp3"_s, "new a");
  EXPECT_EQ(folder_.NameFor(a, a).name, u"a.mp3");
  test::WriteAll(Path(u"player/b (2).mp3"_s), "b.mp3");
  folder_.Arrived(u"b (2).mp3"_s, 5, u"Band - B\ntwo"_s, true);
  folder_.Arrived(u"d.flac"_s, 63, u"D"_s, false);
  folder_.Arrived(u"c.ogg"_s, 7, u"C"_s, false);
  EXPECT_EQ(
      folder_.PlaylistText(),
      "#EXTM3U\n#EXTINF:63,D\nd.flac\n#EXTINF:5,Band - B two\nb (2).mp3\n#EXTINF:7,C\nc.ogg\n");
  EXPECT_EQ(folder_.SentListText(),
            "# The files Audiolume sent to this player: name, seconds, title\n"
            "d.flac\t63\tD\nb (2).mp3\t5\tBand - B two\n");
}

}  // namespace
}  // namespace audiolume
