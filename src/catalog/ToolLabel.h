#pragma once

#include <QString>

class QToolButton;
class QWidget;

namespace audiolume {

class MessageCatalog;

/** A flat button of the library window (a "label" there): its caption and tip come from
 *  the message catalog; the name finds it again. */
QToolButton* MakeToolLabel(QWidget* parent, MessageCatalog& catalog, const QString& name,
                           int captionId, int tipId);

}  // namespace audiolume
