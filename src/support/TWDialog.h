#pragma once

#include <QDialog>
#include <QList>

#include "support/Prompter.h"

class QLabel;
class QPushButton;
class QHBoxLayout;

namespace audiolume {

/**
 * The program's message box: a wrapped message and up to six buttons given as one
 * "|"-separated caption list. Typing the character after a caption's "&" presses that
 * button. The answer is the 1-based number of the button pressed; closing the box
 * answers as its last button would (Cancel, No, or the only OK). UI thread only.
 */
class TWDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kMaxButtons = 6;

  explicit TWDialog(QWidget* parent = nullptr);

  /** The title (the program's name) and the message font family (empty: the default). */
  void SetAppearance(const QString& title, const QString& fontFamily);

  /** Shows the box modally and returns the answer. */
  int MsgBox(const QString& text, const QString& buttons, MessageIcon icon = MessageIcon::None);

  /** Shows the box and returns at once; Answered is emitted when a button is pressed. */
  void ModelessMsgBox(const QString& text, const QString& buttons,
                      MessageIcon icon = MessageIcon::None);

  /** Shows a status text without buttons while work goes on. */
  void StatusMesBox(const QString& text);

  void HideDialog() { hide(); }

  int Answer() const { return answer_; }

 Q_SIGNALS:
  void Answered(int answer);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;

 private:
  void Present(const QString& text, const QStringList& captions, MessageIcon icon);
  void Press(int index);

  QLabel* imgIcon_;
  QLabel* lblMessage_;
  QHBoxLayout* buttonRow_;
  QList<QPushButton*> imgButtons_;
  QList<QChar> accessKeys_;
  int answer_ = 0;
};

}  // namespace audiolume
