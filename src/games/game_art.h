#pragma once
// The games' own pictures, drawn at start-up: the fighter's four poses and the projectile of
// RirUroravu, the ten reel symbols and the title of 国盗合戦.
#include <QImage>

namespace miratos::games {

// Pose 1 standing, 2 attacking, 3 final move, 4 after the final move; 64 × 96 pixels.
QImage fighterPicture(int pose);
constexpr int kFighterWidth = 64;
constexpr int kFighterHeight = 96;
// The projectile, 40 × 24 pixels.
QImage projectilePicture();
// Reel symbol 1..4 (back, double forward, forward, defeat) and 5..10 (die faces 1..6); 90 × 90.
QImage reelSymbolPicture(int number);
// The title "国盗合戦" on a banner.
QImage titlePicture();

} // namespace miratos::games
