#include <gtest/gtest.h>

#include "support/WindowPlacement.h"

namespace audiolume {
namespace {

// A laptop's screen with a panel at the top, and a larger monitor to its right.
const QRect kLaptop(0, 28, 1280, 772);
const QRect kMonitor(1280, 0, 1600, 1000);

TEST(WindowPlacementTest, APlaceOffTheScreensIsMovedOntoTheNearestOne) {
  const WindowPlacement placement({kLaptop, kMonitor});
  // Inside a screen it stays.
  EXPECT_EQ(placement.Fit(QRect(1500, 100, 400, 300)), QRect(1500, 100, 400, 300));
  // Saved on a monitor no longer there, far to the right and below.
  EXPECT_EQ(placement.Fit(QRect(5000, 3000, 400, 300)), QRect(2480, 700, 400, 300));
  // Hanging below the laptop's screen and under its panel.
  EXPECT_EQ(placement.Fit(QRect(100, 700, 400, 300)), QRect(100, 500, 400, 300));
  EXPECT_EQ(placement.Fit(QRect(100, 0, 400, 300)), QRect(100, 28, 400, 300));
  // Mostly on the monitor: it goes there, not back to the laptop.
  EXPECT_EQ(placement.Fit(QRect(1200, 900, 400, 300)), QRect(1280, 700, 400, 300));
  // Larger than the screen: made as large as it.
  EXPECT_EQ(placement.Fit(QRect(-50, 10, 1400, 900)), kLaptop);
  // Without screens a window still has somewhere to go.
  EXPECT_TRUE(QRect(0, 0, 640, 480).contains(WindowPlacement({}).Fit(QRect(900, 900, 300, 200))));
}

// Windows dock under the player while they fit, then in a column beside it; one that
// fits nowhere goes where it covers the least. Each lies inside the screen.
TEST(WindowPlacementTest, DockedWindowsGoUnderThePlayerThenBesideIt) {
  const WindowPlacement placement({QRect(0, 0, 1600, 1000)});
  const QRect player(100, 50, 800, 300);
  const QList<QRect> placed =
      placement.Dock(player, {QRect(0, 0, 1000, 560), QRect(0, 0, 400, 400), QRect(0, 0, 500, 300),
                              QRect(30, 40, 600, 600)});
  ASSERT_EQ(placed.size(), 4);
  EXPECT_EQ(placed[0], QRect(100, 350, 1000, 560));  // under the player
  EXPECT_EQ(placed[1], QRect(1100, 50, 400, 400));   // no room below: beside, from its top
  EXPECT_EQ(placed[2], QRect(1100, 450, 500, 300));  // under that one, pushed left to fit
  // No room anywhere: off the player, over as little of the others as can be.
  EXPECT_FALSE(placed[3].intersects(player));
  EXPECT_EQ(placed[3], QRect(1000, 400, 600, 600));
  // A player at the bottom of the screen: the window goes beside it, on the left when
  // the right has no room.
  EXPECT_EQ(placement.Dock(QRect(900, 700, 700, 300), {QRect(0, 0, 600, 500)}).first(),
            QRect(300, 500, 600, 500));
}

// A window that cannot dock takes the free part of the screen, never the player's place;
// where there is none it covers the player least, then the other windows least.
TEST(WindowPlacementTest, AWindowThatCannotDockAvoidsThePlayerThenTheOthers) {
  const QRect screen(0, 0, 1600, 1000);
  const WindowPlacement placement({screen});
  // The player at the lower right; the library beside it on the left, up to the middle.
  const QRect player(900, 700, 700, 300);
  const QList<QRect> placed =
      placement.Dock(player, {QRect(0, 0, 800, 600), QRect(0, 0, 700, 500)});
  ASSERT_EQ(placed.size(), 2);
  EXPECT_EQ(placed[0], QRect(100, 400, 800, 600));
  // The only free place of its size: above the player.
  EXPECT_EQ(placed[1], QRect(900, 0, 700, 500));

  // A place remembered on a screen where it covers nothing is kept.
  const WindowPlacement twoScreens({screen, QRect(1600, 0, 1280, 800)});
  EXPECT_EQ(twoScreens.LeastCovering(player, placed, QRect(2000, 100, 900, 900)),
            QRect(1980, 0, 900, 800));

  // Too large to miss the player: as little of it as can be, at the top of the screen.
  const QRect tall = placement.LeastCovering(player, {}, QRect(0, 0, 1000, 800));
  EXPECT_EQ(tall, QRect(0, 0, 1000, 800));
  // Nothing free without the player, nor the library: the player is spared first.
  const QRect wide = placement.LeastCovering(player, {placed[0]}, QRect(0, 0, 1000, 650));
  EXPECT_FALSE(wide.intersects(player));
  EXPECT_TRUE(screen.contains(wide));
  EXPECT_EQ(wide, QRect(600, 0, 1000, 650));
}

}  // namespace
}  // namespace audiolume
