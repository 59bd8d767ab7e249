// The flow-chart editor's mouse tools on top of the chart's own selection and
// dragging: the zoom tool, drawing new objects and connections, the
// rubber-band selection, the context menu, double-click editing in the
// property dialogs, and the hints that name an object's unions. Rubber
// figures go on the desktop overlay, limited to the chart's client area.
#include <algorithm>
#include <cstdlib>

#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "treechart/fceditor.h"

namespace {

// A context on the desktop overlay in the chart's client coordinates,
// drawing with a black pen in NOT-XOR mode and a hollow brush: drawing a
// figure twice removes it.
class TFcRubberDC {
 public:
  TFcRubberDC(TWinControl* C, bool Dotted) {
    const TPoint o = C->ClientToScreen(TPoint{0, 0});
    FDC = GetDC(nullptr);
    IntersectClipRect(FDC, o.x, o.y, o.x + C->ClientWidth(), o.y + C->ClientHeight());
    SetViewportOrgEx(FDC, o.x, o.y, nullptr);
    SetROP2(FDC, R2_NOTXORPEN);
    FPen = CreatePen(Dotted ? PS_DOT : PS_SOLID, 1, RGB(0, 0, 0));
    FOldPen = SelectObject(FDC, FPen);
    FOldBrush = SelectObject(FDC, GetStockObject(NULL_BRUSH));
  }
  ~TFcRubberDC() {
    SelectObject(FDC, FOldBrush);
    SelectObject(FDC, FOldPen);
    DeleteObject(FPen);
    ReleaseDC(nullptr, FDC);
  }
  TFcRubberDC(const TFcRubberDC&) = delete;
  TFcRubberDC& operator=(const TFcRubberDC&) = delete;
  HDC DC() const { return FDC; }

 private:
  HDC FDC;
  HPEN FPen;
  HGDIOBJ FOldPen, FOldBrush;
};

void FcPolyline(HDC DC, std::initializer_list<POINT> Pts) { Polyline(DC, Pts.begin(), int(Pts.size())); }

}  // namespace

// ---- rubber figures ----

void TFChartEditor::DrawObjectPreview(TPoint A, TPoint B) {
  const int L = std::min(A.x, B.x), R = std::max(A.x, B.x), T = std::min(A.y, B.y), Bo = std::max(A.y, B.y);
  const int mx = L + ((R - L) >> 1), my = T + ((Bo - T) >> 1);
  TFcRubberDC r(Chart, false);
  HDC dc = r.DC();
  switch (sbShape->Tag()) {
    case 0:
    case 1: Rectangle(dc, L, T, R, Bo); break;
    case 2: Ellipse(dc, L, T, R, Bo); break;
    case 3: RoundRect(dc, L, T, R, Bo, (R - L) >> 1, (Bo - T) >> 1); break;
    case 4: FcPolyline(dc, {{mx, T}, {R, my}, {mx, Bo}, {L, my}, {mx, T}}); break;
    case 5: FcPolyline(dc, {{mx, T}, {R, Bo}, {L, Bo}, {mx, T}}); break;
    case 6: FcPolyline(dc, {{L, T}, {R, T}, {mx, Bo}, {L, T}}); break;
    case 7: FcPolyline(dc, {{L, T}, {R, my}, {L, Bo}, {L, T}}); break;
    case 8: FcPolyline(dc, {{L, my}, {R, T}, {R, Bo}, {L, my}}); break;
    case 9: {
      const int q = (R - L) >> 2;
      FcPolyline(dc, {{L + q, T}, {R - q, T}, {R, my}, {R - q, Bo}, {L + q, Bo}, {L, my}, {L + q, T}});
      break;
    }
    default: break;
  }
}

void TFChartEditor::DrawConnectPreview(TPoint A, TPoint B) {
  TFcRubberDC r(Chart, false);
  MoveToEx(r.DC(), A.x, A.y, nullptr);
  LineTo(r.DC(), B.x, B.y);
}

void TFChartEditor::DrawRubberBand(TPoint A, TPoint B) {
  TFcRubberDC r(Chart, true);
  Rectangle(r.DC(), std::min(A.x, B.x), std::min(A.y, B.y), std::max(A.x, B.x), std::max(A.y, B.y));
}

