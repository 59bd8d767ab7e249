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

// ---- checking a text and planning the trees it describes ----

bool CanDockClass(TClass C) {
  return C->InheritsFrom(TkxDockPanel::StaticClass()) || C->InheritsFrom(TkxContainerDockSite::StaticClass());
}
bool IsLayoutNodeClass(TClass C) {
  return C == TkxDockSite::StaticClass() || C->InheritsFrom(TkxLayoutDockSite::StaticClass());
}
AnsiString Kind(TClass C) {
  if (C->InheritsFrom(TkxLayoutDockSite::StaticClass())) return "a layout site";
  if (C->InheritsFrom(TkxTabContainerDockSite::StaticClass())) return "a tab container";
  if (C->InheritsFrom(TkxSideContainerDockSite::StaticClass())) return "a side container";
  if (C->InheritsFrom(TkxDockPanel::StaticClass())) return "a panel";
  if (C == TkxFloatDockSite::StaticClass()) return "a floating site";
  return "a form-edge dock site";
}

// Reads the trees of a layout text into a plan, refusing a text whose trees no
// docking operation builds, and writes the plan as a text of its own: only the
// trees that load, each container of a single item replaced by that item (as
// the container would dissolve), a floating site without a child left out.
// Loading that text then meets no surprise halfway.
class TLayoutPlanner {
 public:
  TLayoutPlanner(TCustomIniFile* Ini, TCustomForm* AForm) : FIni(Ini), FForm(AForm) {}

  void Plan(TCustomIniFile* Out) {
    TStringList Sections;
    FIni->ReadSections(&Sections);
    if (Sections.Count() == 0) return;
    const bool HasRoot = FIni->ValueExists(kRoot, kCount);
    const int Count = FIni->ReadInteger(kRoot, kCount, Sections.Count());
    if (Count < 0) LayoutError("DockControlCount is negative");
    FSections = Sections.Count();
    int Numbered = 0;
    for (int i = 0; i < Sections.Count(); ++i)
      if (SectionIndex(Sections[i]) >= 0) ++Numbered;
    if (!HasRoot && Numbered == 0) LayoutError("the text holds no section [Root] and no dock control");
    std::vector<std::pair<int, AnsiString>> Roots;
    for (int i = 0; i < Sections.Count(); ++i) {
      const AnsiString S = Sections[i];
      const int I = SectionIndex(S);
      if (I < 0 || I >= Count) continue;
      TClass Cls = CheckClass(S);
      if (!IsRootClass(Cls)) continue;
      TCustomForm* F = FindFormNamed(FIni->ReadString(S, "ParentForm", ""));
      if (!F || (FForm && F != FForm)) continue;
      Roots.push_back({I, S});
    }
    std::sort(Roots.begin(), Roots.end());
    std::vector<int> Planned;
    for (const auto& R : Roots) {
      TCustomForm* F = FindFormNamed(FIni->ReadString(R.second, "ParentForm", ""));
      const int Root = Read(R.second, F);
      Dissolve(Root);
      FUnderDockSite = FNodes[std::size_t(Root)].Cls == TkxDockSite::StaticClass();
      CheckShape(Root, false);
      // A floating site left without a child would only release itself.
      if (FNodes[Root].Cls == TkxFloatDockSite::StaticClass() && FNodes[Root].Kids.empty()) continue;
      Planned.push_back(Root);
    }
    Out->WriteInteger(kRoot, kCount, Count);
    for (int Root : Planned) Write(Out, Root);
  }

 private:
  struct TNode {
    AnsiString Section;
    TClass Cls = nullptr;
    std::vector<int> Kids;
    int DockType = 0;
    bool AutoHide = false;
    // Keys that replace the section's own in the plan.
    std::vector<std::pair<AnsiString, AnsiString>> Keys;
  };

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

