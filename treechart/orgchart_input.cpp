// Organisation-chart input: mouse selection and expand buttons, keyboard
// navigation and scrolling, insertion and deletion keys, moving a node by
// dragging it within the chart (dotted feedback on the desktop overlay and
// auto-scrolling at the window edges), and editing a caption in place.
#include <algorithm>

#include "platform/rtl/strings.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "treechart/orgchart.h"

namespace {

constexpr UINT_PTR kOcScrollTimer = 2;

}  // namespace

// ---- mouse ----

bool TkxCustomOrgChart::TrySelect(TkxOcNode* N) {
  if (!N) return false;
  bool allow = true;
  SelectionChanging(N, allow);
  if (allow) SetSelected(N);
  return allow;
}

void TkxCustomOrgChart::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && !Shift.Contains(ssDouble)) {
    if (CanFocus()) SetFocus();
    FMouseArmed = true;
    HitTest(X, Y);
    TkxOcNode* n = FHitNode;
    const TkxOcHitZones z = FHitZones;
    if ((z & hzOnShape) && !(z & hzOnButton)) TrySelect(n);
    if ((z & hzOnButton) && n) {
      if (n->Expanded() && FSelected && FSelected->IsDescendantOf(n)) TrySelect(n);
      if (n->Expanded()) n->Collapse(false);
      else n->Expand(false);
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TkxCustomOrgChart::MouseMove(TShiftState Shift, int X, int Y) {
  const TShiftState buttons = Shift * TShiftState{ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle};
  if (FMouseArmed && FOptions.Contains(ocCanDrag) && !Dragging() &&
      (buttons == TShiftState{ssLeft} || buttons == TShiftState{ssLeft, ssCtrl}) && (HitZonesAt(X, Y) & hzOnShape) &&
      FSelected && NodeAt(X, Y) == FSelected)
    BeginDrag(false);
  if (!Dragging()) TCustomControl::MouseMove(Shift, X, Y);
}

void TkxCustomOrgChart::WMLButtonDblClk2(TWMMouse& Message) {
  if (FOptions.Contains(ocDblClick)) HitTest(Message.XPos(), Message.YPos());
  TCustomControl::Dispatch(Message);
}

void TkxCustomOrgChart::DblClick() {
  if (FOptions.Contains(ocDblClick) && FHitNode && (FHitZones & hzOnShape) && !(FHitZones & hzOnButton)) {
    TkxOcNode* n = FHitNode;
    if (n->Expanded()) n->Collapse(false);
    else n->Expand(false);
  }
  TCustomControl::DblClick();
}

void TkxCustomOrgChart::WMGetDlgCode(TMessage& Message) {
  DefaultHandler(Message);
  Message.Result |= DLGC_WANTARROWS;
}

void TkxCustomOrgChart::WMSetFocus2(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (FSelected) InvalidateNode(FSelected);
}

void TkxCustomOrgChart::WMKillFocus2(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (FSelected) InvalidateNode(FSelected);
}

// ---- keyboard ----

TkxOcNode* TkxCustomOrgChart::VisiblePrev(TkxOcNode* N) {
  TkxOcNode* p = N->GetPrev();
  while (p && !p->IsVisible()) p = p->Parent();
  return p;
}

TkxOcNode* TkxCustomOrgChart::VisibleNext(TkxOcNode* N) {
  while (N && !N->IsVisible()) N = N->Parent();
  if (!N) return nullptr;
  if (N->Expanded() && N->Count()) return N->FirstChild();
  for (TkxOcNode* n = N; n; n = n->Parent())
    if (TkxOcNode* s = n->NextSibling()) return s;
  return nullptr;
}

TkxOcNode* TkxCustomOrgChart::StepLeft(TkxOcNode* N) {
  if (TkxOcNode* s = N->PrevSibling()) return s;
  return VisiblePrev(N);
}

TkxOcNode* TkxCustomOrgChart::StepRight(TkxOcNode* N) {
  if (TkxOcNode* s = N->NextSibling()) return s;
  return VisibleNext(N);
}

void TkxCustomOrgChart::SelectByKey(TkxOcNode* (TkxCustomOrgChart::*Step)(TkxOcNode*)) {
  TkxOcNode* n = FSelected;
  if (!n) return;
  while ((n = (this->*Step)(n)) != nullptr) {
    bool allow = true;
    SelectionChanging(n, allow);
    if (!allow) continue;
    SetSelected(n);
    n->MakeVisible();
    return;
  }
}

void TkxCustomOrgChart::InsertByKey(bool Child) {
  if (!FOptions.Contains(ocInsDel)) return;
  if (!FSelected && FCount > 0) return;
  TkxOcNode* n = nullptr;
  if (Child) n = Add(FSelected, 0);
  else if (FSelected && FSelected->NextSibling()) n = Insert(FSelected->NextSibling(), 0);
  else n = Add(FSelected ? FSelected->Parent() : nullptr, 0);
  if (!n) return;
  SetSelected(n);
  n->MakeVisible();
}

void TkxCustomOrgChart::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  const TShiftState mods = Shift * TShiftState{ssShift, ssAlt, ssCtrl};
  if (mods == TShiftState{ssCtrl}) {
    switch (Key) {
      case VK_PRIOR: SetTopEdge(0); break;
      case VK_NEXT: SetTopEdge(TotalHeight()); break;
      case VK_END: ScrollTo(TotalWidth(), TotalHeight()); break;
      case VK_HOME: ScrollTo(0, 0); break;
      case VK_LEFT: SetLeftEdge(LeftEdge() - (ClientWidth() - 16)); break;
      case VK_RIGHT: SetLeftEdge(LeftEdge() + (ClientWidth() - 16)); break;
      case VK_INSERT: InsertByKey(true); break;
      default: break;
    }
    return;
  }
  if (!mods.Empty()) return;
  switch (Key) {
    case VK_RETURN:
    case VK_F2: BeginEdit(); break;
    case VK_ESCAPE:
      if (Dragging()) CancelDrag();
      break;
    case VK_PRIOR: SetTopEdge(TopEdge() - (ClientHeight() - 16)); break;
    case VK_NEXT: SetTopEdge(TopEdge() + (ClientHeight() - 16)); break;
    case VK_END: SetLeftEdge(TotalWidth()); break;
    case VK_HOME: SetLeftEdge(0); break;
    case VK_INSERT: InsertByKey(false); break;
    case VK_DELETE:
      if (FOptions.Contains(ocInsDel) && FSelected) DeleteNode(FSelected);
      break;
    case VK_UP: SelectByKey(&TkxCustomOrgChart::StepUp); break;
    case VK_DOWN: SelectByKey(&TkxCustomOrgChart::StepDown); break;
    case VK_LEFT: SelectByKey(&TkxCustomOrgChart::StepLeft); break;
    case VK_RIGHT: SelectByKey(&TkxCustomOrgChart::StepRight); break;
    default: break;
  }
}

void TkxCustomOrgChart::KeyPress(char& Key) {
  TCustomControl::KeyPress(Key);
  if (IsEditing() || !FSelected) return;
  if (Key == '+') FSelected->Expand(false);
  else if (Key == '-') FSelected->Collapse(false);
}

// ---- dragging ----

void TkxCustomOrgChart::DrawDragFeedback() {
  if (!FDropTarget || !FFeedbackSource || !FFeedbackSource->Selected() || !HandleAllocated()) return;
  TkxOcNode* moved = FFeedbackSource->Selected();
  const int w = FFeedbackSource->NodeEffWidth(moved), h = FFeedbackSource->NodeEffHeight(moved);
  const TPoint o = ClientToScreen(TPoint{0, 0});
  // The feedback goes on the desktop overlay, limited to the chart's client area.
  HDC dc = GetDC(nullptr);
  IntersectClipRect(dc, o.x, o.y, o.x + ClientWidth(), o.y + ClientHeight());
  SetROP2(dc, R2_NOTXORPEN);
  HPEN pen = CreatePen(PS_DOT, 1, ColorToRGB(FLineColor));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  ShowCursor(FALSE);
  const int x = o.x + FDragPt.x, y = o.y + FDragPt.y;
  Rectangle(dc, x, y, x + w, y + h);
  if (FDropTarget != FRoot) {
    const int tx = o.x + FTargetPt.x, ty = o.y + FTargetPt.y;
    if (!FRotated) {
      const int cx = x + w / 2, my = y + (ty - y) / 2;
      const POINT pts[4] = {{cx, y}, {cx, my}, {tx, my}, {tx, ty}};
      Polyline(dc, pts, 4);
    } else {
      const int cy = y + h / 2, mx = x + (tx - x) / 2;
      const POINT pts[4] = {{x, cy}, {mx, cy}, {mx, ty}, {tx, ty}};
      Polyline(dc, pts, 4);
    }
  }
  ShowCursor(TRUE);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  ReleaseDC(nullptr, dc);
}

void TkxCustomOrgChart::SetAutoScroll(int DX, int DY) {
  const bool on = DX != 0 || DY != 0;
  if (!HandleAllocated()) return;
  if (on && !FAutoScrollOn) SetTimer(Handle(), kOcScrollTimer, 220, nullptr);
  else if (!on && FAutoScrollOn) KillTimer(Handle(), kOcScrollTimer);
  FAutoScrollOn = on;
}

void TkxCustomOrgChart::AutoScrollTick() {
  if (FAutoScrollReleased || FDestroying) return;
  const int oldX = FLeftEdge, oldY = FTopEdge;
  ScrollTo(LeftEdge() + FScrollDX, TopEdge() + FScrollDY);
  if (FLeftEdge == oldX && FTopEdge == oldY) {
    FAutoScrollStopped = true;
    SetAutoScroll(0, 0);
  } else {
    Repaint();
  }
}

void TkxCustomOrgChart::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  auto* src = dynamic_cast<TkxCustomOrgChart*>(Source);
  Accept = OnDragDrop ? src != nullptr : Source == this;
  DrawDragFeedback();  // drawing it again erases it
  if (State == dsDragMove) {
    int dx = 0, dy = 0;
    if (X <= 16) dx = -16;
    if (X >= ClientWidth() - 16) dx = 16;
    if (Y <= 16) dy = -16;
    if (Y >= ClientHeight() - 16) dy = 16;
    if (!(FAutoScrollStopped && dx == FScrollDX && dy == FScrollDY)) {
      FScrollDX = SmallInt(dx);
      FScrollDY = SmallInt(dy);
      FAutoScrollStopped = false;
      SetAutoScroll(dx, dy);
    }
  } else if (State == dsDragLeave) {
    SetAutoScroll(0, 0);
  }
  TkxOcNode* n = nullptr;
  if (Accept) {
    n = NodeAt(X, Y);
    TkxOcNode* moved = src ? src->Selected() : nullptr;
    Accept = n && moved && n != moved && !n->IsDescendantOf(moved);
  }
  if (!Accept || FAutoScrollOn || !FOptions.Contains(ocShowDrag) || State != dsDragMove) {
    FDropTarget = nullptr;
  } else {
    FDragPt = TPoint{X, Y};
    TkxOcNode* target = ((HitZonesAt(X, Y) & hzBelowCollapsed) && n != FSelected) ? n : n->FParent;
    if (target != FDropTarget) {
      FDropTarget = target;
      if (target != FRoot) {
        const TRect r = target->DisplayRect();
        FTargetPt = FRotated ? TPoint{r.right, r.top + (r.bottom - r.top) / 2}
                             : TPoint{r.left + (r.right - r.left) / 2, r.bottom};
      }
    }
    FFeedbackSource = src;
  }
  DrawDragFeedback();
  if (OnDragOver) OnDragOver(this, Source, X, Y, State, Accept);
}

