// Resetting bars to the way the form's description lays them out, and
// forgetting the usage data of personalized menus. The design-time layout is
// read again from the owner form's description into a temporary form that
// holds only a copy of the manager.
#include <cctype>
#include <cstring>
#include <set>

#include "bars/kxbar.h"
#include "bars/kxbaritems.h"
#include "framework/uxclasses.h"
#include "framework/uxtimers.h"
#include "platform/classes/filer.h"
#include "platform/controls/forms.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"

namespace kxbarreset {

const char* const kResetUsageText =
    "此操作将删除您在此应用程序中使用过的命令的记录，并使菜单和工具栏恢复其默认的命令设置。它不会撤消任何明显的"
    "自定义设置。是否确认要进行这项操作?";
const char* const kResetBarText = "是否确认要放弃对工具栏 '%s' 的修改?";

// The indentation of a description line.
AnsiString LeadingSpaces(const AnsiString& Line) { return Line.substr(0, Line.find_first_not_of(' ')); }

bool IsIdentifier(const AnsiString& S) {
  if (S.empty() || !(std::isalpha(Byte(S[0])) || S[0] == '_')) return false;
  for (char c : S)
    if (!(std::isalnum(Byte(c)) || c == '_')) return false;
  return true;
}

// A line that binds an event to a handler: "OnClick = ItemClick". Other
// properties that merely begin with "On" (OneOnRow = True) stay.
bool IsEventLine(const AnsiString& Line) {
  AnsiString t = Trim(Line);
  std::size_t eq = t.find(" = ");
  if (eq == AnsiString::npos || t.size() < 3 || t[0] != 'O' || t[1] != 'n' || !std::isupper(Byte(t[2])))
    return false;
  AnsiString name = t.substr(0, eq), value = t.substr(eq + 3);
  return IsIdentifier(name) && IsIdentifier(value) && !SameText(value, "True") && !SameText(value, "False");
}

bool IsFormSizeLine(const AnsiString& Line) {
  if (Line.size() < 3) return false;
  AnsiString rest = Line.substr(2);
  for (const char* p : {"Width =", "Height =", "ClientWidth =", "ClientHeight ="})
    if (rest.compare(0, std::strlen(p), p) == 0) return true;
  return false;
}

// The manager's block of a form description wrapped into a temporary form;
// empty when the description holds no object of that name and class.
AnsiString TempFormText(const AnsiString& Description, TkxBarManager* M) {
  TStringList lines;
  lines.SetText(Description);
  TStringList out;
  out.Add("object TempForm: TkxBarTempForm");
  int sizes = 0;
  for (int i = 1; i < lines.Count() && sizes < 2; ++i)
    if (IsFormSizeLine(lines.Strings(i))) {
      out.Add(lines.Strings(i));
      ++sizes;
    }
  AnsiString header = "object " + M->Name() + ": " + M->ClassName();
  int first = -1;
  for (int i = 5; i < lines.Count() && first < 0; ++i)
    if (Trim(lines.Strings(i)) == header) first = i;
  if (first < 0) return AnsiString();
  AnsiString endLine = LeadingSpaces(lines.Strings(first)) + "end";
  int last = -1;
  for (int i = first + 1; i < lines.Count() && last < 0; ++i)
    if (lines.Strings(i) == endLine) last = i;
  if (last < 0) return AnsiString();
  for (int i = first; i <= last; ++i)
    if (!IsEventLine(lines.Strings(i))) out.Add(lines.Strings(i));
  out.Add("end");
  return out.Text();
}

// Every sub item among Links (and below them) takes the links of its
// namesake in the copy, with their usage data.
void ResetSubItems(TkxBarItemLinks* Links, TkxBarManager* Copy, std::set<TCustomkxBarSubItem*>& Done) {
  for (int i = 0; i < Links->Count(); ++i) {
    auto* sub = dynamic_cast<TCustomkxBarSubItem*>(Links->Items(i)->Item());
    if (!sub || !Done.insert(sub).second) continue;
    auto* source = dynamic_cast<TCustomkxBarSubItem*>(Copy->ItemByName(sub->Name()));
    if (!source) continue;
    sub->ItemLinks()->Assign(source->ItemLinks());
    sub->ItemLinks()->AssignRecentState(source->ItemLinks());
    ResetSubItems(sub->ItemLinks(), Copy, Done);
  }
}

TkxBarManager* CopyIn(TCustomForm* TempForm, TkxBarManager* M) {
  return TempForm ? dynamic_cast<TkxBarManager*>(TempForm->FindComponent(M->Name())) : nullptr;
}

}  // namespace kxbarreset

using namespace kxbarreset;

TkxBarTempForm::TkxBarTempForm(TComponent* AOwner) : TForm(AOwner, 0) {}

