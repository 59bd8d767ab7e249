// The date combo item: one date as text, the navigator as its drop-down, "+"
// and "-" in its edit to step a day, limits, and the select-date dialog.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "bars/kxbardate.h"
#include "platform/controls/dialogs.h"
#include "platform/controls/stdctrls.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/variants.h"

namespace kxbardateitems {

const char* const kDialogCaption = "\xD1\xA1\xD4\xF1\xC8\xD5\xC6\xDA";  // 选择日期
const char* const kOk = "\xC8\xB7\xB6\xA8";                              // 确定
const char* const kCancel = "\xC8\xA1\xCF\xFB";                          // 取消
const char* const kTodayCaption = "\xBD\xF1\xCC\xEC";                    // 今天
const char* const kClearCaption = "\xC7\xE5\xB3\xFD";                    // 清除

TDateTime Today() { return kxBarDateOf(Date()); }

// The select-date dialog of one date item, alive while it is shown.
class TSelectDateDialog : public TObject {
 public:
  explicit TSelectDateDialog(TkxBarDateCombo* Item) : FItem(Item) {}
  // Runs the dialog; the item takes the edit's date when it ends with OK.
  void Execute();

 private:
  void EditChange(TObject*);
  void NavigatorDateChosen(TObject*);
  void ButtonClick(TObject* Sender);
  void ShowNavigatorDate() { FEdit->SetText(FItem->FormatDate(FNavigator->GetSelStart())); }

  TkxBarDateCombo* FItem;
  TEdit* FEdit = nullptr;
  TkxBarDateNavigator* FNavigator = nullptr;
};

void TSelectDateDialog::EditChange(TObject*) {
  AnsiString text = FEdit->Text();
  TDateTime d = kxBarDateComboTextToDate(text);
  if (d == kxBarNullDate && !text.empty()) return;  // typing in progress
  FNavigator->SetSelStart(d);
}

void TSelectDateDialog::NavigatorDateChosen(TObject*) { ShowNavigatorDate(); }

void TSelectDateDialog::ButtonClick(TObject* Sender) {
  int tag = static_cast<TComponent*>(Sender)->Tag();
  FNavigator->SetSelStart(tag == 1 ? Today() : kxBarNullDate);
  ShowNavigatorDate();
}

void TSelectDateDialog::Execute() {
  std::unique_ptr<TForm, void (*)(TForm*)> form(new TForm(nullptr, 0), [](TForm* f) { f->Free(); });
  form->SetBorderStyle(bsDialog);
  form->SetCaption(uxTranslateString(kDialogCaption));
  if (TkxBarManager* m = FItem->BarManager()) form->Font()->Assign(m->Font());
  form->SetPosition(poScreenCenter);
  FEdit = new TEdit(form.get());
  FEdit->SetParent(form.get());
  FEdit->OnChange = TNotifyEvent(this, &TSelectDateDialog::EditChange);
  FNavigator = new TkxBarDateNavigator(form.get(), FItem, false);
  FNavigator->SetStyle(bcs3D);
  FNavigator->SetParent(form.get());
  FNavigator->SetVisible(true);
  FNavigator->OnDateChosen = TNotifyEvent(this, &TSelectDateDialog::NavigatorDateChosen);
  FNavigator->HandleNeeded();
  auto button = [&](const char* Caption, int Result, int Tag) {
    auto* b = new TButton(form.get());
    b->SetParent(form.get());
    b->SetCaption(uxTranslateString(Caption));
    b->SetModalResult(Result);
    b->SetTag(Tag);
    if (Tag) b->OnClick = TNotifyEvent(this, &TSelectDateDialog::ButtonClick);
    return b;
  };
  TButton* ok = button(kOk, mrOk, 0);
  ok->SetDefault(true);
  TButton* cancel = button(kCancel, mrCancel, 0);
  cancel->SetCancel(true);
  TButton* today = FItem->ShowTodayButton() ? button(kTodayCaption, mrNone, 1) : nullptr;
  TButton* clear = FItem->ShowClearButton() ? button(kClearCaption, mrNone, 2) : nullptr;

  int bw = int(std::lround(FNavigator->TodayButtonWidth() * 3 / 2.0));
  int bh = int(std::lround(FNavigator->ButtonsHeight() * 7 / 6.0));
  int e = FNavigator->ButtonsHeight() / 4;
  form->SetClientWidth(FNavigator->Width() + bw + 3 * e);
  form->SetClientHeight(3 * e + FEdit->Height() + FNavigator->Height());
  FEdit->SetBounds(e, e, FNavigator->Width(), FEdit->Height());
  FNavigator->SetBounds(e, FEdit->Top() + FEdit->Height() + e, FNavigator->Width(), FNavigator->Height());
  int left = FEdit->Left() + FEdit->Width() + e;
  ok->SetBounds(left, e, bw, bh);
  cancel->SetBounds(left, ok->Top() + bh + e, bw, bh);
  int ch = form->ClientHeight();
  if (today) today->SetBounds(left, ch - 2 * e - 2 * bh, bw, bh);
  if (clear) clear->SetBounds(left, ch - e - bh, bw, bh);

  FEdit->SetText(FItem->FormatDate(FItem->GetDate()));
  if (form->ShowModal() == mrOk) FItem->SetDate(kxBarDateComboTextToDate(FEdit->Text()));
}

}  // namespace kxbardateitems

