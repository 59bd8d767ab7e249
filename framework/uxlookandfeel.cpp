#include "framework/uxlookandfeel.h"

#include "framework/uxoffice11.h"
#include "framework/uxpainters.h"

#include "platform/controls/controls.h"
#include "platform/rtl/exceptions.h"
#include "platform/win/messages.h"

#include <algorithm>

// ---- system palette ----
//
// One listener per process, alive while any notifier exists: it holds a
// reference on the Office 2003 colours and owns a hidden window that hears
// WM_SYSCOLORCHANGE.

namespace {
std::vector<TuxSystemPaletteChangedNotifier*> PrimaryNotifiers, OtherNotifiers;
HWND ListenerWindow = nullptr;

// Calls DoChanged from the last registered to the first; a notifier freed by
// an earlier call is skipped.
void RunNotifiers(std::vector<TuxSystemPaletteChangedNotifier*>& List) {
  const auto Snapshot = List;
  for (auto It = Snapshot.rbegin(); It != Snapshot.rend(); ++It)
    if (std::find(List.begin(), List.end(), *It) != List.end()) (*It)->DoChanged();
}

void ListenerWndProc(TMessage& Message) {
  struct DefaultHandling {  // runs also when a notifier raised
    TMessage& M;
    ~DefaultHandling() { M.Result = DefWindowProcA(ListenerWindow, M.Msg, M.WParam, M.LParam); }
  } Default{Message};
  if (Message.Msg == WM_SYSCOLORCHANGE) uxSystemPaletteChanged();
}

void CreateListenerWindow() {
  try {
    ListenerWindow = AllocateHWnd(ListenerWndProc);
  } catch (const Exception&) {
    ListenerWindow = nullptr;  // no window manager: changes arrive through uxSystemPaletteChanged only
  }
}

void AcquireListener() {
  if (!PrimaryNotifiers.empty() || !OtherNotifiers.empty()) {
    // the window manager was started afresh under a living listener: a new window
    if (!ListenerWindow || !IsWindow(ListenerWindow)) CreateListenerWindow();
    return;
  }
  AcquireOffice11Colors();
  CreateListenerWindow();
}

void ReleaseListener() {
  if (!PrimaryNotifiers.empty() || !OtherNotifiers.empty()) return;
  if (ListenerWindow && IsWindow(ListenerWindow)) DeallocateHWnd(ListenerWindow);
  ListenerWindow = nullptr;
  ReleaseOffice11ColorsRef();
}

TuxLookAndFeel* Root = nullptr;
int ControllerCount = 0;
}  // namespace

TuxSystemPaletteChangedNotifier::TuxSystemPaletteChangedNotifier(bool IsPrimary) : FIsPrimary(IsPrimary) {
  AcquireListener();
  (IsPrimary ? PrimaryNotifiers : OtherNotifiers).push_back(this);
}

TuxSystemPaletteChangedNotifier::~TuxSystemPaletteChangedNotifier() {
  auto& L = FIsPrimary ? PrimaryNotifiers : OtherNotifiers;
  L.erase(std::remove(L.begin(), L.end(), this), L.end());
  ReleaseListener();
}

void TuxSystemPaletteChangedNotifier::DoChanged() {
  if (OnPaletteChanged) OnPaletteChanged();
}

void uxSystemPaletteChanged() {
  RebuildOffice11Colors();
  RunNotifiers(PrimaryNotifiers);
  RunNotifiers(OtherNotifiers);
}

int uxButtonStateToThemeState(TuxButtonState State) {
  static const int Table[] = {5, 1, 2, 3, 4};
  return Table[State];
}

// ---- TuxLookAndFeel ----

TuxLookAndFeel::TuxLookAndFeel(TPersistent* AOwner) : FOwner(AOwner) {
  FPaletteNotifier = new TuxSystemPaletteChangedNotifier(false);
  FPaletteNotifier->OnPaletteChanged = [this] { SystemPaletteChanged(); };
  if (Root) {
    Root->AddChangeListener(this);
    FKind = Root->Kind();
    FNativeStyle = Root->NativeStyle();
  }
}

TuxLookAndFeel* TuxLookAndFeel::CreateRoot() {
  // The root must not attach to an existing root.
  TuxLookAndFeel* Saved = Root;
  Root = nullptr;
  TuxLookAndFeel* R = new TuxLookAndFeel(nullptr);
  R->FIsRoot = true;
  Root = Saved;
  return R;
}

TuxLookAndFeel::~TuxLookAndFeel() {
  FDestroying = true;
  // Tell every inheritor; each re-attaches itself to the root (or its next
  // master), so walk a copy.
  const auto Listeners = FListeners;
  for (IuxMasterLookAndFeelListener* L : Listeners) L->MasterDestroying(this);
  FListeners.clear();
  if (TuxLookAndFeel* M = GetEffectiveMaster()) M->RemoveChangeListener(this);
  delete FPaletteNotifier;
}

