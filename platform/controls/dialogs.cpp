// Message dialogs, message boxes and input boxes, and the dialog form all
// dialogs are built on.
#include "platform/controls/dialogs.h"
#include <algorithm>
#include "platform/classes/typinfo.h"
#include "platform/controls/dialogs_internal.h"
#include "platform/controls/menus.h"
#include "platform/rtl/strings.h"

using namespace pvdlg;

// ---------------------------------------------------------------------------
// the dialog form

namespace pvdlg {

AnsiString T(const char* Utf8) { return Utf8ToAnsi(Utf8); }

TRect MeasureText(TFont* Font, const AnsiString& Text, int MaxWidth) {
  TRect r{0, 0, MaxWidth, 0};
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  DrawTextA(dc, Text.c_str(), int(Text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, old);
  DeleteDC(dc);
  return r;
}

TDialogForm::TDialogForm(const AnsiString& Caption) : TForm(nullptr, 0) {
  SetCaption(Caption);
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
}

TButton* TDialogForm::AddButton(TWinControl* Parent, const AnsiString& Caption, TModalResult Result, int X, int Y,
                                int W, int H, TModalResult ScriptResult) {
  auto* b = Add<TButton>(Parent, X, Y, W, H);
  b->SetCaption(Caption);
  b->SetModalResult(Result);
  FButtons.emplace_back(b, ScriptResult != mrNone ? ScriptResult : Result);
  return b;
}

TLabel* TDialogForm::AddLabel(TWinControl* Parent, const AnsiString& Caption, int X, int Y, TWinControl* Focus) {
  auto* l = new TLabel(this);
  l->SetParent(Parent ? Parent : this);
  l->SetLeft(X);
  l->SetTop(Y);
  l->SetCaption(Caption);
  if (Focus) l->SetFocusControl(Focus);
  return l;
}

TButton* TDialogForm::ButtonFor(TModalResult Result) const {
  for (const auto& b : FButtons)
    if (b.second == Result && b.first->Visible()) return b.first;
  return nullptr;
}

void TDialogForm::SetDefaultButton(TButton* Button) {
  FDefaultButton = Button;
  for (const auto& b : FButtons) b.first->SetDefault(b.first == Button);
}

void TDialogForm::ScriptPress(TModalResult Result) {
  TButton* b = ButtonFor(Result);
  if (!b)
    throw EDialogScriptError("The " + DialogKind() + " dialog \"" + Caption() + "\" has no button for the result " +
                             std::to_string(Result));
  if (!b->Enabled()) throw EDialogScriptError("The button \"" + b->Caption() + "\" of \"" + Caption() + "\" is disabled");
  SendMessageA(b->Handle(), BM_CLICK, 0, 0);
}

void TDialogForm::ScriptType(const AnsiString&) {
  throw EDialogScriptError("The " + DialogKind() + " dialog \"" + Caption() + "\" has no edit box");
}

void TDialogForm::ScriptOpenFolder(const AnsiString&) {
  throw EDialogScriptError("The " + DialogKind() + " dialog \"" + Caption() + "\" has no folders");
}

void TDialogForm::ScriptSelect(const AnsiString&) {
  throw EDialogScriptError("The " + DialogKind() + " dialog \"" + Caption() + "\" has no list");
}

void TDialogForm::WndProc(TMessage& M) {
  switch (M.Msg) {
    case WM_CLOSE:
      // The close box gives the cancel answer; a dialog without one keeps it open.
      if (FCloseResult != mrNone && FormState().Contains(fsModal)) SetModalResult(FCloseResult);
      return;
    default: break;
  }
  TForm::WndProc(M);
}

}  // namespace pvdlg

namespace {

struct TButtonSpec {
  AnsiString Caption;
  TModalResult Result;
};

// The form of message dialogs and message boxes: the icon, the text and a
// row of buttons under them.
class TMessageForm : public TDialogForm {
 public:
  TMessageForm(const AnsiString& Text, const AnsiString& Caption, TIconKind Icon,
               const std::vector<TButtonSpec>& Buttons, int DefaultIndex, TModalResult CancelResult)
      : TDialogForm(Caption), FText(Text) {
    FCloseResult = CancelResult;
    const int margin = 12, iconSize = 32, gap = 14;
    int textLeft = margin, top = 14;
    if (Icon != ikNone) {
      FIcon = Add<TImage>(nullptr, margin, top, iconSize, iconSize);
      PaintMessageIcon(FIcon->Picture()->Bitmap(), Icon, clBtnFace);
      textLeft += iconSize + gap;
    }
    TRect tr = MeasureText(Font(), Text, 420);
    int textTop = top + (Icon != ikNone && tr.bottom < iconSize ? (iconSize - tr.bottom) / 2 : 0);
    FMessage = new TLabel(this);
    FMessage->SetParent(this);
    FMessage->SetShowAccelChar(false);
    FMessage->SetWordWrap(true);
    FMessage->SetAutoSize(false);
    FMessage->SetBounds(textLeft, textTop, std::max<int>(tr.right, 1), std::max<int>(tr.bottom, 1));
    FMessage->SetCaption(Text);
    int contentBottom = std::max<int>(textTop + tr.bottom, Icon == ikNone ? 0 : top + iconSize);
    const int bw = 75, bh = 23, bgap = 8;
    int n = int(Buttons.size());
    int rowWidth = n * bw + (n - 1) * bgap;
    int width = std::max({textLeft + int(tr.right) + margin, rowWidth + 2 * margin, 180});
    int by = contentBottom + 16;
    SetClientSize(width, by + bh + 12);
    int x = (width - rowWidth) / 2;
    for (int i = 0; i < n; ++i) {
      TButton* b = AddButton(nullptr, Buttons[i].Caption, Buttons[i].Result, x, by, bw, bh);
      b->SetTabOrder(i);
      if (Buttons[i].Result == CancelResult) b->SetCancel(true);
      if (i == DefaultIndex) {
        SetDefaultButton(b);
        SetActiveControl(b);
      }
      x += bw + bgap;
    }
    PvSetMessageBoxText(this, Text);
  }

