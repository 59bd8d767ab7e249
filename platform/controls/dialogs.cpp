// Message dialogs, message boxes, input boxes, and the colour and font dialogs.
#include "platform/controls/dialogs.h"
#include <algorithm>
#include "platform/controls/stdwnd.h"
#include "platform/rtl/strings.h"

using namespace pvdlg;

// ---------------------------------------------------------------------------
// dialog child controls

namespace pvdlg {

AnsiString T(const char* Utf8) { return Utf8ToAnsi(Utf8); }

TDlgCtl::TDlgCtl(TWinControl* AParent, const char* Cls, DWORD Style, const AnsiString& Text, int X, int Y, int W,
                 int H)
    : TWinControl(AParent), FCls(Cls), FStyle(Style) {
  SetParent(AParent);
  SetBounds(X, Y, W, H);
  SetText(Text);
  SetTabStop(true);
}

void TDlgCtl::CreateParams(TCreateParams& Params) {
  RegisterStandardWindowClasses();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, FCls.c_str());
  Params.WinClassName = "PvDlg" + FCls;
  Params.Style |= FStyle;
  if (FCls == "EDIT" || FCls == "LISTBOX") Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TDlgCtl::WndProc(TMessage& M) {
  if (M.Msg == CN_COMMAND) {
    if (OnCommand) OnCommand(HIWORD(M.WParam));
    return;
  }
  TWinControl::WndProc(M);
}

}  // namespace pvdlg