// ---------------------------------------------------------------------------
// TkxBarManager

TCustomForm* TkxBarManager::CreateFormFromResource() {
  if (!FOwnerForm) return nullptr;
  TResourceData res = FindResourceData(RT_RCDATA, FOwnerForm->ClassName());
  if (!res) return nullptr;
  ShowHourglassCursor();
  TkxBarTempForm* form = nullptr;
  try {
    AnsiString text = TempFormText(AnsiString(reinterpret_cast<const char*>(res.Data), res.Size), this);
    if (!text.empty()) {
      form = new TkxBarTempForm(nullptr);
      bool wasReading = kxBarReadingTempForm;
      kxBarReadingTempForm = true;
      try {
        ReadComponentFromText(text, form);
      } catch (...) {
        kxBarReadingTempForm = wasReading;
        form->Free();
        form = nullptr;
        throw;
      }
      kxBarReadingTempForm = wasReading;
      if (TkxBarManager* copy = CopyIn(form, this)) {
        copy->SetStoreInIniFile(false);
        copy->SetStoreInRegistry(false);
      }
    }
  } catch (...) {
    HideHourglassCursor();
    throw;
  }
  HideHourglassCursor();
  return form;
}

void TkxBarManager::ResetUsageData() {
  bool oldLock = FLockUpdate;
  LockUpdate(true);
  TCustomForm* form = nullptr;
  try {
    form = CreateFormFromResource();
    if (TkxBarManager* copy = CopyIn(form, this)) {
      for (TkxBarItem* item : std::vector<TkxBarItem*>(FItems))
        if (auto* sub = dynamic_cast<TCustomkxBarSubItem*>(item))
          if (auto* source = dynamic_cast<TCustomkxBarSubItem*>(copy->ItemByName(sub->Name())))
            sub->ItemLinks()->AssignRecentState(source->ItemLinks());
      for (int n = 0; n < FBars->Count() && n < copy->Bars()->Count(); ++n)
        FBars->Items(n)->ItemLinks()->AssignRecentState(copy->Bars()->Items(n)->ItemLinks());
    }
  } catch (...) {
    if (form) form->Free();
    LockUpdate(oldLock);
    throw;
  }
  if (form) form->Free();
  LockUpdate(oldLock);
}

void TkxBarManager::ResetUsageDataWithConfirmation() {
  AnsiString title = Application ? Application->Title() : AnsiString();
  if (MessageBoxA(nullptr, uxTranslateString(Utf8ToAnsi(kResetUsageText)).c_str(), title.c_str(),
                  MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING) == IDYES)
    ResetUsageData();
}

// ---------------------------------------------------------------------------
// TkxBar

void TkxBar::Reset() {
  TkxBarManager* m = BarManager();
  if (!m) return;
  TCustomForm* form = m->CreateFormFromResource();
  TkxBarManager* copy = CopyIn(form, m);
  if (!copy || Index() >= copy->Bars()->Count()) {
    if (form) form->Free();
    return;
  }
  TkxBar* source = copy->Bars()->Items(Index());
  try {
    m->DoBarBeforeReset(this);
    std::set<TCustomkxBarSubItem*> done;
    // While the manager is updating, copied links find their items by name in
    // this form rather than keeping the copy's items.
    if (m->UseFullReset()) {
      bool oldLock = m->LockedUpdate(), oldVisible = Visible();
      m->LockUpdate(true);
      SetVisible(false);
      m->Updating();
      try {
        Assign(source);
        ItemLinks()->AssignRecentState(source->ItemLinks());
        ResetSubItems(ItemLinks(), copy, done);
      } catch (...) {
        m->Updated();
        SetVisible(oldVisible);
        m->LockUpdate(oldLock);
        throw;
      }
      m->Updated();
      SetVisible(oldVisible);
      m->LockUpdate(oldLock);
    } else {
      bool oldLock = LockUpdate();
      SetLockUpdate(true);
      m->Updating();
      try {
        ItemLinks()->Assign(source->ItemLinks());
        ItemLinks()->AssignRecentState(source->ItemLinks());
        ResetSubItems(ItemLinks(), copy, done);
      } catch (...) {
        m->Updated();
        SetLockUpdate(oldLock);
        throw;
      }
      m->Updated();
      SetLockUpdate(oldLock);
      RebuildWindow();
    }
    m->DoBarAfterReset(this);
  } catch (...) {
    form->Free();
    throw;
  }
  form->Free();
}

void TkxBar::ResetWithConfirmation() {
  AnsiString text = uxTranslateString(Utf8ToAnsi(kResetBarText));
  text.replace(text.find("%s"), 2, FCaption);
  AnsiString title = Application ? Application->Title() : AnsiString();
  if (MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OKCANCEL | MB_ICONWARNING) == IDOK) Reset();
}
