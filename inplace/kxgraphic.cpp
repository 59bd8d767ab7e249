#include "inplace/kxgraphic.h"

#include <cstring>
#include <memory>

#include "inplace/kxresources.h"
#include "platform/controls/dialogs.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/variants.h"

KX_EDIT_CLASS_IMPL(TkxInplaceGraphicEdit)

namespace {

constexpr int kToolbarUnplaced = -10000;

std::uint32_t ReadLe(const char* P, int Bytes) {
  std::uint32_t v = 0;
  for (int i = Bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(P[i]);
  return v;
}

bool Unplaced(const TPoint& P) { return P.x == kToolbarUnplaced && P.y == kToolbarUnplaced; }

// The picture commands' menu: captions by command, -1 a separator.
const int kMenuCommands[] = {ptbCut, ptbCopy, ptbPaste, ptbDelete, -1, ptbLoad, ptbSave, -1, ptbCustom};

}  // namespace

// ---- picture values ----

bool kxIsPictureEmpty(TPicture* Picture) {
  return !Picture || !Picture->Graphic() || Picture->Graphic()->Empty();
}

void kxLoadPictureFromValue(TPicture* Picture, TClass GraphicClass, const Variant& Value) {
  if (!Picture) return;
  // Only a string is a picture value: any other value (a number included) is no picture.
  if (!VarIsStr(Value)) {
    Picture->SetGraphic(nullptr);
    return;
  }
  const AnsiString s = Value.AsString();
  if (s.empty()) {
    Picture->SetGraphic(nullptr);
    return;
  }
  const char* p = s.data();
  std::size_t n = s.size();
  if (n >= 8 && ReadLe(p, 2) == 1 && ReadLe(p + 2, 2) == 0x0100 && ReadLe(p + 4, 4) == n - 8) {
    p += 8;
    n -= 8;
  }
  TMemoryStreamReadOnly stream;
  stream.SetPointer(p, Int64(n));
  if (GraphicClass) {
    std::unique_ptr<TObject> o(CreateObject(GraphicClass, nullptr));
    auto* g = dynamic_cast<TGraphic*>(o.get());
    if (!g) throw EInvalidGraphic("Unknown picture kind");
    g->LoadFromStream(&stream);
    Picture->SetGraphic(g);
  } else {
    // Read aside first: bytes that are no picture leave the picture as it was.
    TBitmap b;
    b.LoadFromStream(&stream);
    Picture->SetBitmap(&b);
  }
}

void kxSavePictureToString(TPicture* Picture, AnsiString& S) {
  S.clear();
  if (kxIsPictureEmpty(Picture)) return;
  TMemoryStream m;
  Picture->Graphic()->SaveToStream(&m);
  S.assign(static_cast<const char*>(m.Memory()), std::size_t(m.Size()));
}

AnsiString kxPictureToString(TPicture* Picture) {
  AnsiString s;
  kxSavePictureToString(Picture, s);
  return s;
}

// ---- drawing ----

void kxDrawCellPicture(HDC DC, const TRect& R, TPicture* Picture, bool Stretch, bool Center, HBRUSH Brush,
                       TBitmap* TransparentScratch) {
  TGraphic* g = Picture->Graphic();
  const int pw = g->Width(), ph = g->Height();
  const int cw = R.Width(), ch = R.Height();
  TRect pr;
  if (Stretch) {
    // The largest size that fits, keeping the aspect ratio, at the top-left.
    int w = cw, h = ph > 0 && pw > 0 ? MulDiv(ph, cw, pw) : ch;
    if (h > ch) {
      h = ch;
      w = MulDiv(pw, ch, std::max(1, ph));
    }
    pr = kxRect(R.left, R.top, R.left + w, R.top + h);
  } else {
    int x = R.left, y = R.top;
    if (Center) {
      x += (cw - pw) / 2;
      y += (ch - ph) / 2;
    }
    pr = kxRect(x, y, x + pw, y + ph);
  }
  const int saved = SaveDC(DC);
  IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
  TCanvas* canvas = kxLockSharedCanvas(DC);
  try {
    if (!g->Transparent()) {
      canvas->StretchDraw(pr, g);
      ExcludeClipRect(DC, pr.left, pr.top, pr.right, pr.bottom);
      RECT r = R;
      if (Brush) FillRect(DC, &r, Brush);
    } else if (TransparentScratch) {
      // Over the background in a scratch bitmap, then one copy to the cell.
      kxEnsureBitmapSize(TransparentScratch, std::max(1, cw), std::max(1, ch));
      HDC bdc = TransparentScratch->Canvas()->Handle();
      RECT all{0, 0, cw, ch};
      if (Brush) FillRect(bdc, &all, Brush);
      TRect local = pr;
      OffsetRect(&local, -R.left, -R.top);
      TransparentScratch->Canvas()->StretchDraw(local, g);
      BitBlt(DC, R.left, R.top, cw, ch, bdc, 0, 0, SRCCOPY);
    } else {
      RECT r = R;
      if (Brush) FillRect(DC, &r, Brush);
      canvas->StretchDraw(pr, g);
    }
  } catch (...) {
    kxUnlockSharedCanvas();
    RestoreDC(DC, saved);
    throw;
  }
  kxUnlockSharedCanvas();
  RestoreDC(DC, saved);
}

TkxGraphicEditViewData::~TkxGraphicEditViewData() { delete TransparentBitmap; }

void TkxInplaceGraphicEdit::TClassRef::CalcViewInfo(TkxEditViewData* VD, bool CalcSize,
                                                    TkxEditViewRects& Rects) const {
  auto* g = dynamic_cast<TkxGraphicEditViewData*>(VD);
  if (g && kxIsPictureEmpty(g->Picture)) CalcSize = false;
  TkxInplaceEdit::TClassRef::CalcViewInfo(VD, CalcSize, Rects);
}

void TkxInplaceGraphicEdit::TClassRef::CalcButtonsRect(TkxEditViewData* VD, TRect& R) const {
  auto* g = dynamic_cast<TkxGraphicEditViewData*>(VD);
  if (g && !kxIsPictureEmpty(g->Picture)) R = kxRect(0, 0, g->Picture->Width(), g->Picture->Height());
  else R = TRect{};
}

bool TkxInplaceGraphicEdit::TClassRef::DrawClient(HDC DC, const TRect& R, bool OwnWindow,
                                                  TkxEditViewData* VD) const {
  auto* g = dynamic_cast<TkxGraphicEditViewData*>(VD);
  if (!g) return TkxInplaceEdit::TClassRef::DrawClient(DC, R, OwnWindow, VD);
  const bool empty = kxIsPictureEmpty(g->Picture);
  if (VD->CalcHeight) {
    VD->TextHeight = g->Stretch || empty ? 0 : g->Picture->Height();
    return true;
  }
  // Off-screen when a hatch is laid over the cell or a work bitmap is offered.
  HDC target = DC;
  TRect cell = R;
  const bool offscreen = !VD->Transparent && (g->HatchSelection || VD->WorkBitmap);
  if (offscreen) {
    if (!VD->WorkBitmap) VD->WorkBitmap = new TBitmap();
    kxEnsureBitmapSize(VD->WorkBitmap, std::max(1, R.Width()), std::max(1, R.Height()));
    target = VD->WorkBitmap->Canvas()->Handle();
    cell = kxRect(0, 0, R.Width(), R.Height());
  }
  const int saved = SaveDC(target);
  if (empty) {
    const AnsiString text = VD->Value.IsNull() || VD->Value.IsEmpty() ? AnsiString() : VD->Value.AsString();
    if (!text.empty()) {
      int lineHeight = 0;
      Word flags = kxctLeft | (VD->Transparent ? kxctTransparent : 0);
      kxPaintCellText(target, text, -1, lineHeight, VD->TextColor, VD->BkColor, VD->Font, VD->Brush, flags, cell,
                      cell);
    } else if (VD->Brush && !VD->Transparent) {
      RECT r = cell;
      FillRect(target, &r, VD->Brush);
    }
  } else {
    TRect content = kxRect(cell.left + VD->TextOffsets.left, cell.top + VD->TextOffsets.top,
                           cell.right - VD->TextOffsets.right, cell.bottom - VD->TextOffsets.bottom);
    TBitmap* scratch = nullptr;
    if (g->Picture->Graphic()->Transparent() && target == DC) {
      if (!g->TransparentBitmap) g->TransparentBitmap = new TBitmap();
      scratch = g->TransparentBitmap;
    }
    if (content != cell && VD->Brush) {
      RECT r = cell;
      FillRect(target, &r, VD->Brush);
    }
    kxDrawCellPicture(target, content, g->Picture, g->Stretch, g->Center, VD->Brush, scratch);
  }
  RestoreDC(target, saved);
  if (g->HatchSelection) kxHatchRect(target, cell, g->HatchColor);
  if (offscreen) BitBlt(DC, R.left, R.top, R.Width(), R.Height(), target, 0, 0, SRCCOPY);
  return true;
}

// ---- TkxPopupToolBarWindow ----

TkxPopupToolBarWindow::~TkxPopupToolBarWindow() { delete FCustomButtonGlyph; }

TBitmap* TkxPopupToolBarWindow::CustomButtonGlyph() {
  if (!FCustomButtonGlyph) FCustomButtonGlyph = new TBitmap();
  return FCustomButtonGlyph;
}

void TkxPopupToolBarWindow::SetCustomButtonGlyph(TBitmap* Value) {
  if (!Value) {
    delete FCustomButtonGlyph;
    FCustomButtonGlyph = nullptr;
    return;
  }
  CustomButtonGlyph()->Assign(Value);
}

void TkxPopupToolBarWindow::SetIsPopupMenu(bool Value) {
  FIsPopupMenu = Value;
  if (FEditor && FEditor->ToolBar()) FEditor->ToolBar()->IsPopupMenu = Value;
}

void TkxPopupToolBarWindow::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TkxPopupToolBarWindow*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  Alignment = s->Alignment;
  Buttons = s->Buttons;
  CustomButtonCaption = s->CustomButtonCaption;
  SetCustomButtonGlyph(s->FCustomButtonGlyph);
  SetIsPopupMenu(s->FIsPopupMenu);
  ShowCaptions = s->ShowCaptions;
  Visible = s->Visible;
}

