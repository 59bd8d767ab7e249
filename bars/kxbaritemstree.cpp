// The tree combo: a combo item whose drop-down is a tree of nodes framed
// with a size grip and a close button; choosing a node puts its text into
// the item. In menus a click opens a selection dialog with the same tree.
#include <algorithm>
#include <memory>

#include "bars/kxbaritemsext.h"
#include "platform/controls/stdctrls.h"
#include "platform/rtl/strings.h"
#include "treechart/dropdownhelpers.h"

namespace kxbaritemstree {

const char* const kOkCaption = "\xC8\xB7\xB6\xA8";      // 确定
const char* const kCancelCaption = "\xC8\xA1\xCF\xFB";  // 取消

TkxBarItemControlPainterClass PainterOf(TkxBarItem* Item) {
  TkxBarManager* m = Item ? Item->BarManager() : nullptr;
  return m && m->PainterClass() ? m->PainterClass() : TkxBarItemControlEnhancedPainter::Instance();
}

bool InRect(const TRect& R, const TPoint& P) {
  return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom;
}

// The tree combo's selection dialog, alive while it is shown.
class TTreeSelectDialog : public TObject {
 public:
  explicit TTreeSelectDialog(TkxBarTreeViewCombo* Item) : FItem(Item) {}
  void Execute();

 private:
  void Layout(TObject*);
  TkxBarTreeViewCombo* FItem;
  TForm* FForm = nullptr;
  TkxBarTreeView* FTree = nullptr;
  TButton* FOk = nullptr;
  TButton* FCancel = nullptr;
  int FW = 0, FH = 0, FM = 0;
};

void TTreeSelectDialog::Layout(TObject*) {
  if (!FForm || !FTree) return;
  int cw = FForm->ClientWidth(), ch = FForm->ClientHeight();
  FTree->SetBounds(FM, FM, std::max(cw - FW - 3 * FM, 10), std::max(ch - 2 * FM, 10));
  FOk->SetBounds(cw - FM - FW, FM, FW, FH);
  FCancel->SetBounds(cw - FM - FW, 2 * FM + FH, FW, FH);
}

void TTreeSelectDialog::Execute() {
  std::unique_ptr<TForm, void (*)(TForm*)> form(new TForm(nullptr, 0), [](TForm* f) { f->Free(); });
  FForm = form.get();
  TkxBarTreeView* source = FItem->TreeView();
  if (FItem->AllowResizing()) {
    form->SetBorderStyle(bsSizeable);
    form->SetBorderIcons(TBorderIcons());
  } else {
    form->SetBorderStyle(bsDialog);
  }
  form->SetCaption(uxTranslateString(kxBarSelectItemCaption));
  if (TkxBarManager* m = FItem->BarManager()) form->Font()->Assign(m->Font());
  form->SetPosition(poScreenCenter);
  TkxBarSelectionDialogLayout lay(form->Font());
  FW = lay.ButtonWidth;
  FH = lay.ButtonHeight;
  FM = lay.Margin;
  FTree = new TkxBarTreeView(form.get(), FItem, false);
  FTree->SetParent(form.get());
  FTree->SetVisible(true);
  FTree->SetImages(source->Images());
  FTree->SetStateImages(source->StateImages());
  FTree->SetIndent(source->Indent());
  FTree->Items()->Assign(source->Items());
  FTree->SetShowButtons(source->ShowButtons());
  FTree->SetShowLines(source->ShowLines());
  FTree->SetShowRoot(source->ShowRoot());
  FTree->SetSortType(source->SortType());
  FTree->SetBounds(FM, FM, 100, 100);
  FTree->SetClientWidth(FItem->DropDownWidth());
  FTree->SetClientHeight(FItem->DropDownHeight());
  FOk = new TButton(form.get());
  FOk->SetParent(form.get());
  FOk->SetCaption(uxTranslateString(kOkCaption));
  FOk->SetModalResult(mrOk);
  FOk->SetDefault(true);
  FCancel = new TButton(form.get());
  FCancel->SetParent(form.get());
  FCancel->SetCaption(uxTranslateString(kCancelCaption));
  FCancel->SetModalResult(mrCancel);
  FCancel->SetCancel(true);
  form->SetClientWidth(FTree->Width() + FW + 3 * FM);
  form->SetClientHeight(FTree->Height() + 2 * FM);
  Layout(nullptr);
  if (FItem->AllowResizing()) form->OnResize = TNotifyEvent(this, &TTreeSelectDialog::Layout);
  if (FItem->FullExpand()) FTree->FullExpand();
  if (TTreeNode* n = FTree->FindNodeByText(FItem->Text())) FTree->SetSelected(n);
  else if (TTreeNode* first = FTree->Items()->GetFirstNode()) first->SetFocused(true);
  if (form->ShowModal() == mrOk)
    if (TTreeNode* n = FTree->Selected()) FItem->SetText(n->Text());
  // a resized dialog resizes the drop-down too
  FItem->SetDropDownWidth(FTree->ClientWidth());
  FItem->SetDropDownHeight(FTree->ClientHeight());
  FTree = nullptr;
  FForm = nullptr;
}

}  // namespace kxbaritemstree