void TkxCustomOrgChart::DragDrop(TObject* Source, int X, int Y) {
  SetAutoScroll(0, 0);
  DrawDragFeedback();
  FDropTarget = nullptr;
  if (OnDragDrop) {
    OnDragDrop(this, Source, X, Y);
    return;
  }
  if (Source != this || !FSelected) return;
  TkxOcNode* n = NodeAt(X, Y);
  if (!n) return;
  const TkxOcHitZones z = HitZonesAt(X, Y);
  TNodeAttachMode mode = (z & hzBelowCollapsed) ? naAddChild : naInsert;
  TkxOcNode* hit = n;
  if (z & (hzRight | hzOnBox)) n = n->NextSibling();
  if (!n) {
    n = hit->Parent();
    mode = naAddChild;
  }
  TkxOcNode* moved = FSelected;
  moved->MoveTo(n, mode);
  moved->MakeVisible();
}

void TkxCustomOrgChart::DoEndDrag(TObject* Target, int X, int Y) {
  SetAutoScroll(0, 0);
  DrawDragFeedback();
  FDropTarget = nullptr;
  if (!Target) FMouseArmed = false;
  TCustomControl::DoEndDrag(Target, X, Y);
}

// ---- in-place editing ----

TkxOcInplaceEdit* TkxCustomOrgChart::NewEditor() { return NewObject<TkxOcInplaceEdit>(this); }

