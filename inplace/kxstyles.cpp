#include "inplace/kxstyles.h"

#include <algorithm>

#include "inplace/kxcntner.h"

namespace {
TkxEditStyleController* gDefaultEditStyleController = nullptr;
// Every controller that exists, so that a style never talks to one that is gone.
std::vector<TkxStyleController*>& LiveControllers() {
  static std::vector<TkxStyleController*> list;
  return list;
}
}  // namespace

bool TkxStyleController::IsAlive(const TkxStyleController* Controller) {
  auto& l = LiveControllers();
  return Controller && std::find(l.begin(), l.end(), Controller) != l.end();
}

TkxEditStyleController* kxDefaultEditStyleController() { return gDefaultEditStyleController; }

// ---- TkxStyleController ----

TkxStyleController::TkxStyleController(TComponent* AOwner) : TComponent(AOwner) {
  LiveControllers().push_back(this);
}

TkxStyleController::~TkxStyleController() {
  auto& l = LiveControllers();
  l.erase(std::remove(l.begin(), l.end(), this), l.end());
  // The editors keep their reference until the removal notification reaches
  // them; they must not try to unsubscribe from a controller that is going.
  FLinks.clear();
}

void TkxStyleController::EndUpdate() {
  if (FUpdateLock > 0) --FUpdateLock;
  Changed();
}

void TkxStyleController::Changed() {
  if (FUpdateLock > 0 || ComponentState().Contains(csLoading)) return;
  // A subscriber may unsubscribe while it re-lays out; walk a copy.
  std::vector<TObject*> links = FLinks;
  for (TObject* link : links)
    if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end()) LinkChanged(link);
}

void TkxStyleController::AddLink(TObject* Link) {
  if (std::find(FLinks.begin(), FLinks.end(), Link) == FLinks.end()) FLinks.push_back(Link);
}

void TkxStyleController::RemoveLink(TObject* Link) {
  auto it = std::find(FLinks.begin(), FLinks.end(), Link);
  if (it != FLinks.end()) FLinks.erase(it);
}

void TkxStyleController::LinkChanged(TObject* Link) {
  if (OnStyleChanged) OnStyleChanged(this, Link);
}

void TkxStyleController::Loaded() {
  TComponent::Loaded();
  Changed();
}

// ---- TkxEditStyleController ----

TkxEditStyleController::TkxEditStyleController(TComponent* AOwner) : TkxStyleController(AOwner) {}

void TkxEditStyleController::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TkxEditStyleController*>(Source)) {
    BeginUpdate();
    try {
      SetBorderColor(src->BorderColor());
      SetBorderStyle(src->BorderStyle());
      SetButtonStyle(src->ButtonStyle());
      SetButtonTransparence(src->ButtonTransparence());
      SetEdges(src->Edges());
      SetHotTrack(src->HotTrack());
      SetShadow(src->Shadow());
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TkxStyleController::Assign(Source);
}

void TkxEditStyleController::LinkChanged(TObject* Link) {
  auto* edit = dynamic_cast<TkxInplaceEdit*>(Link);
  if (edit && edit->StyleController() && edit->StyleController() != this) return;
  if (edit) edit->LayoutChanged();
  TkxStyleController::LinkChanged(Link);
}

void TkxEditStyleController::RestoreDefaults() {
  BeginUpdate();
  try {
    SetBorderColor(clWindowFrame);
    SetBorderStyle(xbs3D);
    SetButtonStyle(btsDefault);
    SetButtonTransparence(ebtNone);
    SetEdges(kxAllEdges);
    SetHotTrack(false);
    SetShadow(false);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

#define KX_CONTROLLER_SETTER(Name, Type, Field) \
  void TkxEditStyleController::Set##Name(Type Value) { \
    if (Field == Value) return;                         \
    Field = Value;                                      \
    Changed();                                          \
  }
KX_CONTROLLER_SETTER(BorderColor, TColor, FBorderColor)
KX_CONTROLLER_SETTER(BorderStyle, TkxEditBorderStyle, FBorderStyle)
KX_CONTROLLER_SETTER(ButtonStyle, TkxEditButtonViewStyle, FButtonStyle)
KX_CONTROLLER_SETTER(ButtonTransparence, TkxEditButtonTransparence, FButtonTransparence)
KX_CONTROLLER_SETTER(Edges, TkxEditEdges, FEdges)
KX_CONTROLLER_SETTER(HotTrack, bool, FHotTrack)
KX_CONTROLLER_SETTER(Shadow, bool, FShadow)
#undef KX_CONTROLLER_SETTER

// ---- TkxEditStyle ----

TkxEditStyle::TkxEditStyle(TkxInplaceEdit* Edit) : FEdit(Edit) {}

void TkxEditStyle::Attach(TkxInplaceEdit* Edit) {
  FEdit = Edit;
  if (FSubscribedTo) return;
  FSubscribedTo = GetDefaultStyleController();
  if (FSubscribedTo && FEdit) FSubscribedTo->AddLink(FEdit);
}

TkxEditStyle::~TkxEditStyle() {
  if (FEdit && TkxStyleController::IsAlive(FSubscribedTo)) FSubscribedTo->RemoveLink(FEdit);
}

TkxEditStyleController* TkxEditStyle::GetDefaultStyleController() const { return gDefaultEditStyleController; }

TkxEditStyleController* TkxEditStyle::GetStyleController() const {
  if (FEdit && FEdit->StyleController()) return FEdit->StyleController();
  return GetDefaultStyleController();
}

void TkxEditStyle::SetAssignedValues(TkxEditStyleValues Value) {
  if (FAssignedValues == Value) return;
  FAssignedValues = Value;
  Changed();
}

template <class T>
void TkxEditStyle::SetValue(TkxEditStyleValue Member, T& Field, const T& Value) {
  if (FAssignedValues.Contains(Member) && Field == Value) return;
  Field = Value;
  FAssignedValues << Member;
  Changed();
}

#define KX_STYLE_VALUE(Name, Type, Field, Member)                                      \
  Type TkxEditStyle::Name() const {                                                    \
    return FAssignedValues.Contains(Member) ? Field : GetDefault##Name();              \
  }                                                                                    \
  void TkxEditStyle::Set##Name(Type Value) { SetValue(Member, Field, Value); }         \
  Type TkxEditStyle::GetDefault##Name() const {                                        \
    TkxEditStyleController* c = GetStyleController();                                  \
    return c ? c->Name() : TkxEditStyleController(nullptr).Name();                     \
  }
KX_STYLE_VALUE(BorderColor, TColor, FBorderColor, svBorderColor)
KX_STYLE_VALUE(BorderStyle, TkxEditBorderStyle, FBorderStyle, svBorderStyle)
KX_STYLE_VALUE(ButtonStyle, TkxEditButtonViewStyle, FButtonStyle, svButtonStyle)
KX_STYLE_VALUE(ButtonTransparence, TkxEditButtonTransparence, FButtonTransparence, svButtonTransparence)
KX_STYLE_VALUE(Edges, TkxEditEdges, FEdges, svEdges)
KX_STYLE_VALUE(HotTrack, bool, FHotTrack, svHotTrack)
KX_STYLE_VALUE(Shadow, bool, FShadow, svShadow)
#undef KX_STYLE_VALUE

void TkxEditStyle::Changed() {
  if (FEdit) FEdit->LayoutChanged();
}

void TkxEditStyle::RestoreDefaults() {
  FAssignedValues.Clear();
  Changed();
}

void TkxEditStyle::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TkxEditStyle*>(Source)) {
    SetBorderColor(src->BorderColor());
    SetBorderStyle(src->BorderStyle());
    SetButtonStyle(src->ButtonStyle());
    SetButtonTransparence(src->ButtonTransparence());
    SetEdges(src->Edges());
    SetHotTrack(src->HotTrack());
    SetShadow(src->Shadow());
    return;
  }
  TPersistent::Assign(Source);
}