void TFChartEditor::ConfineCursor(bool On) {
  if (!On) {
    ClipCursor(nullptr);
    return;
  }
  const TPoint o = Chart->ClientToScreen(TPoint{0, 0});
  const RECT r{o.x, o.y, o.x + Chart->ClientWidth(), o.y + Chart->ClientHeight()};
  ClipCursor(&r);
}

void TFChartEditor::CancelCreating() {
  if (FPreviewShown) {
    if (btnCreateObject->Down()) DrawObjectPreview(FDownPoint, FLastPoint);
    else DrawConnectPreview(FDownPoint, FLastPoint);
  }
  FPreviewShown = false;
  btnCreateObject->SetDown(false);
  btnCreateConnect->SetDown(false);
  FCreating = false;
  ConfineCursor(false);
}

// ---- the mouse ----

void TFChartEditor::ChartMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) FDownPoint = FLastPoint = TPoint{X, Y};
  if (sbZoom->Down()) {
    if (Shift.Contains(ssAlt)) {
      if (Chart->Zoom() > 20) Chart->SetZoom(Word(Chart->Zoom() - 10));
    } else if (Chart->Zoom() < 490) {
      Chart->SetZoom(Word(Chart->Zoom() + 10));
    }
    SetActualSizeEnabled();
    return;
  }
  const TkxFcHitFlags ht = Chart->GetHitTestAt(X, Y);
  if (ht == TkxFcHitFlags{fhtNowhere} && Button == mbLeft && !Shift.Contains(ssShift)) Chart->ClearSelection();
  const bool tool = btnCreateObject->Down() || btnCreateConnect->Down();
  if (tool && Button == mbLeft) {
    FCreating = true;
    FPreviewShown = false;
    ConfineCursor(true);
    Chart->ClearSelection();
  }
  if ((ht == TkxFcHitFlags{fhtNowhere} || ht == TkxFcHitFlags{fhtObjectBounds}) && Button == mbLeft && !tool &&
      !FJustDblClicked) {
    FRubberBand = true;
    FPreviewShown = false;
    ConfineCursor(true);
    if (!Shift.Contains(ssShift)) Chart->ClearSelection();
  }
  FJustDblClicked = false;
}

void TFChartEditor::ChartMouseMove(TObject*, TShiftState, int X, int Y) {
  if (sbZoom->Down()) return;
  const TPoint p{X, Y};
  if (FCreating && btnCreateObject->Down()) {
    if (FPreviewShown) DrawObjectPreview(FDownPoint, FLastPoint);
    DrawObjectPreview(FDownPoint, p);
    FPreviewShown = true;
    FLastPoint = p;
  } else if (FCreating && btnCreateConnect->Down()) {
    if (std::abs(X - FDownPoint.x) > 5 || std::abs(Y - FDownPoint.y) > 5) {
      if (FPreviewShown) DrawConnectPreview(FDownPoint, FLastPoint);
      DrawConnectPreview(FDownPoint, p);
      FPreviewShown = true;
      FLastPoint = p;
    }
  } else if (FRubberBand) {
    if (FPreviewShown) DrawRubberBand(FDownPoint, FLastPoint);
    DrawRubberBand(FDownPoint, p);
    FPreviewShown = true;
    FLastPoint = p;
  }
  if (btnCreateObject->Down() || btnCreateConnect->Down()) return;
  UpdateUnionHint(X, Y);
}

