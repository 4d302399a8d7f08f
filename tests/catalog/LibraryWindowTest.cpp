#include <sndfile.h>

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "catalog/AutoDj.h"
#include "catalog/CategoryLists.h"
#include "catalog/LibraryGrid.h"
#include "catalog/LibraryTableModel.h"
#include "catalog/LibraryView.h"
#include "catalog/PlayList.h"
#include "catalog/PlayListManager.h"
#include "catalog/PlayListPanel.h"
#include "catalog/PlayListStore.h"
#include "catalog/ReplayGainScanBar.h"
#include "catalog/StartupPlaylistFile.h"
#include "fakes/LoudnessFiles.h"
#include "fakes/SineFiles.h"
#include "fakes/TrashFolder.h"
#include "library/DatabaseCommands.h"
#include "library/LibraryRowsMime.h"
#include "library/TagFixture.h"
#include "platform/LoudnessScan.h"
#include "platform/ReplayGainTags.h"
#include "support/IniSettings.h"
#include "support/MessageIds.h"

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

  // The window as its menu opens it.
  std::unique_ptr<PlayList> Open() {
    auto window = std::make_unique<PlayList>(Context());
    window->Form_Load();
    window->show();
    return window;
  }
  static QPoint CellCenter(LibraryGrid* grid, int row, int column) {
    return grid->visualRect(grid->model()->index(row, column)).center();
  }
  static QStringList PanelTitles(PlayList& window) {
    QStringList titles;
    auto* panel = window.findChild<QListWidget*>(u"lstPlayList"_s);
    for (int i = 0; i < panel->count(); ++i) titles.append(panel->item(i)->text());
    return titles;
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
  const std::unique_ptr<PlayList> opened = Open();
  PlayList& window = *opened;
  LibraryGrid* grid = window.Grid();
  QWidget* cells = grid->viewport();

  grid->horizontalHeader()->sectionClicked(0);
  EXPECT_EQ(grid->model()->index(0, 0).data().toString(), u"alpha");

  QTest::mouseClick(cells, Qt::LeftButton, {}, CellCenter(grid, 1, 0));
  auto* edit = window.findChild<QLineEdit*>(u"txtEditBox"_s);
  ASSERT_TRUE(edit->isVisible());
  edit->selectAll();
  QTest::keyClicks(edit, u"Changed"_s);
  EXPECT_EQ(library_.SongText(view_.RowAt(2), 0), u"Changed");
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_EQ(library_.SongText(view_.RowAt(2), 0), u"Beta");
  EXPECT_FALSE(edit->isVisible());

  // Tab walks the editable cells; past the preference it goes on in the next row.
  QTest::mouseClick(cells, Qt::LeftButton, {}, CellCenter(grid, 0, 6));
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
  QTest::mouseClick(cells, Qt::LeftButton, {}, CellCenter(grid, 0, 5));
  edit->clear();
  QTest::keyClicks(edit, u"ho"_s);
  EXPECT_EQ(edit->text(), u"Hopeful");
  QTest::keyClick(edit, Qt::Key_Return);

  QTest::keyClick(grid, Qt::Key_Down);
  EXPECT_EQ(view_.Current(), 2);
  // A double-click's first press selects the row, as with a real mouse.
  QTest::mouseClick(cells, Qt::LeftButton, {}, CellCenter(grid, 2, 1));
  QTest::mouseDClick(cells, Qt::LeftButton, {}, CellCenter(grid, 2, 1));
  auto* panel = window.findChild<QListWidget*>(u"lstPlayList"_s);
  ASSERT_EQ(panel->count(), 1);
  EXPECT_EQ(panel->item(0)->text(), u"Gamma");
  // The track information opens on the current row's song.
  QTest::mouseClick(window.findChild<QToolButton*>(u"lblTag"_s), Qt::LeftButton);
  QTest::mouseClick(window.findChild<QToolButton*>(u"lblEditArt"_s), Qt::LeftButton);
  const QString file = library_.SongText(view_.RowAt(3), SongLibrary::kFilenameColumn);
  EXPECT_EQ(edited_, (QStringList{file, u"art:"_s + file}));

  QTest::mouseClick(cells, Qt::LeftButton, Qt::ControlModifier, CellCenter(grid, 0, 8));
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
  const std::unique_ptr<PlayList> opened = Open();
  PlayList& window = *opened;
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

TEST_F(LibraryWindowTest, TheSelectionFollowsItsSongThroughASortAndDeleteTrashesThatSong) {
  const TrashFolder trash(dir_.path(), Path(u"share"_s));
  library_.LoadSongData();
  const QString alpha = Path(u"Alpha.mp3"_s);
  const QString zulu = Path(u"Zulu.flac"_s);
  const QString ogg = Path(u"Mike.ogg"_s);
  ASSERT_TRUE(WriteSineMp3(alpha, 0.5));
  ASSERT_TRUE(WriteSineFlac(zulu, 0.5));
  ASSERT_TRUE(WriteSineOgg(ogg, 0.5));
  library_.AddSongRow(u"Alpha"_s, {}, u"Zed"_s, u"0:01"_s, alpha);
  library_.AddSongRow(u"Zulu"_s, {}, u"Able"_s, u"0:01"_s, zulu);
  library_.AddSongRow(u"Mike"_s, {}, u"Mid"_s, u"0:01"_s, ogg);
  const std::unique_ptr<PlayList> opened = Open();
  PlayList& window = *opened;
  LibraryGrid* grid = window.Grid();
  grid->horizontalHeader()->sectionClicked(0);  // Alpha, Mike, Zulu
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(grid, 0, 8));
  auto* status = window.findChild<QLabel*>(u"pnlStatusBar"_s);
  EXPECT_TRUE(status->text().startsWith(u"1, "_s + alpha));

  grid->horizontalHeader()->sectionClicked(2);  // by artist: Zulu, Mike, Alpha
  EXPECT_EQ(grid->model()->index(0, 0).data().toString(), u"Zulu");
  EXPECT_FALSE(view_.IsSelected(1));
  EXPECT_TRUE(view_.IsSelected(3));
  EXPECT_EQ(view_.Current(), 3);
  EXPECT_TRUE(status->text().startsWith(u"3, "_s + alpha));

  prompter_.QueueAnswer(2);  // delete both the record and the file
  QTest::keyClick(grid, Qt::Key_Delete);
  const QString question = prompter_.ShownMessages().last().text;
  EXPECT_TRUE(question.contains(u"Alpha ("_s + alpha + u')')) << question.toStdString();
  EXPECT_FALSE(question.contains(u"Zulu"_s));
  EXPECT_FALSE(QFile::exists(alpha));
  EXPECT_TRUE(QFile::exists(Path(u"share/Trash/files/Alpha.mp3"_s)));
  EXPECT_TRUE(QFile::exists(zulu));
  EXPECT_TRUE(QFile::exists(ogg));
  ASSERT_EQ(library_.SongCount(), 2);
  EXPECT_EQ(grid->model()->index(0, 0).data().toString(), u"Zulu");
  EXPECT_EQ(grid->model()->index(1, 0).data().toString(), u"Mike");

  // Many songs are named by their first few and a count of the rest.
  for (int i = 0; i < 7; ++i) library_.AddSongRow(u"Song "_s + QString::number(i), {}, {}, {}, {});
  window.RefreshDataList();
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(grid, 0, 8));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCenter(grid, 8, 8));
  prompter_.QueueAnswer(3);  // cancel
  QTest::keyClick(grid, Qt::Key_Delete);
  const QString many = prompter_.ShownMessages().last().text;
  EXPECT_TRUE(many.startsWith(u"9 songs\nZulu ("_s + zulu + u")\nMike ("_s)) << many.toStdString();
  EXPECT_TRUE(many.contains(u"\nand 4 more\n"_s)) << many.toStdString();
  EXPECT_EQ(library_.SongCount(), 9);
}

