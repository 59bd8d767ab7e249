// The commands page of the customizing window: the categories, the command
// list with its four painters, the description, and dragging a command onto
// a bar.
#include <algorithm>

#include "bars/kxbarcustomform.h"
#include "bars/kxbarcustomize.h"
#include "bars/kxbarpopup.h"
#include "framework/uxclasses.h"
#include "framework/uxoffice11.h"
#include "platform/controls/graphics.h"
#include "platform/rtl/strings.h"

namespace kxbarcustcommands {

constexpr int kRowHeight = 22;
constexpr int kGlyphColumn = 23;
constexpr int kArrowPart = 13;

const char* const kCategoriesLabel = "类别(&G):";
const char* const kCommandsLabel = "命令(&D):";
const char* const kDescriptionLabel = "描述  ";

void CmdFill(TCanvas* C, const TRect& R, TColor Color) {
  if (R.right <= R.left || R.bottom <= R.top) return;
  C->Brush()->SetColor(Color);
  C->FillRect(R);
}

void CmdFrame(TCanvas* C, const TRect& R, TColor Color) {
  RECT r{R.left, R.top, R.right, R.bottom};
  FrameRectWithColor(C->Handle(), r, Color);
}

void CmdEdge(TCanvas* C, TRect R, UINT Kind) {
  RECT r{R.left, R.top, R.right, R.bottom};
  DrawEdge(C->Handle(), &r, Kind, BF_RECT);
}

}  // namespace kxbarcustcommands

using namespace kxbarcustcommands;

// ---------------------------------------------------------------------------
// painters

const TkxBarCustomizingFormPainter* TkxBarCustomizingFormPainter::Instance() {
  static const TkxBarCustomizingFormPainter p;
  return &p;
}
const TkxBarCustomizingFormPainter* TkxBarCustomizingFormStandardPainter::Instance() {
  static const TkxBarCustomizingFormStandardPainter p;
  return &p;
}
const TkxBarCustomizingFormPainter* TkxBarCustomizingFormFlatPainter::Instance() {
  static const TkxBarCustomizingFormFlatPainter p;
  return &p;
}
const TkxBarCustomizingFormPainter* TkxBarCustomizingFormOffice11Painter::Instance() {
  static const TkxBarCustomizingFormOffice11Painter p;
  return &p;
}
const TkxBarCustomizingFormPainter* TkxBarCustomizingFormXPPainter::Instance() {
  static const TkxBarCustomizingFormXPPainter p;
  return &p;
}

const TkxBarCustomizingFormPainter* kxBarCustomizingFormPainterOf(TkxBarManager* Manager) {
  TkxBarItemControlPainterClass p = Manager ? Manager->PainterClass() : nullptr;
  if (dynamic_cast<const TkxBarItemControlXPPainter*>(p)) return TkxBarCustomizingFormXPPainter::Instance();
  if (dynamic_cast<const TkxBarItemControlOffice11Painter*>(p)) return TkxBarCustomizingFormOffice11Painter::Instance();
  if (dynamic_cast<const TkxBarItemControlFlatPainter*>(p)) return TkxBarCustomizingFormFlatPainter::Instance();
  return TkxBarCustomizingFormStandardPainter::Instance();
}

void TkxBarCustomizingFormPainter::DrawArrow(TCanvas* Canvas, int X, bool Selected, int Y) const {
  TColor c = Selected && IsBlackFaceScheme() ? clWhite : Canvas->Font()->Color();
  Canvas->Brush()->SetColor(c);
  Canvas->Pen()->SetColor(c);
  TPoint pts[3] = {{X, Y}, {X, Y + 6}, {X + 3, Y + 3}};
  Canvas->Polygon(pts, 3);
}

TColor TkxBarCustomizingFormPainter::GetBackgroundColor(bool Selected, TkxBarItem*) const {
  return Selected ? clHighlight : clBtnFace;
}

TColor TkxBarCustomizingFormPainter::GetTextColor(bool Selected) const {
  return Selected ? clHighlightText : clBtnText;
}

bool TkxBarCustomizingFormPainter::HasGlyph(TkxBarItem* Item) {
  if (!Item) return false;
  if (Item->Glyph() && !Item->Glyph()->Empty()) return true;
  TCustomImageList* images = Item->GetImages();
  int index = Item->GetImageIndex();
  return images && index >= 0 && index < images->Count();
}