void TFChartEditor::ChartMouseUp(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (sbZoom->Down()) return;
  if (btnCreateObject->Down()) {
    btnCreateObject->SetDown(false);
    if (FPreviewShown) DrawObjectPreview(FDownPoint, FLastPoint);
    FPreviewShown = false;
    if (FCreating && Button == mbLeft && std::abs(X - FDownPoint.x) > 5 && std::abs(Y - FDownPoint.y) > 5) {
      FSyncGuard = false;
      FRecording = false;
      const TPoint a = Chart->ClientToChart(FDownPoint.x, FDownPoint.y), b = Chart->ClientToChart(X, Y);
      TkxFcObject* o = Chart->CreateObject(std::min(a.x, b.x), std::min(a.y, b.y),
                                           Word(std::min(std::abs(b.x - a.x), 65535)),
                                           Word(std::min(std::abs(b.y - a.y), 65535)),
                                           TkxFcShapeKind(std::clamp<int>(int(sbShape->Tag()), 0, fskHexagon)));
      Chart->ClearSelection();
      o->SetSelected(true);
      ApplyObjects(0);
      FSyncGuard = true;
      if (o->Text().empty())
        o->SetText(" \xB6\xD4\xCF\xF3 " + IntToStr(Chart->ObjectCount()));  // " 对象 " and the count
      FRecording = true;
      ChartChange(Chart, nullptr);
    }
  } else if (btnCreateConnect->Down()) {
    btnCreateConnect->SetDown(false);
    if (FPreviewShown) DrawConnectPreview(FDownPoint, FLastPoint);
    FPreviewShown = false;
    if (FCreating && Button == mbLeft && (std::abs(X - FDownPoint.x) > 5 || std::abs(Y - FDownPoint.y) > 5)) {
      FSyncGuard = false;
      FRecording = false;
      TkxFcObject* s = Chart->GetObjectAt(FDownPoint.x, FDownPoint.y);
      TkxFcObject* d = Chart->GetObjectAt(X, Y);
      const int sp = s ? s->NearestAttachPoint(FDownPoint.x, FDownPoint.y) : int(sbSPoint->Tag() & 15);
      const int dp = d ? d->NearestAttachPoint(X, Y) : int(sbDPoint->Tag() & 15);
      TkxFcConnection* c = Chart->CreateConnection(s, d, Byte(dp), Byte(sp));
      if (!s) c->AddPoint(Chart->ClientToChart(FDownPoint.x, FDownPoint.y));
      if (!d) c->AddPoint(Chart->ClientToChart(X, Y));
      Chart->ClearSelection();
      c->SetSelected(true);
      SetButtonValue(sbSPoint, sp);
      SetButtonValue(sbDPoint, dp);
      ApplyConnections(0);
      FSyncGuard = true;
      Chart->ClearSelection();
      c->SetSelected(true);
      FRecording = true;
      ChartChange(Chart, nullptr);
    }
  }
  FCreating = false;
  ConfineCursor(false);
  if (FRubberBand) {
    if (FPreviewShown) DrawRubberBand(FDownPoint, FLastPoint);
    FPreviewShown = false;
    if (Button == mbLeft) {
      const TRect band{std::min(FDownPoint.x, X), std::min(FDownPoint.y, Y), std::max(FDownPoint.x, X),
                       std::max(FDownPoint.y, Y)};
      if (!Shift.Contains(ssShift)) Chart->ClearSelection();
      for (TkxFcObject* o : std::vector<TkxFcObject*>(Chart->ObjectList()))
        if (o->Visible() && RectInRegion(o->InnerRegion(), &band)) o->SetSelected(!o->Selected());
      TRect display = band;
      OffsetRect(&display, Chart->LeftEdge(), Chart->TopEdge());
      for (TkxFcConnection* c : std::vector<TkxFcConnection*>(Chart->ConnectionList())) {
        const std::vector<TPoint>& pts = c->DisplayPoints();
        if (RouteIntersectsRect(c->Style(), pts.data(), int(pts.size()), display)) c->SetSelected(!c->Selected());
      }
    }
    FRubberBand = false;
  }
  if (Button == mbRight) {
    if (Chart->SelCount() == 0) {
      if (TkxFcConnection* c = Chart->GetConnectionAt(X, Y)) c->SetSelected(true);
      else if (TkxFcObject* o = Chart->GetObjectAt(X, Y)) o->SetSelected(true);
    }
    FDownPoint = TPoint{X, Y};
    bool removable = false;
    if (Chart->SelectedConnectionCount() > 0 && Chart->GetHitTestAt(X, Y).Contains(fhtHandle))
      for (int i = 0; i < Chart->SelectedConnectionCount(); ++i) {
        TkxFcConnection* c = Chart->SelectedConnections(i);
        removable = removable || RemovablePoint(c, c->NearestPointIndex(X, Y));
      }
    iRemovePoint->SetEnabled(removable);
    POINT sp;
    GetCursorPos(&sp);
    ChartPopupMenu->Popup(sp.x, sp.y);
  }
}

void TFChartEditor::ChartDblClick(TObject*) {
  const TkxFcHitFlags ht = Chart->GetHitTestAt(FDownPoint.x, FDownPoint.y);
  if ((ht.Contains(fhtObjectBounds) || ht.Contains(fhtObjectShape)) && Chart->SelectedObjectCount() > 0) {
    FRecording = false;
    const bool changed = kxFcEditObjects(Chart, Chart->SelectedObjects(0));
    FRecording = true;
    FRubberBand = false;
    FJustDblClicked = true;
    if (changed) ChartChange(Chart, nullptr);
    ChartSelected(Chart, nullptr);
  }
  if (!(ht * kxFcLineParts).Empty() && Chart->SelectedConnectionCount() > 0) {
    FRecording = false;
    const bool changed = kxFcEditConnections(Chart, Chart->SelectedConnections(0));
    FRecording = true;
    FRubberBand = false;
    if (changed) ChartChange(Chart, nullptr);
    ChartSelected(Chart, nullptr);
  }
}

