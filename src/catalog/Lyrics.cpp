#include "catalog/Lyrics.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "catalog/SongTexts.h"
#include "support/MessageCatalog.h"
#include "support/MessageIds.h"
#include "support/Prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

Lyrics::Lyrics(LyricsContext context) : context_(std::move(context)) {
  setObjectName(u"Lyrics"_s);
  MessageCatalog& catalog = context_.catalog;
  setWindowTitle(catalog.GetMsg(RC_Lyrics));
  tabs_ = new QTabBar(this);
  stack_ = new QStackedWidget(this);
  const std::pair<QString, int> tabs[] = {
      {u"txtLyrics"_s, RC_Lyrics}, {u"txtNotes"_s, RC_Notes}, {u"txtBios"_s, RC_ArtistBios}};
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    tabs_->addTab(catalog.GetMsg(tabs[i].second));
    boxes_[i] = new QPlainTextEdit(stack_);
    boxes_[i]->setObjectName(tabs[i].first);
    stack_->addWidget(boxes_[i]);
    connect(boxes_[i], &QPlainTextEdit::textChanged, this,
            [this, tab = int(i) + 1] { TextTyped(tab); });
  }
  connect(tabs_, &QTabBar::currentChanged, stack_, &QStackedWidget::setCurrentIndex);
  imgOK_ = new QPushButton(catalog.GetMsg(RC_OK), this);
  imgCancel_ = new QPushButton(catalog.GetMsg(RC_Close), this);
  imgOptions_ = new QPushButton(catalog.GetMsg(RC_TrackInfo), this);
  imgBuyCD_ = new QPushButton(catalog.GetMsg(RC_BuyCDURL), this);
  const std::pair<QPushButton*, void (Lyrics::*)()> buttons[] = {
      {imgOptions_, &Lyrics::imgOptions_Click},
      {imgBuyCD_, &Lyrics::imgBuyCD_Click},
      {imgOK_, &Lyrics::imgOK_Click},
      {imgCancel_, &Lyrics::imgCancel_Click}};
  auto* row = new QHBoxLayout;
  row->addWidget(imgOptions_);
  row->addWidget(imgBuyCD_);
  row->addStretch();
  for (const auto& [button, handler] : buttons) {
    if (button == imgOK_ || button == imgCancel_) row->addWidget(button);
    connect(button, &QPushButton::clicked, this, handler);
  }
  imgOK_->setObjectName(u"imgOK"_s);
  imgCancel_->setObjectName(u"imgCancel"_s);
  imgOptions_->setObjectName(u"imgOptions"_s);
  imgBuyCD_->setObjectName(u"imgBuyCD"_s);
  BuildOptions();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(stack_, 1);
  layout->addLayout(row);
  resize(420, 360);
  Refresh();
}

// A right-click anywhere on the window pops up the song's addresses and its art.
void Lyrics::BuildOptions() {
  mnuOptionsPopUp_ = new QMenu(this);
  MessageCatalog& catalog = context_.catalog;
  const auto open = [this](const QString& address) {
    if (!address.isEmpty() && context_.openAddress) context_.openAddress(address);
  };
  const SongTexts& texts = context_.texts;
  const std::tuple<QString, int, std::function<void()>> items[] = {
      {u"mnuArtistEmail"_s, RC_ArtistEmail,
       [&texts, open] {
         open(texts.ArtistEmail().isEmpty() || texts.ArtistEmail().contains(u':')
                  ? texts.ArtistEmail()
                  : u"mailto:"_s + texts.ArtistEmail());
       }},
      {u"mnuArtistWebSite"_s, RC_ArtistURL, [&texts, open] { open(texts.ArtistURL()); }},
      {u"mnuBuyCD"_s, RC_BuyCDURL, [this] { imgBuyCD_Click(); }},
      {u"mnuTagArt"_s, RC_Menu_AddArt, [this] {
         if (!context_.texts.Path().isEmpty() && context_.editArt) {
           context_.editArt(context_.texts.Path());
         }
       }}};
  for (const auto& [name, caption, handler] : items) {
    QAction* item = mnuOptionsPopUp_->addAction(catalog.GetMsg(caption));
    item->setObjectName(name);
    connect(item, &QAction::triggered, this, handler);
  }
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { mnuOptionsPopUp_->popup(mapToGlobal(at)); });
}