bool TkxCustomOrgChart::IsEditing() const { return FEditor && FEditor->Visible(); }

void TkxCustomOrgChart::BeginEdit() {
  if (!FOptions.Contains(ocEdit) || IsEditing() || IsZoomed() || !FSelected || FDestroying) return;
  TkxOcNode* node = FSelected;
  bool allow = true;
  if (OnEditing) OnEditing(this, node, allow);
  if (!allow) return;
  node->MakeVisible();
  if (!FEditor) {
    FEditor = NewEditor();
    if (!FEditor) return;
    FEditor->SetVisible(false);
    FEditor->SetTabStop(false);
    FEditor->SetParentCtl3D(false);
    FEditor->SetCtl3D(false);
    FEditor->SetParent(this);
  }
  TRect r = node->TextRect();
  TPoint at;
  TSize size;
  PlaceImage(node, r, at, size);
  FEditor->SetBoundsRect(r);
  FEditor->SetClientSize(r.Width(), r.Height());
  FEditor->SetColor(node->EffectiveColor());
  FEditor->Font()->Assign(Font());
  node->ApplyFont(FEditor->Font());
  Canvas()->Font()->Assign(FEditor->Font());
  FEditor->MinWidth = Canvas()->TextWidth("W");
  FEditor->MinHeight = Canvas()->TextHeight("W");
  FEditor->MaxWidth = std::max(GetSystemMetrics(SM_CXSCREEN) / 2, FEditor->MinWidth);
  FEditor->MaxHeight = std::max(GetSystemMetrics(SM_CYSCREEN) / 2, FEditor->MinHeight);
  FEditor->SetText(node->GetText());
  FEditor->SetSelStart(0);
  FEditor->SetSelLength(0);
  FEditor->SetModified(false);
  FEditor->AutoSize();
  FEditor->Show();
  if (FEditor->CanFocus()) FEditor->SetFocus();
}

