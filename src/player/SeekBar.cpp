#include "player/SeekBar.h"

#include <QMouseEvent>
#include <QStyleOptionSlider>

namespace audiolume {

void SeekBar::mousePressEvent(QMouseEvent* event) {
  QStyleOptionSlider option;
  initStyleOption(&option);
  const QRect handle =
      style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton && maximum() > minimum() && !handle.contains(at)) {
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    // The handle's middle goes under the pointer.
    const int value = QStyle::sliderValueFromPosition(
        minimum(), maximum(), at.x() - groove.x() - handle.width() / 2,
        groove.width() - handle.width(), invertedAppearance());
    setValue(value);
    Q_EMIT sliderMoved(value);
  }
  // The handle now lies under the pointer: the press takes hold of it for a drag.
  QSlider::mousePressEvent(event);
}

}  // namespace audiolume