using namespace kxbardateitems;

// ===========================================================================
// date text

TDateTime kxBarTextToDate(const AnsiString& Text) {
  AnsiString s = Text;
  std::replace(s.begin(), s.end(), '.', ' ');
  try {
    return VarToDateTime(VarAsType(Variant(s), varDate));
  } catch (const Exception&) {
    return kxBarNullDate;
  }
}

AnsiString kxBarDateToText(TDateTime Date) {
  if (Date == kxBarNullDate) return AnsiString();
  return GetDateFormatStr(Date, false);
}

TDateTime kxBarDateComboTextToDate(const AnsiString& Text) {
  std::size_t blank = Text.find(' ');
  return kxBarTextToDate(blank == AnsiString::npos ? Text : Text.substr(blank + 1));
}

// ===========================================================================
// TkxBarDateCombo

TkxBarDateCombo::TkxBarDateCombo(TComponent* AOwner) : TCustomkxBarCombo(AOwner) {
  FNavigator = new TkxBarDateNavigator(nullptr, this, true);
  ApplyDateOnStart();
}

TkxBarDateCombo::~TkxBarDateCombo() {
  TkxBarDateNavigator* n = FNavigator;
  FNavigator = nullptr;
  if (n) n->Free();
}

TDateTime TkxBarDateCombo::GetDate() const { return kxBarDateComboTextToDate(Text()); }

void TkxBarDateCombo::SetDate(TDateTime Value) { SetText(FormatDate(CheckDate(Value))); }

AnsiString TkxBarDateCombo::FormatDate(TDateTime Date) const {
  if (Date == kxBarNullDate) return AnsiString();
  AnsiString day = FShowDayText ? GetDateFormatStr(Date, "ddd ") : AnsiString();
  return day + kxBarDateToText(Date);
}

TDateTime TkxBarDateCombo::CheckDate(TDateTime Date) const {
  // the null date is no date: limits never turn it into one
  if ((FMinDate == 0 && FMaxDate == 0) || Date == kxBarNullDate) return Date;
  if (Date < FMinDate) Date = FMinDate;
  if (Date > FMaxDate) Date = FMaxDate;
  return Date;
}

void TkxBarDateCombo::CheckCurrentDate() {
  TDateTime d = GetDate();
  if (CheckDate(d) != d) SetDate(CheckDate(d));
}

