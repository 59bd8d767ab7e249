// The docking layout as ini text: one section per dock control, saved from
// the roots of the dock trees down and loaded by rebuilding every tree. A text
// is checked whole before anything changes, so a damaged or foreign layout
// leaves the current arrangement as it is.
#include <algorithm>
#include <set>

#include "docking/kxdockcontrol.h"
#include "docking/kxdockinternal.h"
#include "docking/kxdockmanager.h"
#include "docking/kxdockpanel.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"

namespace {

const char* const kRoot = "Root";
const char* const kCount = "DockControlCount";
// Deeper trees are refused: no window builds one, and loading walks it recursively.
constexpr int kMaxDepth = 100;
// Sizes and positions beyond this are not a window's.
constexpr int kMaxExtent = 32767;

AnsiString Str(int V) { return IntToStr(V); }

// The registry index a section name stands for; -1 when it is not a plain
// decimal number.
int SectionIndex(const AnsiString& S) {
  if (S.empty() || S.size() > 9) return -1;
  int V = 0;
  for (char C : S) {
    if (C < '0' || C > '9') return -1;
    V = V * 10 + (C - '0');
  }
  return V;
}

TCustomForm* FindFormNamed(const AnsiString& Name) {
  return dynamic_cast<TCustomForm*>(FindGlobalComponent(Name));
}

bool IsRootClass(TClass C) { return C == TkxDockSite::StaticClass() || C == TkxFloatDockSite::StaticClass(); }

[[noreturn]] void LayoutError(const AnsiString& Message) {
  throw EkxDockingLayoutError("Docking layout cannot be loaded: " + Message);
}

const struct {
  const char* Suffix;
  TkxDockingType Type;
} kSides[] = {{"Left", dtLeft}, {"Top", dtTop}, {"Right", dtRight}, {"Bottom", dtBottom}, {"Client", dtClient}};

TkxDockingTypes ReadTypes(TCustomIniFile* Ini, const AnsiString& Section, const char* Prefix, TkxDockingTypes Now) {
  TkxDockingTypes R;
  for (const auto& S : kSides)
    if (Ini->ReadBool(Section, AnsiString(Prefix) + S.Suffix, Now.Contains(S.Type))) R << S.Type;
  return R;
}

void WriteTypes(TCustomIniFile* Ini, const AnsiString& Section, const char* Prefix, TkxDockingTypes V) {
  for (const auto& S : kSides) Ini->WriteBool(Section, AnsiString(Prefix) + S.Suffix, V.Contains(S.Type));
}

// ---- checking a text before it is loaded ----

class TLayoutChecker {
 public:
  TLayoutChecker(TCustomIniFile* Ini, TCustomForm* AForm) : FIni(Ini), FForm(AForm) {}

  void Check() {
    TStringList Sections;
    FIni->ReadSections(&Sections);
    if (Sections.Count() == 0) return;
    const bool HasRoot = FIni->ValueExists(kRoot, kCount);
    const int Count = FIni->ReadInteger(kRoot, kCount, Sections.Count());
    if (Count < 0) LayoutError("DockControlCount is negative");
    int Numbered = 0;
    for (int i = 0; i < Sections.Count(); ++i)
      if (SectionIndex(Sections[i]) >= 0) ++Numbered;
    if (!HasRoot && Numbered == 0) LayoutError("the text holds no section [Root] and no dock control");
    for (int i = 0; i < Sections.Count(); ++i) {
      const AnsiString S = Sections[i];
      const int I = SectionIndex(S);
      if (I < 0 || I >= Count) continue;
      TClass Cls = CheckClass(S);
      if (!IsRootClass(Cls)) continue;
      TCustomForm* F = FindFormNamed(FIni->ReadString(S, "ParentForm", ""));
      if (!F || (FForm && F != FForm)) continue;
      CheckTree(S, F, Cls);
    }
  }

 private:
  TClass CheckClass(const AnsiString& Section) {
    const AnsiString Name = FIni->ReadString(Section, "ClassName", "");
    TClass Cls = GetClass(Name);
    if (!Cls) LayoutError("section [" + Section + "] names the unknown class '" + Name + "'");
    if (!Cls->InheritsFrom(TkxCustomDockControl::StaticClass()))
      LayoutError("section [" + Section + "] names '" + Name + "', which is not a dock control");
    if (!Cls->Create) LayoutError("section [" + Section + "] names the abstract class '" + Name + "'");
    return Cls;
  }