void TkxBarCustomizingFormPainter::DrawItemGlyph(TCanvas* Canvas, const TRect& R, TkxBarItem* Item) {
  TkxBarGlyphParams p;
  p.ButtonRect = R;
  p.UseExistingBackground = true;
  p.Enabled = Item->StoredEnabled();
  TkxBarManager* m = Item->BarManager();
  p.ImageListBkColor = m ? m->ImageListBkColor() : clFuchsia;
  if (Item->Glyph() && !Item->Glyph()->Empty()) {
    p.Bitmap = Item->Glyph();
  } else {
    p.Images = Item->GetImages();
    p.ImageIndex = Item->GetImageIndex();
  }
  int gw = p.Bitmap ? p.Bitmap->Width() : (p.Images ? p.Images->Width() : 0);
  int gh = p.Bitmap ? p.Bitmap->Height() : (p.Images ? p.Images->Height() : 0);
  int x = R.left + (R.Width() - gw) / 2, y = R.top + (R.Height() - gh) / 2;
  p.GlyphRect = TRect{x, y, x + gw, y + gh};
  kxBarDrawGlyph(Canvas->Handle(), p);
}

bool TkxBarCustomizingFormPainter::IsDropDownButton(TkxBarItem* Item) {
  auto* b = dynamic_cast<TkxBarButton*>(Item);
  return b && b->ButtonStyle() == bsDropDown;
}

bool TkxBarCustomizingFormPainter::HasArrow(TkxBarItem* Item) {
  if (auto* c = dynamic_cast<TCustomkxBarContainerItem*>(Item)) return !c->HasGroupBegin();
  return dynamic_cast<TCustomkxBarSubItem*>(Item) != nullptr;
}

AnsiString TkxBarCustomizingFormPainter::CommandText(const AnsiString& Caption, TkxBarItem* Item) {
  auto* c = dynamic_cast<TCustomkxBarContainerItem*>(Item);
  return c && c->HasGroupBegin() ? "(" + Caption + ")" : Caption;
}