using namespace kxbaritemstree;

// ===========================================================================
// TkxBarTreeView

TkxBarTreeView::TkxBarTreeView(TComponent* AOwner, TkxBarTreeViewCombo* Combo, bool DropDown)
    : TCustomTreeView(AOwner), FCombo(Combo), FDropDown(DropDown) {
  SetVisible(false);
  SetReadOnly(true);
  SetBounds(0, 0, 150, 200);
}

TkxBarTreeView::~TkxBarTreeView() {
  if (FCombo && FCombo->FTree == this) FCombo->FTree = nullptr;
  // the nodes go deepest first, each telling the combo
  Items()->Clear();
}

void TkxBarTreeView::CreateParams(TCreateParams& Params) {
  TCustomTreeView::CreateParams(Params);
  if (!FDropDown) return;
  Params.Style = (Params.Style & ~DWORD(WS_CHILD | WS_TABSTOP)) | WS_POPUP;
  Params.ExStyle = (Params.ExStyle & ~DWORD(WS_EX_CLIENTEDGE)) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WindowClass.style |= CS_SAVEBITS;
  // owned by the manager's form from the start: the tree's notices (selection,
  // deletion) go to its owner
  Params.WndParent = ParentWindow();
  if (!Params.WndParent && FCombo && FCombo->BarManager())
    if (TCustomForm* f = FCombo->BarManager()->OwnerForm(); f && f->HandleAllocated()) Params.WndParent = f->Handle();
}

void TkxBarTreeView::CreateWnd() {
  TCustomTreeView::CreateWnd();
  if (!FDropDown) return;
  // drawn as focused without taking the focus
  TMessage m{WM_SETFOCUS, 0, 0, 0};
  DefaultHandler(m);
}

TTreeNode* TkxBarTreeView::FindNodeByText(const AnsiString& Text) {
  for (TTreeNode* n = Items()->GetFirstNode(); n; n = n->GetNext())
    if (AnsiSameText(n->Text(), Text)) return n;
  return nullptr;
}

void TkxBarTreeView::ChooseNode() {
  TTreeNode* node = Selected();
  if (!node || !FCombo) return;
  bool can = true;
  if (FCombo->OnCanSelectNode) FCombo->OnCanSelectNode(FCombo, node, can);
  if (!can) return;
  if (FDropDown) {
    if (TkxBarItemLink* l = FCombo->CurItemLink()) l->SourceLink()->MarkUsed(true);
    TkxBarTreeViewCombo* combo = FCombo;
    if (TkxBarManager* m = combo->BarManager()) m->HideAll();
    combo->SetCurrentNode(node);
  } else {
    FCombo->SetText(node->Text());
    if (TCustomForm* f = GetParentForm(this)) f->SetModalResult(mrOk);
  }
}

bool TkxBarTreeView::OnNodePart(int X, int Y) {
  THitTests h = GetHitTestInfoAt(X, Y);
  return h.Contains(htOnItem) || h.Contains(htOnIcon) || h.Contains(htOnLabel) || h.Contains(htOnStateIcon);
}

void TkxBarTreeView::Change(TTreeNode* Node) {
  TCustomTreeView::Change(Node);
  // while the item is edited the selection shows in its editor
  if (FDropDown && FCombo && Node && FCombo->FocusedItemLink()) FCombo->SetCurText(Node->Text());
}

void TkxBarTreeView::Delete(TTreeNode* Node) {
  if (FCombo && FDropDown) FCombo->ForgetNode(Node);
  TCustomTreeView::Delete(Node);
}

void TkxBarTreeView::DblClick() {
  TCustomTreeView::DblClick();
  if (!FCombo || !FCombo->ChooseByDblClick() || !HandleAllocated()) return;
  POINT p;
  GetCursorPos(&p);
  TPoint c = ScreenToClient(TPoint{p.x, p.y});
  if (OnNodePart(c.x, c.y)) ChooseNode();
}