namespace {

// The size of Text drawn in Font, wrapped at MaxWidth.
TRect MeasureText(TFont* Font, const AnsiString& Text, int MaxWidth) {
  TRect r{0, 0, MaxWidth, 0};
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  DrawTextA(dc, Text.c_str(), int(Text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteDC(dc);
  return r;
}

enum TIconKind { ikNone, ikWarning, ikError, ikInformation, ikQuestion };

void DrawDialogIcon(TCanvas* C, TIconKind Kind, int X, int Y) {
  if (Kind == ikNone) return;
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(clBlack);
  C->Brush()->SetStyle(bsSolid);
  switch (Kind) {
    case ikError: {
      C->Brush()->SetColor(clRed);
      C->Pen()->SetColor(clMaroon);
      C->Ellipse(X + 1, Y + 1, X + 31, Y + 31);
      C->Pen()->SetColor(clWhite);
      C->Pen()->SetWidth(3);
      C->MoveTo(X + 10, Y + 10);
      C->LineTo(X + 22, Y + 22);
      C->MoveTo(X + 22, Y + 10);
      C->LineTo(X + 10, Y + 22);
      break;
    }
    case ikWarning: {
      C->Brush()->SetColor(clYellow);
      TPoint p[3] = {{X + 16, Y + 1}, {X + 31, Y + 29}, {X + 1, Y + 29}};
      C->Polygon(p, 3);
      C->Brush()->SetColor(clBlack);
      C->FillRect(TRect{X + 15, Y + 9, X + 18, Y + 20});
      C->FillRect(TRect{X + 15, Y + 23, X + 18, Y + 26});
      break;
    }
    case ikInformation:
    case ikQuestion: {
      C->Brush()->SetColor(clWhite);
      C->Pen()->SetColor(clGray);
      C->Ellipse(X + 1, Y + 1, X + 31, Y + 31);
      C->Brush()->SetColor(clBlue);
      if (Kind == ikInformation) {
        C->FillRect(TRect{X + 14, Y + 6, X + 18, Y + 10});
        C->FillRect(TRect{X + 14, Y + 12, X + 18, Y + 25});
      } else {
        C->Pen()->SetColor(clBlue);
        C->Pen()->SetWidth(3);
        C->Arc(X + 10, Y + 6, X + 22, Y + 17, X + 10, Y + 12, X + 18, Y + 16);
        C->MoveTo(X + 16, Y + 16);
        C->LineTo(X + 16, Y + 20);
        C->FillRect(TRect{X + 15, Y + 23, X + 18, Y + 26});
      }
      break;
    }
    default: break;
  }
  C->Pen()->SetWidth(1);
}

struct TButtonSpec {
  AnsiString Caption;
  TModalResult Result;
};

// The form of message dialogs and message boxes.
class TMessageForm : public TForm, public TScriptableDialog {
 public:
  TMessageForm(const AnsiString& Text, const AnsiString& Caption, TIconKind Icon,
               const std::vector<TButtonSpec>& Buttons, int DefaultIndex, TModalResult CancelResult)
      : TForm(nullptr, 0), FText(Text), FIcon(Icon), FCancel(CancelResult) {
    SetCaption(Caption);
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetKeyPreview(true);
    OnKeyDown = TKeyEvent(this, &TMessageForm::Key);
    TRect tr = MeasureText(Font(), Text, 420);
    int textLeft = Icon == ikNone ? 12 : 12 + 32 + 14;
    int top = 14;
    FTextRect = TRect{textLeft, top + (Icon != ikNone && tr.bottom < 32 ? (32 - tr.bottom) / 2 : 0),
                      textLeft + tr.right, 0};
    FTextRect.bottom = FTextRect.top + tr.bottom;
    int contentBottom = std::max<int>(FTextRect.bottom, Icon == ikNone ? 0 : top + 32);
    const int bw = 75, bh = 23, gap = 8;
    int rowWidth = int(Buttons.size()) * bw + (int(Buttons.size()) - 1) * gap;
    int width = std::max({int(FTextRect.right) + 14, rowWidth + 24, 180});
    int by = contentBottom + 16;
    SetClientSize(width, by + bh + 12);
    int x = (width - rowWidth) / 2;
    for (std::size_t i = 0; i < Buttons.size(); ++i) {
      bool def = int(i) == DefaultIndex;
      auto* b = new TDlgCtl(this, "BUTTON", def ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, Buttons[i].Caption, x, by, bw, bh);
      b->Result = Buttons[i].Result;
      b->OnCommand = [this, b](int code) {
        if (code == BN_CLICKED && b->Result != mrNone) SetModalResult(b->Result);
      };
      FButtons.push_back(b);
      if (def) SetActiveControl(b);
      x += bw + gap;
    }
    PvSetMessageBoxText(this, Text);
  }
  ~TMessageForm() override { PvSetMessageBoxText(this, ""); }

  AnsiString DialogKind() const override { return "Message"; }
  AnsiString DialogText() const override { return FText; }
  void ScriptPress(TModalResult Result) override {
    for (TDlgCtl* b : FButtons)
      if (b->Result == Result) {
        b->Send(BM_CLICK);
        return;
      }
    throw EDialogScriptError("The message \"" + FText + "\" has no button for the result " +
                             std::to_string(Result));
  }
  void ScriptType(const AnsiString&) override { throw EDialogScriptError("A message has no edit box"); }
  void ScriptOpenFolder(const AnsiString&) override { throw EDialogScriptError("A message has no folders"); }
  void ScriptSelect(const AnsiString&) override { throw EDialogScriptError("A message has no list"); }

 protected:
  void Paint() override {
    DrawDialogIcon(Canvas(), FIcon, 12, 14);
    TRect r = FTextRect;
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->Font()->Assign(Font());
    Canvas()->TextRect(r, FText, DT_WORDBREAK | DT_NOPREFIX);
  }

 private:
  void Key(TObject*, Word& K, TShiftState) {
    if (K == VK_ESCAPE && FCancel != mrNone) {
      SetModalResult(FCancel);
      K = 0;
    } else if (K == VK_RETURN) {
      for (TDlgCtl* b : FButtons)
        if (b->Focused()) {
          b->Send(BM_CLICK);
          K = 0;
          return;
        }
    }
  }
  AnsiString FText;
  TIconKind FIcon;
  TModalResult FCancel;
  TRect FTextRect;
  std::vector<TDlgCtl*> FButtons;
};

AnsiString ButtonCaption(TMsgDlgBtn B) {
  static const char* const k[] = {"是(&Y)",   "否(&N)",   "确定",     "取消",     "中止(&A)", "重试(&R)",
                                  "忽略(&I)", "全部(&A)", "全否(&O)", "全是(&E)", "帮助(&H)"};
  return T(k[B]);
}

AnsiString TypeCaption(TMsgDlgType Type) {
  switch (Type) {
    case mtWarning: return T("警告");
    case mtError: return T("错误");
    case mtInformation: return T("信息");
    case mtConfirmation: return T("确认");
    default: return Application && !Application->Title().empty() ? Application->Title() : AnsiString();
  }
}

TIconKind TypeIcon(TMsgDlgType Type) {
  switch (Type) {
    case mtWarning: return ikWarning;
    case mtError: return ikError;
    case mtInformation: return ikInformation;
    case mtConfirmation: return ikQuestion;
    default: return ikNone;
  }
}

void EnsureApplication() {
  if (!Application) InitForms();
}

}  // namespace

// ---------------------------------------------------------------------------
// message dialogs

TModalResult MsgDlgButtonResult(TMsgDlgBtn Button) {
  static const TModalResult k[] = {mrYes,   mrNo,  mrOk,      mrCancel,   mrAbort, mrRetry,
                                   mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrNone};
  return k[Button];
}

TForm* CreateMessageDialog(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
  EnsureApplication();
  std::vector<TButtonSpec> specs;
  int def = -1;
  for (int b = mbYes; b <= mbHelp; ++b)
    if (Buttons.Contains(TMsgDlgBtn(b))) {
      if (def < 0 && (b == mbOK || b == mbYes)) def = int(specs.size());
      specs.push_back({ButtonCaption(TMsgDlgBtn(b)), MsgDlgButtonResult(TMsgDlgBtn(b))});
    }
  if (specs.empty()) specs.push_back({ButtonCaption(mbOK), mrOk});  // a message always has a way out
  if (def < 0) def = 0;
  TModalResult cancel = Buttons.Contains(mbCancel) ? mrCancel
                        : Buttons.Contains(mbNo)   ? mrNo
                        : Buttons.Contains(mbOK) || specs.size() == 1 ? mrOk
                                                   : mrNone;
  return new TMessageForm(Msg, TypeCaption(DlgType), TypeIcon(DlgType), specs, def, cancel);
}

int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
  std::unique_ptr<TForm> f(CreateMessageDialog(Msg, DlgType, Buttons));
  return ExecuteDialogForm(f.get());
}

void ShowMessage(const AnsiString& Msg) {
  std::unique_ptr<TForm> f(CreateMessageDialog(Msg, mtCustom, TMsgDlgButtons{mbOK}));
  ExecuteDialogForm(f.get());
}

int PvMessageBox(HWND, const AnsiString& Text, const AnsiString& Caption, UINT Flags) {
  EnsureApplication();
  std::vector<TButtonSpec> specs;
  auto add = [&](const char* c, int id) { specs.push_back({T(c), id}); };
  TModalResult cancel = mrNone;
  switch (Flags & MB_TYPEMASK) {
    case MB_OKCANCEL: add("确定", IDOK); add("取消", IDCANCEL); cancel = IDCANCEL; break;
    case MB_ABORTRETRYIGNORE: add("中止(&A)", IDABORT); add("重试(&R)", IDRETRY); add("忽略(&I)", IDIGNORE); break;
    case MB_YESNOCANCEL: add("是(&Y)", IDYES); add("否(&N)", IDNO); add("取消", IDCANCEL); cancel = IDCANCEL; break;
    case MB_YESNO: add("是(&Y)", IDYES); add("否(&N)", IDNO); break;
    case MB_RETRYCANCEL: add("重试(&R)", IDRETRY); add("取消", IDCANCEL); cancel = IDCANCEL; break;
    default: add("确定", IDOK); cancel = IDOK; break;
  }
  int def = int((Flags & MB_DEFMASK) >> 8);
  if (def >= int(specs.size())) def = 0;
  TIconKind icon = ikNone;
  switch (Flags & MB_ICONMASK) {
    case MB_ICONHAND: icon = ikError; break;
    case MB_ICONQUESTION: icon = ikQuestion; break;
    case MB_ICONEXCLAMATION: icon = ikWarning; break;
    case MB_ICONASTERISK: icon = ikInformation; break;
    default: break;
  }
  AnsiString caption = Caption.empty() ? T("错误") : Caption;
  TMessageForm f(Text, caption, icon, specs, def, cancel);
  return ExecuteDialogForm(&f);
}

void InitDialogs() { SetMessageBoxProc(&PvMessageBox); }

// ---------------------------------------------------------------------------
// input boxes

namespace {

class TInputForm : public TForm, public TScriptableDialog {
 public:
  TInputForm(const AnsiString& Caption, const AnsiString& Prompt, const AnsiString& Value)
      : TForm(nullptr, 0), FPrompt(Prompt) {
    SetCaption(Caption);
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    const int w = 300;
    TRect pr = MeasureText(Font(), Prompt, w - 16);
    FPromptBottom = 8 + pr.bottom;
    FEdit = new TDlgCtl(this, "EDIT", ES_AUTOHSCROLL, Value, 8, FPromptBottom + 6, w - 16, 21);
    int by = FPromptBottom + 6 + 21 + 14;
    auto* ok = new TDlgCtl(this, "BUTTON", BS_DEFPUSHBUTTON, T("确定"), w / 2 - 75 - 4, by, 75, 23);
    auto* cancel = new TDlgCtl(this, "BUTTON", BS_PUSHBUTTON, T("取消"), w / 2 + 4, by, 75, 23);
    ok->Result = mrOk;
    cancel->Result = mrCancel;
    for (TDlgCtl* b : {ok, cancel}) {
      b->OnCommand = [this, b](int code) {
        if (code == BN_CLICKED) SetModalResult(b->Result);
      };
      FButtons.push_back(b);
    }
    SetClientSize(w, by + 23 + 10);
    SetActiveControl(FEdit);
    SetKeyPreview(true);
    OnKeyDown = TKeyEvent(this, &TInputForm::Key);
  }
  AnsiString Value() { return FEdit->Text(); }