  void Range(const AnsiString& Section, const char* Key, int Low, int High, int Default) {
    const int V = FIni->ReadInteger(Section, Key, Default);
    if (V < Low || V > High)
      LayoutError("section [" + Section + "] has " + Key + "=" + Str(V) + ", outside " + Str(Low) + ".." + Str(High));
  }

  struct TItem {
    AnsiString Section;
    TClass Cls;
    int Depth;
    bool IsRoot;
  };

  void CheckTree(const AnsiString& RootSection, TCustomForm* Form, TClass RootClass) {
    std::vector<TItem> Stack{{RootSection, RootClass, 1, true}};
    while (!Stack.empty()) {
      const TItem It = Stack.back();
      Stack.pop_back();
      const AnsiString& S = It.Section;
      if (!FVisited.insert(S).second) LayoutError("section [" + S + "] is reached twice (a cycle or a shared child)");
      if (It.Depth > kMaxDepth) LayoutError("the tree under [" + RootSection + "] is deeper than " + Str(kMaxDepth));
      // The control the section stands for: found by name on the form, or made anew.
      const AnsiString Name = FIni->ReadString(S, "Name", "");
      if (!Name.empty()) {
        if (!IsValidIdent(Name)) LayoutError("section [" + S + "] has the invalid name '" + Name + "'");
        if (!FNames.insert(Form->Name() + "." + UpperCase(Name)).second)
          LayoutError("the control '" + Name + "' appears in two sections");
        if (TComponent* C = Form->FindComponent(Name)) {
          if (!dynamic_cast<TkxCustomDockControl*>(C))
            LayoutError("section [" + S + "] names '" + Name + "', which is not a dock control");
          if (C->ClassType() != It.Cls)
            LayoutError("section [" + S + "] gives '" + Name + "' the class '" + It.Cls->Name + "', but it is a " +
                        C->ClassName());
        }
      }
      if (!It.IsRoot && IsRootClass(It.Cls)) LayoutError("section [" + S + "] puts a form-edge or floating site inside another");
      if (It.Cls != TkxDockSite::StaticClass()) {
        Range(S, "DockType", It.IsRoot ? 0 : 1, 5, 0);
        if (FIni->ReadBool(S, "AutoHide", false)) Range(S, "AutoHidePosition", 0, 4, 4);
      }
      if (It.Cls->InheritsFrom(TkxTabContainerDockSite::StaticClass())) Range(S, "TabsPosition", 0, 1, 1);
      for (const char* Key : {"Width", "Height", "OriginalWidth", "OriginalHeight"})
        Range(S, Key, 0, kMaxExtent, 0);
      if (It.Cls == TkxFloatDockSite::StaticClass())
        for (const char* Key : {"FloatLeft", "FloatTop"}) Range(S, Key, -kMaxExtent, kMaxExtent, 0);

      const int Children = FIni->ReadInteger(S, "ChildCount", 0);
      if (Children < 0) LayoutError("section [" + S + "] has a negative ChildCount");
      if (Children > FSectionCount()) LayoutError("section [" + S + "] counts more children than the text holds");
      CheckChildCount(S, It.Cls, Children);
      for (int i = 0; i < Children; ++i) {
        const AnsiString Key = "Children" + Str(i);
        if (!FIni->ValueExists(S, Key)) LayoutError("section [" + S + "] ends before " + Key + " (the text is cut short)");
        const AnsiString Child = FIni->ReadString(S, Key, "");
        if (SectionIndex(Child) < 0 || !FIni->SectionExists(Child))
          LayoutError("section [" + S + "] names the missing child section [" + Child + "]");
        Stack.push_back({Child, CheckClass(Child), It.Depth + 1, false});
      }
    }
  }

  void CheckChildCount(const AnsiString& S, TClass Cls, int N) {
    const AnsiString What = "section [" + S + "] gives a " + AnsiString(Cls->Name) + " " + Str(N) + " children";
    if (Cls->InheritsFrom(TkxDockPanel::StaticClass())) {
      if (N != 0) LayoutError(What);
    } else if (Cls->InheritsFrom(TkxContainerDockSite::StaticClass())) {
      if (N < 1) LayoutError(What);
    } else if (Cls == TkxFloatDockSite::StaticClass()) {
      if (N > 1) LayoutError(What);
    } else if (N != 0 && N != 2) {
      LayoutError(What);
    }
  }

  int FSectionCount() {
    if (FSections < 0) {
      TStringList L;
      FIni->ReadSections(&L);
      FSections = L.Count();
    }
    return FSections;
  }