void TkxBarCustomizingFormPainter::DrawCaption(TCanvas* Canvas, const TRect& R, bool Selected,
                                               const AnsiString& Text) const {
  Canvas->Font()->SetColor(GetTextColor(Selected));
  HDC dc = Canvas->Handle();
  int mode = SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(GetTextColor(Selected)));
  RECT r{R.left + 2, R.top, R.right, R.bottom};
  DrawTextA(dc, Text.c_str(), int(Text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SetBkMode(dc, mode);
}

int TkxBarCustomizingFormPainter::EditCaptionWidth(TCanvas* Canvas, const AnsiString& Caption) const {
  return Canvas->TextWidth(Caption) + 3;
}

void TkxBarCustomizingFormPainter::DrawDropDownPart(TCanvas* Canvas, const TRect& R, bool Selected) const {
  CmdFill(Canvas, R, GetBackgroundColor(false, nullptr));
  if (Selected) {
    CmdEdge(Canvas, R, BDR_RAISEDINNER);
  } else {
    RECT line{R.left, R.top + 2, R.left + 2, R.bottom - 2};
    DrawEdge(Canvas->Handle(), &line, EDGE_ETCHED, BF_LEFT);
  }
}

void TkxBarCustomizingFormPainter::DrawCommand(TCanvas* Canvas, TRect R, bool Selected, const AnsiString& Caption,
                                               TkxBarItem* Item) const {
  bool glyph = HasGlyph(Item);
  TRect column{R.left, R.top, R.left + kGlyphColumn, R.bottom};
  TColor columnColor = GetBackgroundColor(Selected && !glyph, Item);
  CmdFill(Canvas, column, columnColor);
  CmdFill(Canvas, TRect{column.right, R.top, column.right + 1, R.bottom}, columnColor);
  if (glyph) {
    if (Selected) CmdEdge(Canvas, column, BDR_RAISEDINNER);
    DrawItemGlyph(Canvas, column, Item);
  }
  bool dropDown = IsDropDownButton(Item);
  TRect text{R.left + kGlyphColumn + 1, R.top, R.right - (dropDown ? kArrowPart : 0), R.bottom};
  CmdFill(Canvas, text, GetBackgroundColor(Selected, Item));
  DrawCaption(Canvas, text, Selected, CommandText(Caption, Item));
  if (dropDown) {
    TRect part{R.right - kArrowPart, R.top, R.right, R.bottom};
    DrawDropDownPart(Canvas, part, Selected);
    DrawArrow(Canvas, R.right - 9, false, R.top + 7);
  } else if (HasArrow(Item)) {
    Canvas->Font()->SetColor(GetTextColor(Selected));
    DrawArrow(Canvas, R.right - 9, Selected, R.top + 7);
  }
}

void TkxBarCustomizingFormPainter::DrawEditBox(TCanvas* Canvas, TRect R, bool Selected, bool Combo) const {
  if (Selected) CmdEdge(Canvas, R, EDGE_SUNKEN);
  else CmdFrame(Canvas, R, clBtnFace);
  TRect inner{R.left + 1, R.top + 1, R.right - 1, R.bottom - 1};
  CmdFrame(Canvas, inner, clBtnFace);
  inner = TRect{inner.left + 1, inner.top + 1, inner.right - 1, inner.bottom - 1};
  CmdFill(Canvas, inner, clWindow);
  if (!Combo) return;
  TRect button{inner.right - 12, inner.top, inner.right, inner.bottom};
  if (Selected) CmdEdge(Canvas, button, EDGE_RAISED);
  else CmdFrame(Canvas, button, clBtnHighlight);
  CmdFill(Canvas, TRect{button.left - 1, button.top, button.left, button.bottom}, clBtnFace);
  kxBarDrawArrow(Canvas->Handle(), button, true, true, Selected, false);
}

void TkxBarCustomizingFormPainter::DrawEditCommand(TCanvas* Canvas, TRect R, bool Selected, const AnsiString& Caption,
                                                   TkxBarItem* Item) const {
  int w = EditCaptionWidth(Canvas, Caption);
  TRect cap{R.left, R.top, std::min(R.right, R.left + w), R.bottom};
  CmdFill(Canvas, cap, GetBackgroundColor(Selected, Item));
  DrawCaption(Canvas, cap, Selected, Caption);
  TRect gap{cap.right, R.top, std::min(R.right, cap.right + 4), R.bottom};
  CmdFill(Canvas, gap, GetBackgroundColor(false, Item));
  TRect box{gap.right, R.top, R.right, R.bottom};
  if (box.right - box.left > 6) DrawEditBox(Canvas, box, Selected, dynamic_cast<TkxBarCombo*>(Item) != nullptr);
}

void TkxBarCustomizingFormStandardPainter::DrawFocusRect(TCanvas* Canvas, const TRect& R, TkxBarItem*) const {
  TRect r{R.left + 2, R.top + 2, R.right - 2, R.bottom - 2};
  Canvas->DrawFocusRect(r);
}

// ---- flat ----

TColor TkxBarCustomizingFormFlatPainter::GetBackgroundColor(bool Selected, TkxBarItem* Item) const {
  TkxBarManager* m = Item ? Item->BarManager() : nullptr;
  if (Selected) return m ? m->XPSelectedColor() : clHighlight;
  return clWindow;
}

TColor TkxBarCustomizingFormFlatPainter::GetTextColor(bool Selected) const {
  return Selected && IsWhiteFaceScheme() ? clBtnFace : clBtnText;
}

void TkxBarCustomizingFormFlatPainter::FillGlyphColumn(TCanvas* Canvas, const TRect& R, bool Selected,
                                                       TkxBarItem* Item) const {
  CmdFill(Canvas, R, Selected ? GetBackgroundColor(true, Item) : clBtnFace);
}

void TkxBarCustomizingFormFlatPainter::FrameSelected(TCanvas* Canvas, const TRect& R) const {
  kxBarDrawFocusFrame(Canvas->Handle(), R);
}

void TkxBarCustomizingFormFlatPainter::DrawDropDownPart(TCanvas* Canvas, const TRect& R, bool Selected) const {
  CmdFill(Canvas, R, GetBackgroundColor(false, nullptr));
  if (Selected) FrameSelected(Canvas, R);
  else CmdFrame(Canvas, R, clBtnShadow);
}

void TkxBarCustomizingFormFlatPainter::DrawCommand(TCanvas* Canvas, TRect R, bool Selected, const AnsiString& Caption,
                                                   TkxBarItem* Item) const {
  int square = R.Height();
  TRect column{R.left, R.top, R.left + square, R.bottom};
  bool dropDown = IsDropDownButton(Item);
  TRect body{R.left, R.top, R.right - (dropDown ? kArrowPart : 0), R.bottom};
  CmdFill(Canvas, body, GetBackgroundColor(Selected, Item));
  FillGlyphColumn(Canvas, column, Selected, Item);
  if (HasGlyph(Item)) DrawItemGlyph(Canvas, column, Item);
  TRect text{R.left + square + 10 - 2, R.top, body.right, R.bottom};
  DrawCaption(Canvas, text, Selected, CommandText(Caption, Item));
  if (Selected) FrameSelected(Canvas, body);
  if (dropDown) {
    TRect part{R.right - kArrowPart, R.top, R.right, R.bottom};
    DrawDropDownPart(Canvas, part, Selected);
    Canvas->Font()->SetColor(GetTextColor(false));
    DrawArrow(Canvas, R.right - 9, false, R.top + 7);
  } else if (HasArrow(Item)) {
    Canvas->Font()->SetColor(GetTextColor(Selected));
    DrawArrow(Canvas, R.right - 9, Selected, R.top + 7);
  }
}

void TkxBarCustomizingFormFlatPainter::DrawEditBox(TCanvas* Canvas, TRect R, bool Selected, bool Combo) const {
  CmdFill(Canvas, R, clWindow);
  if (Selected) FrameSelected(Canvas, R);
  else CmdFrame(Canvas, R, clBtnShadow);
  if (!Combo) return;
  TRect button{R.right - 13, R.top + 1, R.right - 1, R.bottom - 1};
  CmdFill(Canvas, button, clBtnFace);
  CmdFill(Canvas, TRect{button.left - 1, button.top, button.left, button.bottom}, Selected ? clHighlight : clBtnShadow);
  kxBarDrawArrow(Canvas->Handle(), button, true, true, Selected, true);
}

// ---- Office 2003 ----

TColor TkxBarCustomizingFormOffice11Painter::GetBackgroundColor(bool Selected, TkxBarItem*) const {
  return Selected ? Office11HotColor : Office11MenuColor;
}

TColor TkxBarCustomizingFormOffice11Painter::GetTextColor(bool Selected) const {
  return Selected && IsWhiteFaceScheme() ? clBtnFace : Office11TextColor;
}

void TkxBarCustomizingFormOffice11Painter::FillGlyphColumn(TCanvas* Canvas, const TRect& R, bool Selected,
                                                           TkxBarItem* Item) const {
  if (Selected) {
    CmdFill(Canvas, R, GetBackgroundColor(true, Item));
    return;
  }
  RECT r{R.left, R.top, R.right, R.bottom};
  FillTubeGradientRect(Canvas->Handle(), r, Office11MenuSideStripColor1, Office11MenuSideStripColor2, true);
}

void TkxBarCustomizingFormOffice11Painter::FrameSelected(TCanvas* Canvas, const TRect& R) const {
  CmdFrame(Canvas, R, Office11SelectedBorderColor);
}

// ---------------------------------------------------------------------------
// the command list

TCommandsListBox::TCommandsListBox(TComponent* AOwner, TkxBarCustomizingForm* Form)
    : TCustomListBox(AOwner), FForm(Form) {
  SetStyle(lbOwnerDrawVariable);
  SetItemHeight(kRowHeight);
  SetControlStyle(ControlStyle() - TControlStyle{csCaptureMouse} + TControlStyle{csOpaque});
}

void TCommandsListBox::CreateParams(TCreateParams& Params) { TCustomListBox::CreateParams(Params); }

TkxBarItem* TCommandsListBox::Item(int Index) {
  if (Index < 0 || Index >= Items()->Count()) return nullptr;
  return static_cast<TkxBarItem*>(Items()->Objects(Index));
}

TkxBarItem* TCommandsListBox::SelectedItem() { return Item(ItemIndex()); }

const TkxBarCustomizingFormPainter* TCommandsListBox::Painter() const {
  return kxBarCustomizingFormPainterOf(FForm ? FForm->BarManager() : nullptr);
}

void TCommandsListBox::MeasureItem(int, int& Height) { Height = kRowHeight; }

void TCommandsListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  TkxBarItem* item = Item(Index);
  if (!item) return;
  TCanvas* c = Canvas();
  TColor brush = c->Brush()->Color(), pen = c->Pen()->Color();
  c->Font()->Assign(Font());
  bool selected = State.Contains(odSelected);
  AnsiString caption = StripHotkey(item->Caption());
  const TkxBarCustomizingFormPainter* p = Painter();
  if (dynamic_cast<TkxBarEdit*>(item)) p->DrawEditCommand(c, Rect, selected, caption, item);
  else p->DrawCommand(c, Rect, selected, caption, item);
  c->Brush()->SetColor(brush);
  c->Pen()->SetColor(pen);
  if (State.Contains(odFocused)) p->DrawFocusRect(c, Rect, item);
}