void TkxBarTreeView::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_RETURN) {
    ChooseNode();
    Key = 0;
    return;
  }
  TCustomTreeView::KeyDown(Key, Shift);
}

void TkxBarTreeView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomTreeView::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft && FCombo && !FCombo->ChooseByDblClick() && OnNodePart(X, Y)) ChooseNode();
}

void TkxBarTreeView::SetCloseHot(bool Value) {
  if (FCloseHot == Value) return;
  FCloseHot = Value;
  if (HandleAllocated()) SendMessageA(Handle(), WM_NCPAINT, 0, 0);
}

void TkxBarTreeView::WndProc(TMessage& Message) {
  if (!FDropDown) {
    TCustomTreeView::WndProc(Message);
    return;
  }
  TkxBarItemControlPainterClass painter = PainterOf(FCombo);
  bool sizable = FCombo && FCombo->AllowResizing();
  switch (Message.Msg) {
    case WM_NCCALCSIZE: {
      auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
      TRect r(p->rgrc[0].left, p->rgrc[0].top, p->rgrc[0].right, p->rgrc[0].bottom);
      painter->CalcDropDownNonClient(Handle(), r, sizable, FCombo, FGripCorner);
      p->rgrc[0] = RECT{r.left, r.top, r.right, r.bottom};
      Message.Result = 0;
      return;
    }
    case WM_NCPAINT: {
      HDC dc = GetWindowDC(Handle());
      painter->DrawDropDownNonClient(dc, Handle(), sizable, FGripRect, FCloseRect, FGripCorner, FCloseHot,
                                     FCloseTracking);
      ReleaseDC(Handle(), dc);
      Message.Result = 0;
      return;
    }
    case WM_NCHITTEST: {
      TPoint p{short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam))};
      if (sizable && InRect(FGripRect, p)) {
        Message.Result = kxCornerToHitTest(FGripCorner);
        return;
      }
      HWND capture = GetCapture();
      bool hot = (capture == nullptr || FCloseTracking) && InRect(FCloseRect, p);
      SetCloseHot(hot);
      if (hot) {
        Message.Result = HTBORDER;
        return;
      }
      break;
    }
    case WM_NCLBUTTONDOWN:
      if (FCloseHot) {
        FCloseTracking = true;
        SetCapture(Handle());
        SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        Message.Result = 0;
        return;
      }
      break;
    case WM_LBUTTONUP:
      if (FCloseTracking) {
        FCloseTracking = false;
        POINT c;
        GetCursorPos(&c);
        bool over = InRect(FCloseRect, TPoint{c.x, c.y});
        if (GetCapture() == Handle()) ReleaseCapture();
        if (over && FCombo && FCombo->BarManager()) FCombo->BarManager()->HideAll();
        else SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        Message.Result = 0;
        return;
      }
      break;
    case WM_MOUSEACTIVATE:
      Message.Result = MA_NOACTIVATE;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // the tree takes the focus on a press; the item's editor keeps it
      HWND focus = GetFocus();
      TCustomTreeView::WndProc(Message);
      if (HandleAllocated() && focus && focus != Handle() && GetFocus() == Handle() && IsWindow(focus)) ::SetFocus(focus);
      return;
    }
    case WM_CAPTURECHANGED:
      FCloseTracking = false;
      SetCloseHot(false);
      break;
    case WM_NCMOUSELEAVE:
    case WM_MOUSELEAVE:
      SetCloseHot(false);
      break;
    case WM_GETMINMAXINFO: {
      TCustomTreeView::WndProc(Message);
      auto* mm = reinterpret_cast<MINMAXINFO*>(Message.LParam);
      mm->ptMinTrackSize = POINT{100, 100};
      return;
    }
    case TVM_SETIMAGELIST:
      TCustomTreeView::WndProc(Message);
      if (FCombo) FCombo->RebuildWindows();
      return;
    case TVM_SETITEMA: {
      TCustomTreeView::WndProc(Message);
      auto* item = reinterpret_cast<TVITEMA*>(Message.LParam);
      if (FCombo && FCombo->CurrentNode() && item && FCombo->CurrentNode()->ItemId() == item->hItem) {
        FCombo->SetRefreshing(true);
        FCombo->UpdateTextFromNode();
        FCombo->SetRefreshing(false);
      }
      return;
    }
    case WM_SYSCOLORCHANGE:
      TCustomTreeView::WndProc(Message);
      if (HandleAllocated()) RecreateWnd();
      return;
    default:
      break;
  }
  TCustomTreeView::WndProc(Message);
}