void TuxLookAndFeel::Assign(TPersistent* Source) {
  if (auto* S = dynamic_cast<TuxLookAndFeel*>(Source)) {
    BeginChange();
    FOwnKind = S->FOwnKind;
    FOwnNativeStyle = S->FOwnNativeStyle;
    FAssignedValues = S->FAssignedValues;
    SetMasterLookAndFeel(S->GetEffectiveMaster());
    EndChange();
  } else {
    TPersistent::Assign(Source);
  }
}

void TuxLookAndFeel::SetAssignedValues(TuxLookAndFeelValues Value) {
  Value &= lfvsAll;
  if (Value == FAssignedValues) return;
  BeginChange();
  FAssignedValues = Value;
  EndChange();
}

void TuxLookAndFeel::SetKind(TuxLookAndFeelKind Value) {
  const TuxLookAndFeelKind Old = FKind;
  FAssignedValues |= lfvsKind;
  FOwnKind = Value;
  if (InternalGetKind() != Old) Changed(lfvsKind);
}

void TuxLookAndFeel::SetNativeStyle(bool Value) {
  const bool Old = FNativeStyle;
  FAssignedValues |= lfvsNativeStyle;
  FOwnNativeStyle = Value;
  if (InternalGetNativeStyle() != Old) Changed(lfvsNativeStyle);
}

void TuxLookAndFeel::Reset() { SetAssignedValues(0); }

TuxLookAndFeelKind TuxLookAndFeel::InternalGetKind() const {
  return (FAssignedValues & lfvsKind) ? FOwnKind : GetInheritedKind();
}
bool TuxLookAndFeel::InternalGetNativeStyle() const {
  return (FAssignedValues & lfvsNativeStyle) ? FOwnNativeStyle : GetInheritedNativeStyle();
}

TuxLookAndFeelKind TuxLookAndFeel::GetInheritedKind() const {
  if (FIsRoot) return lfUltraFlat;
  TuxLookAndFeel* M = GetEffectiveMaster();
  return M ? M->Kind() : lfUltraFlat;
}
bool TuxLookAndFeel::GetInheritedNativeStyle() const {
  if (FIsRoot) return false;
  TuxLookAndFeel* M = GetEffectiveMaster();
  return M ? M->NativeStyle() : false;
}

TuxLookAndFeel* TuxLookAndFeel::GetEffectiveMaster() const {
  if (FIsRoot) return nullptr;
  return FMasterLookAndFeel ? FMasterLookAndFeel : Root;
}

void TuxLookAndFeel::SetMasterLookAndFeel(TuxLookAndFeel* Value) {
  if (FIsRoot || Value == this || Value == GetEffectiveMaster()) return;
  // A master chain that leads back to this object would never settle.
  for (TuxLookAndFeel* M = Value; M; M = M->FMasterLookAndFeel)
    if (M == this) return;
  BeginChange();
  if (TuxLookAndFeel* Old = GetEffectiveMaster()) Old->RemoveChangeListener(this);
  FMasterLookAndFeel = Value;
  if (TuxLookAndFeel* New = GetEffectiveMaster()) New->AddChangeListener(this);
  EndChange();
}

TuxLookAndFeelPainterClass TuxLookAndFeel::GetPainter() const { return GetAvailablePainter(0); }

TuxLookAndFeelPainterClass TuxLookAndFeel::GetAvailablePainter(TkxThemeClassKinds Kinds) const {
  if (NativeStyle() && AreVisualStylesAvailable(Kinds)) return TuxWinXPLookAndFeelPainter::Instance();
  return uxLookAndFeelPainterOfKind(Kind());
}

TuxLookAndFeelPainterClass TuxLookAndFeel::GetAvailablePainterForTheme(TkxThemeClassKind K) const {
  if (NativeStyle() && IsVisualStyleAvailable(K)) return TuxWinXPLookAndFeelPainter::Instance();
  return uxLookAndFeelPainterOfKind(Kind());
}

void TuxLookAndFeel::AddChangeListener(IuxMasterLookAndFeelListener* Listener) {
  if (!Listener) return;
  const bool IsController = dynamic_cast<TuxLookAndFeelController*>(Listener->GetListenerObject()) != nullptr;
  if (IsController && !FIsRoot) return;
  if (std::find(FListeners.begin(), FListeners.end(), Listener) != FListeners.end()) return;
  FListeners.push_back(Listener);
  if (IsController) ++ControllerCount;
}

void TuxLookAndFeel::RemoveChangeListener(IuxMasterLookAndFeelListener* Listener) {
  if (FDestroying) return;
  auto It = std::find(FListeners.begin(), FListeners.end(), Listener);
  if (It == FListeners.end()) return;
  FListeners.erase(It);
  if (FIsRoot && dynamic_cast<TuxLookAndFeelController*>(Listener->GetListenerObject())) {
    if (--ControllerCount == 0) Reset();
  }
}

void TuxLookAndFeel::MasterChanged(TuxLookAndFeel* Sender, TuxLookAndFeelValues ChangedValues) {
  SetAssignedValuesFromMaster(Sender, ChangedValues);
}

