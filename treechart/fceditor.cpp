// The flow-chart editor form: the entry function, the settings tools and how
// they reach the selection, the commands, the clipboard, unions, zoom, files
// and the snapshot undo.
#include "treechart/fceditor.h"

#include <algorithm>
#include <cstring>

#include "platform/classes/typinfo.h"
#include "platform/rtl/files.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/strings.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"

// Paints the editor's menu images (defined with the cursors).
void kxFcPaintEditorImages(TImageList* Large, TImageList* Small);

// ---- the undo manager ----

bool TUndoManager::Store() {
  if (!FChart) return FCanUndo;
  TMemoryStream c;
  FChart->SaveToStream(&c);
  if (!FSizes.empty()) {
    const Int64 last = FSizes.back();
    const Int64 at = FStream.Size() - last;
    if (last == c.Size() &&
        std::memcmp(static_cast<const char*>(FStream.Memory()) + at, c.Memory(), std::size_t(last)) == 0)
      return FCanUndo;
  }
  if (int(FSizes.size()) >= FDepth) {
    // the oldest goes: the rest moves to the start
    const Int64 first = FSizes.front();
    const Int64 rest = FStream.Size() - first;
    char* mem = static_cast<char*>(FStream.Memory());
    std::memmove(mem, mem + first, std::size_t(rest));
    FStream.SetSize(rest);
    FSizes.erase(FSizes.begin());
  }
  FStream.Seek(0, soEnd);
  FStream.WriteBuffer(c.Memory(), LongInt(c.Size()));
  FSizes.push_back(c.Size());
  FCanUndo = FSizes.size() > 1;
  return FCanUndo;
}

void TUndoManager::Undo() {
  if (!FCanUndo || !FChart) return;
  const Int64 newest = FSizes.back();
  const Int64 second = FSizes[FSizes.size() - 2];
  const Int64 end = FStream.Size() - newest;
  FStream.Seek(end - second, soBeginning);
  FChart->LoadFromStream(&FStream);
  FSizes.pop_back();
  FStream.SetSize(end);
  FCanUndo = FSizes.size() > 1;
}

// ---- copying items between charts ----

namespace {

TkxFcObject* FcCopyObject(TkxFcObject* S, TkxCustomFlowChart* To) {
  TkxFcObject* o = To->CreateObject(S->Left(), S->Top(), S->Width(), S->Height(), S->ShapeKind());
  if (!S->ParentFont()) o->SetFont(S->Font());
  o->SetParentFont(S->ParentFont());
  o->SetText(S->Text());
  o->SetBkColor(S->BkColor());
  o->SetFrameFlags(S->FrameFlags());
  o->ExtraText = S->ExtraText;
  o->UserData = S->UserData;
  o->SetFrameEdge(S->FrameEdge());
  o->SetHorzImagePos(S->HorzImagePos());
  o->SetHorzTextPos(S->HorzTextPos());
  o->SetImageIndex(S->ImageIndex());
  o->SetShapeColor(S->ShapeColor());
  o->SetShapeWidth(S->ShapeWidth());
  o->Tag = S->Tag;
  o->SetTransparent(S->Transparent());
  o->SetVertImagePos(S->VertImagePos());
  o->SetVertTextPos(S->VertTextPos());
  o->SetVisible(S->Visible());
  o->SetZOrder(std::min(S->ZOrder(), To->ObjectCount() - 1));
  return o;
}

TkxFcConnection* FcCopyConnection(TkxFcConnection* S, TkxCustomFlowChart* To) {
  TkxFcConnection* c = To->CreateConnection(nullptr, nullptr, S->DestPoint(), S->SourcePoint());
  if (!S->ParentFont()) c->SetFont(S->Font());
  c->SetParentFont(S->ParentFont());
  c->SetText(S->Text());
  c->SourceArrow()->Assign(S->SourceArrow());
  c->DestArrow()->Assign(S->DestArrow());
  c->SetColor(S->Color());
  c->SetPenStyle(S->PenStyle());
  for (int i = 0; i < S->FreePointCount(); ++i) c->AddPoint(S->Points(i));
  c->SetStyle(S->Style());
  c->SetBehindObjects(S->BehindObjects());
  return c;
}

int FcIndexOf(const std::vector<TBuferItem>& Items, const TkxFcItem* Item) {
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (Items[i].Item == Item) return int(i);
  return -1;
}

}  // namespace

// ---- the entry function ----

bool kxFcExecuteEditor(TkxCustomFlowChart* Chart, const AnsiString& Caption) {
  if (!Chart) return false;
  const TkxFcEvent deletion = Chart->OnDeletion;
  Chart->OnDeletion = nullptr;
  bool result = false;
  try {
    std::unique_ptr<TFChartEditor> f(NewObject<TFChartEditor>(Application));
    TMemoryStream s;
    Chart->SaveToStream(&s);
    f->Chart->SetImages(Chart->Images());
    f->Chart->SetColor(Chart->Color());
    f->Chart->Font()->Assign(Chart->Font());
    f->Chart->SetZoom(100);
    s.SetPosition(0);
    f->Chart->LoadFromStream(&s);
    f->SetCaption(Caption.empty() ? AnsiString("Flow Chart Editor") : Caption);
    if (f->ShowModal() == mrOk) {
      s.Clear();
      f->Chart->SaveToStream(&s);
      s.SetPosition(0);
      Chart->LoadFromStream(&s);
      Chart->SetColor(f->Chart->Color());
      result = true;
    }
  } catch (...) {
    Chart->OnDeletion = deletion;
    throw;
  }
  Chart->OnDeletion = deletion;
  // ends the mouse state left from the double click that opened the editor
  if (Chart->HandleAllocated()) {
    POINT p;
    GetCursorPos(&p);
    PostMessageA(Chart->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(WORD(p.x), WORD(p.y)));
  }
  return result;
}