void TCommandsListBox::FillBelowRows(HDC DC) {
  RECT client;
  GetClientRect(Handle(), &client);
  int count = Items()->Count();
  int bottom = count > 0 ? ItemRect(count - 1).bottom : 0;
  if (count > 0 && TopIndex() > count - 1) bottom = 0;
  if (bottom >= client.bottom) return;
  RECT r{client.left, bottom, client.right, client.bottom};
  TkxBarItem* any = count > 0 ? Item(0) : nullptr;
  TColor color = Painter()->GetBackgroundColor(false, any);
  if (!any && FForm) {
    TkxBarManager* m = FForm->BarManager();
    (void)m;
  }
  FillRectWithColor(DC, r, color);
}

void TCommandsListBox::WMEraseBkgnd(TMessage& Message) {
  FillBelowRows(reinterpret_cast<HDC>(Message.WParam));
  Message.Result = 1;
}

void TCommandsListBox::WMPaint2(TMessage& Message) {
  TCustomListBox::Dispatch(Message);
  HDC dc = GetDC(Handle());
  FillBelowRows(dc);
  ReleaseDC(Handle(), dc);
}

void TCommandsListBox::WMMouseActivate2(TMessage& Message) {
  TCustomListBox::Dispatch(Message);
  POINT p;
  GetCursorPos(&p);
  ::ScreenToClient(Handle(), &p);
  int i = ItemAtPos(TPoint{p.x, p.y}, true);
  if (i >= 0 && i != ItemIndex()) SetItemIndex(i);
}

void TCommandsListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomListBox::MouseDown(Button, Shift, X, Y);
  if (FForm) FForm->CommandsMouseDown(Button, Shift, X, Y);
}

void TCommandsListBox::WMRButtonDown2(TWMMouse& Message) {
  TCustomListBox::Dispatch(Message);
  if (FForm) FForm->CommandsRightPress(Message.XPos(), Message.YPos());
}

void TCommandsListBox::KeyDown(Word& Key, TShiftState Shift) {
  if (FForm) FForm->CommandsKeyDown(Key, Shift);
  if (Key) TCustomListBox::KeyDown(Key, Shift);
}

void TCommandsListBox::DblClick() {
  TCustomListBox::DblClick();
  if (FForm) FForm->CommandsDblClick();
}

void TCommandsListBox::DoEnter() {
  TCustomListBox::DoEnter();
  if (ItemIndex() < 0 && Items()->Count() > 0) {
    SetItemIndex(0);
    Click();
  }
}

// ---------------------------------------------------------------------------
// the page

void TkxBarCustomizingForm::SetupCommandsPage() {
  LabelCategories->SetCaption(uxTranslateString(Utf8ToAnsi(kCategoriesLabel)));
  LabelCommands->SetCaption(uxTranslateString(Utf8ToAnsi(kCommandsLabel)));
  LabelDescription->SetCaption(uxTranslateString(Utf8ToAnsi(kDescriptionLabel)));
  LabelCategories->SetFocusControl(LCategories);
}