void TkxCustomOrgChart::EndEdit(bool Accept) {
  if (!IsEditing() || FEnding) return;
  // A chart on its way out (its window closing with it) keeps nothing typed.
  if (FDestroying || ComponentState().Contains(csDestroying)) Accept = false;
  FEnding = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{FEnding};
  const bool hadFocus = FEditor->HandleAllocated() && FEditor->Focused();
  if (Accept && FEditor->Modified()) {
    AnsiString text = FEditor->Text();
    if (OnEdited && !FDestroying) OnEdited(this, FSelected, text);
    if (FSelected) FSelected->ApplyEditedText(text);
  }
  FEditor->Hide();
  if (hadFocus && !FDestroying && CanFocus()) SetFocus();
}

void TkxCustomOrgChart::EditorKeyDown(Word Key, TShiftState Shift) { KeyDown(Key, Shift); }

void TkxOcNode::ApplyEditedText(const AnsiString& Text) {
  if (!FOwner) return;
  if (Text == GetText()) return;
  SetText(Text);
  const TkxOcEditMode m = FOwner->EditMode();
  if (m.Contains(emGrow) || !(m.Contains(emWrap) || m.Contains(emGrow))) FitToText(GetText());
  if (Linked()) {
    FOwner->InvalidateNode(this);
    FOwner->NodeAttributesChanged(this);
  }
}

void TkxOcNode::FitToText(const AnsiString& Text) {
  if (!FOwner) return;
  TkxCustomOrgChart* c = FOwner;
  ++c->FScaleSuspend;
  struct Resume {
    TkxCustomOrgChart* c;
    ~Resume() { --c->FScaleSuspend; }
  } resume{c};
  const int w = c->NodeEffWidth(this), h = c->NodeEffHeight(this), lw = c->LineWidth();
  TRect r{0, 0, w + lw, h + lw};
  if (c->Rotated()) r.right += c->GapDown();
  else r.bottom += c->GapDown();
  r = c->TextRectFrom(this, r);
  TPoint at;
  TSize size;
  c->PlaceImage(this, r, at, size);
  const int aw = r.Width(), ah = r.Height();
  TFont font;
  font.Assign(c->Font());
  ApplyFont(&font);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  TRect m = r;
  c->NodeTextOut(dc, Text, DT_CALCRECT, m);
  SelectObject(dc, old);
  DeleteDC(dc);
  const int mw = m.Width(), mh = m.Height();
  // With no room left by the insets and the image, the node grows by the
  // whole measured extent.
  int dw = aw > 0 ? int(std::int64_t(mw - aw) * w / aw) : mw;
  if (c->Images() && FImageIndex >= 0 && FImageIndex < c->Images()->Count())
    dw += c->Images()->Width() * (c->EditMode().Contains(emCenter) ? 2 : 1);
  const int dh = ah > 0 ? int(std::int64_t(mh - ah) * h / ah) : mh;
  if (dw > 0 && !c->EditMode().Contains(emWrap)) SetWidth(Word(std::min(65535, w + dw)));
  if (dh > 0 && c->EditMode().Contains(emGrow)) SetHeight(Word(std::min(65535, h + dh)));
}