// ---- life of the form ----

TFChartEditor::~TFChartEditor() {
  ClearClipboard();
  delete FClipChart;
  FClipChart = nullptr;
  if (Application && FSavedHintPause) Application->SetHintPause(FSavedHintPause);
}

void TFChartEditor::FormCreate(TObject*) {
  sbObjectFont->Font()->Assign(Chart->Font());
  sbConnectFont->Font()->Assign(Chart->Font());
  FSyncGuard = true;
  FRecording = true;
  FClipChart = ::NewObject<TkxFlowChart>(nullptr);
  FUndo.SetChart(Chart);
  FUndo.SetDepth(30);
  FSavedHintPause = Application ? Application->HintPause() : 0;
  ColorDialog = new TColorDialog(this);
  FontDialog = new TFontDialog(this);
  OpenDialog = new TOpenDialog(this);
  OpenDialog->SetDefaultExt("f");
  OpenDialog->SetFilter("\xB4\xF2\xBF\xAA\xCD\xBC\xD0\xCE\xCE\xC4\xBC\xFE *.f  |*.f");  // 打开图形文件 *.f
  OpenDialog->SetTitle("\xB4\xF2\xBF\xAA\xCD\xBC\xD0\xCE\xCE\xC4\xBC\xFE");             // 打开图形文件
  SaveDialog = new TSaveDialog(this);
  SaveDialog->SetDefaultExt("f");
  SaveDialog->SetFilter("\xB1\xA3\xB4\xE6\xCD\xBC\xD0\xCE\xCE\xC4\xBC\xFE *.f |*.f");   // 保存图形文件 *.f
  SaveDialog->SetTitle("\xB1\xA3\xB4\xE6\xCD\xBC\xD0\xCE\xCE\xC4\xBC\xFE");             // 保存图形文件
  kxFcPaintEditorImages(LargeImages, SmallImages);
  for (TSpeedButton* b : {sbShape, sbLine, sbTextPosition, sbImagePosition, sbStyle, sbSourceArrow, sbDestArrow,
                          sbSArrowSize, sbDArrowSize, sbSPoint, sbDPoint})
    SetButtonValue(b, int(b->Tag()));
  // the buttons without a setting show a fixed picture
  auto picture = [](TSpeedButton* b, TImageList* list, int index) {
    TBitmap glyph;
    glyph.SetSize(list->Width(), list->Height());
    glyph.Canvas()->Brush()->SetColor(clBtnFace);
    glyph.Canvas()->FillRect(TRect{0, 0, glyph.Width(), glyph.Height()});
    list->Draw(glyph.Canvas(), 0, 0, index);
    b->SetGlyph(&glyph);
  };
  picture(btnCreateObject, SmallImages, 0);
  picture(btnCreateConnect, SmallImages, 19);
  picture(sbZoom, LargeImages, 13);
  picture(sbFit, LargeImages, 15);
  TBitmap font;
  kxFcPaintFontGlyph(&font, clBtnFace);
  sbObjectFont->SetGlyph(&font);
  sbConnectFont->SetGlyph(&font);
}

void TFChartEditor::FormShow(TObject*) { ChartChange(Chart, nullptr); }

void TFChartEditor::FormDestroy(TObject*) {
  ClearClipboard();
  if (Application && FSavedHintPause) Application->SetHintPause(FSavedHintPause);
}

void TFChartEditor::ClearClipboard() {
  for (const TBuferItem& b : FClipboard)
    if (b.Kind == 1) delete b.Item;
  for (const TBuferItem& b : FClipboard)
    if (b.Kind == 0) delete b.Item;
  FClipboard.clear();
}

// ---- the settings buttons ----

TPopupMenu* TFChartEditor::MenuOf(TSpeedButton* B) const {
  if (B == sbShape) return ShapePopupMenu;
  if (B == sbLine) return LinePopupMenu;
  if (B == sbTextPosition) return TextPositionPopupMenu;
  if (B == sbImagePosition) return ImagePositionPopupMenu;
  if (B == sbStyle) return StylePopupMenu;
  if (B == sbSourceArrow) return SourceArrowPopupMenu;
  if (B == sbDestArrow) return DestArrowPopupMenu;
  if (B == sbSArrowSize) return SArrowSizePopupMenu;
  if (B == sbDArrowSize) return DArrowSizePopupMenu;
  if (B == sbSPoint) return SPointPopupMenu;
  if (B == sbDPoint) return DPointPopupMenu;
  return nullptr;
}

