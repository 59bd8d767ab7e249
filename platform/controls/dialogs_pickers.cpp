// The colour and font dialogs.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include "platform/controls/dialogs.h"
#include "platform/controls/dialogs_internal.h"
#include "platform/rtl/strings.h"

using namespace pvdlg;

namespace {

void EnsureApplication() {
  if (!Application) InitForms();
}

// ---------------------------------------------------------------------------
// colours: hue, saturation and luminance on the 0..240 scale of the dialog

struct THLS {
  int H, L, S;
};

THLS ToHLS(TColor Color) {
  COLORREF c = ColorToRGB(Color);
  double r = GetRValue(c) / 255.0, g = GetGValue(c) / 255.0, b = GetBValue(c) / 255.0;
  double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  double l = (mx + mn) / 2, h = 0, s = 0;
  if (mx > mn) {
    double d = mx - mn;
    s = l <= 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (mx == r) h = (g - b) / d;
    else if (mx == g) h = 2 + (b - r) / d;
    else h = 4 + (r - g) / d;
    h /= 6;
    if (h < 0) h += 1;
  }
  return THLS{int(std::lround(h * 240)) % 240, int(std::lround(l * 240)), int(std::lround(s * 240))};
}

TColor FromHLS(int H, int L, int S) {
  double h = std::clamp(H, 0, 239) / 240.0, l = std::clamp(L, 0, 240) / 240.0, s = std::clamp(S, 0, 240) / 240.0;
  auto hue = [](double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
  };
  double r = l, g = l, b = l;
  if (s > 0) {
    double q = l < 0.5 ? l * (1 + s) : l + s - l * s, p = 2 * l - q;
    r = hue(p, q, h + 1.0 / 3);
    g = hue(p, q, h);
    b = hue(p, q, h - 1.0 / 3);
  }
  auto ch = [](double v) { return int(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return TColor(RGB(ch(r), ch(g), ch(b)));
}

const TColor kBasicColors[48] = {
    0x8080FF, 0x80FFFF, 0x80FF80, 0x80FF00, 0xFFFF80, 0xFF8000, 0xC080FF, 0xFF80FF, 0x0000FF, 0x00FFFF,
    0x00FF80, 0x40FF00, 0xFFFF00, 0xC08000, 0xC08080, 0xFF00FF, 0x404080, 0x4080FF, 0x00FF00, 0x808000,
    0x804000, 0xFF8080, 0x400080, 0x8000FF, 0x000080, 0x0080FF, 0x008000, 0x408000, 0xFF0000, 0xA00000,
    0x800080, 0xFF0080, 0x000040, 0x004080, 0x004000, 0x404000, 0x800000, 0x400000, 0x400040, 0x800040,
    0x000000, 0x008080, 0x408080, 0x808080, 0x808040, 0xC0C0C0, 0x400040, 0xFFFFFF};

// A grid of colour swatches; one is selected (a frame), the focused one has
// a focus rectangle; arrows move, a click selects.
class TColorGrid : public TCustomControl {
 public:
  TColorGrid(TComponent* AOwner, int Columns, std::vector<TColor> Colors)
      : TCustomControl(AOwner), FColumns(Columns), FColors(std::move(Colors)) {
    SetTabStop(true);
  }
  static constexpr int CellW = 26, CellH = 22;
  int Count() const { return int(FColors.size()); }
  TColor Colors(int I) const { return FColors[std::size_t(I)]; }
  void SetColors(int I, TColor C) {
    FColors[std::size_t(I)] = C;
    Invalidate();
  }
  int Selected() const { return FSelected; }
  void SetSelected(int I) {
    FSelected = I;
    Invalidate();
  }
  // Selects the swatch of Color, if any (none: nothing is selected).
  void SelectColor(TColor Color) {
    auto it = std::find(FColors.begin(), FColors.end(), Color);
    SetSelected(it == FColors.end() ? -1 : int(it - FColors.begin()));
  }
  std::function<void(int)> OnPick;

 protected:
  TRect Cell(int I) const {
    int x = (I % FColumns) * CellW, y = (I / FColumns) * CellH;
    return TRect{x + 3, y + 3, x + CellW - 3, y + CellH - 3};
  }
  void Paint() override {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(ClientRect());
    for (int i = 0; i < Count(); ++i) {
      TRect r = Cell(i);
      if (i == FSelected) {
        c->Brush()->SetColor(clBlack);
        c->FrameRect(TRect{r.left - 2, r.top - 2, r.right + 2, r.bottom + 2});
      }
      DrawEdge(c->Handle(), &r, EDGE_SUNKEN, BF_RECT);
      c->Brush()->SetColor(FColors[std::size_t(i)]);
      c->FillRect(TRect{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2});
      if (i == FFocus && Focused()) c->DrawFocusRect(TRect{r.left - 3, r.top - 3, r.right + 3, r.bottom + 3});
    }
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (CanFocus()) SetFocus();
    int col = X / CellW, row = Y / CellH;
    int i = row * FColumns + col;
    if (col < FColumns && i >= 0 && i < Count()) Pick(i);
  }
  void KeyDown(Word& Key, TShiftState Shift) override {
    int i = FFocus, n = Count();
    switch (Key) {
      case VK_LEFT: i = std::max(0, i - 1); break;
      case VK_RIGHT: i = std::min(n - 1, i + 1); break;
      case VK_UP: i = i >= FColumns ? i - FColumns : i; break;
      case VK_DOWN: i = i + FColumns < n ? i + FColumns : i; break;
      case VK_SPACE: break;
      default: TCustomControl::KeyDown(Key, Shift); return;
    }
    Pick(i);
    Key = 0;
  }
  void DoEnter() override {
    TCustomControl::DoEnter();
    Invalidate();
  }
  void DoExit() override {
    TCustomControl::DoExit();
    Invalidate();
  }
  void WndProc(TMessage& M) override {
    if (M.Msg == WM_GETDLGCODE) {
      M.Result = DLGC_WANTARROWS;
      return;
    }
    TCustomControl::WndProc(M);
  }

 private:
  void Pick(int I) {
    FFocus = I;
    SetSelected(I);
    if (OnPick) OnPick(I);
  }
  int FColumns;
  std::vector<TColor> FColors;
  int FSelected = -1, FFocus = 0;
};

// The hue (across) and saturation (up) field, with a cross at the colour.
class TColorField : public TCustomControl {
 public:
  explicit TColorField(TComponent* AOwner) : TCustomControl(AOwner) {}
  void SetHS(int H, int S) {
    FH = H;
    FS = S;
    Invalidate();
  }
  std::function<void(int H, int S)> OnPick;

 protected:
  void Paint() override {
    TRect r = ClientRect();
    int w = r.Width() - 2, h = r.Height() - 2;
    if (!FField || FField->Width() != w || FField->Height() != h) {
      FField = std::make_unique<TBitmap>();
      FField->SetSize(std::max(w, 1), std::max(h, 1));
      for (int y = 0; y < h; ++y) {
        std::uint32_t* row = FField->ScanLine(y);
        for (int x = 0; x < w; ++x) {
          COLORREF c = ColorToRGB(FromHLS(x * 239 / std::max(w - 1, 1), 120, 240 - y * 240 / std::max(h - 1, 1)));
          row[x] = 0xFF000000u | GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
        }
      }
    }
    DrawEdge(Canvas()->Handle(), &r, BDR_SUNKENOUTER, BF_RECT);
    Canvas()->Draw(1, 1, FField.get());
    int cx = 1 + FH * (w - 1) / 239, cy = 1 + (240 - FS) * (h - 1) / 240;
    Canvas()->Brush()->SetColor(clBlack);
    for (TRect seg : {TRect{cx - 9, cy - 1, cx - 3, cy + 2}, TRect{cx + 4, cy - 1, cx + 10, cy + 2},
                      TRect{cx - 1, cy - 9, cx + 2, cy - 3}, TRect{cx - 1, cy + 4, cx + 2, cy + 10}})
      Canvas()->FillRect(seg);
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    FDown = true;
    Track(X, Y);
  }
  void MouseMove(TShiftState Shift, int X, int Y) override {
    TCustomControl::MouseMove(Shift, X, Y);
    if (FDown && Shift.Contains(ssLeft)) Track(X, Y);
  }
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    FDown = false;
  }

 private:
  void Track(int X, int Y) {
    int w = std::max(Width() - 3, 1), h = std::max(Height() - 3, 1);
    FH = std::clamp((X - 1) * 239 / w, 0, 239);
    FS = std::clamp(240 - (Y - 1) * 240 / h, 0, 240);
    Invalidate();
    if (OnPick) OnPick(FH, FS);
  }
  std::unique_ptr<TBitmap> FField;
  int FH = 0, FS = 0;
  bool FDown = false;
};

// The luminance bar of the current hue and saturation, with a pointer beside it.
class TLumBar : public TCustomControl {
 public:
  explicit TLumBar(TComponent* AOwner) : TCustomControl(AOwner) {}
  void SetHLS(int H, int L, int S) {
    FH = H;
    FL = L;
    FS = S;
    Invalidate();
  }
  std::function<void(int L)> OnPick;

 protected:
  static constexpr int BarW = 12;
  void Paint() override {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(ClientRect());
    int h = Height() - 8;
    for (int y = 0; y < h; ++y) {
      c->Brush()->SetColor(FromHLS(FH, 240 - y * 240 / std::max(h - 1, 1), FS));
      c->FillRect(TRect{0, 4 + y, BarW, 5 + y});
    }
    int py = 4 + (240 - FL) * (h - 1) / 240;
    c->Brush()->SetColor(clBlack);
    c->Pen()->SetColor(clBlack);
    TPoint tri[3] = {{BarW + 2, py}, {BarW + 8, py - 5}, {BarW + 8, py + 5}};
    c->Polygon(tri, 3);
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    FDown = true;
    Track(Y);
  }
  void MouseMove(TShiftState Shift, int X, int Y) override {
    TCustomControl::MouseMove(Shift, X, Y);
    if (FDown && Shift.Contains(ssLeft)) Track(Y);
  }
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    FDown = false;
  }

 private:
  void Track(int Y) {
    int h = std::max(Height() - 9, 1);
    FL = std::clamp(240 - (Y - 4) * 240 / h, 0, 240);
    Invalidate();
    if (OnPick) OnPick(FL);
  }
  int FH = 0, FL = 0, FS = 0;
  bool FDown = false;
};

class TColorForm : public TDialogForm {
 public:
  TColorForm(TColor Color, TStrings* Custom, bool FullOpen, bool PreventFullOpen)
      : TDialogForm(T("颜色")), FColor(TColor(ColorToRGB(Color))), FCustomList(Custom) {
    std::vector<TColor> custom(16, clWhite);
    for (int i = 0; i < 16; ++i) {
      AnsiString v = Custom->Values(AnsiString("Color") + char('A' + i));
      if (v.empty() || v.size() > 6 || v.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) continue;
      custom[std::size_t(i)] = TColor(std::stoul(v, nullptr, 16));
    }
    const int gridW = 8 * TColorGrid::CellW, left = 8;
    FBasic = new TColorGrid(this, 8, std::vector<TColor>(std::begin(kBasicColors), std::end(kBasicColors)));
    FBasic->SetParent(this);
    FBasic->SetBounds(left, 24, gridW, 6 * TColorGrid::CellH);
    FBasic->SetTabOrder(0);
    FBasic->OnPick = [this](int i) { SetColor(FBasic->Colors(i), FBasic); };
    AddLabel(nullptr, T("基本颜色(&B):"), left, 7, FBasic);
    FCustom = new TColorGrid(this, 8, custom);
    FCustom->SetParent(this);
    FCustom->SetBounds(left, 176, gridW, 2 * TColorGrid::CellH);
    FCustom->SetTabOrder(1);
    FCustom->OnPick = [this](int i) { SetColor(FCustom->Colors(i), FCustom); };
    AddLabel(nullptr, T("自定义颜色(&C):"), left, 159, FCustom);
    FDefine = AddButton(nullptr, T("规定自定义颜色(&D) >>"), mrNone, left, 228, gridW, 23);
    FDefine->OnClick = TNotifyEvent(this, &TColorForm::DefineClicked);
    FDefine->SetTabOrder(2);
    FDefine->SetEnabled(!PreventFullOpen);
    TButton* ok = AddButton(nullptr, T("确定"), mrOk, left, 262, 75);
    TButton* cancel = AddButton(nullptr, T("取消"), mrCancel, left + 83, 262, 75);
    ok->SetTabOrder(3);
    cancel->SetTabOrder(4);
    cancel->SetCancel(true);
    SetDefaultButton(ok);

    // The part that defines colours.
    const int rx = left + gridW + 12;
    FFullWidth = rx + 272;
    FField = new TColorField(this);
    FField->SetParent(this);
    FField->SetBounds(rx, 8, 202, 152);
    FField->OnPick = [this](int H, int S) { SetHLS(H, FHLS.L, S); };
    FLum = new TLumBar(this);
    FLum->SetParent(this);
    FLum->SetBounds(rx + 210, 4, 24, 160);
    FLum->OnPick = [this](int L) { SetHLS(FHLS.H, L, FHLS.S); };
    FSample = Add<TPanel>(nullptr, rx, 170, 62, 44);
    FSample->SetBevelOuter(bvLowered);
    FSample->SetCaption("");
    FSample->SetParentColor(false);
    AddLabel(nullptr, T("颜色|纯色(&O)"), rx, 220);
    const char* names[6] = {"色调(&E):", "饱和度(&S):", "亮度(&L):", "红(&R):", "绿(&G):", "蓝(&U):"};
    for (int i = 0; i < 6; ++i) {
      int col = i / 3, row = i % 3;
      int lx = col == 0 ? rx + 86 : rx + 190, ex = col == 0 ? rx + 148 : rx + 228;
      FEdits[i] = Add<TEdit>(nullptr, ex, 167 + row * 25, 36, 21);
      FEdits[i]->SetMaxLength(3);
      FEdits[i]->SetTabOrder(5 + i);
      FEdits[i]->OnChange = TNotifyEvent(this, &TColorForm::EditChanged);
      AddLabel(nullptr, T(names[i]), lx, 170 + row * 25, FEdits[i]);
    }
    FAdd = AddButton(nullptr, T("添加到自定义颜色(&A)"), mrNone, rx, 262, 262, 23);
    FAdd->SetTabOrder(11);
    FAdd->OnClick = TNotifyEvent(this, &TColorForm::AddClicked);
    FCompactWidth = left + gridW + 8;
    SetFull(FullOpen && !PreventFullOpen);
    SetClientSize(FFull ? FFullWidth : FCompactWidth, 294);
    SetColor(FColor, nullptr);
    SetActiveControl(FBasic);
  }