TEST_F(LibraryWindowTest, TheSearchBoxShowsTheSongsHoldingEveryTypedWord) {
  library_.LoadSongData();
  library_.AddSongRow(u"Caf\u00e9 del Mar"_s, u"Chill"_s, u"Energy 52"_s, u"1:00"_s,
                      Path(u"cafe.mp3"_s));
  library_.AddSongRow(u"Hunter"_s, {}, u"BJ\u00d6RK"_s, u"1:00"_s, Path(u"hunter.ogg"_s));
  library_.AddSongRow(u"Other"_s, {}, u"Band"_s, u"1:00"_s, Path(u"other.mp3"_s));
  library_.AddSongRow(u"J\u00f3ga"_s, {}, u"Bj\u00f6rk"_s, u"1:00"_s, Path(u"J\u00f3ga.flac"_s));
  const std::unique_ptr<PlayList> opened = Open();
  PlayList& window = *opened;
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  LibraryGrid* grid = window.Grid();
  auto* search = window.findChild<QLineEdit*>(u"txtSearch"_s);
  auto* status = window.findChild<QLabel*>(u"pnlStatusBar"_s);
  const auto shown = [grid] {
    QStringList titles;
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
      titles.append(grid->model()->index(row, 0).data().toString());
    }
    return titles;
  };

  QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(search->hasFocus());
  QTest::keyClicks(search, u"bjork"_s);
  EXPECT_EQ(shown(), (QStringList{u"Hunter"_s, u"J\u00f3ga"_s}));
  EXPECT_EQ(status->text(), u"2 of 4 songs");
  QTest::keyClicks(search, u" JOGA"_s);
  EXPECT_EQ(shown(), QStringList{u"J\u00f3ga"_s});
  EXPECT_EQ(status->text(), u"1 of 4 songs");

  // What is shown is what a click selects and Delete removes.
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(grid, 0, 8));
  prompter_.QueueAnswer(1);  // the record only
  QTest::keyClick(grid, Qt::Key_Delete);
  ASSERT_EQ(library_.SongCount(), 3);
  EXPECT_EQ(library_.FindSongByFilename(Path(u"J\u00f3ga.flac"_s)), 0);
  EXPECT_EQ(shown(), QStringList{});
  EXPECT_EQ(status->text(), u"0 of 3 songs");

  QTest::keyClick(search, Qt::Key_Escape);
  EXPECT_EQ(search->text(), u"");
  EXPECT_EQ(shown(), (QStringList{u"Caf\u00e9 del Mar"_s, u"Hunter"_s, u"Other"_s}));

  // Rows dropped on the search box are no request to delete them.
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(grid, 0, 8));
  const qsizetype questions = prompter_.ShownMessages().size();
  const std::unique_ptr<QMimeData> rows(LibraryRowsMime::Make({1}));
  QDragEnterEvent enter(search->rect().center(), Qt::MoveAction, rows.get(), Qt::LeftButton, {});
  QApplication::sendEvent(search, &enter);
  QDropEvent drop(search->rect().center(), Qt::MoveAction, rows.get(), Qt::LeftButton, {});
  QApplication::sendEvent(search, &drop);
  EXPECT_EQ(prompter_.ShownMessages().size(), questions);
  EXPECT_EQ(library_.SongCount(), 3);

  // An edit and a double-click on a found song act on that song.
  QTest::keyClicks(search, u"CAFE"_s);
  ASSERT_EQ(shown(), QStringList{u"Caf\u00e9 del Mar"_s});
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(grid, 0, 1));
  auto* edit = window.findChild<QLineEdit*>(u"txtEditBox"_s);
  ASSERT_TRUE(edit->isVisible());
  edit->selectAll();
  QTest::keyClicks(edit, u"Ibiza"_s);
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(library_.SongText(1, 1), u"Ibiza");
  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(grid, 0, 8));
  EXPECT_EQ(PanelTitles(window), QStringList{u"Caf\u00e9 del Mar"_s});
}

