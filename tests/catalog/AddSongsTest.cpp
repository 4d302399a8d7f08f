#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "catalog/AddSongs.h"
#include "catalog/SongAdder.h"
#include "fakes/SineFiles.h"
#include "library/SongFilePresence.h"
#include "library/TagFixture.h"
#include "support/IniSettings.h"

namespace audiolume::test {
namespace {

/** A scripted prompter that lets a test act while a question is on the screen. */
class PausingPrompter : public ScriptedPrompter {
 public:
  std::function<void()> whileAsking;
  int Ask(const QString& text, const QString& buttons, MessageIcon icon) override {
    if (whileAsking) whileAsking();
    return ScriptedPrompter::Ask(text, buttons, icon);
  }
};

class AddSongsTest : public TagFixture {
 protected:
  AddSongs& Window() {
    window_ = std::make_unique<AddSongs>(adder_, trailer_, genres_, log_, catalog_, windowPrompter_,
                                         Path(u"VeltoDj.ini"_s), dir_.path());
    return *window_;
  }
  QPushButton* Button(const QString& name) { return window_->findChild<QPushButton*>(name); }
  QString Count() { return window_->findChild<QLabel*>(u"count"_s)->text(); }
  /** Presses OK and waits for the songs to be added. */
  bool AddAndWait() {
    QSignalSpy added(window_.get(), &AddSongs::SongsAdded);
    QTest::mouseClick(Button(u"imgOK"_s), Qt::LeftButton);
    return added.count() == 1 || added.wait(10000);
  }

  SongFilePresence presence_{{}, catalog_, prompter_};
  SongAdder adder_{library_, trailer_, presence_, catalog_, prompter_, check_, dir_.path()};
  PausingPrompter windowPrompter_;
  std::unique_ptr<AddSongs> window_;
};

TEST_F(AddSongsTest, ListsTheRememberedFolderPreviewsAndAddsTheSelection) {
  QDir(dir_.path()).mkdir(u"Music"_s);
  ASSERT_TRUE(WriteSineMp3(Path(u"Music/one.mp3"_s), 0.3));
  WriteAll(Path(u"Music/two.mp3"_s),
           ReadAll(Path(u"Music/one.mp3"_s)) + Id3(u"Second"_s, u"Band"_s));
  WriteAll(Path(u"Music/cover.jpg"_s), "not a song");

  AddSongs& window = Window();
  window.Form_Load();
  auto* files = window.findChild<QListWidget*>(u"File1"_s);
  ASSERT_EQ(files->count(), 2);
  EXPECT_EQ(Count(), u"2 song files found, 1 other file");
  files->setCurrentRow(1);
  QStringList texts;
  for (const QLabel* label : window.findChildren<QLabel*>()) texts.append(label->text());
  EXPECT_TRUE(texts.contains(u"Second"_s));

  files->item(1)->setSelected(false);
  ASSERT_TRUE(AddAndWait());
  EXPECT_EQ(library_.SongCount(), 1);
  EXPECT_EQ(windowPrompter_.ShownMessages().last().text, u"1 song added, 1 other file skipped");
  EXPECT_EQ(ReadIniString(Path(u"VeltoDj.ini"_s), u"Record"_s, u"AddSongPath"_s), Path(u"Music"_s));
}

// Sub-folders by the tick box, folders and files dropped from a file manager.
TEST_F(AddSongsTest, ListsSubFoldersAndWhatIsDropped) {
  QDir(dir_.path()).mkpath(u"Music/Artist/Album"_s);
  QDir(dir_.path()).mkpath(u"Other/Live"_s);
  ASSERT_TRUE(WriteSineMp3(Path(u"Music/top.mp3"_s), 0.3));
  ASSERT_TRUE(WriteSineFlac(Path(u"Music/Artist/Album/01.flac"_s), 0.3));
  ASSERT_TRUE(WriteSineOgg(Path(u"Other/Live/live.ogg"_s), 0.3));
  ASSERT_TRUE(WriteSineOpus(Path(u"Other/single.opus"_s), 0.3));
  WriteAll(Path(u"Other/readme.txt"_s), "text");

  AddSongs& window = Window();
  window.Dir1_Change(Path(u"Music"_s));
  auto* files = window.findChild<QListWidget*>(u"File1"_s);
  EXPECT_EQ(files->item(1)->text(), u"Artist/Album/01.flac");
  EXPECT_EQ(Count(), u"2 song files found");
  QTest::mouseClick(window.findChild<QCheckBox*>(u"subFolders"_s), Qt::LeftButton);
  EXPECT_EQ(Count(), u"1 song file found");
  QTest::mouseClick(window.findChild<QCheckBox*>(u"subFolders"_s), Qt::LeftButton);

  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(Path(u"Other/Live"_s)),
                QUrl::fromLocalFile(Path(u"Other/single.opus"_s)),
                QUrl::fromLocalFile(Path(u"Other/readme.txt"_s)),
                QUrl::fromLocalFile(Path(u"Music/top.mp3"_s))});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  EXPECT_EQ(Count(), u"4 song files found, 1 other file");

  ASSERT_TRUE(AddAndWait());
  EXPECT_EQ(library_.SongCount(), 4);
  EXPECT_EQ(windowPrompter_.ShownMessages().last().text, u"4 songs added, 1 other file skipped");
}

// The songs are added on a thread of their own: while a question is open the window
// answers, and Cancel keeps what was added, saved once at the end.
TEST_F(AddSongsTest, CancelKeepsWhatWasAddedAndTheLibraryIsSavedOnce) {
  QDir(dir_.path()).mkdir(u"Music"_s);
  for (const QString& name : {u"a.mp3"_s, u"b.mp3"_s, u"c.mp3"_s, u"d.mp3"_s})
    ASSERT_TRUE(WriteSineMp3(Path(u"Music/"_s + name), 0.3));
  SongRecord known;
  known.Title = u"Known"_s;
  known.Filename = Path(u"Music/b.mp3"_s);
  library_.AddOrReplaceRecord(known);

  AddSongs& window = Window();
  window.Dir1_Change(Path(u"Music"_s));
  bool savedEarly = true;
  bool progressShown = false;
  windowPrompter_.whileAsking = [&] {
    if (!windowPrompter_.ShownMessages().isEmpty()) return;  // the closing report
    savedEarly = QFile::exists(library_.DatabasePath());
    progressShown = !window.findChild<QProgressBar*>(u"progress"_s)->isHidden();
    QTest::mouseClick(Button(u"imgCancel"_s), Qt::LeftButton);
  };
  windowPrompter_.QueueAnswer(1);  // replace b.mp3's record
  ASSERT_TRUE(AddAndWait());
  EXPECT_TRUE(windowPrompter_.ShownMessages()[0].text.contains(u"already has the song file"_s));
  EXPECT_TRUE(progressShown);
  EXPECT_FALSE(savedEarly);
  EXPECT_EQ(windowPrompter_.ShownMessages().last().text, u"2 songs added");
  SongLibrary saved{dir_.path(), error_, check_};
  saved.LoadSongData();
  EXPECT_EQ(saved.SongCount(), 2);
  EXPECT_EQ(window.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace audiolume::test