  TColor Color() const { return FColor; }
  bool FullOpen() const { return FFull; }
  // Writes the custom colours back to the dialog's list.
  void StoreCustomColors() {
    for (int i = 0; i < 16; ++i) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "%06X", unsigned(FCustom->Colors(i)) & 0xFFFFFFu);
      FCustomList->SetValue(AnsiString("Color") + char('A' + i), buf);
    }
  }

  AnsiString DialogKind() const override { return "Color"; }
  AnsiString DialogText() const override { return ""; }
  // A colour as a number ("$00BBGGRR" or decimal).
  void ScriptType(const AnsiString& Text) override {
    try {
      std::size_t used = 0;
      bool hex = Text.size() > 1 && Text[0] == '$';
      long v = std::stol(hex ? Text.substr(1) : Text, &used, hex ? 16 : 10);
      if (hex) ++used;
      if (used != Text.size() || v < 0 || v > 0xFFFFFF) throw std::invalid_argument("range");
      SetColor(TColor(v), nullptr);
    } catch (const std::exception&) {
      throw EDialogScriptError("\"" + Text + "\" is not a colour");
    }
  }
  void ScriptSelect(const AnsiString& Name) override { ScriptType(Name); }

 private:
  void SetFull(bool Value) {
    FFull = Value;
    for (TControl* c : std::initializer_list<TControl*>{FField, FLum, FSample, FAdd}) c->SetVisible(Value);
    for (TEdit* e : FEdits) e->SetVisible(Value);
    for (int i = 0; i < ControlCount(); ++i)
      if (auto* l = dynamic_cast<TLabel*>(Controls(i)); l && l->Left() >= FCompactWidth) l->SetVisible(Value);
    if (Value) FDefine->SetEnabled(false);
  }
  void DefineClicked(TObject*) {
    if (FFull) return;
    SetFull(true);
    SetClientSize(FFullWidth, ClientHeight());
    FEdits[0]->SetFocus();
  }
  void AddClicked(TObject*) {
    int i = FCustom->Selected() >= 0 ? FCustom->Selected() : FNextCustom;
    FCustom->SetColors(i, FColor);
    FCustom->SetSelected(i);
    FNextCustom = (i + 1) % 16;
  }
  // Shows Color everywhere but in From (the control it came from).
  void SetColor(TColor Color, TControl* From) {
    FColor = Color;
    if (From != FField && From != FLum && From != FEdits[0]) FHLS = ToHLS(Color);
    Refresh(From);
  }
  void SetHLS(int H, int L, int S) {
    FHLS = THLS{H, L, S};
    FColor = FromHLS(H, L, S);
    Refresh(FField);
  }
  void Refresh(TControl* From) {
    if (From != FBasic) FBasic->SelectColor(FColor);
    if (From != FCustom) FCustom->SelectColor(FColor);
    FField->SetHS(FHLS.H, FHLS.S);
    FLum->SetHLS(FHLS.H, FHLS.L, FHLS.S);
    FSample->SetColor(FColor);
    FUpdating = true;
    COLORREF c = ColorToRGB(FColor);
    int values[6] = {FHLS.H, FHLS.S, FHLS.L, GetRValue(c), GetGValue(c), GetBValue(c)};
    for (int i = 0; i < 6; ++i)
      if (FEdits[i] != From && FEdits[i]->Text() != std::to_string(values[i])) FEdits[i]->SetText(std::to_string(values[i]));
    FUpdating = false;
  }
  int EditValue(int I, int Max) {
    AnsiString t = FEdits[I]->Text();
    if (t.empty() || t.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::min(std::stoi(t), Max);
  }
  void EditChanged(TObject* Sender) {
    if (FUpdating) return;
    auto* e = static_cast<TEdit*>(Sender);
    int i = int(std::find(std::begin(FEdits), std::end(FEdits), e) - std::begin(FEdits));
    if (i < 3) {
      FHLS = THLS{std::min(EditValue(0, 239), 239), EditValue(2, 240), EditValue(1, 240)};
      FColor = FromHLS(FHLS.H, FHLS.L, FHLS.S);
      Refresh(FEdits[0] == e ? FEdits[0] : e);
    } else {
      FColor = TColor(RGB(EditValue(3, 255), EditValue(4, 255), EditValue(5, 255)));
      FHLS = ToHLS(FColor);
      Refresh(e);
    }
  }

  TColor FColor;
  THLS FHLS{};
  TStrings* FCustomList;
  TColorGrid* FBasic = nullptr;
  TColorGrid* FCustom = nullptr;
  TButton* FDefine = nullptr;
  TButton* FAdd = nullptr;
  TColorField* FField = nullptr;
  TLumBar* FLum = nullptr;
  TPanel* FSample = nullptr;
  TEdit* FEdits[6] = {};
  int FCompactWidth = 0, FFullWidth = 0, FNextCustom = 0;
  bool FFull = false, FUpdating = false;
};