int TkxBarCustomizingForm::SelectedCategory() {
  int row = LCategories ? LCategories->ItemIndex() : -1;
  return row < 0 ? -1 : FBarManager->GetCategoryIndexByVisibleIndex(row);
}

TkxBarItem* TkxBarCustomizingForm::SelectedCommand() { return FCommands ? FCommands->SelectedItem() : nullptr; }

void TkxBarCustomizingForm::RefreshCategories() {
  TkxBarManagerCategories* cats = FBarManager->Categories();
  LCategories->Items()->BeginUpdate();
  LCategories->Items()->Clear();
  for (int i = 0; i < cats->Count(); ++i)
    if (Designing() || FBarManager->GetCategoryVisible(i)) LCategories->Items()->Add(cats->Get(i));
  LCategories->Items()->EndUpdate();
  FListRefreshing = true;
  LCategories->SetItemIndex(LCategories->Items()->Count() > 0 ? 0 : -1);
  FListRefreshing = false;
  FillCommands();
}

void TkxBarCustomizingForm::FillCommands() {
  std::vector<TkxBarItem*> items;
  int category = SelectedCategory();
  if (category >= 0) FBarManager->GetVisibleItemsByCategory(category, items);
  FCommands->Items()->BeginUpdate();
  FCommands->Items()->Clear();
  for (TkxBarItem* item : items) FCommands->Items()->AddObject(item->Caption(), item);
  FCommands->Items()->EndUpdate();
  DescriptionLabel->SetCaption("");
}

void TkxBarCustomizingForm::RefreshCommands() {
  int row = FCommands->ItemIndex();
  FillCommands();
  int count = FCommands->Items()->Count();
  if (row >= count) row = count - 1;
  FCommands->SetItemIndex(row);
  if (TkxBarItem* item = SelectedCommand()) DescriptionLabel->SetCaption(item->Description());
  FCommands->Invalidate();
}

void TkxBarCustomizingForm::LCategoriesClick(TObject*) { FillCommands(); }

void TkxBarCustomizingForm::LCategoriesKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (!Designing() || !Shift.Empty()) return;
  if (Key == VK_INSERT) CategoriesInsertClick(nullptr);
  else if (Key == VK_DELETE) CategoriesDeleteClick(nullptr);
}

void TkxBarCustomizingForm::LCategoriesMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button == mbLeft && Designing()) {
    // At design time a row is dragged to reorder the categories.
    int row = LCategories->ItemAtPos(TPoint{X, Y}, true);
    if (row < 0) return;
    FDraggingCategory = row;
    LCategories->SetDragMode(dmAutomatic);
    LCategories->BeginDrag(false);
    return;
  }
  if (Button != mbRight) return;
  LCategories->SetFocus();
  int row = LCategories->ItemAtPos(TPoint{X, Y}, true);
  if (row >= 0 && row != LCategories->ItemIndex()) {
    LCategories->SetItemIndex(row);
    FillCommands();
  }
  if (Designing() && CategoriesPopupMenu) {
    TPoint p = LCategories->ClientToScreen(TPoint{X, Y});
    CategoriesPopupMenu->Popup(p.x, p.y);
  }
}

void TkxBarCustomizingForm::LCategoriesDragOver(TObject*, TObject* Source, int X, int Y, TDragState, bool& Accept) {
  Accept = false;
  if (FDraggingCategory < 0 || !Designing()) return;
  if (auto* drag = dynamic_cast<TDragControlObject*>(Source); drag && drag->Control() != LCategories) return;
  Accept = true;
  int row = LCategories->ItemAtPos(TPoint{X, Y}, true);
  if (row < 0 || row == FDraggingCategory) return;
  int from = FBarManager->GetCategoryIndexByVisibleIndex(FDraggingCategory);
  int to = FBarManager->GetCategoryIndexByVisibleIndex(row);
  if (from < 0 || to < 0) return;
  FBarManager->Categories()->Move(from, to);
  LCategories->Items()->Move(FDraggingCategory, row);
  LCategories->SetItemIndex(row);
  FDraggingCategory = row;
  FBarManager->DesignerModified();
}

void TkxBarCustomizingForm::LCategoriesEndDrag(TObject*, TObject*, int, int) {
  LCategories->SetDragMode(dmManual);
  FDraggingCategory = -1;
}

