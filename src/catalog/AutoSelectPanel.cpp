#include "catalog/AutoSelectPanel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "support/MessageCatalog.h"
#include "support/MessageIds.h"

using namespace Qt::Literals::StringLiterals;

namespace audiolume {

namespace {

const char* const kNames[] = {"1st", "2nd", "3rd"};

}  // namespace

AutoSelectPanel::AutoSelectPanel(const AutoDj& autoDj, MessageCatalog& catalog, QWidget* parent)
    : QWidget(parent), autoDj_(autoDj), catalog_(catalog) {
  setObjectName(u"picAutoSelect"_s);
  auto* criteria = new QHBoxLayout;
  for (int criterion = 0; criterion < 3; ++criterion) {
    criteria_[std::size_t(criterion)] = BuildCriterion(criterion);
    criteria->addWidget(criteria_[std::size_t(criterion)]);
  }
  chk2ndCriteria_ = criteria_[1]->findChild<QCheckBox*>();
  chk3rdCriteria_ = criteria_[2]->findChild<QCheckBox*>();
  connect(chk2ndCriteria_, &QCheckBox::clicked, this, &AutoSelectPanel::chk2ndCriteria_Click);
  connect(chk3rdCriteria_, &QCheckBox::clicked, this, &AutoSelectPanel::chk3rdCriteria_Click);

  optRandom_ = new QRadioButton(catalog.GetMsg(RC_AutoSelect_RandomOrder), this);
  optRandom_->setObjectName(u"optPlayListOrder"_s);
  auto* libraryOrder = new QRadioButton(catalog.GetMsg(RC_FixedOrder), this);
  libraryOrder->setChecked(true);
  txtAutoSelectPlayTime_ = new QLineEdit(this);
  txtAutoSelectPlayTime_->setObjectName(u"txtAutoSelectPlayTime"_s);
  txtAutoSelectPlayTime_->setMaximumWidth(70);
  // A real value, not a grey hint: what the box shows is what the run uses. Emptied, the
  // box says what an empty time gives.
  txtAutoSelectPlayTime_->setText(u"3"_s);
  txtAutoSelectPlayTime_->setPlaceholderText(u"1 song"_s);
  auto* ok = new QPushButton(catalog.GetMsg(RC_OK), this);
  ok->setObjectName(u"ImgOKAutoSelect"_s);
  ok->setDefault(true);
  auto* cancel = new QPushButton(catalog.GetMsg(RC_Cancel), this);
  cancel->setObjectName(u"imgCancelAutoSelect"_s);
  connect(ok, &QPushButton::clicked, this, &AutoSelectPanel::ImgOKAutoSelect_Click);
  connect(cancel, &QPushButton::clicked, this, &AutoSelectPanel::imgCancelAutoSelect_Click);

  pnlHelp_ = new QLabel(catalog.GetMsg(RC_AutoSelect_Hint), this);
  pnlHelp_->setObjectName(u"pnlHelp"_s);
  pnlHelp_->setWordWrap(true);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(optRandom_);
  bottom->addWidget(libraryOrder);
  bottom->addSpacing(16);
  bottom->addWidget(new QLabel(catalog.GetMsg(RC_Enter_PlayTime), this));
  bottom->addWidget(txtAutoSelectPlayTime_);
  bottom->addWidget(new QLabel(catalog.GetMsg(RC_Hours), this));
  bottom->addStretch();
  bottom->addWidget(ok);
  bottom->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(criteria, 1);
  layout->addWidget(pnlHelp_);
  layout->addLayout(bottom);
  EnableCriteria();
}

QWidget* AutoSelectPanel::BuildCriterion(int criterion) {
  const QString name = QString::fromLatin1(kNames[criterion]);
  auto* box = new QGroupBox(this);
  box->setObjectName(u"fra"_s + name + u"Criteria"_s);
  auto* layout = new QVBoxLayout(box);
  if (criterion > 0) {
    auto* use = new QCheckBox(
        catalog_.GetMsg(criterion == 1 ? RC_AutoSelect_2nd_Criteria : RC_AutoSelect_3rd_Criteria),
        box);
    use->setObjectName(u"chk"_s + name + u"Criteria"_s);
    layout->addWidget(use);
    auto* logic = new QHBoxLayout;
    auto* group = new QButtonGroup(box);
    for (const auto& [id, caption] : {std::pair{0, RC_AutoSelect_And}, {1, RC_AutoSelect_AndNot}}) {
      auto* button = new QRadioButton(catalog_.GetMsg(caption), box);
      button->setObjectName(u"opt"_s + name + u"Logic"_s + QString::number(id));
      button->setChecked(id == 0);
      group->addButton(button, id);
      logic->addWidget(button);
      // The help for the logic shows while the button is held down: what it means, "For
      // example:" and the example.
      const QString help = id == 0 ? catalog_.GetMsg(RC_AutoSelect_Help5) + u'\n' +
                                         catalog_.GetMsg(RC_AutoSelect_Help6) + u'\n' +
                                         catalog_.GetMsg(RC_AutoSelect_Help7)
                                   : catalog_.GetMsg(RC_AutoSelect_Help1) + u'\n' +
                                         catalog_.GetMsg(RC_AutoSelect_Help2) + u'\n' +
                                         catalog_.GetMsg(RC_AutoSelect_Help3);
      connect(button, &QRadioButton::pressed, this, [this, help] { pnlHelp_->setText(help); });
      connect(button, &QRadioButton::released, this,
              [this] { pnlHelp_->setText(catalog_.GetMsg(RC_AutoSelect_Hint)); });
    }
    logic_[std::size_t(criterion)] = group;
    layout->addLayout(logic);
  } else {
    layout->addWidget(new QLabel(catalog_.GetMsg(RC_AutoSelect_1st_Criteria), box));
  }
  auto* group = new QButtonGroup(box);
  auto* grid = new QGridLayout;
  for (int option = 0; option < 7; ++option) {
    auto* button = new QRadioButton(catalog_.GetMsg(RC_AutoSelect_Criteria1 + option), box);
    button->setObjectName(u"opt"_s + name + u"Criteria"_s + QString::number(option));
    group->addButton(button, option);
    grid->addWidget(button, option / 2, option % 2);
  }
  options_[std::size_t(criterion)] = group;
  connect(group, &QButtonGroup::idClicked, this,
          [this, criterion](int option) { CriterionClicked(criterion, option); });
  layout->addLayout(grid);
  auto* list = new QListWidget(box);
  list->setObjectName(u"lst"_s + name + u"Criteria"_s);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lists_[std::size_t(criterion)] = list;
  layout->addWidget(list, 1);
  return box;
}

void AutoSelectPanel::Open() {
  if (options_[0]->checkedId() < 0) options_[0]->button(0)->setChecked(true);
  // The library may have changed since the panel was last open: every chosen column's
  // values are listed anew, the chosen values that are still there stay chosen.
  for (int criterion = 0; criterion < 3; ++criterion) {
    const int option = options_[std::size_t(criterion)]->checkedId();
    if (option < 0) continue;
    QListWidget* list = lists_[std::size_t(criterion)];
    QStringList chosen;
    for (const QListWidgetItem* item : list->selectedItems()) chosen.append(item->text());
    CriterionClicked(criterion, option);
    for (int i = 0; i < list->count(); ++i) {
      list->item(i)->setSelected(chosen.contains(list->item(i)->text()));
    }
  }
  show();
}

void AutoSelectPanel::CriterionClicked(int criterion, int option) {
  options_[std::size_t(criterion)]->button(option)->setChecked(true);
  QListWidget* list = lists_[std::size_t(criterion)];
  list->clear();
  list->addItems(autoDj_.ValueList(option + AutoDj::kFirstColumn));
}

void AutoSelectPanel::chk2ndCriteria_Click() {
  if (!chk2ndCriteria_->isChecked()) chk3rdCriteria_->setChecked(false);
  EnableCriteria();
}

void AutoSelectPanel::chk3rdCriteria_Click() {
  EnableCriteria();
}

// The third criterion only narrows what the second left.
void AutoSelectPanel::EnableCriteria() {
  chk3rdCriteria_->setEnabled(chk2ndCriteria_->isChecked());
  for (const auto& [criterion, on] :
       {std::pair{1, chk2ndCriteria_->isChecked()}, {2, chk3rdCriteria_->isChecked()}}) {
    for (QWidget* child : criteria_[std::size_t(criterion)]->findChildren<QWidget*>()) {
      if (child != chk2ndCriteria_ && child != chk3rdCriteria_) child->setEnabled(on);
    }
  }
}

AutoDj::Selection AutoSelectPanel::CurrentSelection() const {
  auto criterion = [this](int index) {
    AutoDj::Criterion result;
    result.column = std::max(0, options_[std::size_t(index)]->checkedId()) + AutoDj::kFirstColumn;
    for (const QListWidgetItem* item : lists_[std::size_t(index)]->selectedItems()) {
      result.selected.append(item->text());
    }
    result.andNot = index > 0 && logic_[std::size_t(index)]->checkedId() == 1;
    return result;
  };
  AutoDj::Selection selection;
  selection.first = criterion(0);
  if (chk2ndCriteria_->isChecked()) selection.second = criterion(1);
  if (chk2ndCriteria_->isChecked() && chk3rdCriteria_->isChecked()) selection.third = criterion(2);
  selection.random = optRandom_->isChecked();
  selection.hours = txtAutoSelectPlayTime_->text();
  return selection;
}

}  // namespace audiolume