void TFChartEditor::SetButtonValue(TSpeedButton* B, int Value) {
  if (!B) return;
  B->SetTag(Value);
  TPopupMenu* m = MenuOf(B);
  if (!m || !SmallImages) return;
  int image = -1;
  for (int i = 0; i < m->Items()->Count(); ++i)
    if (m->Items()->Items(i)->Tag() == Value) image = m->Items()->Items(i)->ImageIndex();
  TBitmap glyph;
  glyph.SetSize(SmallImages->Width(), SmallImages->Height());
  glyph.Canvas()->Brush()->SetColor(clBtnFace);
  glyph.Canvas()->FillRect(TRect{0, 0, glyph.Width(), glyph.Height()});
  if (image >= 0) SmallImages->Draw(glyph.Canvas(), 0, 0, image);
  B->SetGlyph(&glyph);
}

void TFChartEditor::sbShapeClick(TObject* Sender) {
  auto* b = dynamic_cast<TSpeedButton*>(Sender);
  TPopupMenu* m = MenuOf(b);
  if (!m) return;
  const TPoint p = b->ClientToScreen(TPoint{0, b->Height()});
  m->SetPopupComponent(b);
  m->Popup(p.x, p.y);
}

void TFChartEditor::iRectangleClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item) return;
  TMenu* menu = item->GetParentMenu();
  TSpeedButton* button = nullptr;
  for (TSpeedButton* b : {sbShape, sbLine, sbTextPosition, sbImagePosition, sbStyle, sbSourceArrow, sbDestArrow,
                          sbSArrowSize, sbDArrowSize, sbSPoint, sbDPoint})
    if (MenuOf(b) == menu) button = b;
  if (!button) return;
  SetButtonValue(button, int(item->Tag()));
  FRecording = false;
  if (button == sbShape) ApplyObjects(1);
  else if (button == sbLine) ApplyObjects(2);
  else if (button == sbTextPosition) ApplyObjects(5);
  else if (button == sbImagePosition) ApplyObjects(6);
  else if (button == sbStyle) ApplyConnections(1);
  else if (button == sbSourceArrow) ApplyConnections(3);
  else if (button == sbDestArrow) ApplyConnections(4);
  else if (button == sbSArrowSize) ApplyConnections(5);
  else if (button == sbDArrowSize) ApplyConnections(6);
  else if (button == sbSPoint) ApplyConnections(7);
  else if (button == sbDPoint) ApplyConnections(8);
  FRecording = true;
  ChartChange(Chart, nullptr);
}

int TFChartEditor::ApplyObjects(int Kind) {
  const bool was = FRecording;
  FRecording = false;
  int n = 0;
  for (int i = 0; i < Chart->SelectedObjectCount(); ++i) {
    TkxFcObject* o = Chart->SelectedObjects(i);
    ++n;
    auto want = [Kind](int k) { return Kind == 0 || Kind == k; };
    if (want(1)) o->SetShapeKind(TkxFcShapeKind(std::clamp<int>(int(sbShape->Tag()), 0, fskHexagon)));
    if (want(2)) o->SetShapeWidth(Byte(sbLine->Tag()));
    if (want(3)) o->SetShapeColor(pColor->Color());
    if (want(4)) o->SetBkColor(pBkColor->Color());
    if (want(5)) {
      o->SetHorzTextPos(TkxFcHorzPos(sbTextPosition->Tag() % 3));
      o->SetVertTextPos(TkxFcVertPos(std::min<int>(int(sbTextPosition->Tag() / 3), 2)));
    }
    if (want(6)) {
      o->SetHorzImagePos(TkxFcHorzPos(sbImagePosition->Tag() % 3));
      o->SetVertImagePos(TkxFcVertPos(std::min<int>(int(sbImagePosition->Tag() / 3), 2)));
    }
    if (want(7)) o->SetFont(sbObjectFont->Font());
  }
  FRecording = was;
  if (was && n) ChartChange(Chart, nullptr);
  return n;
}

int TFChartEditor::ApplyConnections(int Kind) {
  const bool was = FRecording;
  FRecording = false;
  int n = 0;
  for (int i = 0; i < Chart->SelectedConnectionCount(); ++i) {
    TkxFcConnection* c = Chart->SelectedConnections(i);
    ++n;
    auto want = [Kind](int k) { return Kind == 0 || Kind == k; };
    if (want(1)) c->SetStyle(TkxFcLineStyle(std::clamp<int>(int(sbStyle->Tag()) - 1, 0, flsRectVertical)));
    if (want(2)) c->SetColor(pColor->Color());
    if (want(3)) c->SourceArrow()->SetArrowKind(TkxFcArrowKind(std::clamp<int>(int(sbSourceArrow->Tag()), 0, fakRect)));
    if (want(4)) c->DestArrow()->SetArrowKind(TkxFcArrowKind(std::clamp<int>(int(sbDestArrow->Tag()), 0, fakRect)));
    if (want(5)) {
      const Byte s = Byte(sbSArrowSize->Tag() * 5 + 5);
      c->SourceArrow()->SetWidth(s);
      c->SourceArrow()->SetHeight(s);
    }
    if (want(6)) {
      const Byte s = Byte(sbDArrowSize->Tag() * 5 + 5);
      c->DestArrow()->SetWidth(s);
      c->DestArrow()->SetHeight(s);
    }
    if (want(7)) c->SetSource(c->Source(), Byte(sbSPoint->Tag() & 15));
    if (want(8)) c->SetDest(c->Dest(), Byte(sbDPoint->Tag() & 15));
    if (want(9)) c->SetFont(sbConnectFont->Font());
    if (want(10)) {
      c->SourceArrow()->SetColor(pBkColor->Color());
      c->DestArrow()->SetColor(pBkColor->Color());
    }
  }
  FRecording = was;
  if (was && n) ChartChange(Chart, nullptr);
  return n;
}