  AnsiString DialogKind() const override { return "Input"; }
  AnsiString DialogText() const override { return FPrompt; }
  void ScriptPress(TModalResult Result) override {
    for (TDlgCtl* b : FButtons)
      if (b->Result == Result) {
        b->Send(BM_CLICK);
        return;
      }
    throw EDialogScriptError("The input box has no button for the result " + std::to_string(Result));
  }
  void ScriptType(const AnsiString& Text) override { FEdit->SetText(Text); }
  void ScriptOpenFolder(const AnsiString&) override { throw EDialogScriptError("An input box has no folders"); }
  void ScriptSelect(const AnsiString&) override { throw EDialogScriptError("An input box has no list"); }

 protected:
  void Paint() override {
    TRect r{8, 8, ClientWidth() - 8, FPromptBottom};
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->Font()->Assign(Font());
    Canvas()->TextRect(r, FPrompt, DT_WORDBREAK | DT_NOPREFIX);
  }

 private:
  void Key(TObject*, Word& K, TShiftState) {
    if (K == VK_RETURN) {
      SetModalResult(mrOk);
      K = 0;
    } else if (K == VK_ESCAPE) {
      SetModalResult(mrCancel);
      K = 0;
    }
  }
  AnsiString FPrompt;
  int FPromptBottom = 0;
  TDlgCtl* FEdit = nullptr;
  std::vector<TDlgCtl*> FButtons;
};

}  // namespace

bool InputQuery(const AnsiString& ACaption, const AnsiString& APrompt, AnsiString& Value) {
  EnsureApplication();
  TInputForm f(ACaption, APrompt, Value);
  if (ExecuteDialogForm(&f) != mrOk) return false;
  Value = f.Value();
  return true;
}

AnsiString InputBox(const AnsiString& ACaption, const AnsiString& APrompt, const AnsiString& ADefault) {
  AnsiString v = ADefault;
  InputQuery(ACaption, APrompt, v);
  return v;
}

// ---------------------------------------------------------------------------
// colour and font dialogs

namespace {

// OK and Cancel at the bottom right of a dialog form, and the script's view of them.
class TPickerForm : public TForm, public TScriptableDialog {
 public:
  TPickerForm(const AnsiString& Caption, int W, int H) : TForm(nullptr, 0) {
    SetCaption(Caption);
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientSize(W, H);
    auto* ok = new TDlgCtl(this, "BUTTON", BS_DEFPUSHBUTTON, T("确定"), W - 166, H - 31, 75, 23);
    auto* cancel = new TDlgCtl(this, "BUTTON", BS_PUSHBUTTON, T("取消"), W - 83, H - 31, 75, 23);
    ok->Result = mrOk;
    cancel->Result = mrCancel;
    for (TDlgCtl* b : {ok, cancel}) {
      b->OnCommand = [this, b](int code) {
        if (code == BN_CLICKED) SetModalResult(b->Result);
      };
      FButtons.push_back(b);
    }
  }
  void ScriptPress(TModalResult Result) override {
    for (TDlgCtl* b : FButtons)
      if (b->Result == Result) {
        b->Send(BM_CLICK);
        return;
      }
    throw EDialogScriptError("The dialog has no button for the result " + std::to_string(Result));
  }
  void ScriptOpenFolder(const AnsiString&) override { throw EDialogScriptError("This dialog has no folders"); }