// ---- the in-place editor ----

TkxOcInplaceEdit::TkxOcInplaceEdit(TComponent* AOwner) : TCustomEdit(AOwner) { SetAutoSelect(false); }

TkxCustomOrgChart* TkxOcInplaceEdit::Chart() const { return dynamic_cast<TkxCustomOrgChart*>(Owner()); }

void TkxOcInplaceEdit::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.ExStyle &= ~DWORD(WS_EX_CLIENTEDGE);
  Params.Style &= ~DWORD(WS_BORDER | WS_TABSTOP);
  Params.Style |= ES_MULTILINE;
  if (TkxCustomOrgChart* c = Chart()) {
    const TkxOcEditMode m = c->EditMode();
    if (m.Contains(emCenter)) Params.Style |= ES_CENTER;
    if (m.Contains(emRight)) Params.Style |= ES_RIGHT;
    if (m.Contains(emWrap)) Params.Style &= ~DWORD(ES_AUTOHSCROLL);
    if (m.Contains(emUpper)) Params.Style |= ES_UPPERCASE;
    if (m.Contains(emLower)) Params.Style |= ES_LOWERCASE;
  }
}

void TkxOcInplaceEdit::AutoSize() {
  TkxCustomOrgChart* c = Chart();
  if (!c || !HandleAllocated()) return;
  const AnsiString text = Text() + "WW\r\n\r\nWW";
  TRect r = ClientRect();
  HDC dc = c->Canvas()->Handle();
  const HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
  c->NodeTextOut(dc, text, DT_CALCRECT, r);
  SelectObject(dc, oldFont);
  const int w = std::max(MinWidth, std::min(r.Width(), MaxWidth));
  const int h = std::max(MinHeight, std::min(r.Height(), MaxHeight));
  const int dw = c->EditMode().Contains(emWrap) ? 0 : w - ClientWidth();
  const int dh = h - ClientHeight();
  if (dw == 0 && dh == 0) return;
  SetBounds(Left() - dw / 2, Top() - dh / 2, Width() + dw, Height() + dh);
}

void TkxOcInplaceEdit::WMGetDlgCode(TMessage& Message) {
  DefaultHandler(Message);
  Message.Result |= DLGC_WANTTAB | DLGC_WANTALLKEYS;
}

void TkxOcInplaceEdit::WMKillFocus2(TMessage& Message) {
  TCustomEdit::Dispatch(Message);
  if (TkxCustomOrgChart* c = Chart()) c->EndEdit(true);
}

void TkxOcInplaceEdit::WMKeyDown2(TWMKey& Message) {
  TkxCustomOrgChart* c = Chart();
  const TShiftState mods = KeyDataToShiftState(Message.KeyData()) * TShiftState{ssShift, ssAlt, ssCtrl};
  const Word key = Message.CharCode();
  if (c && mods == TShiftState{ssAlt}) {
    if (key == VK_RETURN) {
      c->EndEdit(true);
      return;
    }
    if (key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN) {
      c->EditorKeyDown(key, TShiftState{});
      return;
    }
  }
  if (c && mods.Empty()) {
    if (key == VK_ESCAPE) {
      SetModified(false);
      c->EndEdit(true);
      return;
    }
    if (key == VK_F2) {
      c->EndEdit(true);
      return;
    }
  }
  TCustomEdit::Dispatch(Message);
}

void TkxOcInplaceEdit::WMChar2(TWMKey& Message) {
  TkxCustomOrgChart* c = Chart();
  char key = char(Message.CharCode());
  if (c) {
    c->KeyPress(key);
    if (key == 0) return;
    Message.SetCharCode(Word(Byte(key)));
  }
  TCustomEdit::Dispatch(Message);
  AutoSize();
}

void TkxOcInplaceEdit::WMKeyUp2(TWMKey& Message) {
  if (TkxCustomOrgChart* c = Chart()) {
    Word key = Message.CharCode();
    c->KeyUp(key, KeyDataToShiftState(Message.KeyData()));
    return;
  }
  TCustomEdit::Dispatch(Message);
}