void kxInitStyles() {
  static bool registered = false;
  if (!registered) {
    registered = true;
    RegisterClasses({TkxEditStyleController::StaticClass()});
    RegisterProps<TkxEditStyleController>([](TPropBuilder<TkxEditStyleController>& p) {
      p.Prop("BorderColor", &TkxEditStyleController::BorderColor, &TkxEditStyleController::SetBorderColor)
          .Default(clWindowFrame)
          .Idents(ColorIdentMap());
      p.Prop("BorderStyle", &TkxEditStyleController::BorderStyle, &TkxEditStyleController::SetBorderStyle)
          .Default(xbs3D);
      p.Prop("ButtonStyle", &TkxEditStyleController::ButtonStyle, &TkxEditStyleController::SetButtonStyle)
          .Default(btsDefault);
      p.Prop("ButtonTransparence", &TkxEditStyleController::ButtonTransparence,
             &TkxEditStyleController::SetButtonTransparence)
          .Default(ebtNone);
      p.Prop("Edges", &TkxEditStyleController::Edges, &TkxEditStyleController::SetEdges).Default(kxAllEdges);
      p.Prop("HotTrack", &TkxEditStyleController::HotTrack, &TkxEditStyleController::SetHotTrack).Default(false);
      p.Prop("Shadow", &TkxEditStyleController::Shadow, &TkxEditStyleController::SetShadow).Default(false);
      p.Field("OnStyleChanged", static_cast<TkxStyleChangedEvent TkxEditStyleController::*>(
                                    &TkxStyleController::OnStyleChanged));
    });
    RegisterProps<TkxEditStyle>([](TPropBuilder<TkxEditStyle>& p) {
      auto has = [](TkxEditStyleValue v) {
        return [v](TObject* o) { return static_cast<TkxEditStyle*>(o)->AssignedValues().Contains(v); };
      };
      p.Prop("AssignedValues", &TkxEditStyle::AssignedValues, &TkxEditStyle::SetAssignedValues)
          .Default(TkxEditStyleValues());
      p.Prop("BorderColor", &TkxEditStyle::BorderColor, &TkxEditStyle::SetBorderColor)
          .Idents(ColorIdentMap())
          .Stored(has(svBorderColor));
      p.Prop("BorderStyle", &TkxEditStyle::BorderStyle, &TkxEditStyle::SetBorderStyle).Stored(has(svBorderStyle));
      p.Prop("ButtonStyle", &TkxEditStyle::ButtonStyle, &TkxEditStyle::SetButtonStyle).Stored(has(svButtonStyle));
      p.Prop("ButtonTransparence", &TkxEditStyle::ButtonTransparence, &TkxEditStyle::SetButtonTransparence)
          .Stored(has(svButtonTransparence));
      p.Prop("Edges", &TkxEditStyle::Edges, &TkxEditStyle::SetEdges).Stored(has(svEdges));
      p.Prop("HotTrack", &TkxEditStyle::HotTrack, &TkxEditStyle::SetHotTrack).Stored(has(svHotTrack));
      p.Prop("Shadow", &TkxEditStyle::Shadow, &TkxEditStyle::SetShadow).Stored(has(svShadow));
    });
  }
  if (!gDefaultEditStyleController) gDefaultEditStyleController = new TkxEditStyleController(nullptr);
}

void kxDoneStyles() {
  delete gDefaultEditStyleController;
  gDefaultEditStyleController = nullptr;
}