 protected:
  std::vector<TDlgCtl*> FButtons;
};

const TColor kBasicColors[48] = {
    0x8080FF, 0x80FFFF, 0x80FF80, 0x80FF00, 0xFFFF80, 0xFF8000, 0xC080FF, 0xFF80FF, 0x0000FF, 0x00FFFF,
    0x00FF80, 0x40FF00, 0xFFFF00, 0xC08000, 0xC08080, 0xFF00FF, 0x404080, 0x4080FF, 0x00FF00, 0x808000,
    0x804000, 0xFF8080, 0x400080, 0x8000FF, 0x000080, 0x0080FF, 0x008000, 0x408000, 0xFF0000, 0xA00000,
    0x800080, 0xFF0080, 0x000040, 0x004080, 0x004000, 0x404000, 0x800000, 0x400000, 0x400040, 0x800040,
    0x000000, 0x008080, 0x408080, 0x808080, 0x808040, 0xC0C0C0, 0x400040, 0xFFFFFF};

class TColorForm : public TPickerForm {
 public:
  TColorForm(TColor Color, bool FullOpen) : TPickerForm(T("颜色"), FullOpen ? 420 : 230, 240), FColor(Color) {}
  TColor Color() const { return FColor; }
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
      FColor = TColor(v);
    } catch (const std::exception&) {
      throw EDialogScriptError("\"" + Text + "\" is not a colour");
    }
    Invalidate();
  }
  void ScriptSelect(const AnsiString& Name) override { ScriptType(Name); }