// ---- TkxPopupToolBar ----

TkxPopupToolBar::TkxPopupToolBar(TComponent* AOwner) : TCustomForm(AOwner, 0) {
  FBorderIcons = TBorderIcons{biSystemMenu};
  FBorderStyle = bsToolWindow;
  SetCaption("Toolbox");
  FFormStyle = fsStayOnTop;
  SetShowHint(true);
  FVisible = false;
  PictureClipFormat = CF_PICTURE;
  for (int i = 0; i < 7; ++i) {
    auto* b = new TSpeedButton(this);
    b->SetParent(this);
    b->SetFlat(true);
    b->SetMargin(4);
    b->SetTag(i);
    if (i < 6) {
      b->SetCaption(kxEditorCommandTexts[i].Caption);
      b->SetHint(kxEditorCommandTexts[i].Hint);
      try {
        b->Glyph()->LoadFromResourceName(kxToolbarBitmapNames[i]);
      } catch (const Exception&) {
        // a missing toolbar image leaves the button with its caption
      }
    } else {
      b->Glyph()->SetSize(16, 16);
      b->Glyph()->Canvas()->Brush()->SetColor(clBtnFace);
      b->Glyph()->Canvas()->FillRect(kxRect(0, 0, 16, 16));
    }
    b->OnClick = TNotifyEvent(this, &TkxPopupToolBar::ButtonClick);
    FButtons[i] = b;
  }
}

