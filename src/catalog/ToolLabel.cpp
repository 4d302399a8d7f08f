#include "catalog/ToolLabel.h"

#include <QToolButton>

#include "support/MessageCatalog.h"

namespace audiolume {

QToolButton* MakeToolLabel(QWidget* parent, MessageCatalog& catalog, const QString& name,
                           int captionId, int tipId) {
  auto* label = new QToolButton(parent);
  label->setObjectName(name);
  label->setText(catalog.GetMsg(captionId));
  label->setToolTip(catalog.GetMsg(tipId));
  label->setAutoRaise(true);
  return label;
}

}  // namespace audiolume