// ---- union hints ----

AnsiString TFChartEditor::UnionHintText(TkxFcObject* O) {
  if (!O) return AnsiString();
  AnsiString text;
  if (O->IsUnion()) text = "Main Item of the Union " + IntToStr(kxFcUnionNumber(Chart, O));
  const std::vector<TkxFcObject*> unions = kxFcUnionsOf(Chart, O);
  if (!unions.empty()) {
    AnsiString list;
    for (TkxFcObject* u : unions) {
      if (!list.empty()) list += ", ";
      list += IntToStr(kxFcUnionNumber(Chart, u));
    }
    text += text.empty() ? "Child Item of the " : " and Child Item of the ";
    text += (unions.size() == 1 ? "Union " : "Unions ") + list;
  }
  return text;
}

void TFChartEditor::UpdateUnionHint(int X, int Y) {
  TkxFcObject* o = Chart->GetObjectAt(X, Y);
  const AnsiString text = UnionHintText(o);
  if (text.empty()) o = nullptr;
  if (o && o != FHintObject) {
    if (Application) Application->SetHintPause(5000);
    Chart->SetHint(text);
    Chart->SetShowHint(true);
    FHintObject = o;
  } else if (!o && FHintObject) {
    Chart->SetShowHint(false);
    FHintObject = nullptr;
    if (Application) Application->SetHintPause(FSavedHintPause);
  }
}

// ---- keys ----

void TFChartEditor::ChartKeyDown(TObject*, Word& Key, TShiftState Shift) {
  const TShiftState mods = Shift * TShiftState{ssShift, ssAlt, ssCtrl};
  if (Key == VK_MENU && sbZoom->Down()) Chart->SetCursor(crFcZoomOut);
  if (Key == VK_APPS) {
    POINT sp;
    GetCursorPos(&sp);
    FDownPoint = Chart->ScreenToClient(TPoint{sp.x, sp.y});
    ChartPopupMenu->Popup(sp.x, sp.y);
    return;
  }
  if (Key == VK_INSERT && mods == TShiftState{ssCtrl} && iCopy->Enabled()) iCopyClick(iCopy);
  if (Key == VK_INSERT && mods == TShiftState{ssShift} && iPaste->Enabled()) iPasteClick(iPaste);
  if (Key == VK_DELETE && mods == TShiftState{ssShift} && iCut->Enabled()) iCutClick(iCut);

  POINT sp;
  GetCursorPos(&sp);
  const TPoint at = Chart->ScreenToClient(TPoint{sp.x, sp.y});
  if (FRubberBand && Key != VK_SHIFT) {
    if (Key == VK_ESCAPE) {
      ConfineCursor(false);
      if (FPreviewShown) DrawRubberBand(FDownPoint, FLastPoint);
      FPreviewShown = false;
      FRubberBand = false;
    } else {
      ChartMouseUp(Chart, mbLeft, TShiftState{}, at.x, at.y);
    }
    return;
  }
  if (FCreating && btnCreateObject->Down()) {
    if (std::abs(at.x - FDownPoint.x) <= 5 || std::abs(at.y - FDownPoint.y) <= 5 || Key == VK_ESCAPE) CancelCreating();
    else ChartMouseUp(Chart, mbLeft, TShiftState{}, at.x, at.y);
    return;
  }
  if (FCreating && btnCreateConnect->Down()) {
    if ((std::abs(at.x - FDownPoint.x) <= 5 && std::abs(at.y - FDownPoint.y) <= 5) || Key == VK_ESCAPE)
      CancelCreating();
    else ChartMouseUp(Chart, mbLeft, TShiftState{}, at.x, at.y);
  }
}

void TFChartEditor::ChartKeyUp(TObject*, Word& Key, TShiftState) {
  if (Key == VK_MENU) Chart->SetCursor(sbZoom->Down() ? crFcZoomIn : crDefault);
  if (Key == VK_DELETE) ChartChange(Chart, nullptr);
}