TEST_F(LibraryWindowTest, HeadersSortBothWaysAndTheColumnsComeBackAsTheyWereLeft) {
  library_.LoadSongData();
  for (const auto& [title, plays, track] :
       {std::tuple{u"Nine"_s, 9, 2}, {u"Hundred"_s, 100, 0}, {u"Ten"_s, 10, 7}}) {
    SongRecord record;
    record.Title = title;
    record.PlayFreq = plays;
    record.TrackNumber = qint16(track);
    record.Filename = Path(title + u".mp3"_s);
    library_.AddOrReplaceRecord(record);
  }
  library_.SetSongDataModified(false);
  std::unique_ptr<PlayList> window = Open();
  QHeaderView* header = window->Grid()->horizontalHeader();
  QAbstractItemModel* model = window->Grid()->model();
  EXPECT_EQ(model->index(2, LibraryTableModel::kTrackNumberSection).data().toString(), u"7");
  EXPECT_EQ(model->index(1, LibraryTableModel::kTrackNumberSection).data().toString(), u"");
  EXPECT_TRUE(header->isSectionHidden(SongLibrary::kPlayFreqColumn));

  // The header's context menu shows the play count.
  QContextMenuEvent press(QContextMenuEvent::Mouse, QPoint(5, 5),
                          header->viewport()->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(header->viewport(), &press);
  auto* menu = header->findChild<QMenu*>(u"mnuColumns"_s);
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(menu->isVisible());
  QAction* plays = nullptr;
  for (QAction* action : menu->actions()) {
    if (action->text() == catalog_.GetMsg(RC_Frequency)) plays = action;
  }
  ASSERT_NE(plays, nullptr);
  EXPECT_FALSE(plays->isChecked());
  plays->trigger();
  menu->close();
  EXPECT_FALSE(header->isSectionHidden(SongLibrary::kPlayFreqColumn));
  header->moveSection(header->visualIndex(SongLibrary::kPlayFreqColumn), 1);
  header->resizeSection(2, 123);

  const auto clickHeader = [&header](int section) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + 4, header->height() / 2));
  };
  const auto titles = [&model] {
    QStringList shown;
    for (int row = 0; row < model->rowCount(); ++row) {
      shown.append(model->index(row, 0).data().toString());
    }
    return shown;
  };
  clickHeader(SongLibrary::kPlayFreqColumn);
  EXPECT_EQ(titles(), (QStringList{u"Nine"_s, u"Ten"_s, u"Hundred"_s}));
  EXPECT_EQ(header->sortIndicatorSection(), SongLibrary::kPlayFreqColumn);
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
  clickHeader(SongLibrary::kPlayFreqColumn);
  EXPECT_EQ(titles(), (QStringList{u"Hundred"_s, u"Ten"_s, u"Nine"_s}));
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
  EXPECT_EQ(ReadIniString(Path(u"VeltoDj.ini"_s), u"PlayList"_s, u"SortDescending"_s), u"True");
  ASSERT_TRUE(window->close());
  EXPECT_TRUE(
      ReadIniString(Path(u"VeltoDj.ini"_s), u"PlayList"_s, u"Columns"_s).startsWith(u"0:"_s));

  window = Open();
  header = window->Grid()->horizontalHeader();
  model = window->Grid()->model();
  EXPECT_FALSE(header->isSectionHidden(SongLibrary::kPlayFreqColumn));
  EXPECT_TRUE(header->isSectionHidden(SongLibrary::kFilenameColumn));
  EXPECT_EQ(header->visualIndex(SongLibrary::kPlayFreqColumn), 1);
  EXPECT_EQ(header->sectionSize(2), 123);
  EXPECT_EQ(header->sortIndicatorSection(), SongLibrary::kPlayFreqColumn);
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
  EXPECT_EQ(titles(), (QStringList{u"Hundred"_s, u"Ten"_s, u"Nine"_s}));
  // The track number sorts by value too, an unknown one first.
  clickHeader(LibraryTableModel::kTrackNumberSection);
  EXPECT_EQ(titles(), (QStringList{u"Hundred"_s, u"Nine"_s, u"Ten"_s}));
}