TkxPopupToolBar::~TkxPopupToolBar() {
  delete Menu;
  Menu = nullptr;
}

void TkxPopupToolBar::CreateParams(TCreateParams& Params) {
  TCustomForm::CreateParams(Params);
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TkxPopupToolBar::CreateWnd() {
  TCustomForm::CreateWnd();
  FNextViewer = SetClipboardViewer(Handle());
  FInChain = true;
  if (HMENU m = GetSystemMenu(Handle(), FALSE)) {
    DeleteMenu(m, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(m, SC_MINIMIZE, MF_BYCOMMAND);
    DeleteMenu(m, SC_SIZE, MF_BYCOMMAND);
    DeleteMenu(m, SC_RESTORE, MF_BYCOMMAND);
  }
}

void TkxPopupToolBar::DestroyWnd() {
  if (FInChain && HandleAllocated()) ChangeClipboardChain(Handle(), FNextViewer);
  FInChain = false;
  FNextViewer = nullptr;
  TCustomForm::DestroyWnd();
}

void TkxPopupToolBar::ButtonClick(TObject* Sender) {
  if (auto* b = dynamic_cast<TSpeedButton*>(Sender))
    if (OnButtonClick) OnButtonClick(this, int(b->Tag()));
}

void TkxPopupToolBar::ArrangeButtons() {
  const bool side = Alignment == ptaLeft || Alignment == ptaRight;
  int h = 22;
  if (ShowCaptions && side) h = std::max(h, int(kxFontTextExtent(Font(), "Wg").cy) + 9);
  int widest = 0;
  int shown = 0;
  for (int i = 0; i < 7; ++i) {
    TSpeedButton* b = FButtons[i];
    const bool visible = Buttons.Contains(TkxPopupToolBarButton(i));
    b->SetVisible(visible);
    if (!visible) continue;
    ++shown;
    if (i < 6) b->SetCaption(ShowCaptions && side ? kxEditorCommandTexts[i].Caption : AnsiString());
    else if (!(ShowCaptions && side)) b->SetCaption(AnsiString());
    if (side) widest = std::max(widest, int(kxFontTextExtent(Font(), b->Caption()).cx));
  }
  const int w = h + 1 + (side ? widest : 0);
  int k = 0;
  for (int i = 0; i < 7; ++i) {
    TSpeedButton* b = FButtons[i];
    if (!b->Visible()) continue;
    if (side) b->SetBounds(0, k * h, w, h);
    else b->SetBounds(k * w, 0, w, h);
    ++k;
  }
  if (side) SetClientSize(w, std::max(1, shown) * h);
  else SetClientSize(std::max(1, shown) * w, h);
  UpdateButtons();
}

void TkxPopupToolBar::UpdateButtons() {
  const bool canPaste = !PictureReadOnly && ClipboardHasFormat(PictureClipFormat);
  const bool states[7] = {!PictureEmpty && !PictureReadOnly, !PictureEmpty, canPaste, !PictureEmpty && !PictureReadOnly,
                          !PictureReadOnly, !PictureEmpty, true};
  for (int i = 0; i < 7; ++i) FButtons[i]->SetEnabled(states[i]);
  if (IsPopupMenu && Menu)
    for (int i = 0; i < Menu->Items()->Count(); ++i) {
      TMenuItem* item = Menu->Items()->Items(i);
      const int tag = int(item->Tag());
      if (tag >= 0 && tag < 6) item->SetEnabled(states[tag]);
    }
}

void TkxPopupToolBar::ShowNoActivate() {
  if (!MayShow || ClosedByUser) return;
  SendMessageA(Handle(), WM_NCACTIVATE, TRUE, 0);
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  FVisible = true;
}

void TkxPopupToolBar::ShowAt(const TPoint& P, int EditorWidth, int EditorHeight) {
  TRect w;
  kxGetMonitorWorkArea(P, w);
  const int tw = Width(), th = Height();
  int x = P.x, y = P.y;
  switch (Alignment) {
    case ptaLeft:
      x = P.x - tw;
      if (x < w.left) x = P.x + EditorWidth;
      break;
    case ptaRight:
      x = P.x + EditorWidth;
      if (x + tw > w.right) x = P.x - tw;
      break;
    case ptaTop:
      y = P.y - th;
      if (y < w.top) y = P.y + EditorHeight;
      break;
    case ptaBottom:
      y = P.y + EditorHeight;
      if (y + th > w.bottom) y = P.y - th;
      break;
  }
  if (x + tw > w.right) x = w.right - tw;
  if (y + th > w.bottom) y = w.bottom - th;
  if (x < w.left) x = w.left;
  if (y < w.top) y = w.top;
  SetBounds(x, y, tw, th);
}

void TkxPopupToolBar::WMMouseActivate(TMessage& Message) { Message.Result = MA_NOACTIVATE; }

void TkxPopupToolBar::WMActivate(TMessage& Message) {
  TCustomForm::Dispatch(Message);
  if (auto* e = dynamic_cast<TkxInplaceGraphicEdit*>(Owner()))
    if (TCustomForm* f = GetParentForm(e))
      if (f->HandleAllocated()) SendMessageA(f->Handle(), WM_NCACTIVATE, TRUE, 0);
  UpdateButtons();
}

void TkxPopupToolBar::WMClose(TMessage&) {
  ClosedByUser = true;
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  FVisible = false;
}

void TkxPopupToolBar::WMDrawClipboard(TMessage& Message) {
  UpdateButtons();
  if (FNextViewer) SendMessageA(FNextViewer, WM_DRAWCLIPBOARD, Message.WParam, Message.LParam);
}

void TkxPopupToolBar::WMChangeCBChain(TMessage& Message) {
  if (reinterpret_cast<HWND>(Message.WParam) == FNextViewer) FNextViewer = reinterpret_cast<HWND>(Message.LParam);
  else if (FNextViewer) SendMessageA(FNextViewer, WM_CHANGECBCHAIN, Message.WParam, Message.LParam);
}

// ---- TkxInplaceGraphicEdit ----

TkxInplaceGraphicEdit::TkxInplaceGraphicEdit(TComponent* AOwner) : TkxInplaceEdit(AOwner) {
  FControlStyle << csClickEvents << csSetCaption << csDoubleClicks;
  FAutoSize = false;
  FParentColor = false;
  SetBounds(Left(), Top(), 140, 100);
  PictureClipFormat = CF_PICTURE;
  FPicture = new TPicture();
  FPicture->OnChange = TNotifyEvent(this, &TkxInplaceGraphicEdit::PictureChanged);
  FDataPicture = new TPicture();
  FPopupToolBarWindow = new TkxPopupToolBarWindow(this);
  FToolBar = new TkxPopupToolBar(this);
  FToolBar->OnButtonClick = TkxToolBarButtonClickEvent(this, &TkxInplaceGraphicEdit::ToolbarButtonClick);
}

TkxInplaceGraphicEdit::~TkxInplaceGraphicEdit() {
  delete FPopupToolBarWindow;
  FPopupToolBarWindow = nullptr;
  delete FPicture;
  FPicture = nullptr;
  delete FDataPicture;
  FDataPicture = nullptr;
  delete FTransparentBitmap;
  FTransparentBitmap = nullptr;
}

void TkxInplaceGraphicEdit::SetCenter(bool Value) {
  if (FCenter == Value) return;
  FCenter = Value;
  PictureChanged(nullptr);
}

void TkxInplaceGraphicEdit::SetStretch(bool Value) {
  if (FStretch == Value) return;
  FStretch = Value;
  PictureChanged(nullptr);
}

void TkxInplaceGraphicEdit::SetGraphicTransparency(TkxGraphicEditTransparency Value) {
  if (FGraphicTransparency == Value) return;
  FGraphicTransparency = Value;
  const bool old = FInternalChange;
  FInternalChange = true;
  PictureChanged(nullptr);
  FInternalChange = old;
}

void TkxInplaceGraphicEdit::SetPopupToolbarPosStored(bool Value) {
  FPopupToolbarPosStored = Value;
  if (!Value) ToolbarPos = kxPoint(kToolbarUnplaced, kToolbarUnplaced);
}

void TkxInplaceGraphicEdit::PictureChanged(TObject*) {
  LayoutChanged();
  if (FGraphicTransparency != gtDefault && !kxIsPictureEmpty(FPicture)) {
    TGraphic* g = FPicture->Graphic();
    TNotifyEvent saved = g->OnChange;
    g->OnChange = TNotifyEvent();
    g->SetTransparent(FGraphicTransparency == gtTransparent);
    g->OnChange = saved;
  }
  if (!FInternalChange && !ComponentState().Contains(csLoading)) {
    Change();
    SetModified(true);
  }
}

void TkxInplaceGraphicEdit::SetEditValue(const Variant& Value) {
  const bool modified = GetModified();
  const bool old = FInternalChange;
  FInternalChange = true;
  try {
    if (VarIsStr(Value) && Value.AsString().empty()) FPicture->SetGraphic(nullptr);
    else kxLoadPictureFromValue(FPicture, GetGraphicClass(), Value);
  } catch (...) {
    FInternalChange = old;
    SetModified(modified);
    throw;
  }
  FInternalChange = old;
  SetModified(modified);
}

void TkxInplaceGraphicEdit::GetEditingValue(Variant& Value, bool) { Value = Variant(Text()); }

void TkxInplaceGraphicEdit::GetEditValue(Variant& Value) {
  TPicture* p = FPicture;
  DoAssignPicture(p);
  // The value is the picture's bytes: a typed value, never a reference.
  Value = kxIsPictureEmpty(p) ? Variant::Null() : Variant(kxPictureToString(p));
}

TkxEditViewData* TkxInplaceGraphicEdit::CreateViewData(bool FromData) {
  TkxEditViewData* vd = TkxInplaceEdit::CreateViewData(FromData);
  if (auto* g = dynamic_cast<TkxGraphicEditViewData*>(vd)) {
    g->Center = FCenter;
    g->QuickDraw = QuickDraw;
    g->Stretch = FStretch;
    g->Picture = FromData ? FDataPicture : FPicture;
    if (!kxIsPictureEmpty(g->Picture) && g->Picture->Graphic()->Transparent() && !FTransparentBitmap)
      FTransparentBitmap = new TBitmap();
  }
  return vd;
}

void TkxInplaceGraphicEdit::DoCustomClick() {
  if (OnCustomClick) OnCustomClick(this);
}

void TkxInplaceGraphicEdit::DoAssignPicture(TPicture*& Picture) {
  if (OnAssignPicture) OnAssignPicture(this, Picture);
}

TClass TkxInplaceGraphicEdit::GetGraphicClass() {
  TClass c = nullptr;
  if (OnGetGraphicClass) OnGetGraphicClass(this, c);
  return c;
}

void TkxInplaceGraphicEdit::PerformCommand(int Index) {
  switch (Index) {
    case ptbCut:
      PerformCommand(ptbCopy);
      if (IsEditable()) PerformCommand(ptbDelete);
      break;
    case ptbCopy:
      if (FPicture->Graphic()) CopyPictureToClipboard(FPicture);
      break;
    case ptbPaste:
      if (IsEditable() && ClipboardHasFormat(PictureClipFormat) && CanModify()) PastePictureFromClipboard(FPicture);
      break;
    case ptbDelete:
      if (CanModify()) FPicture->SetGraphic(nullptr);
      break;
    case ptbLoad:
      if (CanModify()) {
        std::unique_ptr<TOpenPictureDialog> d(new TOpenPictureDialog(nullptr));
        if (!CustomFilter.empty()) d->SetFilter(CustomFilter);
        if (d->Execute()) FPicture->LoadFromFile(d->FileName());
      }
      break;
    case ptbSave:
      if (FPicture->Graphic()) {
        std::unique_ptr<TSavePictureDialog> d(new TSavePictureDialog(Application));
        const TClass c = FPicture->Graphic()->ClassType();
        d->SetFilter(!CustomFilter.empty() ? CustomFilter : GraphicFilter(c));
        d->SetDefaultExt(GraphicExtension(c));
        if (d->Execute()) FPicture->SaveToFile(d->FileName());
      }
      break;
    case ptbCustom: DoCustomClick(); break;
    default: break;
  }
}

void TkxInplaceGraphicEdit::ToolbarButtonClick(TObject*, int Index) {
  PerformCommand(Index);
  if (FToolBar) {
    FToolBar->PictureEmpty = kxIsPictureEmpty(FPicture);
    FToolBar->ArrangeButtons();
  }
}

void TkxInplaceGraphicEdit::MenuItemClick(TObject* Sender) {
  if (auto* item = dynamic_cast<TMenuItem*>(Sender)) PerformCommand(int(item->Tag()));
}

void TkxInplaceGraphicEdit::PrepareToolbar() {
  TkxPopupToolBar* t = FToolBar;
  TkxPopupToolBarWindow* s = FPopupToolBarWindow;
  t->MayShow = s->Visible;
  t->Button(ptbCustom)->SetCaption(s->CustomButtonCaption);
  if (s->CustomButtonGlyphOrNull() && !s->CustomButtonGlyphOrNull()->Empty())
    t->Button(ptbCustom)->SetGlyph(s->CustomButtonGlyphOrNull());
  t->Font()->Assign(Font());
  t->ShowCaptions = s->ShowCaptions;
  t->Alignment = s->Alignment;
  t->Buttons = s->Buttons;
  t->IsPopupMenu = s->IsPopupMenu();
  t->PictureClipFormat = PictureClipFormat;
  t->PictureEmpty = kxIsPictureEmpty(FPicture);
  t->PictureReadOnly = !IsEditable();
}

TPopupMenu* TkxInplaceGraphicEdit::PrepareContextMenu() {
  PrepareToolbar();
  TkxPopupToolBar* t = FToolBar;
  TkxPopupToolBarWindow* s = FPopupToolBarWindow;
  if (!t->Menu) {
    t->Menu = new TPopupMenu(nullptr);
    t->Menu->SetImages(kxToolbarImages);
    for (int cmd : kMenuCommands) {
      auto* item = new TMenuItem(t->Menu);
      if (cmd < 0) {
        item->SetCaption("-");
        item->SetTag(-1);
      } else {
        if (cmd < 6) {
          item->SetCaption(kxEditorCommandTexts[cmd].Caption);
          item->SetImageIndex(cmd);
        }
        item->SetTag(cmd);
        item->OnClick = TNotifyEvent(this, &TkxInplaceGraphicEdit::MenuItemClick);
      }
      t->Menu->Items()->Add(item);
    }
  }
  TMenuItem* items = t->Menu->Items();
  for (int i = 0; i < items->Count(); ++i) {
    TMenuItem* item = items->Items(i);
    const int tag = int(item->Tag());
    if (tag >= 0) item->SetVisible(s->Buttons.Contains(TkxPopupToolBarButton(tag)));
  }
  // The separators: before Load and Save, and before the custom command.
  items->Items(4)->SetVisible(s->Buttons.Contains(ptbLoad) || s->Buttons.Contains(ptbSave));
  items->Items(7)->SetVisible(s->Buttons.Contains(ptbCustom));
  TMenuItem* custom = items->Items(8);
  custom->SetCaption(s->CustomButtonCaption);
  if (s->CustomButtonGlyphOrNull() && !s->CustomButtonGlyphOrNull()->Empty()) {
    custom->SetBitmap(s->CustomButtonGlyphOrNull());
    custom->Bitmap()->SetTransparent(true);
  }
  t->UpdateButtons();
  return t->Menu;
}

void TkxInplaceGraphicEdit::ShowToolbar() {
  if (!FToolBar || FPopupToolBarWindow->IsPopupMenu() || !FPopupToolBarWindow->Visible) return;
  PrepareToolbar();
  TkxPopupToolBar* t = FToolBar;
  if (t->HandleAllocated() && !Unplaced(FLastToolbarPos) &&
      (t->Left() != FLastToolbarPos.x || t->Top() != FLastToolbarPos.y))
    ToolbarPos = kxPoint(t->Left(), t->Top());
  t->ArrangeButtons();
  if (!FPopupToolbarPosStored || Unplaced(ToolbarPos)) {
    RECT r;
    GetWindowRect(Handle(), &r);
    t->ShowAt(kxPoint(r.left, r.top), r.right - r.left, r.bottom - r.top);
  } else {
    t->SetBounds(ToolbarPos.x, ToolbarPos.y, t->Width(), t->Height());
  }
  FLastToolbarPos = kxPoint(t->Left(), t->Top());
  t->ClosedByUser = false;
  t->ShowNoActivate();
}

void TkxInplaceGraphicEdit::HideToolbar() {
  if (FToolBar && FToolBar->HandleAllocated() && IsWindowVisible(FToolBar->Handle())) {
    ShowWindow(FToolBar->Handle(), SW_HIDE);
  }
}

void TkxInplaceGraphicEdit::FocusChanged() {
  TkxInplaceEdit::FocusChanged();
  if (!DblClickActivate && Focused()) ShowToolbar();
}

void TkxInplaceGraphicEdit::DoKillFocus(TMessage& Message) {
  const HWND to = reinterpret_cast<HWND>(Message.WParam);
  if (!(FToolBar && FToolBar->HandleAllocated() && (to == FToolBar->Handle() || IsChild(FToolBar->Handle(), to))))
    HideToolbar();
  TkxInplaceEdit::DoKillFocus(Message);
}

bool TkxInplaceGraphicEdit::IsFocused() {
  if (TkxInplaceEdit::IsFocused()) return true;
  if (!FToolBar || !FToolBar->HandleAllocated()) return false;
  const HWND f = GetFocus();
  return f && (f == FToolBar->Handle() || IsChild(FToolBar->Handle(), f));
}

void TkxInplaceGraphicEdit::KeyDown(Word& Key, TShiftState Shift) {
  const bool ctrl = Shift == TShiftState{ssCtrl}, shift = Shift == TShiftState{ssShift};
  int command = -1;
  if ((ctrl && Key == 'C') || (ctrl && Key == VK_INSERT)) command = ptbCopy;
  else if ((ctrl && Key == 'V') || (shift && Key == VK_INSERT)) command = ptbPaste;
  else if ((ctrl && Key == 'X') || (shift && Key == VK_DELETE)) command = ptbCut;
  if (command >= 0) {
    PerformCommand(command);
    Key = 0;
    return;
  }
  if (Key == VK_LEFT || Key == VK_RIGHT) ContainerKeyHook(Key == VK_LEFT);
  TkxInplaceEdit::KeyDown(Key, Shift);
}

void TkxInplaceGraphicEdit::KeyPress(char& Key) {
  // Ctrl+C, Ctrl+V and Ctrl+X were commands; their characters type nothing.
  if (Key == 3 || Key == 22 || Key == 24) Key = 0;
  TkxInplaceEdit::KeyPress(Key);
}

void TkxInplaceGraphicEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (HandleAllocated() && !Focused() && CanFocus()) ::SetFocus(Handle());
  TkxInplaceEdit::MouseDown(Button, Shift, X, Y);
}

void TkxInplaceGraphicEdit::DblClick() {
  TkxInplaceEdit::DblClick();
  if (DblClickActivate) ShowToolbar();
}

void TkxInplaceGraphicEdit::WMContextMenu(TMessage& Message) {
  TkxInplaceEdit::Dispatch(Message);
  if (Message.Result != 0 || !FPopupToolBarWindow->IsPopupMenu()) return;
  for (TControl* c = this; c; c = c->Parent())
    if (c->PopupMenu()) return;
  TPoint p = kxPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
  if (p.x == -1 && p.y == -1) {
    POINT caret{0, 0};
    GetCaretPos(&caret);
    caret.x = std::min<LONG>(caret.x, ClientWidth());
    p = ClientToScreen(caret);
  }
  PrepareContextMenu()->Popup(p.x, p.y);
  Message.Result = 1;
}

void TkxInplaceGraphicEdit::WMGetDlgCode2(TMessage& Message) {
  TkxInplaceEdit::Dispatch(Message);
  Message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

void kxInitGraphicEdit() {
  RegisterClasses({TkxInplaceGraphicEdit::StaticClass(), TkxGraphicEditViewData::StaticClass(),
                   TkxPopupToolBarWindow::StaticClass()});
  RegisterProps<TkxPopupToolBarWindow>([](TPropBuilder<TkxPopupToolBarWindow>& p) {
    p.Field("Alignment", &TkxPopupToolBarWindow::Alignment).Default(ptaBottom);
    p.Field("Buttons", &TkxPopupToolBarWindow::Buttons).Default(kxDefaultToolBarButtons);
    p.Field("CustomButtonCaption", &TkxPopupToolBarWindow::CustomButtonCaption).Default(AnsiString());
    p.Prop("CustomButtonGlyph", &TkxPopupToolBarWindow::CustomButtonGlyph,
           &TkxPopupToolBarWindow::SetCustomButtonGlyph)
        .Stored([](TObject* o) {
          TBitmap* g = static_cast<TkxPopupToolBarWindow*>(o)->CustomButtonGlyphOrNull();
          return g && !g->Empty();
        });
    p.Prop("IsPopupMenu", &TkxPopupToolBarWindow::IsPopupMenu, &TkxPopupToolBarWindow::SetIsPopupMenu)
        .Default(true);
    p.Field("ShowCaptions", &TkxPopupToolBarWindow::ShowCaptions).Default(true);
    p.Field("Visible", &TkxPopupToolBarWindow::Visible).Default(true);
  });
}
