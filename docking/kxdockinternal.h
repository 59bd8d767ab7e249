// Helpers shared by the docking library's units: scoped locks and small
// geometry and window utilities.
#pragma once

#include <exception>

#include "docking/kxdockcontrol.h"
#include "docking/kxdockmanager.h"

// Holds the controller's non-client lock for a scope. Releasing the last lock
// applies the deferred work, which may raise; that error passes on unless the
// scope is already left by another one.
class TkxNCLock {
 public:
  TkxNCLock() : FExceptions(std::uncaught_exceptions()) { GetDockingController()->BeginUpdateNC(); }
  ~TkxNCLock() noexcept(false) {
    if (std::uncaught_exceptions() > FExceptions) {
      try {
        GetDockingController()->EndUpdateNC();
      } catch (...) {
      }
    } else {
      GetDockingController()->EndUpdateNC();
    }
  }
  TkxNCLock(const TkxNCLock&) = delete;
  TkxNCLock& operator=(const TkxNCLock&) = delete;

 private:
  int FExceptions;
};

// Holds a control's layout lock for a scope (EndUpdateLayout reports the change).
class TkxLayoutLock {
 public:
  explicit TkxLayoutLock(TkxCustomDockControl* AControl)
      : FControl(AControl), FExceptions(std::uncaught_exceptions()) {
    if (FControl) FControl->BeginUpdateLayout();
  }
  ~TkxLayoutLock() noexcept(false) {
    if (!FControl) return;
    if (std::uncaught_exceptions() > FExceptions) {
      try {
        FControl->EndUpdateLayout();
      } catch (...) {
      }
    } else {
      FControl->EndUpdateLayout();
    }
  }
  TkxLayoutLock(const TkxLayoutLock&) = delete;
  TkxLayoutLock& operator=(const TkxLayoutLock&) = delete;

 private:
  TkxCustomDockControl* FControl;
  int FExceptions;
};

// Screen rectangle of a window, or of a control's bounds when it has none.
TRect kxControlScreenRect(TControl* AControl);
// A rectangle moved by (DX, DY).
inline TRect kxOffsetRect(TRect R, int DX, int DY) {
  R.left += DX;
  R.right += DX;
  R.top += DY;
  R.bottom += DY;
  return R;
}
inline bool kxPtInRect(const TRect& R, const TPoint& P) {
  return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom;
}
inline TRect kxRect(int L, int T, int R, int B) {
  TRect X;
  X.left = L;
  X.top = T;
  X.right = R;
  X.bottom = B;
  return X;
}
inline bool kxIsSideType(TkxDockingType T) { return T == dtLeft || T == dtTop || T == dtRight || T == dtBottom; }
// Tells the running drag or resize that zones are about to be freed: a current
// zone among them is dropped (its frame erased) so that it is never used again.
void kxForgetZones(const TkxZoneList& Zones);
// Shows or hides a dock control without its visibility notifications.
void kxSetVisibleSilently(TkxCustomDockControl* AControl, bool Value);
// The caption text of a control (its window text).
AnsiString kxCaptionOf(TkxCustomDockControl* AControl);
// Text width in the font of a canvas.
int kxTextWidth(TCanvas* ACanvas, const AnsiString& Text);