// ---- selection and changes ----

void TFChartEditor::StoreSnapshot() {
  FUndo.Store();
  if (miUndo) miUndo->SetEnabled(FUndo.CanUndo());
}

void TFChartEditor::ChartChange(TObject*, TkxFcItem*) {
  if (!HandleAllocated()) return;
  ChartSelected(Chart, nullptr);
  if (FRecording) StoreSnapshot();
}

void TFChartEditor::SyncTools() {
  if (Chart->SelCount() == 0 && !btnCreateObject->Down()) pBkColor->SetColor(Chart->Color());
  if (TkxFcObject* o = Chart->SelectedObjects(0)) {
    if (sbShape->Tag() != o->ShapeKind()) SetButtonValue(sbShape, o->ShapeKind());
    if (sbLine->Tag() != o->ShapeWidth()) SetButtonValue(sbLine, o->ShapeWidth());
    pColor->SetColor(o->ShapeColor());
    pBkColor->SetColor(o->BkColor());
    SetButtonValue(sbTextPosition, o->VertTextPos() * 3 + o->HorzTextPos());
    SetButtonValue(sbImagePosition, o->VertImagePos() * 3 + o->HorzImagePos());
    sbObjectFont->Font()->Assign(o->Font());
  }
  if (TkxFcConnection* c = Chart->SelectedConnections(0)) {
    SetButtonValue(sbStyle, c->Style() + 1);
    pColor->SetColor(c->Color());
    pBkColor->SetColor(c->SourceArrow()->Color());
    SetButtonValue(sbSourceArrow, c->SourceArrow()->ArrowKind());
    SetButtonValue(sbDestArrow, c->DestArrow()->ArrowKind());
    SetButtonValue(sbSArrowSize, std::max(1, (c->SourceArrow()->Width() - 5) / 5));
    SetButtonValue(sbDArrowSize, std::max(1, (c->DestArrow()->Width() - 5) / 5));
    SetButtonValue(sbSPoint, c->SourcePoint());
    SetButtonValue(sbDPoint, c->DestPoint());
    sbConnectFont->Font()->Assign(c->Font());
  }
}

void TFChartEditor::EnableCommands() {
  const bool any = Chart->SelCount() > 0;
  const bool objects = Chart->SelectedObjectCount() > 0;
  const bool hasUnion = kxFcChartHasUnion(Chart);
  bool inUnion = false, isUnion = false;
  for (int i = 0; i < Chart->SelectedObjectCount(); ++i) {
    TkxFcObject* o = Chart->SelectedObjects(i);
    inUnion = inUnion || kxFcBelongsToUnion(Chart, o);
    isUnion = isUnion || o->IsUnion();
  }
  auto both = [](TMenuItem* a, TMenuItem* b, bool on) {
    if (a) a->SetEnabled(on);
    if (b) b->SetEnabled(on);
  };
  both(miCut, iCut, any);
  both(miCopy, iCopy, any);
  both(miDelete, iDelete, any);
  both(miClearSelection, iClearSelection, any);
  if (iEdit) iEdit->SetEnabled(any);
  both(miPaste, iPaste, !FClipboard.empty());
  both(miBringToFront, iBringToFront, objects);
  both(miSendToBack, iSendToBack, objects);
  both(miNewUnion, iNewUnion, Chart->SelectedObjectCount() >= 2);
  both(miAddToUnion, iAddToUnion, hasUnion && objects);
  both(miRemoveFromUnion, iRemoveFromUnion, inUnion);
  both(miClearUnion, iClearUnion, isUnion);
  both(miClearAllUnions, iClearAllUnions, hasUnion);
}

void TFChartEditor::ChartSelected(TObject*, TkxFcItem*) {
  if (!FSyncGuard || FInSelected || !Chart) return;
  FInSelected = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{FInSelected};
  SyncTools();
  if (HandleAllocated()) EnableCommands();
}

void TFChartEditor::ChartSelection(TObject*, TkxFcItem*, bool& Allow) {
  if (sbZoom->Down() || btnCreateObject->Down() || btnCreateConnect->Down()) Allow = false;
}

// ---- colours and fonts ----

void TFChartEditor::ApplyColor(TPanel* Panel, TColor Color, bool ChartTooWhenEmpty) {
  FSyncGuard = false;
  FRecording = false;
  Panel->SetColor(Color);
  if (Panel == pColor) {
    ApplyObjects(3);
    ApplyConnections(2);
  } else {
    ApplyObjects(4);
    ApplyConnections(10);
    if (ChartTooWhenEmpty && Chart->SelCount() == 0 && Chart->Color() != Color) Chart->SetColor(Color);
  }
  FSyncGuard = true;
  FRecording = true;
  ChartChange(Chart, nullptr);
}