 protected:
  TRect Swatch(int i) const {
    int x = 10 + (i % 8) * 26, y = 10 + (i / 8) * 22;
    return TRect{x, y, x + 20, y + 16};
  }
  void Paint() override {
    for (int i = 0; i < 48; ++i) {
      TRect r = Swatch(i);
      DrawEdge(Canvas()->Handle(), &r, EDGE_SUNKEN, BF_RECT);
      Canvas()->Brush()->SetStyle(bsSolid);
      Canvas()->Brush()->SetColor(kBasicColors[i]);
      Canvas()->FillRect(TRect{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2});
      if (kBasicColors[i] == FColor) {
        Canvas()->Brush()->SetColor(clBlack);
        Canvas()->FrameRect(TRect{r.left - 2, r.top - 2, r.right + 2, r.bottom + 2});
      }
    }
    TRect cur{10, 150, 110, 190};
    DrawEdge(Canvas()->Handle(), &cur, EDGE_SUNKEN, BF_RECT);
    Canvas()->Brush()->SetColor(FColor);
    Canvas()->FillRect(TRect{cur.left + 2, cur.top + 2, cur.right - 2, cur.bottom - 2});
  }
  void WndProc(TMessage& M) override {
    if (M.Msg == WM_LBUTTONDOWN) {
      TPoint p{short(LOWORD(M.LParam)), short(HIWORD(M.LParam))};
      for (int i = 0; i < 48; ++i)
        if (TRect r = Swatch(i); PtInRect(&r, p)) {
          FColor = kBasicColors[i];
          Invalidate();
        }
    }
    TPickerForm::WndProc(M);
  }