void TkxBarDateCombo::SetMinDate(TDateTime Value) {
  if (Value > FMaxDate) Value = FMaxDate;
  if (Value == FMinDate) return;
  FMinDate = Value;
  CheckCurrentDate();
}

void TkxBarDateCombo::SetMaxDate(TDateTime Value) {
  if (Value < FMinDate) Value = FMinDate;
  if (Value == FMaxDate) return;
  FMaxDate = Value;
  CheckCurrentDate();
}

void TkxBarDateCombo::SetShowDayText(bool Value) {
  if (Value == FShowDayText) return;
  TDateTime d = GetDate();
  FShowDayText = Value;
  bool old = FSettingText;
  FSettingText = true;
  try {
    SetDate(d);
  } catch (...) {
    FSettingText = old;
    throw;
  }
  FSettingText = old;
}

void TkxBarDateCombo::SetText(const AnsiString& Value) {
  AnsiString text = FormatDate(CheckDate(kxBarDateComboTextToDate(Value)));
  if (!FSettingText) FDateOnStart = bdsCustom;
  TCustomkxBarCombo::SetText(text);
}

void TkxBarDateCombo::ApplyDateOnStart() {
  bool old = FSettingText;
  FSettingText = true;
  try {
    switch (FDateOnStart) {
      case bdsToday: SetDate(Today()); break;
      case bdsNullDate: SetDate(kxBarNullDate); break;
      case bdsCustom: SetDate(GetDate()); break;
    }
  } catch (...) {
    FSettingText = old;
    throw;
  }
  FSettingText = old;
}

void TkxBarDateCombo::SetDateOnStart(TkxBarDateOnStart Value) {
  FDateOnStart = Value;
  if (!IsLoading()) ApplyDateOnStart();
}

void TkxBarDateCombo::Loaded() {
  ApplyDateOnStart();
  TCustomkxBarCombo::Loaded();
}

bool TkxBarDateCombo::CheckKeyForDropDownWindow(Word Key, TShiftState Shift) {
  return Key == VK_RETURN || TCustomkxBarCombo::CheckKeyForDropDownWindow(Key, Shift);
}

HWND TkxBarDateCombo::GetDropDownWindow() {
  HWND w = TCustomkxBarCombo::GetDropDownWindow();
  if (w || !FNavigator) return w;
  return FNavigator->HandleAllocated() || FNavigator->ParentWindow() ? FNavigator->Handle() : nullptr;
}

void TkxBarDateCombo::DropDown(int X, int Y) {
  TDateTime d = GetDate();
  if (d == kxBarNullDate) d = Today();
  FNavigator->SetFirstDate(d);
  FNavigator->SetSelStart(d);
  FNavigator->OnDateChosen = TNotifyEvent(this, &TkxBarDateCombo::NavigatorDateChosen);
  FNavigator->SetShowTodayButton(FShowTodayButton);
  FNavigator->SetShowClearButton(FShowClearButton);
  TkxBarItemLink* link = CurItemLink();
  TCustomkxBarControl* bar = link ? link->BarControl() : nullptr;
  if (bar && bar->HandleAllocated()) {
    FNavigator->SetParentWindow(bar->Handle());
    FNavigator->Font()->SetHandle(kxBarCopyFontHandle(bar->Font()));
  }
  FNavigator->Font()->SetColor(clWindowText);
  FNavigator->HandleNeeded();
  FNavigator->UpdateSize();
  TCustomkxBarCombo::DropDown(X, Y);
}

void TkxBarDateCombo::CloseUp() {
  if (FNavigator->HandleAllocated() && IsWindowVisible(FNavigator->Handle())) {
    if (GetCapture() == FNavigator->Handle()) ReleaseCapture();
    FNavigator->ResetTracking();
  }
  TCustomkxBarCombo::CloseUp();
  if (FNavigator->HandleAllocated()) FNavigator->DestroyHandle();
  FNavigator->SetParentWindow(nullptr);
}