void TFChartEditor::pBlackMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int, int) {
  auto* p = dynamic_cast<TPanel*>(Sender);
  if (!p) return;
  if (Button == mbLeft) ApplyColor(pColor, p->Color(), false);
  else if (Button == mbRight) ApplyColor(pBkColor, p->Color(), true);
}

void TFChartEditor::pColorClick(TObject* Sender) {
  auto* p = dynamic_cast<TPanel*>(Sender);
  if (p == pColor || p == pBkColor) ApplyColor(p, p->Color(), false);
}

void TFChartEditor::pColorDblClick(TObject* Sender) {
  auto* p = dynamic_cast<TPanel*>(Sender);
  if (p != pColor && p != pBkColor) return;
  ColorDialog->SetColor(FLastDialogColor);
  if (!ColorDialog->Execute()) return;
  FLastDialogColor = ColorDialog->Color();
  ApplyColor(p, ColorDialog->Color(), true);
}

void TFChartEditor::sbObjectFontClick(TObject*) {
  TkxFcObject* o = Chart->SelectedObjects(0);
  if (PickFont(sbObjectFont, o ? o->Font() : nullptr)) ApplyObjects(7);
}

void TFChartEditor::sbConnectFontClick(TObject*) {
  TkxFcConnection* c = Chart->SelectedConnections(0);
  if (PickFont(sbConnectFont, c ? c->Font() : nullptr)) ApplyConnections(9);
}

// The font dialog starts from the first selected item's font (else the button's) and leaves
// its choice on the button.
bool TFChartEditor::PickFont(TSpeedButton* Button, TFont* Selected) {
  if (Selected) Button->Font()->Assign(Selected);
  FontDialog->SetFont(Button->Font());
  if (!FontDialog->Execute()) return false;
  Button->Font()->Assign(FontDialog->Font());
  return true;
}

// ---- create buttons and zoom ----

void TFChartEditor::btnCreateObjectClick(TObject*) {
  if (btnCreateObject->Down()) Chart->ClearSelection();
}

void TFChartEditor::btnCreateConnectClick(TObject*) {
  if (!btnCreateConnect->Down()) return;
  if (Chart->SelectedObjectCount() == 2 && Chart->SelectedConnectionCount() == 0) {
    FRecording = false;
    TkxFcConnection* c = Chart->CreateConnection(Chart->SelectedObjects(0), Chart->SelectedObjects(1), 0, 0);
    c->SetStyle(TkxFcLineStyle(std::clamp<int>(int(sbStyle->Tag()) - 1, 0, flsRectVertical)));
    btnCreateConnect->SetDown(false);  // selection is refused while the button is down
    Chart->ClearSelection();
    c->SetSelected(true);
    ApplyConnections(0);
    FRecording = true;
    ChartChange(Chart, nullptr);
  } else {
    Chart->ClearSelection();
  }
}

void TFChartEditor::SetActualSizeEnabled() {
  if (miActualSize) miActualSize->SetEnabled(Chart->Zoom() != 100 && !sbFit->Down());
}

void TFChartEditor::sbZoomClick(TObject*) {
  if (sbZoom->Down()) {
    Chart->ClearSelection();
    Chart->SetCursor(crFcZoomIn);
  } else {
    Chart->SetCursor(crDefault);
  }
}

void TFChartEditor::sbFitClick(TObject*) {
  const bool fit = sbFit->Down();
  if (fit) {
    sbZoom->SetDown(false);
    sbZoom->SetEnabled(false);
    Chart->SetZoom(0);
  } else {
    sbZoom->SetEnabled(true);
    Chart->SetZoom(100);
  }
  for (TMenuItem* m : {miZoomIn, miZoomOut, miActualSize})
    if (m) m->SetEnabled(!fit);
  miFit->SetChecked(fit);
  SetActualSizeEnabled();
  Chart->SetCursor(crDefault);
}

void TFChartEditor::miZoomInClick(TObject*) {
  if (Chart->Zoom() >= 490) miZoomIn->SetEnabled(false);
  else Chart->SetZoom(Word(Chart->Zoom() + 10));
  miZoomOut->SetEnabled(true);
  SetActualSizeEnabled();
}

void TFChartEditor::miZoomOutClick(TObject*) {
  if (Chart->Zoom() <= 20) miZoomOut->SetEnabled(false);
  else Chart->SetZoom(Word(Chart->Zoom() - 10));
  miZoomIn->SetEnabled(true);
  SetActualSizeEnabled();
}

void TFChartEditor::miFitClick(TObject*) {
  const bool fit = !miFit->Checked();
  miFit->SetChecked(fit);
  miZoomIn->SetEnabled(!fit);
  miZoomOut->SetEnabled(!fit);
  if (fit) {
    Chart->SetZoom(0);
    sbZoom->SetDown(false);
    sbZoom->SetEnabled(false);
    sbFit->SetDown(true);
    Chart->SetCursor(crDefault);
  } else {
    Chart->SetZoom(100);
    sbZoom->SetEnabled(true);
    sbFit->SetDown(false);
  }
  SetActualSizeEnabled();
}

void TFChartEditor::miActualSizeClick(TObject*) {
  Chart->SetZoom(100);
  SetActualSizeEnabled();
}

