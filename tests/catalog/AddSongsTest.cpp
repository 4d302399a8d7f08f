#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>

#include "catalog/AddSongs.h"
#include "catalog/SongAdder.h"
#include "fakes/SineFiles.h"
#include "library/SongFilePresence.h"
#include "library/TagFixture.h"
#include "support/IniSettings.h"

namespace audiolume::test {
namespace {

class AddSongsTest : public TagFixture {
 protected:
  SongFilePresence presence_{{}, catalog_, prompter_};
  SongAdder adder_{library_, trailer_, presence_, catalog_, prompter_, check_, dir_.path()};
};

TEST_F(AddSongsTest, ListsTheRememberedFolderPreviewsAndAddsTheSelection) {
  QDir(dir_.path()).mkdir(u"Music"_s);
  ASSERT_TRUE(WriteSineMp3(Path(u"Music/one.mp3"_s), 0.3));
  WriteAll(Path(u"Music/two.mp3"_s),
           ReadAll(Path(u"Music/one.mp3"_s)) + Id3(u"Second"_s, u"Band"_s));
  WriteAll(Path(u"Music/cover.jpg"_s), "not a song");

  AddSongs window(adder_, trailer_, catalog_, prompter_, Path(u"VeltoDj.ini"_s), dir_.path());
  window.Form_Load();
  auto* files = window.findChild<QListWidget*>(u"File1"_s);
  ASSERT_EQ(files->count(), 2);
  files->setCurrentRow(1);
  QStringList texts;
  for (const QLabel* label : window.findChildren<QLabel*>()) texts.append(label->text());
  EXPECT_TRUE(texts.contains(u"Second"_s));

  QSignalSpy added(&window, &AddSongs::SongsAdded);
  window.imgSelectAll_Click();
  window.imgOK_Click();
  EXPECT_EQ(added.count(), 1);
  EXPECT_EQ(library_.SongCount(), 2);
  EXPECT_EQ(ReadIniString(Path(u"VeltoDj.ini"_s), u"Record"_s, u"AddSongPath"_s), Path(u"Music"_s));
}

}  // namespace
}  // namespace audiolume::test