TEST_F(LibraryWindowTest, ClearingOrLoadingTheLibraryForgetsTheSelectedRow) {
  library_.LoadSongData();
  for (const QString& title : {u"One"_s, u"Two"_s, u"Three"_s}) {
    library_.AddSongRow(title, {}, {}, u"1:00"_s, Path(title + u".mp3"_s));
  }
  ASSERT_TRUE(library_.SaveSongData());
  const QString larger = Path(u"larger.TWD"_s);
  ASSERT_TRUE(QFile::copy(library_.DatabasePath(), larger));
  library_.DeleteSongRecord(3);
  const std::unique_ptr<PlayList> opened = Open();
  PlayList& window = *opened;
  LibraryGrid* grid = window.Grid();
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(grid, 1, 8));
  ASSERT_EQ(view_.Current(), 2);

  prompter_.QueueFiles({larger});
  window.findChild<QAction*>(u"mnuLoadDatabase"_s)->trigger();
  ASSERT_EQ(library_.SongCount(), 3);
  EXPECT_EQ(view_.Current(), 0);
  EXPECT_EQ(view_.SelectedCount(), 0);
  QTest::mouseClick(window.findChild<QToolButton*>(u"lblTag"_s), Qt::LeftButton);
  QTest::keyClick(grid, Qt::Key_Return);
  EXPECT_TRUE(edited_.isEmpty());
  EXPECT_TRUE(PanelTitles(window).isEmpty());

  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(grid, 2, 8));
  prompter_.QueueAnswer(1);  // yes, clear
  window.findChild<QAction*>(u"mnuClearDatabase"_s)->trigger();
  ASSERT_EQ(library_.SongCount(), 0);
  QTest::mouseClick(window.findChild<QToolButton*>(u"lblTag"_s), Qt::LeftButton);
  QTest::mouseClick(window.findChild<QToolButton*>(u"lblEditArt"_s), Qt::LeftButton);
  QTest::keyClick(grid, Qt::Key_Return);
  EXPECT_TRUE(edited_.isEmpty());
}

