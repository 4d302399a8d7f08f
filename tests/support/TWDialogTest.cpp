#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "support/TWDialog.h"

namespace audiolume {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kTagChoice = u"Use &Tunewright Tag|Use &ID3 Tag|&Cancel"_s;

QPushButton* Button(TWDialog& box, int index) {
  return box.findChild<QPushButton*>(u"imgButtons"_s + QString::number(index));
}

// Shows the box modally and lets act press something once it is up.
int AnswerModal(TWDialog& box, const QString& buttons, const std::function<void()>& act) {
  QTimer::singleShot(0, &box, act);
  return box.MsgBox(u"The Tunewright and ID3 tag are different"_s, buttons);
}

TEST(TWDialogTest, MouseClickOnEachButtonGivesItsNumber) {
  for (int i = 0; i < 3; ++i) {
    TWDialog box;
    const int answer =
        AnswerModal(box, kTagChoice, [&] { QTest::mouseClick(Button(box, i), Qt::LeftButton); });
    EXPECT_EQ(answer, i + 1);
  }
}

TEST(TWDialogTest, AccessKeysPressTheirButtonWhateverTheCase) {
  const std::pair<char, int> keys[] = {{'t', 1}, {'I', 2}, {'c', 3}};
  for (const auto& [key, expected] : keys) {
    TWDialog box;
    const int answer = AnswerModal(box, kTagChoice, [&] { QTest::keyClick(&box, key); });
    EXPECT_EQ(answer, expected) << key;
  }
  TWDialog box;
  const int answer = AnswerModal(box, kTagChoice, [&] {
    QTest::keyClick(&box, 'x');  // no button has it
    QTest::keyClick(&box, Qt::Key_Escape);
  });
  EXPECT_EQ(answer, 3);
}

TEST(TWDialogTest, ButtonListLayoutAndAppearance) {
  TWDialog box;
  box.SetAppearance(u"Audiolume"_s, u"DejaVu Serif"_s);
  box.ModelessMsgBox(QString(600, u'w').replace(u"wwwww"_s, u"word "_s), {});
  EXPECT_TRUE(Button(box, 0)->isVisible());
  EXPECT_EQ(Button(box, 0)->text(), u"&OK");
  EXPECT_FALSE(Button(box, 1)->isVisible());
  EXPECT_EQ(box.windowTitle(), u"Audiolume");
  EXPECT_EQ(box.findChild<QLabel*>(u"lblMessage"_s)->font().family(), u"DejaVu Serif");
  // A long message wraps into a bounded width and the box grows in height.
  const QLabel* message = box.findChild<QLabel*>(u"lblMessage"_s);
  EXPECT_LE(message->width(), 420);
  EXPECT_GT(message->height(), message->fontMetrics().height() * 3);

  box.ModelessMsgBox(u"seven"_s, u"1|2|3|4|5|6|7"_s);
  EXPECT_TRUE(Button(box, 5)->isVisible());
  EXPECT_EQ(Button(box, 5)->text(), u"6");
  int answered = 0;
  QObject::connect(&box, &TWDialog::Answered, [&](int answer) { answered = answer; });
  QTest::mouseClick(Button(box, 4), Qt::LeftButton);
  EXPECT_EQ(answered, 5);
  EXPECT_FALSE(box.isVisible());
}

}  // namespace
}  // namespace audiolume
