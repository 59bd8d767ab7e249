// Moving dock controls by their captions and resizing them by their edges:
// the mouse, key and cursor handling, the docking and resize loops and their
// XOR selection frames on the desktop.
#include <algorithm>
#include <cstdlib>

#include "docking/kxdockcontrol.h"
#include "docking/kxdockinternal.h"
#include "platform/rtl/inifiles.h"

// ---- capture ----

void TkxCustomDockControl::TakeCapture() {
  TControl* Current = GetCaptureControl();
  FSavedCaptureControl = Current == this ? nullptr : Current;
  SetCaptureControl(this);
}

void TkxCustomDockControl::ReleaseTakenCapture() {
  TControl* Saved = FSavedCaptureControl;
  FSavedCaptureControl = nullptr;
  if (GetCaptureControl() == this || !GetCaptureControl()) SetCaptureControl(Saved);
}

// ---- mouse ----

void TkxCustomDockControl::WMLButtonDown(TWMMouse& Message) {
  TCustomControl::Dispatch(Message);
  Message.Result = 0;
  FSourcePoint = Message.Pos();
  const TPoint P = FSourcePoint;
  const TPoint S = ClientToScreen(P);
  if (GetResizeZoneAtPos(S)) {
    StartResize(S);
    Message.Result = 1;
    return;
  }
  if (IsCloseButtonPoint(P)) {
    FCloseButtonIsDown = true;
    RedrawCaption();
  } else if (IsHideButtonPoint(P)) {
    FHideButtonIsDown = true;
    RedrawCaption();
  } else if (IsMaximizeButtonPoint(P)) {
    FMaximizeButtonIsDown = true;
    RedrawCaption();
  } else if (IsCaptionPoint(P)) {
    FCaptionIsDown = true;
  } else {
    return;
  }
  TakeCapture();
  Message.Result = 1;
}

void TkxCustomDockControl::WMMouseMove(TWMMouse& Message) {
  TCustomControl::Dispatch(Message);
  Message.Result = 0;
  FCursorPoint = Message.Pos();
  const TPoint P = FCursorPoint;
  const TPoint S = ClientToScreen(P);
  if (Controller()->DraggingControl() == this) {
    Docking(S);
    Message.Result = 1;
    return;
  }
  if (Controller()->ResizingControl() == this) {
    Resizing(S);
    Message.Result = 1;
    return;
  }
  if (!IsFloatFormActive() && !IsParentFormActive() && !IsDesigning()) return;
  struct THot {
    bool Over;
    bool* Hot;
  } Hots[] = {{IsCloseButtonPoint(P), &FCloseButtonIsHot},
              {IsHideButtonPoint(P), &FHideButtonIsHot},
              {IsMaximizeButtonPoint(P), &FMaximizeButtonIsHot}};
  for (THot& H : Hots)
    if (H.Over != *H.Hot) {
      *H.Hot = H.Over;
      RedrawCaption();
      Message.Result = 1;
    }
  if (FCaptionIsDown) {
    const bool Moved = std::abs(P.x - FSourcePoint.x) > 3 || std::abs(P.y - FSourcePoint.y) > 3;
    if (!IsCaptionPoint(P) || (IsDesigning() && Moved)) {
      ReleaseTakenCapture();
      FCaptionIsDown = false;
      StartDocking(ClientToScreen(FSourcePoint));
      Message.Result = 1;
    }
  }
}

void TkxCustomDockControl::WMLButtonUp(TWMMouse& Message) {
  TCustomControl::Dispatch(Message);
  Message.Result = 0;
  FCursorPoint = Message.Pos();
  const TPoint P = FCursorPoint;
  const TPoint S = ClientToScreen(P);
  bool Handled = true;
  if (Controller()->DraggingControl() == this) {
    EndDocking(S, false);
  } else if (Controller()->ResizingControl() == this) {
    EndResize(S, false);
  } else if (FCloseButtonIsDown) {
    ReleaseTakenCapture();
    FCloseButtonIsDown = false;
    if (IsCloseButtonPoint(P) && !IsDesigning()) DoClose();
    RedrawCaption();
  } else if (FHideButtonIsDown) {
    ReleaseTakenCapture();
    FHideButtonIsDown = false;
    if (IsHideButtonPoint(P)) ChangeAutoHide();
    RedrawCaption();
  } else if (FMaximizeButtonIsDown) {
    ReleaseTakenCapture();
    FMaximizeButtonIsDown = false;
    if (IsMaximizeButtonPoint(P) && !IsDesigning()) DoMaximize();
    RedrawCaption();
  } else if (FCaptionIsDown) {
    ReleaseTakenCapture();
    FCaptionIsDown = false;
  } else {
    Handled = false;
  }
  Controller()->SetActivatingDockControl(nullptr);
  if (Handled) Message.Result = 1;
}