  TCustomIniFile* FIni;
  TCustomForm* FForm;
  std::set<AnsiString> FVisited;
  std::set<AnsiString> FNames;
  int FSections = -1;
};

}  // namespace

// ===================================================================== controller

void TkxDockingController::LoadLayoutFromStream(TStream* Stream, TCustomForm* AForm) {
  TStringList Lines;
  Lines.LoadFromStream(Stream);
  TMemIniFile Ini("");
  Ini.SetStrings(&Lines);
  LoadLayoutFromIniFile(&Ini, AForm);
}

void TkxDockingController::SaveLayoutToStream(TStream* Stream, TCustomForm* AForm) {
  TMemIniFile Ini("");
  SaveLayoutToIniFile(&Ini, AForm);
  TStringList Lines;
  Ini.GetStrings(&Lines);
  Lines.SaveToStream(Stream);
}

void TkxDockingController::CheckLayoutText(TCustomIniFile* IniFile, TCustomForm* AForm) {
  TLayoutChecker(IniFile, AForm).Check();
}

void TkxDockingController::LoadLayoutFromIniFile(TCustomIniFile* IniFile, TCustomForm* AForm) {
  CheckLayoutText(IniFile, AForm);
  // What stands now, to come back to should the rebuilding fail halfway.
  TMemIniFile Before("");
  SaveLayoutToIniFile(&Before, AForm);
  auto Load = [this, AForm](TCustomIniFile* Ini) {
    TkxNCLock Lock;
    TStringList Sections;
    Ini->ReadSections(&Sections);
    const int Count = Ini->ReadInteger(kRoot, kCount, Sections.Count());
    if (Sections.Count() == 0) return;
    ClearLayout(AForm);
    std::vector<std::pair<int, AnsiString>> Numbered;
    for (int i = 0; i < Sections.Count(); ++i)
      if (const int I = SectionIndex(Sections[i]); I >= 0 && I < Count) Numbered.push_back({I, Sections[i]});
    std::sort(Numbered.begin(), Numbered.end());
    for (const auto& [I, S] : Numbered) {
      TClass Cls = FindClass(Ini->ReadString(S, "ClassName", ""));
      if (!IsRootClass(Cls)) continue;
      TCustomForm* F = FindFormNamed(Ini->ReadString(S, "ParentForm", ""));
      if (F && (!AForm || F == AForm)) LoadControlFromIniFile(Ini, AForm, S, nullptr);
    }
  };
  try {
    Load(IniFile);
  } catch (const Exception& E) {
    try {
      Load(&Before);
    } catch (...) {
    }
    throw EkxDockingLayoutError("Docking layout cannot be loaded: " + E.Message);
  }
  DoLayoutChanged(AForm);
}

void TkxDockingController::SaveLayoutToIniFile(TCustomIniFile* IniFile, TCustomForm* AForm) {
  if (FHandle) SendMessageA(FHandle, DM_RELEASECONTROLS, 0, 0);
  TStringList Sections;
  IniFile->ReadSections(&Sections);
  const int Old = IniFile->ReadInteger(kRoot, kCount, 0);
  for (int i = 0; i < Sections.Count(); ++i)
    if (const int I = SectionIndex(Sections[i]); I >= 0 && I < Old) IniFile->EraseSection(Sections[i]);
  IniFile->WriteInteger(kRoot, kCount, DockControlCount());
  for (TkxCustomDockControl* C : std::vector<TkxCustomDockControl*>(FDockControls)) {
    if (C->GetDockingState() == dcsDestroying) continue;
    if (AForm && C->ParentForm() != AForm) continue;
    if (!C->ParentForm()) continue;
    if (dynamic_cast<TkxDockSite*>(C) || dynamic_cast<TkxFloatDockSite*>(C)) SaveControlToIniFile(IniFile, C);
  }
}

void TkxDockingController::SaveControlToIniFile(TCustomIniFile* IniFile, TkxCustomDockControl* AControl) {
  const AnsiString S = Str(IndexOfDockControl(AControl));
  IniFile->WriteString(S, "ClassName", AControl->ClassName());
  IniFile->WriteString(S, "Name", AControl->Name());
  TCustomForm* F = AControl->ParentForm();
  IniFile->WriteString(S, "ParentForm", F ? F->Name() : AnsiString());
  AControl->SaveLayoutToIniFile(IniFile, S);
}