  // Reads the tree under a root section into nodes, checking every section on
  // the way; returns the root's node.
  int Read(const AnsiString& RootSection, TCustomForm* Form) {
    struct TItem {
      AnsiString Section;
      int Parent;
      int Depth;
    };
    const int Root = static_cast<int>(FNodes.size());
    std::vector<TItem> Stack{{RootSection, -1, 1}};
    while (!Stack.empty()) {
      const TItem It = Stack.back();
      Stack.pop_back();
      const AnsiString& S = It.Section;
      if (!FVisited.insert(S).second) LayoutError("section [" + S + "] is reached twice (a cycle or a shared child)");
      if (It.Depth > kMaxDepth) LayoutError("the tree under [" + RootSection + "] is deeper than " + Str(kMaxDepth));
      TNode N;
      N.Section = S;
      N.Cls = CheckClass(S);
      const bool IsRoot = It.Parent < 0;
      // The control the section stands for: found by name on the form, or made anew.
      const AnsiString Name = FIni->ReadString(S, "Name", "");
      if (!Name.empty()) {
        if (!IsValidIdent(Name)) LayoutError("section [" + S + "] has the invalid name '" + Name + "'");
        if (!FNames.insert(Form->Name() + "." + UpperCase(Name)).second)
          LayoutError("the control '" + Name + "' appears in two sections");
        if (TComponent* C = Form->FindComponent(Name)) {
          if (!dynamic_cast<TkxCustomDockControl*>(C))
            LayoutError("section [" + S + "] names '" + Name + "', which is not a dock control");
          if (C->ClassType() != N.Cls)
            LayoutError("section [" + S + "] gives '" + Name + "' the class '" + N.Cls->Name + "', but it is a " +
                        C->ClassName());
        }
      }
      if (!IsRoot && IsRootClass(N.Cls))
        LayoutError("section [" + S + "] puts a form-edge or floating site inside another");
      if (N.Cls != TkxDockSite::StaticClass()) {
        Range(S, "DockType", IsRoot ? 0 : 1, 5, 0);
        N.DockType = FIni->ReadInteger(S, "DockType", 0);
        N.AutoHide = FIni->ReadBool(S, "AutoHide", false);
        if (N.AutoHide) Range(S, "AutoHidePosition", 0, 4, 4);
      }
      if (N.Cls->InheritsFrom(TkxTabContainerDockSite::StaticClass())) Range(S, "TabsPosition", 0, 1, 0);
      for (const char* Key : {"Width", "Height", "OriginalWidth", "OriginalHeight"}) Range(S, Key, 0, kMaxExtent, 0);
      if (N.Cls == TkxFloatDockSite::StaticClass())
        for (const char* Key : {"FloatLeft", "FloatTop"}) Range(S, Key, -kMaxExtent, kMaxExtent, 0);

      const int Children = FIni->ReadInteger(S, "ChildCount", 0);
      if (Children < 0) LayoutError("section [" + S + "] has a negative ChildCount");
      if (Children > FSections) LayoutError("section [" + S + "] counts more children than the text holds");
      CheckChildCount(S, N.Cls, Children);
      const int Me = static_cast<int>(FNodes.size());
      FNodes.push_back(N);
      if (!IsRoot) FNodes[std::size_t(It.Parent)].Kids.push_back(Me);
      // Pushed last first, so that the children are read, and numbered, in order.
      std::vector<TItem> Kids;
      for (int i = 0; i < Children; ++i) {
        const AnsiString Key = "Children" + Str(i);
        if (!FIni->ValueExists(S, Key)) LayoutError("section [" + S + "] ends before " + Key + " (the text is cut short)");
        const AnsiString Child = FIni->ReadString(S, Key, "");
        if (SectionIndex(Child) < 0 || !FIni->SectionExists(Child))
          LayoutError("section [" + S + "] names the missing child section [" + Child + "]");
        Kids.push_back({Child, Me, It.Depth + 1});
      }
      Stack.insert(Stack.end(), Kids.rbegin(), Kids.rend());
    }
    return Root;
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

  // A container holding a single item gives it its place, as it dissolves
  // when its second-last item leaves: the item takes its dock type, its sizes
  // and its auto-hide side.
  void Dissolve(int I) {
    for (int& K : FNodes[std::size_t(I)].Kids) {
      Dissolve(K);
      const TNode& C = FNodes[std::size_t(K)];
      if (!C.Cls->InheritsFrom(TkxContainerDockSite::StaticClass()) || C.Kids.size() != 1) continue;
      const int Item = C.Kids[0];
      TNode& N = FNodes[std::size_t(Item)];
      const AnsiString& S = C.Section;
      N.DockType = C.DockType;
      N.Keys.push_back({"DockType", Str(C.DockType)});
      for (const char* Key : {"Width", "Height", "OriginalWidth", "OriginalHeight"})
        if (FIni->ValueExists(S, Key)) N.Keys.push_back({Key, FIni->ReadString(S, Key, "")});
      if (C.AutoHide) {
        N.AutoHide = true;
        N.Keys.push_back({"AutoHide", "1"});
        N.Keys.push_back({"AutoHidePosition", Str(FIni->ReadInteger(S, "AutoHidePosition", 4))});
      }
      K = Item;
    }
  }

  [[noreturn]] void ShapeError(const TNode& N, const AnsiString& What) {
    LayoutError("section [" + N.Section + "] " + What + "; no docking builds that tree");
  }

  // The rules of the dock tree: a layout node holds nothing or a client
  // layout site and a docked control; containers and floating sites hold
  // controls that dock, tab containers no tab container and only pages
  // docked client; only panels and containers auto-hide, on the hide bars of
  // a form-edge site, and nothing inside an auto-hidden control does.
  void CheckShape(int I, bool UnderAutoHide) {
    const TNode& N = FNodes[std::size_t(I)];
    if (N.AutoHide) {
      if (!CanDockClass(N.Cls)) ShapeError(N, "auto-hides " + Kind(N.Cls) + ", which cannot auto-hide");
      if (UnderAutoHide) ShapeError(N, "auto-hides a control inside an auto-hidden one");
      if (!FUnderDockSite) ShapeError(N, "auto-hides a control outside a form-edge dock site");
    }
    for (std::size_t k = 0; k < N.Kids.size(); ++k) {
      const TNode& K = FNodes[std::size_t(N.Kids[k])];
      if (IsLayoutNodeClass(N.Cls)) {
        if (k == 0 && (!K.Cls->InheritsFrom(TkxLayoutDockSite::StaticClass()) || K.DockType != dtClient))
          ShapeError(K, "stands at child 0 of [" + N.Section + "] as " + Kind(K.Cls) + " docked " + Str(K.DockType) +
                            ", where a layout site docked client belongs");
        if (k == 1 && !CanDockClass(K.Cls))
          ShapeError(K, "puts " + Kind(K.Cls) + " at child 1 of [" + N.Section + "], where a control that docks belongs");
      } else if (!CanDockClass(K.Cls)) {
        ShapeError(K, "puts " + Kind(K.Cls) + " into " + Kind(N.Cls) + " [" + N.Section + "]");
      }
      if (N.Cls->InheritsFrom(TkxTabContainerDockSite::StaticClass())) {
        if (K.Cls->InheritsFrom(TkxTabContainerDockSite::StaticClass()))
          ShapeError(K, "puts a tab container inside the tab container [" + N.Section + "]");
        if (K.DockType != dtClient)
          ShapeError(K, "docks a page of the tab container [" + N.Section + "] with DockType=" + Str(K.DockType) +
                            "; pages dock client (1)");
      }
      CheckShape(N.Kids[k], UnderAutoHide || N.AutoHide);
    }
  }

  // The node's section and its subtree into the plan.
  void Write(TCustomIniFile* Out, int I) {
    const TNode& N = FNodes[std::size_t(I)];
    TStringList Keys;
    FIni->ReadSection(N.Section, &Keys);
    auto IsTreeKey = [](const AnsiString& Key) {
      return SameText(Key, "ChildCount") || (Key.size() > 8 && SameText(Key.substr(0, 8), "Children"));
    };
    for (int k = 0; k < Keys.Count(); ++k) {
      const AnsiString& Key = Keys[k];
      if (IsTreeKey(Key)) {
        if (!SameText(Key, "ChildCount")) continue;
        Out->WriteInteger(N.Section, "ChildCount", static_cast<int>(N.Kids.size()));
        for (std::size_t c = 0; c < N.Kids.size(); ++c)
          Out->WriteString(N.Section, "Children" + Str(int(c)), FNodes[std::size_t(N.Kids[c])].Section);
      } else {
        Out->WriteString(N.Section, Key, FIni->ReadString(N.Section, Key, ""));
      }
    }
    if (!Out->ValueExists(N.Section, "ChildCount")) Out->WriteInteger(N.Section, "ChildCount", 0);
    for (const auto& [Key, Value] : N.Keys) Out->WriteString(N.Section, Key, Value);
    for (int K : N.Kids) Write(Out, K);
  }

  TCustomIniFile* FIni;
  TCustomForm* FForm;
  std::vector<TNode> FNodes;
  std::set<AnsiString> FVisited;
  std::set<AnsiString> FNames;
  int FSections = 0;
  bool FUnderDockSite = false;
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

void TkxDockingController::PlanLayout(TCustomIniFile* IniFile, TCustomForm* AForm, TCustomIniFile* Plan) {
  TLayoutPlanner(IniFile, AForm).Plan(Plan);
}

void TkxDockingController::LoadLayoutFromIniFile(TCustomIniFile* IniFile, TCustomForm* AForm) {
  // The new trees are planned apart, whole and checked, before anything changes.
  TMemIniFile Plan("");
  PlanLayout(IniFile, AForm, &Plan);
  TStringList Sections;
  IniFile->ReadSections(&Sections);
  if (Sections.Count() > 0) {
    // What stands now, to put back should the building fail all the same.
    TMemIniFile Before("");
    SaveLayoutToIniFile(&Before, AForm);
    try {
      BuildLayout(&Plan, AForm);
    } catch (const Exception& E) {
      RestoreLayout(&Before, AForm);
      throw EkxDockingLayoutError("Docking layout cannot be loaded: " + E.Message);
    }
  }
  DoLayoutChanged(AForm);
}

void TkxDockingController::BuildLayout(TCustomIniFile* Plan, TCustomForm* AForm) {
  TkxNCLock Lock;
  TStringList Sections;
  Plan->ReadSections(&Sections);
  ClearLayout(AForm);
  ReleaseStrayControls(AForm);
  const int Count = Plan->ReadInteger(kRoot, kCount, Sections.Count());
  std::vector<std::pair<int, AnsiString>> Numbered;
  for (int i = 0; i < Sections.Count(); ++i)
    if (const int I = SectionIndex(Sections[i]); I >= 0 && I < Count) Numbered.push_back({I, Sections[i]});
  std::sort(Numbered.begin(), Numbered.end());
  for (const auto& [I, S] : Numbered)
    if (IsRootClass(FindClass(Plan->ReadString(S, "ClassName", "")))) LoadControlFromIniFile(Plan, AForm, S, nullptr);
}

void TkxDockingController::RestoreLayout(TCustomIniFile* Before, TCustomForm* AForm) {
  // Whatever the failed building left is taken apart first; the arrangement
  // that stood is then built again from its own plan.
  try {
    TMemIniFile Plan("");
    PlanLayout(Before, AForm, &Plan);
    BuildLayout(&Plan, AForm);
    return;
  } catch (const Exception&) {
  }
  // Not even that: the panels are left undocked, every tree whole.
  try {
    TkxNCLock Lock;
    ClearLayout(AForm);
    ReleaseStrayControls(AForm);
  } catch (const Exception&) {
  }
}

void TkxDockingController::ReleaseStrayControls(TCustomForm* AForm) {
  // Sites and containers outside every tree serve no one: a failed building
  // may have made them, or emptied them without their dissolving.
  for (TkxCustomDockControl* C : std::vector<TkxCustomDockControl*>(FDockControls)) {
    if (AForm && C->ParentForm() != AForm) continue;
    if (C->ParentDockControl() || C->GetDockingState() == dcsDestroying) continue;
    if (dynamic_cast<TkxDockPanel*>(C) || dynamic_cast<TkxDockSite*>(C)) continue;
    if (dynamic_cast<TkxFloatDockSite*>(C) && C->ChildCount() == 1) continue;
    while (C->ChildCount() > 0) C->Children(C->ChildCount() - 1)->ExcludeFromDock();
    C->DoDestroy();
  }
  if (FHandle) SendMessageA(FHandle, DM_RELEASECONTROLS, 0, 0);
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
  // A missing position reads as tabs on top, not as the property's default.
  SetTabsPosition(TkxTabContainerTabsPosition(std::clamp(Ini->ReadInteger(S, "TabsPosition", int(tctpTop)), 0, 1)));
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
