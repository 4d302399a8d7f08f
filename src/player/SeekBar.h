#pragma once

#include <QSlider>

namespace audiolume {

/**
 * The player's position bar: a click on the bar moves the song to the point clicked
 * (announced as sliderMoved, as a drag is), not one page along, and a drag may go on
 * from there. UI thread only.
 */
class SeekBar : public QSlider {
  Q_OBJECT

 public:
  explicit SeekBar(QWidget* parent = nullptr) : QSlider(Qt::Horizontal, parent) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace audiolume