void TkxBarDateCombo::NavigatorDateChosen(TObject*) {
  TDateTime d = FNavigator->GetSelStart();
  TkxBarItemLink* link = CurItemLink();
  if (link) {
    link->SourceLink()->MarkUsed(true);
    if (TkxBarManager* m = BarManager()) m->HideAll();
  }
  SetDate(d);
}

void TkxBarDateCombo::DoClick() {
  TCustomkxBarCombo::DoClick();
  if (OnClick || ReadOnly()) return;
  TSelectDateDialog dialog(this);
  dialog.Execute();
}

// ===========================================================================
// TkxBarDateComboControl

void TkxBarDateComboControl::WndProc(TMessage& Message) {
  if (Message.Msg == WM_CHAR && (Message.WParam == '+' || Message.WParam == '-')) {
    auto* item = dynamic_cast<TkxBarDateCombo*>(Item());
    TDateTime d = kxBarDateComboTextToDate(GetWindowText());
    if (item && d != kxBarNullDate) SetWindowText(item->FormatDate(d + (Message.WParam == '+' ? 1 : -1)));
    Message.WParam = 0;
  }
  TCustomkxBarComboControl::WndProc(Message);
}

// ===========================================================================
// TkxBarFontNameCombo

namespace kxbardateitems {

int AddFontFamily(const LOGFONTA* Font, const TEXTMETRICA*, DWORD Type, LPARAM Data) {
  auto* items = reinterpret_cast<TStrings*>(Data);
  items->AddObject(AnsiString(Font->lfFaceName), reinterpret_cast<TObject*>(std::intptr_t((Type & TRUETYPE_FONTTYPE) != 0)));
  return 1;
}

// A 12-pixel mark: a "T" for TrueType fonts, an empty cell for the others.
std::unique_ptr<TBitmap> MakeMark(bool TrueType) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(12, 12);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(TRect{0, 0, 12, 12});
  if (TrueType) {
    c->Brush()->SetColor(clGray);
    c->FillRect(TRect{1, 1, 10, 3});
    c->FillRect(TRect{4, 3, 7, 11});
  }
  return b;
}

// The dialog all font items share.
TFontDialog* SharedFontDialog() {
  static std::unique_ptr<TFontDialog> dialog;
  if (!dialog) dialog = std::make_unique<TFontDialog>(nullptr);
  return dialog.get();
}

}  // namespace kxbardateitems

TBitmap* kxBarFontTypeMark(bool TrueType) {
  static std::unique_ptr<TBitmap> marks[2];
  std::unique_ptr<TBitmap>& m = marks[TrueType ? 1 : 0];
  if (!m) m = MakeMark(TrueType);
  return m.get();
}

TkxBarFontNameCombo::TkxBarFontNameCombo(TComponent* AOwner) : TkxBarCustomCombo(AOwner) {
  SetDropDownCount(12);
  SetShowEditor(false);
  SetSorted(true);
  SetWidth(160);
  // No printer is reachable here: the families are those of the screen.
  HDC dc = GetDC(nullptr);
  LOGFONTA lf;
  lf.lfCharSet = DEFAULT_CHARSET;
  Items()->BeginUpdate();
  EnumFontFamiliesExA(dc, &lf, &AddFontFamily, reinterpret_cast<LPARAM>(Items()), 0);
  Items()->EndUpdate();
  ReleaseDC(nullptr, dc);
}

void TkxBarFontNameCombo::SetText(const AnsiString& Value) {
  AnsiString text = Value;
  if (CurItemLink()) {
    int i = FindItem(Value);
    bool found = i >= 0 && AnsiStartsText(Value, Items()->Get(i));
    if (!found) {
      if (!Value.empty()) return;
    } else {
      text = Items()->Get(i);
    }
  }
  TkxBarCustomCombo::SetText(text);
}