void TkxCustomDockControl::WMLButtonDblClk(TWMMouse& Message) {
  TCustomControl::Dispatch(Message);
  Message.Result = 0;
  const TPoint P = FCursorPoint;
  if (IsDesigning() || !Options().Contains(doDblClickDocking) || AutoHide() || !Dockable()) return;
  if (!IsCaptionPoint(P) || IsCloseButtonPoint(P) || IsHideButtonPoint(P) || IsMaximizeButtonPoint(P)) return;
  const TPoint S = ClientToScreen(P);
  FireStartDocking(S);
  MakeFloating();
  FireEndDocking(nullptr, S);
  Message.Result = 1;
}

void TkxCustomDockControl::WMRButtonDown(TWMMouse& Message) {
  Controller()->FinishDocking();
  Controller()->FinishResizing();
  TCustomControl::Dispatch(Message);
}

// ---- keys ----

void TkxCustomDockControl::CNKeyDown(TWMKey& Message) {
  const Word Key = Message.CharCode();
  if (Key == VK_CONTROL) {
    if (Controller()->DraggingControl() == this) Docking(ClientToScreen(FCursorPoint));
    Message.Result = 1;
    return;
  }
  if (Key == VK_ESCAPE) {
    if (Controller()->DraggingControl() == this) EndDocking(ClientToScreen(FCursorPoint), true);
    else if (Controller()->ResizingControl() == this) EndResize(ClientToScreen(FCursorPoint), true);
    Message.Result = 1;
    return;
  }
  TCustomControl::Dispatch(Message);
}

void TkxCustomDockControl::CNKeyUp(TWMKey& Message) {
  if (Message.CharCode() == VK_CONTROL && Controller()->DraggingControl() == this) {
    Docking(ClientToScreen(FCursorPoint));
    Message.Result = 1;
    return;
  }
  TCustomControl::Dispatch(Message);
}

// ---- cursor ----

void TkxCustomDockControl::WMSetCursor(TWMSetCursor& Message) {
  TkxDockingController* C = Controller();
  if (!C->IsDocking()) {
    TPoint P;
    GetCursorPos(&P);
    if (TkxZone* Z = GetResizeZoneAtPos(P)) {
      if (Z->Direction() == 2) {
        ::SetCursor(Screen->Cursors(crVSplit));
        Message.Result = 1;
        return;
      }
      if (Z->Direction() == 1) {
        ::SetCursor(Screen->Cursors(crHSplit));
        Message.Result = 1;
        return;
      }
    }
  } else if (!C->DraggingControl()->CurrentDockZone() && !AllowFloating()) {
    ::SetCursor(Screen->Cursors(crNo));
    Message.Result = 1;
    return;
  }
  TCustomControl::Dispatch(Message);
}

// ---- the docking loop ----

TkxCustomDockControl* TkxCustomDockControl::GetDockingTargetAtPos(const TPoint& P) {
  TkxDockingController* C = Controller();
  if (TkxCustomDockControl* T = C->GetDockControlAtPos(P)) return T;
  if (TkxCustomDockControl* T = C->GetFloatDockSiteAtPos(P)) return T;
  return C->GetNearestDockSiteAtPos(P);
}

void TkxCustomDockControl::StartDocking(const TPoint& P) {
  if (ComponentState().Contains(csAncestor)) kxDockingError(kxsAncestorDocking);
  if (!Dockable() || AutoHideControl()) return;
  FireStartDocking(P);
  Controller()->SetDraggingControl(this);
  FDockingZone = nullptr;
  FDockingPoint = P;
  if (TkxFloatForm* F = FloatForm(); F && FloatDockSite()) {
    FDockingOffsetX = P.x - F->Left();
    FDockingOffsetY = P.y - F->Top();
  } else {
    const TRect R = ScreenWindowRect();
    FDockingOffsetX = P.x - R.left;
    FDockingOffsetY = P.y - R.top;
    TkxFloatForm* Form = FloatForm();
    const int W = Form ? Form->Width() : OriginalWidth();
    const int H = Form ? Form->Height() : OriginalHeight();
    if (FDockingOffsetX < 0 || FDockingOffsetX > W) FDockingOffsetX = W / 2;
    if (FDockingOffsetY < 0 || FDockingOffsetY > H) FDockingOffsetY = H / 2;
  }
  DrawDockingSelection(nullptr, P, false);
  TakeCapture();
}