TEST_F(LibraryWindowTest, CategoriesCompleteOnlyOnTypedCharactersAndGenresKeepTheFilesOrder) {
  library_.LoadSongData();
  library_.AddSongRow(u"Song"_s, {}, {}, {}, Path(u"song.mp3"_s));
  WriteAll(Path(u"VeltoDj.cat"_s), "[Mood]\r\nPop Rock\r\nPop\r\n");
  categories_.Load(Path(u"VeltoDj.cat"_s), genres_);
  const std::unique_ptr<PlayList> opened = Open();
  PlayList& window = *opened;
  LibraryGrid* grid = window.Grid();
  auto* edit = window.findChild<QLineEdit*>(u"txtEditBox"_s);
  auto* offered = window.findChild<QListWidget*>(u"lstCategories"_s);

  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(grid, 0, 3));
  QStringList genres;
  for (int i = 0; i < offered->count(); ++i) genres.append(offered->item(i)->text());
  EXPECT_EQ(genres, (QStringList{u"Other"_s, u"Rock"_s, u"Rocksteady"_s, u"Pop"_s}));
  QTest::keyClick(edit, Qt::Key_Escape);

  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(grid, 0, 5));
  edit->clear();
  QTest::keyClicks(edit, u"Pop"_s);
  EXPECT_EQ(edit->text(), u"Pop Rock");
  QTest::keyClick(edit, Qt::Key_Delete);
  EXPECT_EQ(edit->text(), u"Pop");
  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_EQ(edit->text(), u"Po");
  QTest::keyClicks(edit, u"p"_s);
  EXPECT_EQ(edit->text(), u"Pop Rock");
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(library_.SongText(1, 5), u"Pop");
}