void TuxLookAndFeel::SetAssignedValuesFromMaster(TuxLookAndFeel*, TuxLookAndFeelValues ChangedValues) {
  Changed(ChangedValues & lfvsAll & ~FAssignedValues);
}

void TuxLookAndFeel::MasterDestroying(TuxLookAndFeel* Sender) {
  if (Sender == FMasterLookAndFeel) {
    // The master's listener list is being torn down: detach without touching it.
    BeginChange();
    FMasterLookAndFeel = nullptr;
    if (TuxLookAndFeel* New = GetEffectiveMaster()) New->AddChangeListener(this);
    EndChange();
  } else {
    SetMasterLookAndFeel(nullptr);
  }
}

void TuxLookAndFeel::SystemPaletteChanged() { Changed(lfvsNativeStyle); }

void TuxLookAndFeel::Changed(TuxLookAndFeelValues ChangedValues) {
  if (ChangedValues == 0 || FDestroying) return;
  FKind = InternalGetKind();
  FNativeStyle = InternalGetNativeStyle();
  for (std::size_t I = 0; I < FListeners.size();) {
    const std::size_t Count = FListeners.size();
    FListeners[I]->MasterChanged(this, ChangedValues);
    if (FListeners.size() == Count) ++I;
  }
  if (OnChanged) OnChanged(this, ChangedValues);
}

void TuxLookAndFeel::BeginChange() {
  FSavedKind = FKind;
  FSavedNativeStyle = FNativeStyle;
}

void TuxLookAndFeel::EndChange() {
  TuxLookAndFeelValues V = 0;
  if (InternalGetKind() != FSavedKind) V |= lfvsKind;
  if (InternalGetNativeStyle() != FSavedNativeStyle) V |= lfvsNativeStyle;
  Changed(V);
}

// ---- controller ----

TuxLookAndFeelController::TuxLookAndFeelController(TComponent* AOwner) : TComponent(AOwner) {
  if (Root) Root->AddChangeListener(this);
}

TuxLookAndFeelController::~TuxLookAndFeelController() {
  if (Root) Root->RemoveChangeListener(this);
}

TuxLookAndFeelKind TuxLookAndFeelController::Kind() const { return Root ? Root->Kind() : lfUltraFlat; }
void TuxLookAndFeelController::SetKind(TuxLookAndFeelKind Value) {
  if (Root) Root->SetKind(Value);
}
bool TuxLookAndFeelController::NativeStyle() const { return Root ? Root->NativeStyle() : false; }
void TuxLookAndFeelController::SetNativeStyle(bool Value) {
  if (Root) Root->SetNativeStyle(Value);
}
void TuxLookAndFeelController::MasterDestroying(TuxLookAndFeel*) {}

TuxLookAndFeel* uxGetRootLookAndFeel() { return Root; }

namespace {
void RegisterLookAndFeelProps() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  using TValues = TSet<TuxLookAndFeelValue>;
  RegisterClasses({TuxLookAndFeelController::StaticClass()});
  RegisterProps<TuxLookAndFeel>([](TPropBuilder<TuxLookAndFeel>& p) {
    // Not written: Kind and NativeStyle are written exactly when they are
    // assigned, and reading them assigns them again.
    p.Prop(
         "AssignedValues", [](TuxLookAndFeel* L) { return TValues::FromMask(L->AssignedValues()); },
         [](TuxLookAndFeel* L, TValues V) { L->SetAssignedValues(TuxLookAndFeelValues(V.Mask())); })
        .Default(TValues{})
        .Stored(false);
    // An inherited value is never written, whatever it is; an assigned one always.
    p.Prop("Kind", &TuxLookAndFeel::Kind, &TuxLookAndFeel::SetKind).Stored([](TObject* O) {
      return (dynamic_cast<TuxLookAndFeel*>(O)->AssignedValues() & lfvsKind) != 0;
    });
    p.Prop("NativeStyle", &TuxLookAndFeel::NativeStyle, &TuxLookAndFeel::SetNativeStyle).Stored([](TObject* O) {
      return (dynamic_cast<TuxLookAndFeel*>(O)->AssignedValues() & lfvsNativeStyle) != 0;
    });
  });
  RegisterProps<TuxLookAndFeelController>([](TPropBuilder<TuxLookAndFeelController>& p) {
    p.Prop("Kind", &TuxLookAndFeelController::Kind, &TuxLookAndFeelController::SetKind).Default(lfUltraFlat);
    p.Prop("NativeStyle", &TuxLookAndFeelController::NativeStyle, &TuxLookAndFeelController::SetNativeStyle)
        .Default(false);
  });
}
}  // namespace

void uxInitLookAndFeel() {
  RegisterLookAndFeelProps();
  if (!Root) Root = TuxLookAndFeel::CreateRoot();
}

void uxDoneLookAndFeel() {
  TuxLookAndFeel* R = Root;
  Root = nullptr;
  delete R;
  ControllerCount = 0;
}
