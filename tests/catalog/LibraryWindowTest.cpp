#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

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
};

TEST_F(LibraryWindowTest, ClicksKeysAndDoubleClicksWorkOnTheGrid) {
  library_.LoadSongData();
  for (const auto& [title, time] :
       {std::pair{u"Beta"_s, u"3:07"_s}, {u"alpha"_s, u"10:02"_s}, {u"Gamma"_s, u"1:00"_s}}) {
    library_.AddSongRow(title, {}, u"Band"_s, time, Path(title + u".mp3"_s));
  }
  WriteAll(Path(u"VeltoDj.cat"_s), "[Mood]\r\nHappy\r\nHopeful\r\n");
  categories_.Load(Path(u"VeltoDj.cat"_s), genres_);
  PlayList window({view_,
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
                   {}});
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

  QTest::mouseClick(cells, Qt::LeftButton, Qt::ControlModifier, cellCenter(0, 8));
  EXPECT_EQ(view_.SelectedCount(), 2);
  prompter_.QueueAnswer(1);  // remove the records only
  QTest::keyClick(grid, Qt::Key_Delete);
  EXPECT_EQ(library_.SongCount(), 1);
  EXPECT_EQ(panel->count(), 0);
  EXPECT_EQ(library_.SongText(1, 0), u"Beta");
  EXPECT_EQ(grid->model()->rowCount(), 1);
}

}  // namespace
}  // namespace audiolume::test