TEST_F(LibraryWindowTest, SavePlayListStoresThePanelsSongs) {
  library_.LoadSongData();
  for (const QString& name : {u"a.mp3"_s, u"b.flac"_s, u"c.ogg"_s, u"d.mp3"_s}) {
    library_.AddSongRow(name.left(1).toUpper(), {}, u"Band"_s, u"1:00"_s, Path(name));
  }
  const std::unique_ptr<PlayList> opened = Open();
  PlayList& window = *opened;
  for (const int row : {3, 4}) window.lstSongData_DblClick(view_.PositionOf(row));
  ASSERT_EQ(PanelTitles(window), (QStringList{u"C"_s, u"D"_s}));

  // Save Play List stores the panel's songs, not the player's empty playlist.
  prompter_.QueueText(u"Sunday Mix"_s);
  QTest::mouseClick(window.findChild<QToolButton*>(u"lblSavePlayList"_s), Qt::LeftButton);
  const auto stored = store_.Songs(u"Sunday Mix"_s);
  ASSERT_TRUE(stored.has_value());
  ASSERT_EQ(stored->size(), 2);
  EXPECT_EQ(stored->at(0).path, Path(u"c.ogg"_s));
  EXPECT_EQ(stored->at(1).path, Path(u"d.mp3"_s));
  EXPECT_TRUE(current_.Entries().isEmpty());
}

TEST_F(LibraryWindowTest, TheAutoDjPanelUsesThePlayTimeItShowsAndListsNewValuesOnReopening) {
  library_.LoadSongData();
  for (int i = 0; i < 8; ++i) {
    library_.AddSongRow(u"Song "_s + QString::number(i), u"First"_s, {}, u"30:00"_s,
                        Path(QString::number(i) + u".mp3"_s));
  }
  const std::unique_ptr<PlayList> opened = Open();
  PlayList& window = *opened;
  auto* open = window.findChild<QToolButton*>(u"lblAutoSelect"_s);
  QTest::mouseClick(open, Qt::LeftButton);
  auto* panel = window.findChild<QWidget*>(u"picAutoSelect"_s);
  auto* albums = panel->findChild<QListWidget*>(u"lst1stCriteria"_s);
  ASSERT_EQ(albums->count(), 1);
  albums->item(0)->setSelected(true);

  // The logic buttons explain themselves in three lines while held down.
  auto* help = panel->findChild<QLabel*>(u"pnlHelp"_s);
  auto* second = panel->findChild<QCheckBox*>(u"chk2ndCriteria"_s);
  QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(8, second->height() / 2));
  auto* andNot = panel->findChild<QRadioButton*>(u"opt2ndLogic1"_s);
  QTest::mousePress(andNot, Qt::LeftButton, {}, QPoint(8, andNot->height() / 2));
  EXPECT_EQ(help->text().split(u'\n').size(), 3) << help->text().toStdString();
  QTest::mouseRelease(andNot, Qt::LeftButton, {}, QPoint(8, andNot->height() / 2));
  QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(8, second->height() / 2));

  QTest::mouseClick(panel->findChild<QPushButton*>(u"imgCancelAutoSelect"_s), Qt::LeftButton);
  library_.AddSongRow(u"Late"_s, u"Second"_s, {}, u"30:00"_s, Path(u"late.mp3"_s));
  QTest::mouseClick(open, Qt::LeftButton);
  ASSERT_EQ(albums->count(), 2);
  EXPECT_TRUE(albums->item(0)->isSelected());
  EXPECT_FALSE(albums->item(1)->isSelected());

  // The box shows 3 hours and 3 hours is what the run keeps: six songs fill them, the
  // seventh crosses them.
  EXPECT_EQ(window.findChild<QLineEdit*>(u"txtAutoSelectPlayTime"_s)->text(), u"3");
  QTest::mouseClick(panel->findChild<QPushButton*>(u"ImgOKAutoSelect"_s), Qt::LeftButton);
  EXPECT_EQ(current_.Entries().size(), 7);
}