// ===========================================================================
// TkxBarTreeViewCombo

TkxBarTreeViewCombo::TkxBarTreeViewCombo(TComponent* AOwner) : TCustomkxBarCombo(AOwner) {
  SetShowEditor(false);
  FTree = new TkxBarTreeView(this, this, true);
}

TkxBarTreeViewCombo::~TkxBarTreeViewCombo() {
  TkxBarTreeView* t = FTree;
  FTree = nullptr;
  FCurrentNode = nullptr;
  if (t) t->Free();
}

TCustomImageList* TkxBarTreeViewCombo::Images() const { return FTree ? FTree->Images() : nullptr; }
void TkxBarTreeViewCombo::SetImages(TCustomImageList* Value) {
  if (FTree) FTree->SetImages(Value);
}
TCustomImageList* TkxBarTreeViewCombo::StateImages() const { return FTree ? FTree->StateImages() : nullptr; }
void TkxBarTreeViewCombo::SetStateImages(TCustomImageList* Value) {
  if (FTree) FTree->SetStateImages(Value);
}
int TkxBarTreeViewCombo::Indent() const { return FTree ? FTree->Indent() : 0; }
void TkxBarTreeViewCombo::SetIndent(int Value) {
  if (FTree) FTree->SetIndent(Value);
}
TTreeNodes* TkxBarTreeViewCombo::Items() const { return FTree ? FTree->Items() : nullptr; }
void TkxBarTreeViewCombo::SetItems(TTreeNodes* Value) {
  if (FTree) FTree->Items()->Assign(Value);
}
bool TkxBarTreeViewCombo::ShowButtons() const { return FTree && FTree->ShowButtons(); }
void TkxBarTreeViewCombo::SetShowButtons(bool Value) {
  if (FTree) FTree->SetShowButtons(Value);
}
bool TkxBarTreeViewCombo::ShowLines() const { return FTree && FTree->ShowLines(); }
void TkxBarTreeViewCombo::SetShowLines(bool Value) {
  if (FTree) FTree->SetShowLines(Value);
}
bool TkxBarTreeViewCombo::ShowRoot() const { return FTree && FTree->ShowRoot(); }
void TkxBarTreeViewCombo::SetShowRoot(bool Value) {
  if (FTree) FTree->SetShowRoot(Value);
}
TSortType TkxBarTreeViewCombo::SortType() const { return FTree ? FTree->SortType() : stNone; }
void TkxBarTreeViewCombo::SetSortType(TSortType Value) {
  if (FTree) FTree->SetSortType(Value);
}

void TkxBarTreeViewCombo::SetShowImageInEdit(bool Value) {
  if (FShowImageInEdit == Value) return;
  FShowImageInEdit = Value;
  RebuildWindows();
}

void TkxBarTreeViewCombo::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomkxBarCombo::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FTree) {
    FTree = nullptr;
    FCurrentNode = nullptr;
  }
}

void TkxBarTreeViewCombo::SetText(const AnsiString& Value) {
  if (Value == Text()) return;
  if (IsLoading()) {
    FLoadedText = Value;
    FHasLoadedText = true;
    return;
  }
  if (!FRefreshing && FTree) FCurrentNode = FTree->FindNodeByText(Value);
  TCustomkxBarCombo::SetText(Value);
}

void TkxBarTreeViewCombo::Loaded() {
  TCustomkxBarCombo::Loaded();
  if (!FHasLoadedText) return;
  FHasLoadedText = false;
  SetText(FLoadedText);
}

void TkxBarTreeViewCombo::UpdateTextFromNode() {
  bool saved = FRefreshing;
  FRefreshing = true;
  try {
    AnsiString wanted = FCurrentNode ? FCurrentNode->Text() : AnsiString();
    if (wanted != Text()) TCustomkxBarCombo::SetText(wanted);
    else Change();
  } catch (...) {
    FRefreshing = saved;
    throw;
  }
  FRefreshing = saved;
  RepaintControls();
}

void TkxBarTreeViewCombo::SetCurrentNode(TTreeNode* Node) {
  if (FCurrentNode == Node) return;
  FCurrentNode = Node;
  UpdateTextFromNode();
}

void TkxBarTreeViewCombo::ForgetNode(TTreeNode* Node) {
  if (Node && Node == FCurrentNode) FCurrentNode = nullptr;
}