void Lyrics::ShowLyrics(const QString& lyrics, const QString& notes, const QString& bios) {
  context_.texts.ShowLyrics(lyrics, notes, bios);
  Refresh();
}

void Lyrics::SetSongFile(const QString& path) {
  if (context_.texts.SetSongFile(path)) Refresh();
}

bool Lyrics::EditLyrics(const QString& path, int tab) {
  if (!context_.texts.EditLyrics(path)) return false;
  Refresh();
  ShowTab(tab);
  return true;
}

void Lyrics::ShowTab(int tab) {
  tabs_->setCurrentIndex(std::clamp(tab, 1, 3) - 1);
}

int Lyrics::CurrentTab() const {
  return tabs_->currentIndex() + 1;
}

// Display mode locks the texts and shows them on the window's own background; edit mode
// unlocks them as ordinary text boxes.
void Lyrics::Refresh() {
  const bool editing = context_.texts.CurrentMode() == SongTexts::Mode::Edit;
  refreshing_ = true;
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    boxes_[i]->setPlainText(context_.texts.Text(SongTexts::Tab(i + 1)));
    boxes_[i]->setReadOnly(!editing);
    boxes_[i]->setBackgroundRole(editing ? QPalette::Base : QPalette::Window);
  }
  refreshing_ = false;
  imgOK_->setVisible(editing);
  imgCancel_->setText(context_.catalog.GetMsg(editing ? RC_Cancel : RC_Close));
  imgOptions_->setEnabled(context_.editTrackInfo && !context_.texts.Path().isEmpty());
  imgBuyCD_->setEnabled(!context_.texts.BuyCDURL().isEmpty());
  const bool song = !context_.texts.Path().isEmpty();
  mnuOptionsPopUp_->findChild<QAction*>(u"mnuArtistEmail"_s)
      ->setEnabled(!context_.texts.ArtistEmail().isEmpty());
  mnuOptionsPopUp_->findChild<QAction*>(u"mnuArtistWebSite"_s)
      ->setEnabled(!context_.texts.ArtistURL().isEmpty());
  mnuOptionsPopUp_->findChild<QAction*>(u"mnuBuyCD"_s)->setEnabled(imgBuyCD_->isEnabled());
  mnuOptionsPopUp_->findChild<QAction*>(u"mnuTagArt"_s)->setEnabled(song && context_.editArt);
}

// Only what is typed goes into the song: a text shown as it was read stays as it was read.
void Lyrics::TextTyped(int tab) {
  if (refreshing_ || context_.texts.CurrentMode() != SongTexts::Mode::Edit) return;
  context_.texts.SetText(SongTexts::Tab(tab), boxes_.at(std::size_t(tab - 1))->toPlainText());
}

// All three tabs are written together, the hidden ones as they stand.
void Lyrics::imgOK_Click() {
  context_.texts.Save();
  Refresh();
  close();
}

void Lyrics::imgCancel_Click() {
  context_.texts.Cancel();
  close();
}

// However the window closes, it leaves the edit: what was typed is saved or dropped.
void Lyrics::closeEvent(QCloseEvent* event) {
  SongTexts& texts = context_.texts;
  if (texts.IsChanged()) {
    MessageCatalog& catalog = context_.catalog;
    const int answer = context_.prompter.Ask(
        catalog.GetMsgWithValue(RC_SaveTrackInfo, QFileInfo(texts.Path()).fileName()),
        catalog.GetMsg(RC_Yes) + u'|' + catalog.GetMsg(RC_No), MessageIcon::Question);
    if (answer == 1) texts.Save();
  }
  texts.Cancel();
  Refresh();
  event->accept();
}

void Lyrics::imgOptions_Click() {
  const QString path = context_.texts.Path();
  if (!path.isEmpty() && context_.editTrackInfo) context_.editTrackInfo(path);
}

// An edit shows the song edited as saved; in display mode the song is read again.
void Lyrics::SongSaved(const QString& path) {
  if (path != context_.texts.Path()) return;
  if (context_.texts.CurrentMode() == SongTexts::Mode::Display) context_.texts.Reload();
  Refresh();
}

void Lyrics::SongReloaded() {
  if (context_.texts.CurrentMode() == SongTexts::Mode::Edit) Refresh();
}

void Lyrics::imgBuyCD_Click() {
  if (!context_.texts.BuyCDURL().isEmpty() && context_.openAddress) {
    context_.openAddress(context_.texts.BuyCDURL());
  }
}

}  // namespace audiolume