void TkxBarFontNameCombo::DrawItem(int Index, const TRect& R, unsigned State) {
  TCanvas* c = GetCanvas();
  if (OnDrawItem || Index == -1 || !c) {
    TkxBarCustomCombo::DrawItem(Index, R, State);
    return;
  }
  TBitmap* mark = kxBarFontTypeMark(Items()->Objects(Index) != nullptr);
  int top = R.top + (R.Height() - mark->Height()) / 2;
  c->FillRect(R);
  TRect mr{R.left, top, R.left + mark->Width(), top + mark->Height()};
  TColor key = BarManager() ? BarManager()->ImageListBkColor() : clFuchsia;
  for (int y = 0; y < mark->Height(); ++y)
    for (int x = 0; x < mark->Width(); ++x) {
      TColor px = mark->Canvas()->Pixels(x, y);
      if (px != key) c->SetPixel(mr.left + x, mr.top + y, px);
    }
  AnsiString name = Items()->Get(Index);
  c->TextOut(mr.right + 2, R.top + (R.Height() - c->TextHeight(name)) / 2, name);
  if (State & 16) c->DrawFocusRect(R);
}

void TkxBarFontNameCombo::MeasureItemWidth(int Index, int& Width) {
  TkxBarCustomCombo::MeasureItemWidth(Index, Width);
  Width += kxBarFontTypeMark(true)->Width() + 1;
}

void TkxBarFontNameCombo::DoClick() {
  TkxBarCustomCombo::DoClick();
  if (OnClick || ReadOnly()) return;
  TFontDialog* d = SharedFontDialog();
  d->Font()->SetName(Text());
  if (d->Execute()) SetText(d->Font()->Name());
}

// ===========================================================================
// registration

void kxBarRegisterDateItems() {
  kxBarRegisterItemClass(TkxBarFontNameCombo::StaticClass(), TkxBarComboControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarDateCombo::StaticClass(), TkxBarDateComboControl::StaticClass(), true);
  static bool propsDone = false;
  if (propsDone) return;
  propsDone = true;
  RegisterProps<TkxBarFontNameCombo>([](TPropBuilder<TkxBarFontNameCombo>& p) {
    using C = TkxBarCustomCombo;
    p.Prop("ShowEditor", &TCustomkxBarCombo::ShowEditor, &TCustomkxBarCombo::SetShowEditor).Default(false);
    p.Prop("DropDownCount", &C::DropDownCount, &C::SetDropDownCount).Default(12);
    p.Prop("Width", &TkxBarEdit::Width, &TkxBarEdit::SetWidth).Default(160);
  });
  RegisterProps<TkxBarDateCombo>([](TPropBuilder<TkxBarDateCombo>& p) {
    using D = TkxBarDateCombo;
    p.Prop("DateOnStart", &D::DateOnStart, &D::SetDateOnStart).Default(bdsToday);
    p.Prop("MaxDate", &D::MaxDate, &D::SetMaxDate).Stored([](TObject* o) { return static_cast<D*>(o)->MaxDate() != 0; });
    p.Prop("MinDate", &D::MinDate, &D::SetMinDate).Stored([](TObject* o) { return static_cast<D*>(o)->MinDate() != 0; });
    p.Prop("ShowClearButton", &D::ShowClearButton, &D::SetShowClearButton).Default(true);
    p.Prop("ShowDayText", &D::ShowDayText, &D::SetShowDayText).Default(true);
    p.Prop("ShowTodayButton", &D::ShowTodayButton, &D::SetShowTodayButton).Default(true);
    p.Prop("Text", &TkxBarWindowItem::Text, &TkxBarWindowItem::SetText).Stored([](TObject* o) {
      return static_cast<D*>(o)->DateOnStart() == bdsCustom;
    });
  });
}

void kxBarUnregisterDateItems() {
  kxBarUnregisterItemClass(TkxBarDateCombo::StaticClass());
  kxBarUnregisterItemClass(TkxBarFontNameCombo::StaticClass());
}
