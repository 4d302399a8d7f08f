#include <QApplication>
#include <QDragEnterEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "catalog/PlayListPanel.h"
#include "catalog/PlayListPanelBox.h"
#include "library/LibraryFixture.h"
#include "library/LibraryRowsMime.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"

namespace audiolume::test {
namespace {

class PlayListPanelBoxTest : public LibraryFixture {
 protected:
  PlayListPanelBoxTest() {
    library_.LoadSongData();
    for (const QString& name : {u"a.mp3"_s, u"b.flac"_s, u"c.ogg"_s, u"d.mp3"_s}) {
      library_.AddSongRow(name.left(1).toUpper(), {}, u"Band"_s, u"1:00"_s, Path(name));
    }
    box_.show();
  }

  QStringList Titles() const {
    QStringList titles;
    for (int i = 0; i < list_->count(); ++i) titles.append(list_->item(i)->text());
    return titles;
  }

  /** Drags data onto a point of the list, as a drop from elsewhere does. */
  void DropOn(const QPoint& at, QMimeData& data, Qt::DropAction action) {
    QDragEnterEvent enter(at, action, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list_->viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(at, action, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list_->viewport(), &drop);
  }

  MessageCatalog catalog_{dir_.path(), Path(u"VeltoDj.ini"_s), log_, prompter_};
  PlayListPanel panel_{library_};
  PlayListPanelBox box_{panel_, catalog_, prompter_};
  QListWidget* list_ = box_.findChild<QListWidget*>(u"lstPlayList"_s);
};

TEST_F(PlayListPanelBoxTest, EntriesDraggedWithinMoveWhereDroppedAndDeleteRemovesTheSelected) {
  box_.AddRows({1, 2, 3, 4});
  ASSERT_EQ(Titles(), (QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s}));

  // A and B dragged onto the lower half of D go after it; they stay selected.
  list_->item(0)->setSelected(true);
  list_->item(1)->setSelected(true);
  QMimeData entries;
  entries.setData(u"application/x-audiolume-panel-entries"_s, "0,1");
  const QRect d = list_->visualItemRect(list_->item(3));
  DropOn(QPoint(d.center().x(), d.bottom() - 1), entries, Qt::MoveAction);
  EXPECT_EQ(Titles(), (QStringList{u"C"_s, u"D"_s, u"A"_s, u"B"_s}));
  EXPECT_EQ(list_->selectedItems().size(), 2);
  QTest::keyClick(list_, Qt::Key_Delete);
  EXPECT_EQ(Titles(), (QStringList{u"C"_s, u"D"_s}));
  EXPECT_EQ(panel_.PlayTime(), u"0:02:00");
  EXPECT_EQ(box_.findChild<QLabel*>(u"lblPlayTime"_s)->text(), u"0:02:00");
}

TEST_F(PlayListPanelBoxTest, LibraryRowsDroppedJoinAtTheEndAndNothingChosenIsTold) {
  box_.AddRows({4});
  std::unique_ptr<QMimeData> rows(LibraryRowsMime::Make({3, 1}));
  DropOn(list_->rect().center(), *rows, Qt::CopyAction);
  EXPECT_EQ(Titles(), (QStringList{u"D"_s, u"C"_s, u"A"_s}));

  box_.AddRows({});
  list_->clearSelection();
  QTest::mouseClick(box_.findChild<QToolButton*>(u"lblDeletePlaylistSong"_s), Qt::LeftButton);
  ASSERT_EQ(prompter_.ShownMessages().size(), 2);
  EXPECT_EQ(prompter_.ShownMessages()[0].text, catalog_.GetMsg(RC_DB_MustHighlight));
  EXPECT_EQ(prompter_.ShownMessages()[1].text, catalog_.GetMsg(RC_MustHighlight));
  EXPECT_EQ(Titles(), (QStringList{u"D"_s, u"C"_s, u"A"_s}));

  QSignalSpy play(&box_, &PlayListPanelBox::PlayClicked);
  QTest::mouseClick(box_.findChild<QToolButton*>(u"lblPlaySongs"_s), Qt::LeftButton);
  EXPECT_EQ(play.count(), 1);
}

}  // namespace
}  // namespace audiolume::test
