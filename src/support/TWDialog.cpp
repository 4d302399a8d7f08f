#include "support/TWDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

QChar AccessKey(const QString& caption) {
  const qsizetype amp = caption.indexOf(u'&');
  return amp >= 0 && amp + 1 < caption.size() ? caption[amp + 1].toLower() : QChar();
}

QIcon IconFor(MessageIcon icon, const QStyle* style) {
  switch (icon) {
    case MessageIcon::Information: return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case MessageIcon::Question: return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case MessageIcon::Exclamation: return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case MessageIcon::Critical: return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case MessageIcon::None: break;
  }
  return {};
}

}  // namespace

TWDialog::TWDialog(QWidget* parent)
    : QDialog(parent),
      imgIcon_(new QLabel(this)),
      lblMessage_(new QLabel(this)),
      buttonRow_(new QHBoxLayout) {
  setObjectName(QStringLiteral("TWDialog"));
  setWindowTitle(QStringLiteral("Audiolume"));
  imgIcon_->setObjectName(QStringLiteral("imgIcon"));
  imgIcon_->setAlignment(Qt::AlignTop);
  lblMessage_->setObjectName(QStringLiteral("lblMessage"));
  lblMessage_->setWordWrap(true);
  lblMessage_->setTextFormat(Qt::PlainText);
  lblMessage_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // Wrapping needs a bound; the box grows in height instead.
  lblMessage_->setMaximumWidth(420);
  lblMessage_->setMinimumWidth(220);

  auto* message = new QHBoxLayout;
  message->addWidget(imgIcon_);
  message->addWidget(lblMessage_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(message);
  layout->addLayout(buttonRow_);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  buttonRow_->addStretch();
  for (int i = 0; i < kMaxButtons; ++i) {
    auto* button = new QPushButton(this);
    button->setObjectName(u"imgButtons"_s + QString::number(i));
    button->setMinimumWidth(88);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, i] { Press(i); });
    buttonRow_->addWidget(button);
    imgButtons_.append(button);
  }
  buttonRow_->addStretch();
}

void TWDialog::SetAppearance(const QString& title, const QString& fontFamily) {
  setWindowTitle(title);
  QFont messageFont = QApplication::font();
  if (!fontFamily.isEmpty()) messageFont.setFamily(fontFamily);
  setFont(messageFont);
}

void TWDialog::Present(const QString& text, const QStringList& captions, MessageIcon icon) {
  answer_ = 0;
  lblMessage_->setText(text);
  const QIcon image = IconFor(icon, style());
  imgIcon_->setVisible(!image.isNull());
  if (!image.isNull()) imgIcon_->setPixmap(image.pixmap(32, 32));
  accessKeys_.clear();
  for (int i = 0; i < kMaxButtons; ++i) {
    const bool used = i < captions.size();
    imgButtons_[i]->setVisible(used);
    imgButtons_[i]->setText(used ? captions[i] : QString());
    if (used) accessKeys_.append(AccessKey(captions[i]));
  }
  if (!captions.isEmpty()) {
    imgButtons_[0]->setDefault(true);
    imgButtons_[0]->setFocus();
  }
  adjustSize();
}

int TWDialog::MsgBox(const QString& text, const QString& buttons, MessageIcon icon) {
  Present(text, ButtonCaptions(buttons).mid(0, kMaxButtons), icon);
  exec();
  return answer_;
}

void TWDialog::ModelessMsgBox(const QString& text, const QString& buttons, MessageIcon icon) {
  Present(text, ButtonCaptions(buttons).mid(0, kMaxButtons), icon);
  setModal(false);
  show();
}

void TWDialog::StatusMesBox(const QString& text) {
  Present(text, {}, MessageIcon::Information);
  setModal(false);
  show();
}

void TWDialog::Press(int index) {
  answer_ = index + 1;
  done(answer_);
  Q_EMIT Answered(answer_);
}

void TWDialog::keyPressEvent(QKeyEvent* event) {
  const QString typed = event->text().toLower();
  if (typed.size() == 1 && !typed[0].isNull()) {
    const qsizetype index = accessKeys_.indexOf(typed[0]);
    if (index >= 0) {
      Press(static_cast<int>(index));
      return;
    }
  }
  QDialog::keyPressEvent(event);
}

void TWDialog::reject() {
  // One access key is kept per shown button.
  if (!accessKeys_.isEmpty()) {
    Press(static_cast<int>(accessKeys_.size()) - 1);
  } else {
    QDialog::reject();
  }
}

}  // namespace audiolume