// ---- edit commands ----

void TFChartEditor::miUndoClick(TObject*) {
  FRecording = false;
  FUndo.Undo();
  miUndo->SetEnabled(FUndo.CanUndo());
  FRecording = true;
}

void TFChartEditor::iCopyClick(TObject*) {
  ClearClipboard();
  std::vector<TkxFcObject*> sources;
  for (int i = 0; i < Chart->SelectedObjectCount(); ++i) {
    TkxFcObject* s = Chart->SelectedObjects(i);
    sources.push_back(s);
    FClipboard.push_back({FcCopyObject(s, FClipChart), 0});
  }
  auto copyOf = [&](TkxFcObject* o) -> TkxFcObject* {
    for (std::size_t i = 0; i < sources.size(); ++i)
      if (sources[i] == o) return static_cast<TkxFcObject*>(FClipboard[i].Item);
    return nullptr;
  };
  for (int i = 0; i < Chart->SelectedConnectionCount(); ++i) {
    TkxFcConnection* s = Chart->SelectedConnections(i);
    TkxFcConnection* c = FcCopyConnection(s, FClipChart);
    c->SetSource(copyOf(s->Source()), s->SourcePoint());
    c->SetDest(copyOf(s->Dest()), s->DestPoint());
    FClipboard.push_back({c, 1});
  }
  ChartSelected(Chart, nullptr);
}

void TFChartEditor::iCutClick(TObject* Sender) {
  FRecording = false;
  iCopyClick(Sender);
  Chart->DeleteSelection();
  FRecording = true;
  ChartChange(Chart, nullptr);
}

void TFChartEditor::iPasteClick(TObject*) {
  FRecording = false;
  FSyncGuard = false;
  Chart->ClearSelection();
  std::vector<TkxFcObject*> pasted(FClipboard.size(), nullptr);
  for (std::size_t i = 0; i < FClipboard.size(); ++i) {
    if (FClipboard[i].Kind != 0) continue;
    auto* s = static_cast<TkxFcObject*>(FClipboard[i].Item);
    TkxFcObject* o = FcCopyObject(s, Chart);
    o->SetBounds(o->Left() + 5, o->Top() + 5, o->Width(), o->Height());
    o->BringToFront();
    o->SetSelected(true);
    pasted[i] = o;
  }
  for (const TBuferItem& b : FClipboard) {
    if (b.Kind != 1) continue;
    auto* s = static_cast<TkxFcConnection*>(b.Item);
    TkxFcConnection* c = FcCopyConnection(s, Chart);
    for (int k = 0; k < c->FreePointCount(); ++k) {
      const TPoint p = c->Points(k);
      c->SetPoint(k, TPoint{p.x + 5, p.y + 5});
    }
    const int si = FcIndexOf(FClipboard, s->Source()), di = FcIndexOf(FClipboard, s->Dest());
    c->SetSource(si >= 0 ? pasted[std::size_t(si)] : nullptr, s->SourcePoint());
    c->SetDest(di >= 0 ? pasted[std::size_t(di)] : nullptr, s->DestPoint());
    c->SetSelected(true);
  }
  FSyncGuard = true;
  FRecording = true;
  ChartChange(Chart, nullptr);
}

void TFChartEditor::iDeleteClick(TObject*) { Chart->DeleteSelection(); }
void TFChartEditor::iSelectAllClick(TObject*) { Chart->SelectAll(); }
void TFChartEditor::iClearSelectionClick(TObject*) { Chart->ClearSelection(); }

void TFChartEditor::iBringToFrontClick(TObject*) {
  for (int i = 0; i < Chart->SelectedObjectCount(); ++i) Chart->SelectedObjects(i)->BringToFront();
}

void TFChartEditor::iSendToBackClick(TObject*) {
  for (int i = 0; i < Chart->SelectedObjectCount(); ++i) Chart->SelectedObjects(i)->SendToBack();
}

void TFChartEditor::iEditClick(TObject*) { ChartDblClick(Chart); }

bool TFChartEditor::RemovablePoint(TkxFcConnection* C, int K) const {
  return K >= (C->Source() ? 0 : 1) && K <= C->FreePointCount() - 1 - (C->Dest() ? 0 : 1);
}

void TFChartEditor::iRemovePointClick(TObject*) {
  for (int i = 0; i < Chart->SelectedConnectionCount(); ++i) {
    TkxFcConnection* c = Chart->SelectedConnections(i);
    const int k = c->NearestPointIndex(FDownPoint.x, FDownPoint.y);
    if (RemovablePoint(c, k)) c->RemovePoint(k);
  }
}

// ---- unions ----

void TFChartEditor::iNewUnionClick(TObject*) {
  if (Chart->SelectedObjectCount() < 2) return;
  AddSelectionToUnion(Chart->SelectedObjects(0), 1);
}

// Adds the selected objects from the From-th on to U, except those whose union holds U.
void TFChartEditor::AddSelectionToUnion(TkxFcObject* U, int From) {
  for (int i = From; i < Chart->SelectedObjectCount(); ++i) {
    TkxFcObject* o = Chart->SelectedObjects(i);
    if (o->IsUnion() && o->UnionContains(U)) continue;
    U->AddToUnion(o);
  }
  FUndo.Store();
}