 private:
  TColor FColor;
};

class TFontForm : public TPickerForm {
 public:
  explicit TFontForm(TFont* Font) : TPickerForm(T("字体"), 360, 250) {
    FFace = new TDlgCtl(this, "LISTBOX", LBS_NOTIFY | LBS_SORT | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, "", 10, 10, 200, 150);
    if (Screen)
      for (int i = 0; i < Screen->Fonts()->Count(); ++i)
        FFace->Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Screen->Fonts()->Strings(i).c_str()));
    FFace->Send(LB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(Font->Name().c_str()));
    FSize = new TDlgCtl(this, "EDIT", ES_AUTOHSCROLL, std::to_string(Font->Size()), 220, 10, 60, 21);
    FFontName = Font->Name();
  }
  AnsiString FaceName() {
    int i = int(FFace->Send(LB_GETCURSEL));
    if (i < 0) return FFontName;
    std::string s(std::size_t(FFace->Send(LB_GETTEXTLEN, WPARAM(i))) + 1, '\0');
    FFace->Send(LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(s.data()));
    s.resize(std::strlen(s.c_str()));
    return s;
  }
  int Size() {
    AnsiString t = FSize->Text();
    if (t.empty() || t.size() > 4 || t.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::stoi(t);
  }
  AnsiString DialogKind() const override { return "Font"; }
  AnsiString DialogText() const override { return FFontName; }
  void ScriptType(const AnsiString& Text) override { FSize->SetText(Text); }
  void ScriptSelect(const AnsiString& Name) override {
    if (FFace->Send(LB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(Name.c_str())) < 0)
      throw EDialogScriptError("The font \"" + Name + "\" is not listed");
  }

 private:
  TDlgCtl* FFace;
  TDlgCtl* FSize;
  AnsiString FFontName;
};

}  // namespace

TColorDialog::TColorDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FCustomColors(std::make_unique<TStringList>()) {}
TColorDialog::~TColorDialog() = default;

TForm* TColorDialog::CreateForm() {
  EnsureApplication();
  return new TColorForm(FColor, FOptions.Contains(cdFullOpen) && !FOptions.Contains(cdPreventFullOpen));
}

bool TColorDialog::Execute() {
  std::unique_ptr<TForm> f(CreateForm());
  if (OnShow) OnShow(this);
  int r = ExecuteDialogForm(f.get());
  if (OnClose) OnClose(this);
  if (r != mrOk) return false;
  FColor = static_cast<TColorForm*>(f.get())->Color();
  return true;
}

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFont(std::make_unique<TFont>()) {}
TFontDialog::~TFontDialog() = default;

TForm* TFontDialog::CreateForm() {
  EnsureApplication();
  return new TFontForm(FFont.get());
}

bool TFontDialog::Execute() {
  std::unique_ptr<TForm> f(CreateForm());
  if (OnShow) OnShow(this);
  int r = ExecuteDialogForm(f.get());
  if (OnClose) OnClose(this);
  if (r != mrOk) return false;
  auto* ff = static_cast<TFontForm*>(f.get());
  int size = ff->Size();
  if (size <= 0 || (MinFontSize > 0 && size < MinFontSize) || (MaxFontSize > 0 && size > MaxFontSize))
    throw EInvalidOperation("The font size \"" + std::to_string(size) + "\" is out of range");
  FFont->SetName(ff->FaceName());
  FFont->SetSize(size);
  return true;
}