// ---------------------------------------------------------------------------
// the font dialog

const char* const kStyleNames[4] = {"常规", "倾斜", "粗体", "粗偏斜"};
const int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

class TFontForm : public TDialogForm {
 public:
  TFontForm(TFont* Font, TFontDialogOptions Options, int MinSize, int MaxSize)
      : TDialogForm(T("字体")), FOptions(Options), FMinSize(MinSize), FMaxSize(MaxSize), FFontName(Font->Name()) {
    const int top = 24, listTop = 46, listH = 112;
    FFaceEdit = Add<TEdit>(nullptr, 8, top, 160, 21);
    FFaceList = Add<TListBox>(nullptr, 8, listTop, 160, listH);
    AddLabel(nullptr, T("字体(&F):"), 8, 8, FFaceEdit);
    FStyleEdit = Add<TEdit>(nullptr, 176, top, 110, 21);
    FStyleEdit->SetReadOnly(true);
    FStyleList = Add<TListBox>(nullptr, 176, listTop, 110, listH);
    AddLabel(nullptr, T("字形(&Y):"), 176, 8, FStyleEdit);
    FSizeEdit = Add<TEdit>(nullptr, 294, top, 56, 21);
    FSizeList = Add<TListBox>(nullptr, 294, listTop, 56, listH);
    AddLabel(nullptr, T("大小(&S):"), 294, 8, FSizeEdit);
    int tab = 0;
    for (TWinControl* c : std::initializer_list<TWinControl*>{FFaceEdit, FFaceList, FStyleEdit, FStyleList, FSizeEdit, FSizeList})
      c->SetTabOrder(tab++);
    TButton* ok = AddButton(nullptr, T("确定"), mrNone, 360, top, 75, 23, mrOk);
    ok->OnClick = TNotifyEvent(this, &TFontForm::OkClicked);
    TButton* cancel = AddButton(nullptr, T("取消"), mrCancel, 360, top + 30, 75, 23);
    cancel->SetCancel(true);
    ok->SetTabOrder(tab++);
    cancel->SetTabOrder(tab++);
    SetDefaultButton(ok);

    if (Screen) FFaceList->Items()->Assign(Screen->Fonts());
    for (const char* s : kStyleNames) FStyleList->Items()->Add(T(s));
    for (int s : kSizes) FSizeList->Items()->Add(std::to_string(s));

    int y = listTop + listH + 8;
    if (Options.Contains(fdEffects)) {
      auto* effects = Add<TGroupBox>(nullptr, 8, y, 160, 112);
      effects->SetCaption(T("效果"));
      effects->SetTabOrder(tab++);
      FStrike = Add<TCheckBox>(effects, 10, 20, 120, 17);
      FStrike->SetCaption(T("删除线(&K)"));
      FUnderline = Add<TCheckBox>(effects, 10, 42, 120, 17);
      FUnderline->SetCaption(T("下划线(&U)"));
      FColorBox = Add<TColorBox>(effects, 10, 82, 140, 22);
      FColorBox->SetStyle(TColorBoxStyle{cbStandardColors, cbCustomColor, cbPrettyNames});
      AddLabel(effects, T("颜色(&C):"), 10, 66, FColorBox);
      FStrike->SetChecked(Font->Style().Contains(fsStrikeOut));
      FUnderline->SetChecked(Font->Style().Contains(fsUnderline));
      FStrike->OnClick = FUnderline->OnClick = TNotifyEvent(this, &TFontForm::Changed);
      FColorBox->OnChange = TNotifyEvent(this, &TFontForm::Changed);
    }
    auto* sampleBox = Add<TGroupBox>(nullptr, 176, y, 174, 76);
    sampleBox->SetCaption(T("示例"));
    auto* panel = Add<TPanel>(sampleBox, 10, 20, 154, 46);
    panel->SetBevelOuter(bvLowered);
    panel->SetCaption("");
    FSample = Add<TLabel>(panel, 0, 0, 10, 10);
    FSample->SetAutoSize(false);
    FSample->SetAlign(alClient);
    FSample->SetAlignment(taCenter);
    FSample->SetLayout(tlCenter);
    FSample->SetShowAccelChar(false);
    FSample->SetCaption(T("AaBbYyZz 汉字"));
    SetClientSize(443, y + (Options.Contains(fdEffects) ? 112 : 76) + 10);

    FFaceEdit->SetText(Font->Name());
    SelectIn(FFaceList, Font->Name());
    int style = (Font->Style().Contains(fsBold) ? 2 : 0) + (Font->Style().Contains(fsItalic) ? 1 : 0);
    FStyleList->SetItemIndex(style);
    FStyleEdit->SetText(T(kStyleNames[style]));
    FSizeEdit->SetText(std::to_string(Font->Size()));
    SelectIn(FSizeList, std::to_string(Font->Size()));
    if (FColorBox) {
      FColorBox->SetSelected(TColor(ColorToRGB(Font->Color())));
      FShownColor = FColorBox->Selected();
    }
    FFaceList->OnClick = TNotifyEvent(this, &TFontForm::FaceClicked);
    FStyleList->OnClick = TNotifyEvent(this, &TFontForm::StyleClicked);
    FSizeList->OnClick = TNotifyEvent(this, &TFontForm::SizeClicked);
    FFaceEdit->OnChange = FSizeEdit->OnChange = TNotifyEvent(this, &TFontForm::EditChanged);
    Changed(nullptr);
    SetActiveControl(FFaceEdit);
  }