bool TkxBarTreeViewCombo::CheckKeyForDropDownWindow(Word Key, TShiftState Shift) {
  return Key == VK_RETURN || TCustomkxBarCombo::CheckKeyForDropDownWindow(Key, Shift);
}

HWND TkxBarTreeViewCombo::GetDropDownWindow() {
  HWND w = TCustomkxBarCombo::GetDropDownWindow();
  if (w || !FTree) return w;
  return FTree->HandleAllocated() || FTree->ParentWindow() ? FTree->Handle() : nullptr;
}

void TkxBarTreeViewCombo::DropDown(int X, int Y) {
  if (!FTree) return;
  TkxBarItemLink* link = CurItemLink();
  TCustomkxBarControl* bar = link ? link->BarControl() : nullptr;
  if (bar && bar->HandleAllocated()) {
    FTree->SetParentWindow(bar->Handle());
    FTree->Font()->SetHandle(kxBarCopyFontHandle(bar->Font()));
  }
  FTree->HandleNeeded();
  FTree->SetBounds(FTree->Left(), FTree->Top(), FDropDownWidth, FDropDownHeight);
  if (FFullExpand) FTree->FullExpand();
  AnsiString edited = GetCurText();
  if (edited != Text())
    if (TTreeNode* n = FTree->FindNodeByText(edited)) FTree->SetSelected(n);
  if (!FTree->Selected())
    if (TTreeNode* first = FTree->Items()->GetFirstNode()) {
      first->SetFocused(true);
      first->MakeVisible();
    }
  if (TTreeNode* s = FTree->Selected()) s->MakeVisible();
  TCustomkxBarCombo::DropDown(X, Y);
}

void TkxBarTreeViewCombo::DrawInterior(TCanvas* Canvas, TkxBarItemLink* Link, const TRect& R) {
  TCustomImageList* images = Images();
  TCustomImageList* states = StateImages();
  if (!FShowImageInEdit || (!images && !states) || !Canvas || !FTree) {
    TCustomkxBarCombo::DrawInterior(Canvas, Link, R);
    return;
  }
  bool editing = Link && Link == FocusedItemLink();
  TTreeNode* node = editing ? FTree->Selected() : FCurrentNode;
  Canvas->FillRect(R);
  int x = R.left + 1;
  if (node && states && node->StateIndex() >= 0 && node->StateIndex() < states->Count()) {
    states->Draw(Canvas, x, R.top + (R.Height() - states->Height()) / 2, node->StateIndex(), true);
    x += states->Width();
  }
  if (images) {
    int i = -1;
    if (node && node->SelectedIndex() >= 0 && node->SelectedIndex() < images->Count()) i = node->SelectedIndex();
    else if (node && node->ImageIndex() >= 0 && node->ImageIndex() < images->Count()) i = node->ImageIndex();
    if (i >= 0) images->Draw(Canvas, x, R.top + (R.Height() - images->Height()) / 2, i, true);
    x += images->Width() + 3;
  }
  AnsiString text = editing ? GetCurText() : Text();
  RECT tr{x + 2, R.top, R.right - 2, R.bottom};
  SetBkMode(Canvas->Handle(), TRANSPARENT);
  DrawTextA(Canvas->Handle(), text.c_str(), int(text.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TkxBarTreeViewCombo::DoClick() {
  TCustomkxBarCombo::DoClick();
  if (OnClick || ReadOnly()) return;
  TTreeSelectDialog dialog(this);
  dialog.Execute();
}

// ===========================================================================
// TkxBarTreeViewComboControl

int TkxBarTreeViewComboControl::GetHeight() {
  int h = TCustomkxBarComboControl::GetHeight();
  auto* item = dynamic_cast<TkxBarTreeViewCombo*>(Item());
  if (!item || !item->ShowImageInEdit() || kxBarIsVerticalToolbar(FParent)) return h;
  int ih = 0;
  if (item->Images()) ih = item->Images()->Height();
  if (item->StateImages()) ih = std::max(ih, item->StateImages()->Height());
  return ih > 0 ? std::max(h, ih + 6) : h;
}

void TkxBarTreeViewComboControl::Activate(bool Flag) {
  TCustomkxBarComboControl::Activate(Flag);
  auto* item = dynamic_cast<TkxBarTreeViewCombo*>(Item());
  if (!item || !item->TreeView()) return;
  TTreeNode* n = item->CurrentNode() ? item->CurrentNode() : item->TreeView()->FindNodeByText(item->Text());
  if (n) item->TreeView()->SetSelected(n);
}
