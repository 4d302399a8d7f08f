#pragma once

#include <QList>
#include <QRect>

class QWidget;

namespace audiolume {

/**
 * Where the jukebox's windows go on the desktop: always inside the available area (what
 * the panels leave free) of one of the screens. Rectangles are window frames, title bar
 * and borders included. UI thread only.
 */
class WindowPlacement {
 public:
  /** areas: the available area of each screen; none stands for one screen at 0,0 of
   *  640x480, so that a window always has somewhere to go. */
  explicit WindowPlacement(QList<QRect> areas);
  /** The desktop's screens as they are now. */
  static WindowPlacement OfDesktop();

  /** The area of the screen that holds the most of frame, else of the one nearest it. */
  QRect AreaOf(const QRect& frame) const;
  /** frame moved as little as possible, and made smaller where it is larger than the area,
   *  so that it lies inside the area of its screen. */
  QRect Fit(const QRect& frame) const;
  /** Frames for windows of the frames given docked to anchor (the player), in order: one
   *  under the other below it while they fit on its screen; a window that does not fit
   *  there opens in a column beside what is placed (on the right, else on the left); one
   *  that fits nowhere goes where it covers least (LeastCovering) of the player and the
   *  windows placed before it. Every frame returned lies inside a screen's area. */
  QList<QRect> Dock(const QRect& anchor, const QList<QRect>& frames) const;
  /** A place for a window of frame's size, inside a screen's area, where it covers the
   *  least of anchor, then the least of the others (their shared pixels added up), then
   *  lies nearest to its own place, fitted to its screen. */
  QRect LeastCovering(const QRect& anchor, const QList<QRect>& others, const QRect& frame) const;

  /** Moves a window, and makes it smaller when it must, so that its frame lies on a
   *  screen. */
  void Keep(QWidget& window) const;
  /** Gives a top-level window the frame given, its title bar and borders counted in. */
  static void SetFrame(QWidget& window, const QRect& frame);

 private:
  QList<QRect> areas_;
};

}  // namespace audiolume