  AnsiString FaceName() const { return FFaceEdit->Text(); }
  int Size() const { return ParseSize(); }
  TFontStyles Style() const {
    TFontStyles s;
    int i = std::max(FStyleList->ItemIndex(), 0);
    if (i & 2) s << fsBold;
    if (i & 1) s << fsItalic;
    if (FUnderline && FUnderline->Checked()) s << fsUnderline;
    if (FStrike && FStrike->Checked()) s << fsStrikeOut;
    return s;
  }
  // Whether another colour was chosen (the font keeps a system colour otherwise).
  bool ColorChanged() const { return FColorBox && FColorBox->Selected() != FShownColor; }
  TColor Color() const { return FColorBox->Selected(); }

  AnsiString DialogKind() const override { return "Font"; }
  AnsiString DialogText() const override { return FFontName; }
  void ScriptType(const AnsiString& Text) override { FSizeEdit->SetText(Text); }
  // A face of the list, else a style name.
  void ScriptSelect(const AnsiString& Name) override {
    int i = FFaceList->Items()->IndexOf(Name);
    TListBox* list = FFaceList;
    if (i < 0) {
      i = FStyleList->Items()->IndexOf(Name);
      list = FStyleList;
    }
    if (i < 0) throw EDialogScriptError("The font \"" + Name + "\" is not listed");
    list->SetItemIndex(i);
    SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list->Handle()));
  }

 private:
  static void SelectIn(TListBox* List, const AnsiString& Text) {
    int i = List->Items()->IndexOf(Text);
    List->SetItemIndex(i);
    if (i >= 0) List->SetTopIndex(std::max(0, i - 2));
  }
  // The typed size; 0 when it is no whole number of points.
  int ParseSize() const {
    AnsiString t = FSizeEdit->Text();
    while (!t.empty() && t.back() == ' ') t.pop_back();
    while (!t.empty() && t.front() == ' ') t.erase(0, 1);
    if (t.empty() || t.size() > 4 || t.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::stoi(t);
  }
  void FaceClicked(TObject*) {
    int i = FFaceList->ItemIndex();
    if (i >= 0) FFaceEdit->SetText(FFaceList->Items()->Strings(i));
    Changed(nullptr);
  }
  void StyleClicked(TObject*) {
    int i = FStyleList->ItemIndex();
    if (i >= 0) FStyleEdit->SetText(FStyleList->Items()->Strings(i));
    Changed(nullptr);
  }
  void SizeClicked(TObject*) {
    int i = FSizeList->ItemIndex();
    if (i >= 0) FSizeEdit->SetText(FSizeList->Items()->Strings(i));
    Changed(nullptr);
  }
  void EditChanged(TObject* Sender) {
    if (Sender == FFaceEdit) {
      int i = FFaceList->Items()->IndexOf(FFaceEdit->Text());
      if (i >= 0 && FFaceList->ItemIndex() != i) FFaceList->SetItemIndex(i);
    } else {
      int i = FSizeList->Items()->IndexOf(FSizeEdit->Text());
      if (FSizeList->ItemIndex() != i) FSizeList->SetItemIndex(i);
    }
    Changed(nullptr);
  }
  // The sample shows the chosen font.
  void Changed(TObject*) {
    if (!FSample) return;
    TFont* f = FSample->Font();
    if (!FaceName().empty()) f->SetName(FaceName());
    int size = ParseSize();
    if (size > 0 && size <= 72) f->SetSize(size);
    f->SetStyle(Style());
    if (FColorBox) f->SetColor(FColorBox->Selected());
  }
  void OkClicked(TObject*) {
    if (FaceName().find_first_not_of(' ') == std::string::npos ||
        (FOptions.Contains(fdForceFontExist) && FFaceList->Items()->IndexOf(FaceName()) < 0)) {
      PvMessageBox(Handle(), T("没有该名称的字体。\r\n请从字体列表中选择字体。"), Caption(), MB_OK | MB_ICONEXCLAMATION);
      FFaceEdit->SetFocus();
      return;
    }
    int size = ParseSize();
    int lo = FMinSize > 0 ? FMinSize : 1, hi = FMaxSize > 0 ? FMaxSize : 1638;
    if (size < lo || size > hi) {
      PvMessageBox(Handle(),
                   T("字号必须是介于 ") + std::to_string(lo) + T(" 和 ") + std::to_string(hi) + T(" 之间的数字。"),
                   Caption(), MB_OK | MB_ICONEXCLAMATION);
      FSizeEdit->SetFocus();
      return;
    }
    SetModalResult(mrOk);
  }

  TFontDialogOptions FOptions;
  int FMinSize, FMaxSize;
  AnsiString FFontName;
  TEdit *FFaceEdit = nullptr, *FStyleEdit = nullptr, *FSizeEdit = nullptr;
  TListBox *FFaceList = nullptr, *FStyleList = nullptr, *FSizeList = nullptr;
  TCheckBox *FStrike = nullptr, *FUnderline = nullptr;
  TColorBox* FColorBox = nullptr;
  TColor FShownColor = clBlack;
  TLabel* FSample = nullptr;
};

}  // namespace