void TFChartEditor::iAddToUnionClick(TObject*) {
  if (!kxFcChartHasUnion(Chart)) return;
  TkxFcObject* u = kxFcSelectUnion(Chart, false);
  if (u) AddSelectionToUnion(u, 0);
}

void TFChartEditor::iRemoveFromUnionClick(TObject*) {
  TkxFcObject* u = kxFcSelectUnion(Chart, true);
  if (!u) return;
  for (int i = 0; i < Chart->SelectedObjectCount(); ++i) u->RemoveFromUnion(Chart->SelectedObjects(i));
  FUndo.Store();
}

void TFChartEditor::iClearUnionClick(TObject*) {
  bool any = false;
  for (int i = 0; i < Chart->SelectedObjectCount(); ++i) {
    TkxFcObject* o = Chart->SelectedObjects(i);
    if (!o->IsUnion()) continue;
    o->ClearUnion();
    any = true;
  }
  if (any) FUndo.Store();
}

void TFChartEditor::iClearAllUnionsClick(TObject*) {
  bool any = false;
  for (TkxFcObject* o : Chart->ObjectList()) {
    if (!o->IsUnion()) continue;
    o->ClearUnion();
    any = true;
  }
  if (any) FUndo.Store();
}

// ---- files and help ----

void TFChartEditor::miOpenClick(TObject*) {
  if (!OpenDialog->Execute()) return;
  Chart->LoadFromFile(OpenDialog->FileName());
  ChartChange(Chart, nullptr);
}

void TFChartEditor::miSaveAsClick(TObject*) {
  if (!SaveDialog->Execute()) return;
  Chart->SaveToFile(SaveDialog->FileName());
}