  AnsiString DialogKind() const override { return "Message"; }
  AnsiString DialogText() const override { return FText; }

 private:
  AnsiString FText;
  TImage* FIcon = nullptr;
  TLabel* FMessage = nullptr;
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
  // Escape: Cancel, else No, else OK, else a lone button.
  TModalResult cancel = mrNone;
  if (Buttons.Contains(mbCancel)) cancel = mrCancel;
  else if (Buttons.Contains(mbNo)) cancel = mrNo;
  else if (Buttons.Contains(mbOK)) cancel = mrOk;
  else if (specs.size() == 1) cancel = specs[0].Result;
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

namespace {
// "Custom..." of the colour boxes asks with the colour dialog.
bool PickColor(TColor& Color) {
  TColorDialog d(nullptr);
  d.SetColor(Color);
  if (!d.Execute()) return false;
  Color = d.Color();
  return true;
}

// The common dialogs as window descriptions declare them.
void RegisterDialogClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TOpenDialog::StaticClass(), TSaveDialog::StaticClass(), TOpenPictureDialog::StaticClass(),
                   TSavePictureDialog::StaticClass(), TColorDialog::StaticClass(), TFontDialog::StaticClass()});
  RegisterProps<TCommonDialog>([](TPropBuilder<TCommonDialog>& p) {
    p.Prop("Ctl3D", &TCommonDialog::Ctl3D, &TCommonDialog::SetCtl3D).Default(true);
    p.Prop("HelpContext", &TCommonDialog::HelpContext, &TCommonDialog::SetHelpContext).Default(0);
    p.Field("OnClose", &TCommonDialog::OnClose);
    p.Field("OnShow", &TCommonDialog::OnShow);
  });
  RegisterProps<TOpenDialog>([](TPropBuilder<TOpenDialog>& p) {
    p.Prop("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
    p.Prop("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
    p.Prop("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
    p.Prop("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1);
    p.Prop("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
    p.Prop("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions)
        .Default(TOpenOptions{ofHideReadOnly, ofEnableSizing});
    p.Prop("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
    p.Field("OnCanClose", &TOpenDialog::OnCanClose);
    p.Field("OnFolderChange", &TOpenDialog::OnFolderChange);
    p.Field("OnSelectionChange", &TOpenDialog::OnSelectionChange);
    p.Field("OnTypeChange", &TOpenDialog::OnTypeChange);
  });
  RegisterProps<TColorDialog>([](TPropBuilder<TColorDialog>& p) {
    p.Prop("Color", &TColorDialog::Color, &TColorDialog::SetColor).Default(clBlack).Idents(ColorIdentMap());
    p.Prop("CustomColors", [](TColorDialog* d) -> TStrings* { return d->CustomColors(); });
    p.Prop("Options", &TColorDialog::Options, &TColorDialog::SetOptions).Default(TColorDialogOptions{});
  });
  RegisterProps<TFontDialog>([](TPropBuilder<TFontDialog>& p) {
    p.Prop("Font", &TFontDialog::Font, &TFontDialog::SetFont);
    p.Field("MinFontSize", &TFontDialog::MinFontSize).Default(0);
    p.Field("MaxFontSize", &TFontDialog::MaxFontSize).Default(0);
  });
}
}  // namespace

void InitDialogs() {
  SetMessageBoxProc(&PvMessageBox);
  SetColorBoxPickProc(&PickColor);
  RegisterDialogClasses();
}

// ---------------------------------------------------------------------------
// input boxes

namespace {

class TInputForm : public TDialogForm {
 public:
  TInputForm(const AnsiString& Caption, const AnsiString& Prompt, const AnsiString& Value)
      : TDialogForm(Caption), FPrompt(Prompt) {
    const int w = 300, margin = 8;
    FEdit = Add<TEdit>(nullptr, margin, 0, w - 2 * margin, 21);
    FEdit->SetMaxLength(255);
    FEdit->SetText(Value);
    FEdit->SetTabOrder(0);
    TLabel* prompt = AddLabel(nullptr, Prompt, margin, margin, FEdit);
    prompt->SetWordWrap(true);
    prompt->SetAutoSize(false);
    TRect pr = MeasureText(Font(), Prompt, w - 2 * margin);
    prompt->SetBounds(margin, margin, w - 2 * margin, std::max<int>(pr.bottom, 13));
    int editTop = margin + std::max<int>(pr.bottom, 13) + 6;
    FEdit->SetTop(editTop);
    int by = editTop + 21 + 14;
    TButton* ok = AddButton(nullptr, T("确定"), mrOk, w / 2 - 75 - 4, by);
    TButton* cancel = AddButton(nullptr, T("取消"), mrCancel, w / 2 + 4, by);
    ok->SetTabOrder(1);
    cancel->SetTabOrder(2);
    cancel->SetCancel(true);
    SetDefaultButton(ok);
    SetClientSize(w, by + 23 + 10);
    SetActiveControl(FEdit);
  }
  AnsiString Value() { return FEdit->Text(); }

  AnsiString DialogKind() const override { return "Input"; }
  AnsiString DialogText() const override { return FPrompt; }
  void ScriptType(const AnsiString& Text) override { FEdit->SetText(Text); }

 private:
  AnsiString FPrompt;
  TEdit* FEdit = nullptr;
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