void TkxDockingController::LoadControlFromIniFile(TCustomIniFile* IniFile, TCustomForm* AForm,
                                                  const AnsiString& Section, TkxCustomDockControl* AParent) {
  TCustomForm* F = AForm ? AForm : FindFormNamed(IniFile->ReadString(Section, "ParentForm", ""));
  if (!F) return;
  const AnsiString Name = IniFile->ReadString(Section, "Name", "");
  TkxCustomDockControl* C = nullptr;
  if (TComponent* Found = Name.empty() ? nullptr : F->FindComponent(Name)) {
    C = dynamic_cast<TkxCustomDockControl*>(Found);
    if (!C) throw EInvalidCast("Invalid class typecast: '" + Name + "' is not a dock control");
  } else {
    TClass Cls = FindClass(IniFile->ReadString(Section, "ClassName", ""));
    if (!Cls->InheritsFrom(TkxCustomDockControl::StaticClass()))
      throw EInvalidCast("Invalid class typecast: " + AnsiString(Cls->Name) + " is not a dock control");
    TObject* O = CreateObject(Cls, F);
    C = dynamic_cast<TkxCustomDockControl*>(O);
    if (!C) {
      delete O;
      throw EInvalidCast("Invalid class typecast: " + AnsiString(Cls->Name) + " is not a dock control");
    }
    C->SetName(Name);
  }
  C->LoadLayoutFromIniFile(IniFile, F, Section, AParent);
}

void TkxDockingController::ClearLayout(TCustomForm* AForm) {
  std::vector<TkxCustomDockControl*> Tried;
  for (;;) {
    TkxCustomDockControl* Found = nullptr;
    for (TkxCustomDockControl* C : FDockControls)
      if (dynamic_cast<TkxDockPanel*>(C) && C->ParentDockControl() && (!AForm || C->ParentForm() == AForm) &&
          std::find(Tried.begin(), Tried.end(), C) == Tried.end()) {
        Found = C;
        break;
      }
    if (!Found) break;
    Tried.push_back(Found);
    Found->UnDock();
  }
  if (FHandle) SendMessageA(FHandle, DM_RELEASECONTROLS, 0, 0);
}

// ===================================================================== dock controls

void TkxCustomDockControl::SaveBaseKeys(TCustomIniFile* Ini, const AnsiString& S) {
  Ini->WriteInteger(S, "ChildCount", ChildCount());
  for (int i = 0; i < ChildCount(); ++i)
    Ini->WriteString(S, "Children" + Str(i), Str(Controller()->IndexOfDockControl(Children(i))));
  Ini->WriteInteger(S, "DockType", int(DockType()));
  WriteTypes(Ini, S, "AllowDock", AllowDock());
  WriteTypes(Ini, S, "AllowDockClients", AllowDockClients());
  Ini->WriteBool(S, "AllowFloating", AllowFloating());
  Ini->WriteBool(S, "CaptionButtonClose", CaptionButtons().Contains(cbClose));
  Ini->WriteBool(S, "CaptionButtonHide", CaptionButtons().Contains(cbHide));
  Ini->WriteBool(S, "CaptionButtonMaximize", CaptionButtons().Contains(cbMaximize));
  Ini->WriteBool(S, "Dockable", Dockable());
  Ini->WriteInteger(S, "Width", Width());
  Ini->WriteInteger(S, "Height", Height());
  Ini->WriteInteger(S, "OriginalWidth", OriginalWidth());
  Ini->WriteInteger(S, "OriginalHeight", OriginalHeight());
  Ini->WriteBool(S, "Visible", Visible());
  Ini->WriteBool(S, "AutoHide", AutoHide());
  Ini->WriteBool(S, "StoredAutoHide", StoredAutoHide());
  if (AutoHide()) Ini->WriteInteger(S, "AutoHidePosition", int(AutoHidePosition()));
}

void TkxCustomDockControl::SaveChildren(TCustomIniFile* Ini) {
  for (TkxCustomDockControl* C : std::vector<TkxCustomDockControl*>(FChildren)) Controller()->SaveControlToIniFile(Ini, C);
}

void TkxCustomDockControl::SaveLayoutToIniFile(TCustomIniFile* Ini, const AnsiString& S) {
  SaveBaseKeys(Ini, S);
  SaveChildren(Ini);
}

void TkxCustomDockControl::LoadChildren(TCustomIniFile* Ini, TCustomForm* AForm, const AnsiString& S) {
  const int N = std::max(0, Ini->ReadInteger(S, "ChildCount", 0));
  for (int i = 0; i < N; ++i)
    Controller()->LoadControlFromIniFile(Ini, AForm, Ini->ReadString(S, "Children" + Str(i), ""), this);
}