// ---------------------------------------------------------------------------
// TColorDialog

TColorDialog::TColorDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FCustomColors(std::make_unique<TStringList>()) {}
TColorDialog::~TColorDialog() = default;

TForm* TColorDialog::CreateForm() {
  EnsureApplication();
  return new TColorForm(FColor, FCustomColors.get(), FOptions.Contains(cdFullOpen),
                        FOptions.Contains(cdPreventFullOpen));
}

bool TColorDialog::Execute() {
  std::unique_ptr<TForm> f(CreateForm());
  if (OnShow) OnShow(this);
  int r = ExecuteDialogForm(f.get());
  if (OnClose) OnClose(this);
  if (r != mrOk) return false;
  auto* cf = static_cast<TColorForm*>(f.get());
  FColor = cf->Color();
  cf->StoreCustomColors();
  return true;
}

// ---------------------------------------------------------------------------
// TFontDialog

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFont(std::make_unique<TFont>()) {}
TFontDialog::~TFontDialog() = default;

TForm* TFontDialog::CreateForm() {
  EnsureApplication();
  int lo = FOptions.Contains(fdLimitSize) || MinFontSize > 0 ? MinFontSize : 0;
  int hi = FOptions.Contains(fdLimitSize) || MaxFontSize > 0 ? MaxFontSize : 0;
  return new TFontForm(FFont.get(), FOptions, lo, hi);
}

bool TFontDialog::Execute() {
  std::unique_ptr<TForm> f(CreateForm());
  if (OnShow) OnShow(this);
  int r = ExecuteDialogForm(f.get());
  if (OnClose) OnClose(this);
  if (r != mrOk) return false;
  auto* ff = static_cast<TFontForm*>(f.get());
  FFont->SetName(ff->FaceName());
  FFont->SetSize(ff->Size());
  FFont->SetStyle(ff->Style());
  if (ff->ColorChanged()) FFont->SetColor(ff->Color());
  return true;
}
