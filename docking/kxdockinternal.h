// Helpers shared by the docking library's units: scoped locks and small
// geometry and window utilities.
#pragma once

#include <exception>
#include <memory>

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
// Takes a zone out of the list of the dock control that holds it and hands it
// over; nil when no list holds it.
std::unique_ptr<TkxZone> kxTakeZone(TkxZone* Zone);
// Shows or hides a dock control without its visibility notifications.
void kxSetVisibleSilently(TkxCustomDockControl* AControl, bool Value);
// The caption text of a control (its window text).
AnsiString kxCaptionOf(TkxCustomDockControl* AControl);
// Text width in the font of a canvas.
int kxTextWidth(TCanvas* ACanvas, const AnsiString& Text);

// Drawing helpers of the dock painters.
inline void kxDockFill(TCanvas* C, const TRect& R, TColor Color) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color);
  C->FillRect(R);
}

inline void kxDockPen(TCanvas* C, TColor Color, int Width = 1) {
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(Width);
  C->Pen()->SetColor(Color);
}

inline void kxDockLine(TCanvas* C, int X1, int Y1, int X2, int Y2) {
  C->MoveTo(X1, Y1);
  C->LineTo(X2, Y2);
}

// The triangle of a tab row's scroll button, pointing right (Next) or left;
// Solid fills it, otherwise only its outline is drawn.
inline void kxDockScrollTriangle(TCanvas* C, TRect R, bool Next, TColor Sign, bool Solid) {
  kxDockPen(C, Sign);
  C->Brush()->SetStyle(Solid ? bsSolid : bsClear);
  C->Brush()->SetColor(Sign);
  const int L = R.left, T = R.top, Rt = R.right, B = R.bottom;
  if (Next) {
    const TPoint P[] = {{L + 4, T + 2}, {L + 4, B - 4}, {Rt - 6, T + 6}};
    C->Polygon(P, 3);
  } else {
    const TPoint P[] = {{Rt - 6, T + 2}, {Rt - 6, B - 4}, {L + 4, T + 6}};
    C->Polygon(P, 3);
  }
  C->Brush()->SetStyle(bsSolid);
}
