#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "catalog/AutoDj.h"
#include "catalog/CategoryLists.h"
#include "catalog/LibraryGrid.h"
#include "catalog/LibraryView.h"
#include "catalog/PlayList.h"
#include "catalog/PlayListManager.h"
#include "catalog/PlayListPanel.h"
#include "catalog/PlayListStore.h"
#include "catalog/StartupPlaylistFile.h"
#include "library/DatabaseCommands.h"
#include "library/TagFixture.h"

namespace audiolume::test {
namespace {

class LibraryWindowTest : public TagFixture {
 protected:
  PlayListPanel panel_{library_};
  LibraryView view_{library_, panel_, log_, Path(u"VeltoDj.ini"_s), [](int) { return 0; }};
  CategoryLists categories_;
  AutoDj autoDj_{library_, [] { return 0.0; }};
  DatabaseCommands database_{library_, catalog_, prompter_, error_, check_};
  PlayListStore store_{dir_.path()};
  StartupPlaylistFile current_{Path(u"PlayList.txt"_s), Path(u"VeltoDj.ini"_s)};
  PlayListManager manager_{
      store_, current_, catalog_, prompter_, error_, check_, Path(u"VeltoDj.ini"_s), log_};
  int cleared_ = 0;
  QStringList edited_;

  // The window's objects, with the songs it opens for editing recorded.
  LibraryWindowContext Context() {
    return {view_,
            panel_,
            categories_,
            autoDj_,
            database_,
            trailer_,
            manager_,
            current_,
            catalog_,
            prompter_,
            log_,
            Path(u"VeltoDj.ini"_s),
            {},
            {},
            [this] { ++cleared_; },
            {},
            [this](const QString& file) { edited_.append(file); },
            [this](const QString& file) { edited_.append(u"art:"_s + file); },
            {}};
  }
};

TEST_F(LibraryWindowTest, ClicksKeysAndDoubleClicksWorkOnTheGrid) {
  library_.LoadSongData();
  for (const auto& [title, time] :
       {std::pair{u"Beta"_s, u"3:07"_s}, {u"alpha"_s, u"10:02"_s}, {u"Gamma"_s, u"1:00"_s}}) {
    library_.AddSongRow(title, {}, u"Band"_s, time, Path(title + u".mp3"_s));
  }
  WriteAll(Path(u"VeltoDj.cat"_s), "[Mood]\r\nHappy\r\nHopeful\r\n");
  categories_.Load(Path(u"VeltoDj.cat"_s), genres_);
  PlayList window(Context());
  window.Form_Load();
  window.show();
  LibraryGrid* grid = window.Grid();
  QWidget* cells = grid->viewport();
  auto cellCenter = [grid](int row, int column) {
    return grid->visualRect(grid->model()->index(row, column)).center();
  };

  grid->horizontalHeader()->sectionClicked(0);
  EXPECT_EQ(grid->model()->index(0, 0).data().toString(), u"alpha");

  QTest::mouseClick(cells, Qt::LeftButton, {}, cellCenter(1, 0));
  auto* edit = window.findChild<QLineEdit*>(u"txtEditBox"_s);
  ASSERT_TRUE(edit->isVisible());
  edit->selectAll();
  QTest::keyClicks(edit, u"Changed"_s);
  EXPECT_EQ(library_.SongText(view_.RowAt(2), 0), u"Changed");
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_EQ(library_.SongText(view_.RowAt(2), 0), u"Beta");
  EXPECT_FALSE(edit->isVisible());

  // Tab walks the editable cells; past the preference it goes on in the next row.
  QTest::mouseClick(cells, Qt::LeftButton, {}, cellCenter(0, 6));
  QTest::keyClick(edit, Qt::Key_Tab);
  EXPECT_EQ(view_.EditColumn(), 7);
  QTest::keyClick(edit, Qt::Key_Tab);
  EXPECT_EQ(view_.Current(), 2);
  EXPECT_EQ(view_.EditColumn(), 0);
  EXPECT_EQ(edit->text(), u"Beta");
  QTest::keyClick(edit, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(view_.Current(), 1);
  EXPECT_EQ(view_.EditColumn(), 7);
  QTest::keyClick(edit, Qt::Key_Escape);

  // Typing in a category column completes from the category list.
  QTest::mouseClick(cells, Qt::LeftButton, {}, cellCenter(0, 5));
  edit->clear();
  QTest::keyClicks(edit, u"ho"_s);
  EXPECT_EQ(edit->text(), u"Hopeful");
  QTest::keyClick(edit, Qt::Key_Return);

  QTest::keyClick(grid, Qt::Key_Down);
  EXPECT_EQ(view_.Current(), 2);
  // A double-click's first press selects the row, as with a real mouse.
  QTest::mouseClick(cells, Qt::LeftButton, {}, cellCenter(2, 1));
  QTest::mouseDClick(cells, Qt::LeftButton, {}, cellCenter(2, 1));
  auto* panel = window.findChild<QListWidget*>(u"lstPlayList"_s);
  ASSERT_EQ(panel->count(), 1);
  EXPECT_EQ(panel->item(0)->text(), u"Gamma");
  // The track information opens on the current row's song.
  QTest::mouseClick(window.findChild<QToolButton*>(u"lblTag"_s), Qt::LeftButton);
  QTest::mouseClick(window.findChild<QToolButton*>(u"lblEditArt"_s), Qt::LeftButton);
  const QString file = library_.SongText(view_.RowAt(3), SongLibrary::kFilenameColumn);
  EXPECT_EQ(edited_, (QStringList{file, u"art:"_s + file}));

  QTest::mouseClick(cells, Qt::LeftButton, Qt::ControlModifier, cellCenter(0, 8));
  EXPECT_EQ(view_.SelectedCount(), 2);
  prompter_.QueueAnswer(1);  // remove the records only
  QTest::keyClick(grid, Qt::Key_Delete);
  EXPECT_EQ(library_.SongCount(), 1);
  EXPECT_EQ(panel->count(), 0);
  EXPECT_EQ(library_.SongText(1, 0), u"Beta");
  EXPECT_EQ(grid->model()->rowCount(), 1);
}

TEST_F(LibraryWindowTest, TheAutoDjPanelReplacesThePlayersPlaylist) {
  library_.LoadSongData();
  const std::tuple<QString, QString, QString> songs[] = {{u"Rock"_s, u"Happy"_s, u"30:00"_s},
                                                         {u"Punk Rock"_s, u"Sad"_s, u"30:00"_s},
                                                         {u"Jazz"_s, u"Happy"_s, u"30:00"_s},
                                                         {u"Rock"_s, u"Calm"_s, u"30:00"_s}};
  for (const auto& [genre, mood, time] : songs) {
    const int row = library_.AddSongRow(genre + mood, {}, {}, time, Path(genre + mood));
    library_.SongText(row, 3) = genre;
    library_.SongText(row, 5) = mood;
  }
  PlayList window(Context());
  window.Form_Load();
  window.show();
  QTest::mouseClick(window.findChild<QToolButton*>(u"lblAutoSelect"_s), Qt::LeftButton);
  auto* panel = window.findChild<QWidget*>(u"picAutoSelect"_s);
  ASSERT_TRUE(panel->isVisible());
  QTest::mouseClick(panel->findChild<QRadioButton*>(u"opt1stCriteria2"_s), Qt::LeftButton);
  auto* genres = panel->findChild<QListWidget*>(u"lst1stCriteria"_s);
  ASSERT_EQ(genres->count(), 3);
  genres->item(0)->setSelected(true);  // Rock, which Punk Rock holds too
  auto* second = panel->findChild<QCheckBox*>(u"chk2ndCriteria"_s);
  EXPECT_FALSE(panel->findChild<QListWidget*>(u"lst2ndCriteria"_s)->isEnabled());
  QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(8, second->height() / 2));
  QTest::mouseClick(panel->findChild<QRadioButton*>(u"opt2ndCriteria4"_s), Qt::LeftButton);
  QTest::mouseClick(panel->findChild<QRadioButton*>(u"opt2ndLogic1"_s), Qt::LeftButton);
  auto* moods = panel->findChild<QListWidget*>(u"lst2ndCriteria"_s);
  ASSERT_TRUE(second->isChecked());
  ASSERT_EQ(moods->count(), 3);
  moods->item(1)->setSelected(true);  // Sad
  window.findChild<QLineEdit*>(u"txtAutoSelectPlayTime"_s)->setText(u"0.5"_s);
  QTest::mouseClick(panel->findChild<QPushButton*>(u"ImgOKAutoSelect"_s), Qt::LeftButton);

  // Rock, Punk Rock and Rock again; And Not Sad drops Punk Rock; half an hour keeps the
  // first song and the one that crosses it.
  EXPECT_FALSE(panel->isVisible());
  EXPECT_EQ(cleared_, 1);
  ASSERT_EQ(current_.Entries().size(), 2);
  EXPECT_EQ(current_.Entries()[0].title, u"RockHappy");
  EXPECT_EQ(current_.Entries()[1].title, u"RockCalm");
  EXPECT_EQ(window.findChild<QListWidget*>(u"lstPlayList"_s)->count(), 2);
  EXPECT_TRUE(prompter_.ShownMessages().last().text.startsWith(u"2 songs met"_s));
}

}  // namespace
}  // namespace audiolume::test