void TkxCustomDockControl::LoadLayoutFromIniFile(TCustomIniFile* Ini, TCustomForm* AForm, const AnsiString& S,
                                                 TkxCustomDockControl* AParent) {
  TkxLayoutLock Lock(this);
  const auto T = TkxDockingType(std::clamp(Ini->ReadInteger(S, "DockType", 0), 0, 5));
  // The permissions are restored as stored: the rules they imply held when the
  // layout was saved, and the control is not in its place yet.
  FAllowDock = ReadTypes(Ini, S, "AllowDock", AllowDock());
  FAllowDockClients = ReadTypes(Ini, S, "AllowDockClients", AllowDockClients());
  SetAllowFloating(Ini->ReadBool(S, "AllowFloating", AllowFloating()));
  TkxCaptionButtons B;
  if (Ini->ReadBool(S, "CaptionButtonClose", CaptionButtons().Contains(cbClose))) B << cbClose;
  if (Ini->ReadBool(S, "CaptionButtonHide", CaptionButtons().Contains(cbHide))) B << cbHide;
  if (Ini->ReadBool(S, "CaptionButtonMaximize", CaptionButtons().Contains(cbMaximize))) B << cbMaximize;
  SetCaptionButtons(B);
  SetDockable(Ini->ReadBool(S, "Dockable", Dockable()));
  SetBounds(Left(), Top(), std::clamp(Ini->ReadInteger(S, "Width", Width()), 0, kMaxExtent),
            std::clamp(Ini->ReadInteger(S, "Height", Height()), 0, kMaxExtent));
  FOriginalWidth = std::clamp(Ini->ReadInteger(S, "OriginalWidth", OriginalWidth()), 0, kMaxExtent);
  FOriginalHeight = std::clamp(Ini->ReadInteger(S, "OriginalHeight", OriginalHeight()), 0, kMaxExtent);
  SetVisible(Ini->ReadBool(S, "Visible", Visible()));
  if (AParent) IncludeToDock(AParent, T, -1);
  LoadChildren(Ini, AForm, S);
  FAutoHide = Ini->ReadBool(S, "AutoHide", false);
  FStoredAutoHide = Ini->ReadBool(S, "StoredAutoHide", false);
  if (FAutoHide)
    if (TkxDockSite* Site = AutoHideHostSite()) {
      auto P = TkxAutoHidePosition(std::clamp(Ini->ReadInteger(S, "AutoHidePosition", 4), 0, 4));
      if (P == ahpUndefined) P = GetAutoHidePosition();
      Site->RegisterAutoHideControl(this, P);
    }
}

// ---- containers ----

void TkxContainerDockSite::SaveLayoutToIniFile(TCustomIniFile* Ini, const AnsiString& S) {
  TkxCustomDockSite::SaveLayoutToIniFile(Ini, S);
  Ini->WriteInteger(S, "ActiveChildIndex", ActiveChildIndex());
}

void TkxContainerDockSite::LoadLayoutFromIniFile(TCustomIniFile* Ini, TCustomForm* AForm, const AnsiString& S,
                                                 TkxCustomDockControl* AParent) {
  BeginAdjustBounds();
  try {
    TkxCustomDockSite::LoadLayoutFromIniFile(Ini, AForm, S, AParent);
    const int I = Ini->ReadInteger(S, "ActiveChildIndex", -1);
    FActiveChildIndex = I;
    if (HandleAllocated() && !IsLoading()) SetActiveChildByIndex(I);
    else FActiveChildIndexPending = true;
  } catch (...) {
    EndAdjustBounds();
    throw;
  }
  EndAdjustBounds();
}

void TkxSideContainerDockSite::LoadLayoutFromIniFile(TCustomIniFile* Ini, TCustomForm* AForm, const AnsiString& S,
                                                     TkxCustomDockControl* AParent) {
  BeginAdjustBounds();
  try {
    TkxContainerDockSite::LoadLayoutFromIniFile(Ini, AForm, S, AParent);
  } catch (...) {
    EndAdjustBounds();
    throw;
  }
  EndAdjustBounds();
}