void TkxBarCustomizingForm::LCommandsClick(TObject*) {
  FBarManager->SetSelectedItem(nullptr);
  TkxBarItem* item = SelectedCommand();
  DescriptionLabel->SetCaption(item ? item->Description() : AnsiString());
  kxBarDispatchPaintMessages();
}

void TkxBarCustomizingForm::CommandsMouseDown(TMouseButton Button, TShiftState, int X, int Y) {
  if (Button != mbLeft || FCommands->ItemIndex() < 0) return;
  LCommandsClick(nullptr);
  TkxBarItem* item = SelectedCommand();
  if (!item) return;
  POINT p{X, Y};
  ::ClientToScreen(FCommands->Handle(), &p);
  if (DragDetect(FCommands->Handle(), p)) FBarManager->DragItem(item, nullptr);
}

void TkxBarCustomizingForm::CommandsRightPress(int X, int Y) {
  FCommands->SetFocus();
  int row = FCommands->ItemAtPos(TPoint{X, Y}, true);
  if (row >= 0) FCommands->SetItemIndex(row);
  LCommandsClick(nullptr);
  if (Designing() && CommandsPopupMenu) {
    TPoint p = FCommands->ClientToScreen(TPoint{X, Y});
    CommandsPopupMenu->Popup(p.x, p.y);
  }
}

void TkxBarCustomizingForm::CommandsKeyDown(Word& Key, TShiftState Shift) {
  if (!Designing()) return;
  if (Shift.Contains(ssCtrl) && (Key == VK_UP || Key == VK_DOWN)) {
    MoveCommand(Key == VK_UP ? -1 : 1);
    Key = 0;
  } else if (Shift.Empty() && Key == VK_INSERT) {
    Key = 0;
    CommandsAddClick(nullptr);
  } else if (Shift.Empty() && Key == VK_DELETE) {
    Key = 0;
    CommandsDeleteClick(nullptr);
  }
}

void TkxBarCustomizingForm::CommandsDblClick() {}

void TkxBarCustomizingForm::MoveCommand(int Delta) {
  int row = FCommands->ItemIndex();
  int other = row + Delta;
  if (row < 0 || other < 0 || other >= FCommands->Items()->Count()) return;
  TkxBarItem* a = FCommands->Item(row);
  TkxBarItem* b = FCommands->Item(other);
  int ia = -1, ib = -1;
  for (int i = 0; i < FBarManager->ItemCount(); ++i) {
    if (FBarManager->GetItem(i) == a) ia = i;
    if (FBarManager->GetItem(i) == b) ib = i;
  }
  if (ia < 0 || ib < 0) return;
  FBarManager->ExchangeItems(ia, ib);
  FCommands->Items()->Exchange(row, other);
  FCommands->SetItemIndex(other);
  FBarManager->DesignerModified();
}

void TkxBarCustomizingForm::ItemsChanged() {
  FCommands->Invalidate();
  TkxBarItem* item = SelectedCommand();
  DescriptionLabel->SetCaption(item ? item->Description() : AnsiString());
  CalcAllCommandsWidths();
}

void TkxBarCustomizingForm::SelectItem(TkxBarItem* Item, bool Force) {
  if (!Item || FDeleting) return;
  int category = Item->Category();
  if (Force || category != SelectedCategory()) {
    int row = -1;
    for (int i = 0; i < LCategories->Items()->Count(); ++i)
      if (FBarManager->GetCategoryIndexByVisibleIndex(i) == category) row = i;
    if (row < 0) return;
    FListRefreshing = true;
    LCategories->SetItemIndex(row);
    FListRefreshing = false;
    FillCommands();
  }
  int row = FCommands->Items()->IndexOfObject(Item);
  FCommands->SetItemIndex(row);
  DescriptionLabel->SetCaption(row >= 0 ? Item->Description() : AnsiString());
}

void TkxBarCustomizingForm::ItemDestroyed() {
  RefreshCommands();
  if (Designing()) RefreshAllCommands();
}

void TkxBarCustomizingForm::CategoryChanged(TkxBarItem* Item) {
  if (Item && (Item->Category() == SelectedCategory() || FCommands->Items()->IndexOfObject(Item) >= 0))
    RefreshCommands();
}