void TkxCustomDockControl::Docking(const TPoint& P) {
  TkxZone* Zone = nullptr;
  TkxCustomDockControl* Target = GetDockingTargetAtPos(P);
  if (Target && GetAsyncKeyState(VK_CONTROL) >= 0) {
    Zone = Target->GetDockZoneAtPos(this, P);
    bool Accept = true;
    if (OnDocking) OnDocking(this, Zone, P.x, P.y, Accept);
    if (Zone && Zone->Owner()->OnCanDocking) Zone->Owner()->OnCanDocking(Zone->Owner(), this, Zone, P.x, P.y, Accept);
    if (!Accept) Zone = nullptr;
  }
  if (Zone != FDockingZone || !Zone) {
    DrawDockingSelection(FDockingZone, FDockingPoint, true);
    FDockingPoint = P;
    FDockingZone = Zone;
    DrawDockingSelection(Zone, P, false);
  }
  if (HandleAllocated()) SendMessageA(Handle(), WM_SETCURSOR, WPARAM(Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void TkxCustomDockControl::EndDocking(const TPoint& P, bool Cancel) {
  TkxZone* Zone = FDockingZone;
  ReleaseTakenCapture();
  DrawDockingSelection(FDockingZone, FDockingPoint, true);
  std::unique_ptr<TkxZone> Kept;
  try {
    if (!Cancel) {
      FDockingZone = nullptr;
      // The zone would go with the lists that docking rebuilds: it leaves its
      // list and lives on until the drag has ended, as it was.
      Kept = kxTakeZone(Zone);
      TCustomForm* Form = ParentForm();
      TMemIniFile Before("");
      if (Form) Controller()->SaveLayoutToIniFile(&Before, Form);
      try {
        if (Zone) Zone->DoDock(this);
        else if (AllowFloating()) MakeFloating(P.x - FDockingOffsetX, P.y - FDockingOffsetY);
      } catch (...) {
        // A drop that fails halfway leaves the arrangement as it was.
        if (Form) Controller()->RestoreLayout(&Before, Form);
        throw;
      }
    }
    FireEndDocking(Zone, P);
  } catch (...) {
    FDockingZone = nullptr;
    if (Controller()->DraggingControl() == this) Controller()->SetDraggingControl(nullptr);
    throw;
  }
  FDockingZone = nullptr;
  if (Controller()->DraggingControl() == this) Controller()->SetDraggingControl(nullptr);
}

void TkxCustomDockControl::DrawDockingSelection(TkxZone* Zone, const TPoint& P, bool Erasing) {
  HDC DC = GetDCEx(GetDesktopWindow(), nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  if (!DC) return;
  TRect R;
  if (Zone) {
    TkxCustomDockControl* Root = Zone->Owner()->TopMostDockControl();
    TRect Clip = kxControlScreenRect(Root);
    bool HasClip = true;
    if (auto* S = dynamic_cast<TkxDockSite*>(Root); S && S->AutoSize()) {
      if (TCustomForm* F = S->ParentForm()) Clip = kxControlScreenRect(F);
      else HasClip = false;
    }
    if (HasClip) IntersectClipRect(DC, Clip.left, Clip.top, Clip.right, Clip.bottom);
    R = Zone->GetDockingSelection(this);
  } else {
    TkxFloatForm* F = FloatDockSite() ? FloatForm() : nullptr;
    R = F ? kxRect(0, 0, F->Width(), F->Height()) : kxRect(0, 0, OriginalWidth(), OriginalHeight());
    R = kxOffsetRect(R, P.x - FDockingOffsetX, P.y - FDockingOffsetY);
  }
  bool Handled = false;
  if (OnCustomDrawDockingSelection) OnCustomDrawDockingSelection(this, DC, Zone, R, Erasing, Handled);
  if (!Handled) Handled = Controller()->DoCustomDrawDockingSelection(this, DC, Zone, R, Erasing);
  if (!Handled) {
    HGDIOBJ Old = SelectObject(DC, Controller()->SelectionBrush()->Handle());
    if (Zone) {
      Zone->DrawDockingSelection(DC, this, P);
    } else if (AllowFloating()) {
      const int W = SelectionFrameWidth();
      const int L = R.left, T = R.top, Rt = R.right, B = R.bottom;
      PatBlt(DC, L + W, T, Rt - L - W, W, PATINVERT);
      PatBlt(DC, Rt - W, T + W, W, B - T - W, PATINVERT);
      PatBlt(DC, L, B - W, Rt - L - W, W, PATINVERT);
      PatBlt(DC, L, T, W, B - T - W, PATINVERT);
    }
    SelectObject(DC, Old);
  }
  ReleaseDC(GetDesktopWindow(), DC);
}

// ---- the resize loop ----

void TkxCustomDockControl::StartResize(const TPoint& P) {
  FResizingZone = GetResizeZoneAtPos(P);
  if (!FResizingZone) return;
  if (OnStartResizing) OnStartResizing(this, FResizingZone, P.x, P.y);
  Controller()->SetResizingControl(this);
  FResizingSourcePoint = FResizingPoint = P;
  DrawResizingSelection(FResizingZone, P, false);
  TakeCapture();
}

void TkxCustomDockControl::Resizing(const TPoint& P) {
  if (!FResizingZone || !FResizingZone->CanResize(FResizingSourcePoint, P)) return;
  if (OnResizing) OnResizing(this, FResizingZone, P.x, P.y);
  DrawResizingSelection(FResizingZone, FResizingPoint, true);
  FResizingPoint = P;
  DrawResizingSelection(FResizingZone, P, false);
}

void TkxCustomDockControl::EndResize(const TPoint& P, bool Cancel) {
  TkxZone* Zone = FResizingZone;
  ReleaseTakenCapture();
  std::unique_ptr<TkxZone> Kept;
  try {
    if (Zone) DrawResizingSelection(Zone, FResizingPoint, true);
    if (!Cancel && Zone && ParentDockControl()) {
      TkxCustomDockControl* Owner = Zone->Owner();
      FResizingZone = nullptr;
      // Resizing rebuilds the zone lists: the zone is kept apart as it was.
      Kept = kxTakeZone(Zone);
      if (Owner->AutoHide()) {
        Zone->DoResize(FResizingSourcePoint, FResizingPoint);
        if (TkxDockSite* S = Owner->AutoHideHostSite()) S->UpdateAutoHideContainerBounds(Owner);
      } else {
        TkxNCLock Lock;
        if (TkxCustomDockControl* Parent = ParentDockControl()) Parent->NCChanged(false);
        Zone->DoResize(FResizingSourcePoint, FResizingPoint);
      }
    }
    if (OnEndResizing) OnEndResizing(this, Zone, P.x, P.y);
  } catch (...) {
    FResizingZone = nullptr;
    if (Controller()->ResizingControl() == this) Controller()->SetResizingControl(nullptr);
    throw;
  }
  FResizingZone = nullptr;
  if (Controller()->ResizingControl() == this) Controller()->SetResizingControl(nullptr);
  if (HandleAllocated()) SendMessageA(Handle(), WM_SETCURSOR, WPARAM(Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void TkxCustomDockControl::DrawResizingSelection(TkxZone* Zone, const TPoint& P, bool Erasing) {
  if (!Zone) return;
  HDC DC = GetDCEx(GetDesktopWindow(), nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  if (!DC) return;
  bool Handled = false;
  if (OnCustomDrawResizingSelection)
    OnCustomDrawResizingSelection(this, DC, Zone, Zone->GetResizingSelection(P), Erasing, Handled);
  if (!Handled) Handled = Controller()->DoCustomDrawResizingSelection(this, DC, Zone, P, Erasing);
  if (!Handled) {
    HGDIOBJ Old = SelectObject(DC, Controller()->SelectionBrush()->Handle());
    Zone->DrawResizingSelection(DC, P);
    SelectObject(DC, Old);
  }
  ReleaseDC(GetDesktopWindow(), DC);
}

// ---- zones going away during a loop ----

std::unique_ptr<TkxZone> kxTakeZone(TkxZone* Zone) {
  if (!Zone) return nullptr;
  TkxDockingController* C = GetDockingController();
  for (int i = 0; i < C->DockControlCount(); ++i) {
    TkxCustomDockControl* D = C->DockControls(i);
    for (TkxZoneList* L : {&D->DockZoneList(), &D->ResizeZoneList()}) {
      auto It = std::find(L->begin(), L->end(), Zone);
      if (It == L->end()) continue;
      L->erase(It);
      return std::unique_ptr<TkxZone>(Zone);
    }
  }
  return nullptr;
}

void kxForgetZones(const TkxZoneList& Zones) {
  TkxDockingController* C = GetDockingController();
  if (TkxCustomDockControl* D = C->DraggingControl()) {
    TkxZone* Z = D->CurrentDockZone();
    if (Z && std::find(Zones.begin(), Zones.end(), Z) != Zones.end()) {
      // Swap the zone's frame for the floating frame at the same point, so the
      // frames on the screen still match what the loop will erase.
      D->DrawDockingSelection(Z, D->FDockingPoint, true);
      D->FDockingZone = nullptr;
      D->DrawDockingSelection(nullptr, D->FDockingPoint, false);
    }
  }
  if (TkxCustomDockControl* R = C->ResizingControl()) {
    TkxZone* Z = R->CurrentResizeZone();
    if (Z && std::find(Zones.begin(), Zones.end(), Z) != Zones.end()) {
      R->DrawResizingSelection(Z, R->FResizingPoint, true);
      R->FResizingZone = nullptr;
    }
  }
}
