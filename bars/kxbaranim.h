// Menu animation: a menu window unfolds (grows in both directions) or
// slides out (grows in height) step by step from its final image, painted
// once into an off-screen bitmap. One animation runs at a time; it steps on
// a timer of the GUI thread, so the window is never touched from another
// thread, and every key press, mouse press or move and the window's
// destruction first bring it to its end (TkxBarSubMenuControl::WaitAnimation).
#pragma once
#include "bars/kxbarconsts.h"

// The menu being animated, none when no animation runs.
TkxBarSubMenuControl* kxBarAnimatedMenu();
// Whether an animation runs.
bool kxBarAnimationRunning();

// The kind a menu shows with for the manager's setting; Number (0..99) is
// the draw of maRandom: below 33 unfold, below 66 slide, else fade.
TkxBarMenuAnimations kxBarResolveAnimation(TkxBarMenuAnimations Setting, int Number);
// A draw from 0 to 99 for maRandom.
int kxBarAnimationDraw();

// The number of steps an animation of the kind plays for a client size:
// slides 17 pixels a step down the height, unfolds 8 pixels a step along the
// shorter side; the remainder is covered by the final placement.
int kxBarAnimationStepCount(TkxBarMenuAnimations Kind, int ClientWidth, int ClientHeight);

// Ends a running animation of any menu at once (the menu goes to its final
// place unless it is closing). Used at shut-down of the library.
void kxBarStopAnimation();
