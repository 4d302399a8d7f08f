#include "support/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <limits>
#include <tuple>
#include <utility>

namespace audiolume {

namespace {

// The window of size with its top left at x, top, moved left as far as needed to end
// inside area; empty when it would still pass the area's edges.
QRect InColumn(const QRect& area, int x, int top, QSize size) {
  const QRect spot(QPoint(std::clamp(x, area.left(), area.right() + 1 - size.width()), top), size);
  return area.contains(spot) ? spot : QRect();
}

// How far a point lies outside a rectangle, across plus down.
int DistanceOutside(const QRect& area, const QPoint& point) {
  const int across = std::max({area.left() - point.x(), 0, point.x() - area.right()});
  const int down = std::max({area.top() - point.y(), 0, point.y() - area.bottom()});
  return across + down;
}

// The pixels two rectangles share.
qint64 SharedArea(const QRect& a, const QRect& b) {
  const QRect shared = a & b;
  return shared.isEmpty() ? 0 : qint64(shared.width()) * shared.height();
}

// Along one axis, the starts in [low, high - length] of a span of length where its overlap
// with one of the spans given begins or stops growing or shrinking: where an end of one
// meets an end of the other. The overlap changes linearly between these, so the place
// that covers least starts at one of them on each axis.
QList<int> EdgeStarts(int low, int high, int length, const QList<std::pair<int, int>>& spans) {
  QList<int> starts{low, high - length};
  for (const auto& [begin, end] : spans) starts << begin - length << begin << end - length << end;
  for (int& start : starts) start = std::clamp(start, low, high - length);
  return starts;
}

}  // namespace

WindowPlacement::WindowPlacement(QList<QRect> areas) : areas_(std::move(areas)) {
  if (areas_.isEmpty()) areas_.append(QRect(0, 0, 640, 480));
}

WindowPlacement WindowPlacement::OfDesktop() {
  QList<QRect> areas;
  for (const QScreen* screen : QGuiApplication::screens())
    areas.append(screen->availableGeometry());
  return WindowPlacement(areas);
}

QRect WindowPlacement::AreaOf(const QRect& frame) const {
  const QRect* nearest = &areas_.front();
  qint64 mostShared = 0;
  int leastDistance = std::numeric_limits<int>::max();
  for (const QRect& area : areas_) {
    const qint64 size = SharedArea(area, frame);
    const int distance = DistanceOutside(area, frame.center());
    if (size > mostShared || (mostShared == 0 && size == 0 && distance < leastDistance)) {
      nearest = &area;
      mostShared = size;
      leastDistance = distance;
    }
  }
  return *nearest;
}

QRect WindowPlacement::Fit(const QRect& frame) const {
  const QRect area = AreaOf(frame);
  const QSize size = frame.size().boundedTo(area.size());
  const int x = std::clamp(frame.left(), area.left(), area.right() + 1 - size.width());
  const int y = std::clamp(frame.top(), area.top(), area.bottom() + 1 - size.height());
  return {QPoint(x, y), size};
}

QList<QRect> WindowPlacement::Dock(const QRect& anchor, const QList<QRect>& frames) const {
  const QRect area = AreaOf(anchor);
  QList<QRect> placed;
  int left = anchor.left();  // the span across taken by the player and the columns so far
  int right = anchor.right();
  int columnLeft = anchor.left();
  int columnTop = anchor.bottom() + 1;
  for (const QRect& frame : frames) {
    const QSize size = frame.size().boundedTo(area.size());
    QRect spot = InColumn(area, columnLeft, columnTop, size);
    if (spot.isNull()) {
      // A new column beside everything placed, from the player's top down.
      const int top = std::clamp(anchor.top(), area.top(), area.bottom() + 1 - size.height());
      if (right + size.width() <= area.right()) {
        spot = QRect(QPoint(right + 1, top), size);
      } else if (left - size.width() >= area.left()) {
        spot = QRect(QPoint(left - size.width(), top), size);
      }
    }
    if (spot.isNull()) {
      placed.append(LeastCovering(anchor, placed, frame));
      continue;
    }
    placed.append(spot);
    left = std::min(left, spot.left());
    right = std::max(right, spot.right());
    columnLeft = spot.left();
    columnTop = spot.bottom() + 1;
  }
  return placed;
}

QRect WindowPlacement::LeastCovering(const QRect& anchor, const QList<QRect>& others,
                                     const QRect& frame) const {
  QList<std::pair<int, int>> across{{anchor.left(), anchor.right() + 1}};
  QList<std::pair<int, int>> down{{anchor.top(), anchor.bottom() + 1}};
  for (const QRect& other : others) {
    across.append({other.left(), other.right() + 1});
    down.append({other.top(), other.bottom() + 1});
  }
  const QRect own = Fit(frame);
  // What a place costs, the most important first: the player covered, the others
  // covered, the way from the window's own place.
  const auto cost = [&](const QRect& spot) {
    qint64 onOthers = 0;
    for (const QRect& other : others) onOthers += SharedArea(spot, other);
    return std::tuple{SharedArea(spot, anchor), onOthers,
                      (spot.topLeft() - own.topLeft()).manhattanLength()};
  };
  QRect best = own;
  auto bestCost = cost(own);
  for (const QRect& area : areas_) {
    const QSize size = frame.size().boundedTo(area.size());
    for (const int x : EdgeStarts(area.left(), area.right() + 1, size.width(), across)) {
      for (const int y : EdgeStarts(area.top(), area.bottom() + 1, size.height(), down)) {
        const QRect spot(QPoint(x, y), size);
        if (const auto spotCost = cost(spot); spotCost < bestCost) {
          best = spot;
          bestCost = spotCost;
        }
      }
    }
  }
  return best;
}

void WindowPlacement::Keep(QWidget& window) const {
  const QRect frame = window.frameGeometry();
  const QRect fitted = Fit(frame);
  if (fitted != frame) SetFrame(window, fitted);
}

void WindowPlacement::SetFrame(QWidget& window, const QRect& frame) {
  const QSize borders = window.frameGeometry().size() - window.size();
  window.move(frame.topLeft());
  if (frame.size() != window.frameGeometry().size()) window.resize(frame.size() - borders);
}

}  // namespace audiolume