// The selected songs are measured album by album behind a progress bar while the window
// answers; an MP3's trailer survives its ID3v2 tag growing in front of the audio.
TEST_F(LibraryWindowTest, ScanReplayGainStoresTheSelectedSongsValuesByAlbum) {
  QDir(dir_.path()).mkpath(u"live"_s);
  const QStringList files = {Path(u"live/1.flac"_s), Path(u"live/2.FLAC"_s), Path(u"single.ogg"_s),
                             Path(u"live/3.mp3"_s), Path(u"unselected.flac"_s)};
  ASSERT_TRUE(WriteToneFile(files[0], 3, 440, 0.5));
  ASSERT_TRUE(WriteNoiseFile(files[1], 2.5, 0.1, 4));
  ASSERT_TRUE(WriteNoiseFile(files[2], 2, 0.3, 8, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
  ASSERT_TRUE(WriteSineMp3(files[3], 2));
  ASSERT_TRUE(WriteToneFile(files[4], 1, 440, 0.5));
  library_.LoadSongData();
  SongRecord record;
  record.Title = u"Kept In The Trailer"_s;
  record.Album = u"Live"_s;
  record.Filename = files[3];
  ASSERT_EQ(trailer_.WriteSongTrailer(files[3], record, false, {}), 0);
  const QString albums[] = {u"Live"_s, u"live"_s, {}, u"Live"_s, u"Live"_s};
  for (int i = 0; i < 5; ++i) {
    library_.AddSongRow(u"Song %1"_s.arg(i), albums[i], u"Band"_s, u"0:03"_s, files[i]);
  }
  const QByteArray unselected = ReadAll(files[4]);
  const std::unique_ptr<PlayList> opened = Open();
  PlayList& window = *opened;
  view_.Click(1, false, false);
  view_.Click(4, true, false);

  auto* bar = window.findChild<ReplayGainScanBar*>();
  ASSERT_NE(bar, nullptr);
  QSignalSpy finished(&bar->Job(), &ReplayGainJob::Finished);
  window.findChild<QAction*>(u"mnuPopUpReplayGain"_s)->trigger();
  EXPECT_TRUE(bar->isVisible());
  ASSERT_TRUE(finished.wait(60000));
  EXPECT_FALSE(bar->isVisible());
  EXPECT_TRUE(prompter_.ShownMessages().isEmpty());

  const platform::AlbumLoudness live = platform::ScanLoudness({files[0], files[1], files[3]});
  for (const int i : {0, 1, 3}) {
    const platform::ReplayGainInfo stored = platform::ReadReplayGain(files[i]);
    ASSERT_TRUE(stored.trackGain && stored.albumGain) << files[i].toStdString();
    const auto& measured = *live.tracks[i == 3 ? 2 : i].values;
    EXPECT_EQ(QString::asprintf("%.2f", *stored.trackGain),
              QString::asprintf("%.2f", measured.gain));
    EXPECT_EQ(QString::asprintf("%.2f", *stored.albumGain),
              QString::asprintf("%.2f", live.album->gain));
    EXPECT_EQ(QString::asprintf("%.6f", *stored.albumPeak),
              QString::asprintf("%.6f", live.album->peak));
  }
  const platform::ReplayGainInfo single = platform::ReadReplayGain(files[2]);
  EXPECT_TRUE(single.trackGain.has_value());
  EXPECT_FALSE(single.albumGain.has_value());
  EXPECT_EQ(ReadAll(files[4]), unselected);
  EXPECT_TRUE(Scan(files[3]));
  EXPECT_EQ(trailer_.LastScan().record.Title, u"Kept In The Trailer");
}

}  // namespace
}  // namespace audiolume::test