void TkxTabContainerDockSite::SaveLayoutToIniFile(TCustomIniFile* Ini, const AnsiString& S) {
  TkxContainerDockSite::SaveLayoutToIniFile(Ini, S);
  Ini->WriteBool(S, "ShowCaption", ShowCaption());
  Ini->WriteInteger(S, "TabsPosition", int(TabsPosition()));
  Ini->WriteBool(S, "TabsScroll", TabsScroll());
}

void TkxTabContainerDockSite::LoadLayoutFromIniFile(TCustomIniFile* Ini, TCustomForm* AForm, const AnsiString& S,
                                                    TkxCustomDockControl* AParent) {
  TkxContainerDockSite::LoadLayoutFromIniFile(Ini, AForm, S, AParent);
  SetShowCaption(Ini->ReadBool(S, "ShowCaption", ShowCaption()));
  // A missing position means the property's default, tabs at the bottom.
  SetTabsPosition(TkxTabContainerTabsPosition(std::clamp(Ini->ReadInteger(S, "TabsPosition", int(tctpBottom)), 0, 1)));
  SetTabsScroll(Ini->ReadBool(S, "TabsScroll", true));
}

// ---- the floating site ----

void TkxFloatDockSite::SaveLayoutToIniFile(TCustomIniFile* Ini, const AnsiString& S) {
  TkxCustomDockSite::SaveLayoutToIniFile(Ini, S);
  Ini->WriteInteger(S, "FloatLeft", FloatLeft());
  Ini->WriteInteger(S, "FloatTop", FloatTop());
}

void TkxFloatDockSite::LoadLayoutFromIniFile(TCustomIniFile* Ini, TCustomForm* AForm, const AnsiString& S,
                                             TkxCustomDockControl* AParent) {
  TkxCustomDockSite::LoadLayoutFromIniFile(Ini, AForm, S, AParent);
  SetFloatLeft(std::clamp(Ini->ReadInteger(S, "FloatLeft", FloatLeft()), -kMaxExtent, kMaxExtent));
  SetFloatTop(std::clamp(Ini->ReadInteger(S, "FloatTop", FloatTop()), -kMaxExtent, kMaxExtent));
  FOriginalWidth = std::clamp(Ini->ReadInteger(S, "Width", Width()), 0, kMaxExtent);
  FOriginalHeight = std::clamp(Ini->ReadInteger(S, "Height", Height()), 0, kMaxExtent);
  CreateFloatForm();
  UpdateCaption();
  ShowFloatForm();
  SetFloatFormSize(OriginalWidth(), OriginalHeight());
  if (ChildCount() != 1) DoDestroy();
}

// ---- the form-edge site ----

void TkxDockSite::SaveLayoutToIniFile(TCustomIniFile* Ini, const AnsiString& S) {
  Ini->WriteInteger(S, "ChildCount", ChildCount());
  for (int i = 0; i < ChildCount(); ++i)
    Ini->WriteString(S, "Children" + Str(i), Str(Controller()->IndexOfDockControl(Children(i))));
  WriteTypes(Ini, S, "AllowDockClients", AllowDockClients());
  Ini->WriteInteger(S, "Width", Width());
  Ini->WriteInteger(S, "Height", Height());
  Ini->WriteInteger(S, "OriginalWidth", OriginalWidth());
  Ini->WriteInteger(S, "OriginalHeight", OriginalHeight());
  Ini->WriteBool(S, "Visible", Visible());
  Ini->WriteBool(S, "AutoSize", AutoSize());
  SaveChildren(Ini);
}

void TkxDockSite::LoadLayoutFromIniFile(TCustomIniFile* Ini, TCustomForm* AForm, const AnsiString& S,
                                        TkxCustomDockControl*) {
  {
    TkxLayoutLock Lock(this);
    FAllowDockClients = ReadTypes(Ini, S, "AllowDockClients", AllowDockClients());
    SetVisible(Ini->ReadBool(S, "Visible", Visible()));
    LoadChildren(Ini, AForm, S);
    SetBounds(Left(), Top(), std::clamp(Ini->ReadInteger(S, "Width", Width()), 0, kMaxExtent),
              std::clamp(Ini->ReadInteger(S, "Height", Height()), 0, kMaxExtent));
    FOriginalWidth = std::clamp(Ini->ReadInteger(S, "OriginalWidth", OriginalWidth()), 0, kMaxExtent);
    FOriginalHeight = std::clamp(Ini->ReadInteger(S, "OriginalHeight", OriginalHeight()), 0, kMaxExtent);
    FAutoSize = Ini->ReadBool(S, "AutoSize", AutoSize());
  }
  UpdateAutoSizeBounds();
}
