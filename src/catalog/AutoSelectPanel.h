#pragma once

#include <QWidget>
#include <array>

#include "catalog/AutoDj.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace audiolume {

class MessageCatalog;

/**
 * The AutoDJ panel (picAutoSelect) of the library window: three criteria of seven
 * columns each with their value lists, the second and third switched on by their boxes
 * and joined by And or And Not, the order and the play time in hours. OK hands the
 * choice to the window; the panel keeps it while the window is open.
 */
class AutoSelectPanel : public QWidget {
  Q_OBJECT

 public:
  AutoSelectPanel(const AutoDj& autoDj, MessageCatalog& catalog, QWidget* parent = nullptr);

  /** lblAutoSelect_Click: lists the values of every chosen column again (the first
   *  criterion's album when none is chosen yet), keeping the chosen values. */
  void Open();
  /** Remembers the column of criterion (0 to 2) and fills its value list. */
  void CriterionClicked(int criterion, int option);
  void chk2ndCriteria_Click();
  void chk3rdCriteria_Click();
  /** What the panel holds now. */
  AutoDj::Selection CurrentSelection() const;

  QListWidget* ValueList(int criterion) const { return lists_.at(std::size_t(criterion)); }

 Q_SIGNALS:
  void ImgOKAutoSelect_Click();
  void imgCancelAutoSelect_Click();

 private:
  QWidget* BuildCriterion(int criterion);
  void EnableCriteria();

  const AutoDj& autoDj_;
  MessageCatalog& catalog_;
  std::array<QButtonGroup*, 3> options_{};
  std::array<QListWidget*, 3> lists_{};
  std::array<QButtonGroup*, 3> logic_{};  // index 0 unused
  std::array<QWidget*, 3> criteria_{};
  QCheckBox* chk2ndCriteria_;
  QCheckBox* chk3rdCriteria_;
  QRadioButton* optRandom_;
  QLineEdit* txtAutoSelectPlayTime_;
  QLabel* pnlHelp_;
};

}  // namespace audiolume