void TFChartEditor::Contens1Click(TObject*) {
  const AnsiString name = "FCEditor.hlp";
  std::vector<AnsiString> candidates{name};
  if (Application && !Application->HelpFile().empty())
    candidates.push_back(ExtractFilePath(Application->HelpFile()) + name);
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  if (reg.OpenKeyReadOnly("Software\\Penvarro\\FlowChartEditor") && reg.ValueExists("RootDir"))
    candidates.push_back(IncludeTrailingPathDelimiter(reg.ReadString("RootDir")) + "Help" + PathDelim + name);
  for (const AnsiString& c : candidates)
    if (FileExists(c)) {
      ShellExecuteA(Handle(), "OPEN", c.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
      return;
    }
}

// ---- registration ----

void kxInitFlowChartEditorClasses() {
  RegisterClasses({TFChartEditor::StaticClass()});
  RegisterHandlers<TFChartEditor>([](THandlerBuilder<TFChartEditor>& h) {
    using F = TFChartEditor;
    h.Handler("FormCreate", &F::FormCreate);
    h.Handler("FormShow", &F::FormShow);
    h.Handler("FormDestroy", &F::FormDestroy);
    h.Handler("ChartChange", &F::ChartChange);
    h.Handler("ChartSelected", &F::ChartSelected);
    h.Handler("ChartSelection", &F::ChartSelection);
    h.Handler("sbShapeClick", &F::sbShapeClick);
    h.Handler("iRectangleClick", &F::iRectangleClick);
    h.Handler("btnCreateObjectClick", &F::btnCreateObjectClick);
    h.Handler("btnCreateConnectClick", &F::btnCreateConnectClick);
    h.Handler("pBlackMouseDown", &F::pBlackMouseDown);
    h.Handler("pColorClick", &F::pColorClick);
    h.Handler("pColorDblClick", &F::pColorDblClick);
    h.Handler("sbZoomClick", &F::sbZoomClick);
    h.Handler("sbFitClick", &F::sbFitClick);
    h.Handler("sbObjectFontClick", &F::sbObjectFontClick);
    h.Handler("sbConnectFontClick", &F::sbConnectFontClick);
    h.Handler("miUndoClick", &F::miUndoClick);
    h.Handler("iCutClick", &F::iCutClick);
    h.Handler("iCopyClick", &F::iCopyClick);
    h.Handler("iPasteClick", &F::iPasteClick);
    h.Handler("iDeleteClick", &F::iDeleteClick);
    h.Handler("iSelectAllClick", &F::iSelectAllClick);
    h.Handler("iClearSelectionClick", &F::iClearSelectionClick);
    h.Handler("iBringToFrontClick", &F::iBringToFrontClick);
    h.Handler("iSendToBackClick", &F::iSendToBackClick);
    h.Handler("iEditClick", &F::iEditClick);
    h.Handler("iRemovePointClick", &F::iRemovePointClick);
    h.Handler("iNewUnionClick", &F::iNewUnionClick);
    h.Handler("iAddToUnionClick", &F::iAddToUnionClick);
    h.Handler("iRemoveFromUnionClick", &F::iRemoveFromUnionClick);
    h.Handler("iClearUnionClick", &F::iClearUnionClick);
    h.Handler("iClearAllUnionsClick", &F::iClearAllUnionsClick);
    h.Handler("miZoomInClick", &F::miZoomInClick);
    h.Handler("miZoomOutClick", &F::miZoomOutClick);
    h.Handler("miFitClick", &F::miFitClick);
    h.Handler("miActualSizeClick", &F::miActualSizeClick);
    h.Handler("miOpenClick", &F::miOpenClick);
    h.Handler("miSaveAsClick", &F::miSaveAsClick);
    h.Handler("Contens1Click", &F::Contens1Click);
    h.Handler("ChartKeyDown", &F::ChartKeyDown);
    h.Handler("ChartKeyUp", &F::ChartKeyUp);
    h.Handler("ChartMouseDown", &F::ChartMouseDown);
    h.Handler("ChartMouseMove", &F::ChartMouseMove);
    h.Handler("ChartMouseUp", &F::ChartMouseUp);
    h.Handler("ChartDblClick", &F::ChartDblClick);
    h.Field("Chart", &F::Chart);
    h.Field("btnCreateObject", &F::btnCreateObject);
    h.Field("btnCreateConnect", &F::btnCreateConnect);
    h.Field("sbShape", &F::sbShape);
    h.Field("sbLine", &F::sbLine);
    h.Field("sbTextPosition", &F::sbTextPosition);
    h.Field("sbObjectFont", &F::sbObjectFont);
    h.Field("sbImagePosition", &F::sbImagePosition);
    h.Field("sbStyle", &F::sbStyle);
    h.Field("sbConnectFont", &F::sbConnectFont);
    h.Field("sbSourceArrow", &F::sbSourceArrow);
    h.Field("sbDestArrow", &F::sbDestArrow);
    h.Field("sbSArrowSize", &F::sbSArrowSize);
    h.Field("sbDArrowSize", &F::sbDArrowSize);
    h.Field("sbSPoint", &F::sbSPoint);
    h.Field("sbDPoint", &F::sbDPoint);
    h.Field("sbZoom", &F::sbZoom);
    h.Field("sbFit", &F::sbFit);
    h.Field("pColor", &F::pColor);
    h.Field("pBkColor", &F::pBkColor);
    h.Field("btnOK", &F::btnOK);
    h.Field("btnCancel", &F::btnCancel);
    h.Field("LargeImages", &F::LargeImages);
    h.Field("SmallImages", &F::SmallImages);
    h.Field("miOpen", &F::miOpen);
    h.Field("miSaveAs", &F::miSaveAs);
    h.Field("miUndo", &F::miUndo);
    h.Field("miCut", &F::miCut);
    h.Field("miCopy", &F::miCopy);
    h.Field("miPaste", &F::miPaste);
    h.Field("miDelete", &F::miDelete);
    h.Field("miSelectAll", &F::miSelectAll);
    h.Field("miClearSelection", &F::miClearSelection);
    h.Field("miBringToFront", &F::miBringToFront);
    h.Field("miSendToBack", &F::miSendToBack);
    h.Field("miZoomIn", &F::miZoomIn);
    h.Field("miZoomOut", &F::miZoomOut);
    h.Field("miFit", &F::miFit);
    h.Field("miActualSize", &F::miActualSize);
    h.Field("miNewUnion", &F::miNewUnion);
    h.Field("miAddToUnion", &F::miAddToUnion);
    h.Field("miRemoveFromUnion", &F::miRemoveFromUnion);
    h.Field("miClearUnion", &F::miClearUnion);
    h.Field("miClearAllUnions", &F::miClearAllUnions);
    h.Field("Contens1", &F::Contens1);
    h.Field("ChartPopupMenu", &F::ChartPopupMenu);
    h.Field("iEdit", &F::iEdit);
    h.Field("iCut", &F::iCut);
    h.Field("iCopy", &F::iCopy);
    h.Field("iPaste", &F::iPaste);
    h.Field("iDelete", &F::iDelete);
    h.Field("iRemovePoint", &F::iRemovePoint);
    h.Field("iSelectAll", &F::iSelectAll);
    h.Field("iClearSelection", &F::iClearSelection);
    h.Field("iBringToFront", &F::iBringToFront);
    h.Field("iSendToBack", &F::iSendToBack);
    h.Field("iNewUnion", &F::iNewUnion);
    h.Field("iAddToUnion", &F::iAddToUnion);
    h.Field("iRemoveFromUnion", &F::iRemoveFromUnion);
    h.Field("iClearUnion", &F::iClearUnion);
    h.Field("iClearAllUnions", &F::iClearAllUnions);
    h.Field("ShapePopupMenu", &F::ShapePopupMenu);
    h.Field("LinePopupMenu", &F::LinePopupMenu);
    h.Field("StylePopupMenu", &F::StylePopupMenu);
    h.Field("SourceArrowPopupMenu", &F::SourceArrowPopupMenu);
    h.Field("DestArrowPopupMenu", &F::DestArrowPopupMenu);
    h.Field("SArrowSizePopupMenu", &F::SArrowSizePopupMenu);
    h.Field("DArrowSizePopupMenu", &F::DArrowSizePopupMenu);
    h.Field("SPointPopupMenu", &F::SPointPopupMenu);
    h.Field("DPointPopupMenu", &F::DPointPopupMenu);
    h.Field("TextPositionPopupMenu", &F::TextPositionPopupMenu);
    h.Field("ImagePositionPopupMenu", &F::ImagePositionPopupMenu);
  });
}
