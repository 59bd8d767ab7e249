// Container styles: value resolution through the style, its controller chain
// and the state-dependent defaults; the style sets and the style controller.
#include <algorithm>

#include "editors/uxcontainer.h"
#include "framework/uxoffice11.h"
#include "platform/classes/filer.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/strings.h"

TuxStyleController* DefaultContainerStyleController = nullptr;

namespace {

const char* const StyleValueNames[] = {"BorderColor", "BorderStyle", "Color",    "Edges",     "Font",
                                       "HotTrack",    "Shadow",      "TextColor", "TextStyle", "TransparentBorder"};

// Focused and hot styles with hot tracking draw a heavier border than the
// normal style; normal and disabled keep the normal style's border.
TuxContainerBorderStyle StateBorderStyle(int Row, TuxContainerBorderStyle Parent) {
  if (Row == cssNormal || Row == cssDisabled) return Parent;
  static const TuxContainerBorderStyle Heavier[] = {cbsFlat, cbsThick, cbsThick, cbs3D,
                                                    cbs3D,   cbsUltraFlat, cbsOffice11};
  return Heavier[Parent];
}

}  // namespace

// ---- TuxContainerStyle ----

TuxContainerStyle::TuxContainerStyle(TPersistent* AOwner, int AState, TuxContainerStyle* AParentStyle,
                                     bool ADirectAccessMode)
    : FOwner(AOwner), FState(AState), FParentStyle(AParentStyle), FDirectAccessMode(ADirectAccessMode) {
  FVisibleFont = std::make_unique<TFont>();
  if (!FParentStyle) {
    if (!FDirectAccessMode) {
      FFont = new TFont();
      FFont->OnChange = TNotifyEvent(this, &TuxContainerStyle::FontChanged);
    }
    FLookAndFeel = std::make_unique<TuxLookAndFeel>(this);
    FLookAndFeel->OnChanged = [this](TuxLookAndFeel* S, TuxLookAndFeelValues V) { LookAndFeelChanged(S, V); };
  }
  if (FDirectAccessMode)
    FAssignedValues = uxStyleValue(csvColor) | uxStyleValue(csvFont) | uxStyleValue(csvTextColor) |
                      uxStyleValue(csvTextStyle);
  else if (!FParentStyle && GetDefaultStyleController() && GetDefaultStyleController() != FOwner)
    SetStyleController(nullptr);
}

TuxContainerStyle::~TuxContainerStyle() {
  FDestroying = true;
  if (!FParentStyle && FStyleController) {
    if (!FStyleController->IsDestroying()) FStyleController->RemoveListener(this);
    FStyleController = nullptr;
  }
  if (FLookAndFeel) FLookAndFeel->OnChanged = nullptr;
  if (!FDirectAccessMode) delete FFont;
}

void TuxContainerStyle::LookAndFeelChanged(TuxLookAndFeel*, TuxLookAndFeelValues) { Changed(); }

TuxStyleController* TuxContainerStyle::GetDefaultStyleController() { return DefaultContainerStyleController; }

TuxContainer* TuxContainerStyle::Container() const { return dynamic_cast<TuxContainer*>(FOwner); }

TuxStyleController* TuxContainerStyle::ActiveStyleController() {
  if (FParentStyle) return FParentStyle->ActiveStyleController();
  return FStyleController;
}

bool TuxContainerStyle::TryAssigned(TuxContainerStyleValue Value, TuxContainerStyle*& From) {
  if (FAssignedValues & uxStyleValue(Value)) {
    From = this;
    return true;
  }
  TuxStyleController* C = ActiveStyleController();
  // A controller's own styles have no controller of their own; the chain
  // through each controller's normal style ends at the default controller.
  int Guard = 0;
  while (C && Guard++ < 64) {
    TuxContainerStyle* S = C->StyleOfState(FState);
    if (S == this) break;
    if (S->FAssignedValues & uxStyleValue(Value)) {
      From = S;
      return true;
    }
    C = S->ActiveStyleController();
  }
  return false;
}

TuxContainerStyle* TuxContainerStyle::AssignedStyleOf(TuxContainerStyleValue Value) {
  TuxContainerStyle* S = nullptr;
  return TryAssigned(Value, S) ? S : nullptr;
}

bool TuxContainerStyle::IsValueAssigned(TuxContainerStyleValue Value) {
  if (FDirectAccessMode) return true;
  TuxContainerStyle* S;
  return TryAssigned(Value, S);
}

void TuxContainerStyle::Changed() {
  FModified = true;
  if (FUpdateCount != 0) return;
  FModified = false;
  if (!FDestroying && !FDirectAccessMode && OnChanged) OnChanged(this);
}

void TuxContainerStyle::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount == 0 && FModified) Changed();
}

// -- defaults --

TColor TuxContainerStyle::DefaultBorderColor() {
  if (FState == cssDisabled) return clBtnShadow;
  if (!FParentStyle) return clWindowFrame;
  return FParentStyle->GetBorderColor();
}

TuxContainerBorderStyle TuxContainerStyle::DefaultBorderStyle() {
  if (!FParentStyle) {
    static const TuxContainerBorderStyle ByKind[] = {cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11};
    return ByKind[GetLookAndFeel()->Kind()];
  }
  int Row = (GetHotTrack() || FState == cssDisabled) ? FState : cssNormal;
  return StateBorderStyle(Row, FParentStyle->GetBorderStyle());
}

TColor TuxContainerStyle::DefaultColor() {
  TuxContainer* C = BaseStyle()->Container();
  bool P = !C || C->DefaultParentColor();
  if (!FParentStyle) return P ? clBtnFace : clWindow;
  if (FState == cssDisabled && !P) return clBtnFace;
  return FParentStyle->GetColor();
}

TColor TuxContainerStyle::DefaultTextColor() {
  if (FState == cssDisabled) return clBtnShadow;
  if (!FParentStyle) return GetFont()->Color();
  return FParentStyle->GetTextColor();
}

TFontStyles TuxContainerStyle::DefaultTextStyle() {
  if (!FParentStyle) return GetFont()->Style();
  return FParentStyle->GetTextStyle();
}

TuxContainerStyleValues TuxContainerStyle::GetStateOnlyParentValues() {
  return uxStyleValue(csvEdges) | uxStyleValue(csvFont) | uxStyleValue(csvHotTrack) | uxStyleValue(csvShadow) |
         uxStyleValue(csvTransparentBorder);
}

// -- getters --

TColor TuxContainerStyle::GetBorderColor() {
  if (FDirectAccessMode) return clDefault;
  TuxContainerStyle* S;
  return TryAssigned(csvBorderColor, S) ? S->FBorderColor : DefaultBorderColor();
}

TuxContainerBorderStyle TuxContainerStyle::GetBorderStyle() {
  if (FDirectAccessMode) return (FAssignedValues & uxStyleValue(csvBorderStyle)) ? FBorderStyle : DefaultBorderStyle();
  TuxContainerStyle* S;
  return TryAssigned(csvBorderStyle, S) ? S->FBorderStyle : DefaultBorderStyle();
}

TColor TuxContainerStyle::GetColor() {
  if (FDirectAccessMode) return FColor;
  TuxContainer* C = Container();
  if (!FParentStyle && C && C->ParentColor() && C->Parent()) return C->Parent()->Color();
  TuxContainerStyle* S;
  return TryAssigned(csvColor, S) ? S->FColor : DefaultColor();
}

TColor TuxContainerStyle::GetControlColor() {
  TuxContainerStyle* S;
  if (TryAssigned(csvColor, S)) return S->FColor;
  TuxContainer* C = Container();
  if (!FParentStyle && C && !C->IsInplace() && C->ParentColor() && C->Parent()) return C->Parent()->Color();
  return DefaultColor();
}

TuxBorders TuxContainerStyle::GetEdges() {
  if (FDirectAccessMode) return 0;
  if (FParentStyle) return FParentStyle->GetEdges();
  TuxContainerStyle* S;
  return TryAssigned(csvEdges, S) ? S->FEdges : DefaultEdges();
}

TFont* TuxContainerStyle::GetFont() {
  if (FParentStyle) return FParentStyle->GetFont();
  return FFont;
}

bool TuxContainerStyle::GetHotTrack() {
  if (FParentStyle) return FParentStyle->GetHotTrack();
  if (FDirectAccessMode) return (FAssignedValues & uxStyleValue(csvHotTrack)) ? FHotTrack : DefaultHotTrack();
  TuxContainerStyle* S;
  return TryAssigned(csvHotTrack, S) ? S->FHotTrack : DefaultHotTrack();
}

TuxLookAndFeel* TuxContainerStyle::GetLookAndFeel() {
  if (FParentStyle) return FParentStyle->GetLookAndFeel();
  return FLookAndFeel.get();
}

bool TuxContainerStyle::GetShadow() {
  if (FDirectAccessMode) return false;
  if (FParentStyle) return FParentStyle->GetShadow();
  TuxContainerStyle* S;
  return TryAssigned(csvShadow, S) ? S->FShadow : DefaultShadow();
}

TuxStyleController* TuxContainerStyle::GetStyleController() {
  if (FParentStyle) return FParentStyle->GetStyleController();
  return FStyleController == DefaultContainerStyleController ? nullptr : FStyleController;
}

TColor TuxContainerStyle::GetTextColor() {
  if (FDirectAccessMode) return FTextColor;
  TuxContainerStyle* S;
  return TryAssigned(csvTextColor, S) ? S->FTextColor : DefaultTextColor();
}

TFontStyles TuxContainerStyle::GetTextStyle() {
  if (FDirectAccessMode) return FTextStyle;
  TuxContainerStyle* S;
  return TryAssigned(csvTextStyle, S) ? S->FTextStyle : DefaultTextStyle();
}

bool TuxContainerStyle::GetTransparentBorder() {
  if (FDirectAccessMode) return true;
  if (FParentStyle) return FParentStyle->GetTransparentBorder();
  TuxContainerStyle* S;
  return TryAssigned(csvTransparentBorder, S) ? S->FTransparentBorder : DefaultTransparentBorder();
}

TFont* TuxContainerStyle::GetVisibleFont() {
  if (TFont* F = GetFont()) FVisibleFont->Assign(F);
  FVisibleFont->SetColor(GetTextColor());
  FVisibleFont->SetStyle(GetTextStyle());
  return FVisibleFont.get();
}

bool TuxContainerStyle::HasBorder() { return GetBorderStyle() != cbsNone; }

bool TuxContainerStyle::StyleValueName(TuxContainerStyleValue Value, AnsiString& Name) {
  if (Value < 0 || Value >= 10) {
    Name.clear();
    return false;
  }
  Name = StyleValueNames[Value];
  return true;
}

// -- setters --

#define UX_SET_OWN(Field, Value, Id)                                        \
  if ((FAssignedValues & uxStyleValue(Id)) && Field == Value) return;     \
  Field = Value;                                                          \
  SetValueAssigned(Id);                                                   \
  Changed();

void TuxContainerStyle::SetBorderColor(TColor Value) { UX_SET_OWN(FBorderColor, Value, csvBorderColor) }
void TuxContainerStyle::SetBorderStyle(TuxContainerBorderStyle Value) { UX_SET_OWN(FBorderStyle, Value, csvBorderStyle) }
void TuxContainerStyle::SetColor(TColor Value) { UX_SET_OWN(FColor, Value, csvColor) }

void TuxContainerStyle::SetEdges(TuxBorders Value) {
  if (FParentStyle) return FParentStyle->SetEdges(Value);
  UX_SET_OWN(FEdges, Value, csvEdges)
}
void TuxContainerStyle::SetHotTrack(bool Value) {
  if (FParentStyle) return FParentStyle->SetHotTrack(Value);
  UX_SET_OWN(FHotTrack, Value, csvHotTrack)
}
void TuxContainerStyle::SetShadow(bool Value) {
  if (FParentStyle) return FParentStyle->SetShadow(Value);
  UX_SET_OWN(FShadow, Value, csvShadow)
}
void TuxContainerStyle::SetTransparentBorder(bool Value) {
  if (FParentStyle) return FParentStyle->SetTransparentBorder(Value);
  UX_SET_OWN(FTransparentBorder, Value, csvTransparentBorder)
}
#undef UX_SET_OWN

void TuxContainerStyle::SetTextColor(TColor Value) {
  if ((FAssignedValues & uxStyleValue(csvTextColor)) && GetTextColor() == Value) return;
  FTextColor = Value;
  SetValueAssigned(csvTextColor);
  Changed();
}

void TuxContainerStyle::SetTextStyle(TFontStyles Value) {
  if ((FAssignedValues & uxStyleValue(csvTextStyle)) && GetTextStyle() == Value) return;
  FTextStyle = Value;
  SetValueAssigned(csvTextStyle);
  Changed();
}

void TuxContainerStyle::SetFont(TFont* Value) {
  if (FParentStyle) return FParentStyle->SetFont(Value);
  if (FDirectAccessMode) {
    FFont = Value;
    return;
  }
  FFont->Assign(Value);  // FontChanged marks it assigned
  SetValueAssigned(csvFont);
}

void TuxContainerStyle::SetLookAndFeel(TuxLookAndFeel* Value) {
  if (TuxLookAndFeel* L = GetLookAndFeel()) L->Assign(Value);
}

void TuxContainerStyle::SetAssignedValues(TuxContainerStyleValues Value) {
  if (FAssignedValues == Value) return;
  FAssignedValues = Value;
  if (!FParentStyle) UpdateFont();
  Changed();
}

void TuxContainerStyle::FontChanged(TObject*) {
  if (FFontAssignedLock == 0) SetValueAssigned(csvFont);
  Changed();
}

void TuxContainerStyle::UpdateFont() {
  if (FDirectAccessMode || FParentStyle || (FAssignedValues & uxStyleValue(csvFont))) return;
  ++FFontAssignedLock;
  try {
    TuxContainerStyle* From = nullptr;
    if (TryAssigned(csvFont, From) && From != this) {
      FFont->Assign(From->GetFont());
    } else {
      TuxContainer* C = Container();
      if (!(C && C->ParentFont())) {
        TFont Fresh;
        FFont->Assign(&Fresh);
      }
    }
  } catch (...) {
    --FFontAssignedLock;
    throw;
  }
  --FFontAssignedLock;
}

// -- controller link --

void TuxContainerStyle::SetStyleController(TuxStyleController* Value) {
  if (FParentStyle) return FParentStyle->SetStyleController(Value);
  if (DefaultContainerStyleController && FOwner == DefaultContainerStyleController) return;
  if (!Value) Value = DefaultContainerStyleController;
  // Refuse a link whose chain comes back to this very style.
  for (TuxStyleController* C = Value; C; C = C->Style()->FStyleController) {
    if (C->Style() == this) return;
    if (C == DefaultContainerStyleController) break;
  }
  if (Value == FStyleController) return;
  if (FStyleController) FStyleController->RemoveListener(this);
  FStyleController = Value;
  if (FStyleController) FStyleController->AddListener(this);
  ControllerChanged();
}

void TuxContainerStyle::ControllerChanged() {
  UpdateFont();
  Changed();
}

void TuxContainerStyle::ControllerFreeNotification(TuxStyleController* Controller) {
  if (Controller != FStyleController) return;
  FStyleController = nullptr;
  if (Controller != DefaultContainerStyleController && DefaultContainerStyleController &&
      !DefaultContainerStyleController->IsDestroying())
    SetStyleController(nullptr);
  else
    ControllerChanged();
}

// -- copying, defaults, storing --

void TuxContainerStyle::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TuxContainerStyle*>(Source);
  if (!S) return TPersistent::Assign(Source);
  BeginUpdate();
  try {
    if (!FParentStyle) {
      SetStyleController(S->GetStyleController());
      SetLookAndFeel(S->GetLookAndFeel());
    }
    FBorderColor = S->FBorderColor;
    FBorderStyle = S->FBorderStyle;
    if (!FParentStyle) {
      FEdges = S->FEdges;
      FHotTrack = S->FHotTrack;
      FShadow = S->FShadow;
      FTransparentBorder = S->FTransparentBorder;
    }
    FColor = S->FColor;
    if (FDirectAccessMode) {
      FFont = S->GetFont();
      FTextColor = S->GetTextColor();
    } else {
      if (!FParentStyle && S->GetFont()) {
        ++FFontAssignedLock;
        FFont->Assign(S->GetFont());
        if (S->FDirectAccessMode) FFont->SetColor(S->GetTextColor());
        --FFontAssignedLock;
      }
      FTextColor = S->GetTextColor();
      FTextStyle = S->GetTextStyle();
    }
    FAssignedValues = S->FAssignedValues;
    Changed();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuxContainerStyle::RestoreDefaults() {
  BeginUpdate();
  FAssignedValues = 0;
  if (!FParentStyle) {
    FLookAndFeel->Reset();
    if (TuxContainer* C = Container()) {
      C->SetParentColor(false);
      C->SetParentFont(true);
    } else if (!FDirectAccessMode) {
      UpdateFont();
    }
    TuxContainer* C = Container();
    if (C && C->DefaultParentColor() && !IsValueAssigned(csvColor)) C->SetParentColor(true);
  }
  Changed();
  EndUpdate();
}

bool TuxContainerStyle::IsValueStored(TuxContainerStyleValue Value) {
  if (!(FAssignedValues & uxStyleValue(Value))) return false;
  if (TuxContainer* C = BaseStyle()->Container()) {
    if (FParentStyle && (GetStateOnlyParentValues() & uxStyleValue(Value))) return false;
    if (C->GetUnusedStyleValues() & uxStyleValue(Value)) return false;
  }
  return true;
}

void TuxContainerStyle::DefineProperties(TFiler* Filer) {
  TPersistent::DefineProperties(Filer);
  Filer->DefineProperty(
      "IsFontAssigned", [this](TReader* R) {
        R->ReadBoolean();
        FAssignedValues |= uxStyleValue(csvFont);
      },
      [](TWriter* W) { W->WriteBoolean(true); }, IsValueStored(csvFont));
}

// ---- TuxContainerStyles ----

TuxContainerStyles::TuxContainerStyles(TPersistent* AOwner, TuxContainerStyleClass StyleClass) {
  for (int I = 0; I < 4; ++I) FStyles[I] = StyleClass(AOwner, I, I == 0 ? nullptr : FStyles[0], false);
}

TuxContainerStyles::~TuxContainerStyles() {
  for (int I = 3; I >= 0; --I) {
    delete FStyles[I];
    FStyles[I] = nullptr;
  }
}

void TuxContainerStyles::SetOnChanged(const TNotifyEvent& Event) {
  for (TuxContainerStyle* S : FStyles) S->OnChanged = Event;
}

// ---- TuxStyleController ----

TuxStyleController::TuxStyleController(TComponent* AOwner) : TComponent(AOwner) {}

void TuxStyleController::AfterConstruction() {
  TComponent::AfterConstruction();
  if (!FStyles) {
    FStyles.reset(GetStylesClass()(this, GetStyleClass()));
    FStyles->SetOnChanged(TNotifyEvent(this, &TuxStyleController::StyleChanged));
  }
}

TuxStyleController::~TuxStyleController() {
  FDestroying = true;
  std::vector<TuxContainerStyle*> L = FListeners;
  for (TuxContainerStyle* S : L) S->ControllerFreeNotification(this);
  FListeners.clear();
  FStyles.reset();
}

TuxContainerStyleClass TuxStyleController::GetStyleClass() { return &uxCreateStyleOf<TuxContainerStyle>; }

TuxContainerStylesClass TuxStyleController::GetStylesClass() {
  return [](TPersistent* O, TuxContainerStyleClass C) { return new TuxContainerStyles(O, C); };
}

void TuxStyleController::AddListener(TuxContainerStyle* Style) {
  if (std::find(FListeners.begin(), FListeners.end(), Style) != FListeners.end()) return;
  FListeners.push_back(Style);
  if (Style->GetLookAndFeel() && FStyles) Style->GetLookAndFeel()->SetMasterLookAndFeel(this->Style()->GetLookAndFeel());
}

void TuxStyleController::RemoveListener(TuxContainerStyle* Style) {
  if (FDestroying) return;
  auto It = std::find(FListeners.begin(), FListeners.end(), Style);
  if (It == FListeners.end()) return;
  FListeners.erase(It);
  if (Style->GetLookAndFeel()) Style->GetLookAndFeel()->SetMasterLookAndFeel(nullptr);
}

void TuxStyleController::StyleChanged(TObject*) { Changed(); }

void TuxStyleController::Loaded() {
  TComponent::Loaded();
  Changed();
}

void TuxStyleController::Changed() {
  if (OnStyleChanged) OnStyleChanged(this);
  if (FDestroying) return;
  std::vector<TuxContainerStyle*> L = FListeners;
  for (TuxContainerStyle* S : L)
    if (std::find(FListeners.begin(), FListeners.end(), S) != FListeners.end()) S->ControllerChanged();
}

void TuxStyleController::ChangeFontScale(int M, int D) {
  TuxContainerStyle* S = Style();
  if (S->AssignedValues() & uxStyleValue(csvFont)) {
    if (!FFontScaled) {
      FFontScaled = true;
      S->GetFont()->SetSize(MulDiv(S->GetFont()->Size(), M, D));
    }
  } else if (TuxStyleController* C = S->GetStyleController()) {
    C->ChangeFontScale(M, D);
  }
}

// ---- registration ----

void uxInitContainerStyles() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  RegisterClasses({TuxContainerStyle::StaticClass(), TuxStyleController::StaticClass()});
  RegisterProps<TuxContainerStyle>([](TPropBuilder<TuxContainerStyle>& p) {
    using S = TuxContainerStyle;
    auto St = [](TuxContainerStyleValue V) {
      return [V](TObject* O) { return static_cast<S*>(O)->IsValueStored(V); };
    };
    p.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues).Stored([](TObject* O) {
      return static_cast<S*>(O)->AssignedValues() != 0;
    });
    p.Prop("BorderColor", &S::GetBorderColor, &S::SetBorderColor).Stored(St(csvBorderColor));
    p.Prop("BorderStyle", &S::GetBorderStyle, &S::SetBorderStyle).Stored(St(csvBorderStyle));
    p.Prop("Color", &S::GetColor, &S::SetColor).Stored(St(csvColor));
    p.Prop("Edges", &S::GetEdges, &S::SetEdges).Stored(St(csvEdges));
    p.Prop("Font", &S::GetFont, &S::SetFont).Stored(St(csvFont));
    p.Prop("HotTrack", &S::GetHotTrack, &S::SetHotTrack).Stored(St(csvHotTrack));
    p.Prop("LookAndFeel", &S::GetLookAndFeel, &S::SetLookAndFeel).Stored([](TObject* O) {
      auto* s = static_cast<S*>(O);
      return s->IsBaseStyle() && s->GetLookAndFeel()->AssignedValues() != 0;
    });
    p.Prop("Shadow", &S::GetShadow, &S::SetShadow).Stored(St(csvShadow));
    p.Prop("StyleController", &S::GetStyleController, &S::SetStyleController).Stored([](TObject* O) {
      auto* s = static_cast<S*>(O);
      return s->IsBaseStyle() && s->GetStyleController() != nullptr;
    });
    p.Prop("TextColor", &S::GetTextColor, &S::SetTextColor).Stored(St(csvTextColor));
    p.Prop("TextStyle", &S::GetTextStyle, &S::SetTextStyle).Stored(St(csvTextStyle));
    p.Prop("TransparentBorder", &S::GetTransparentBorder, &S::SetTransparentBorder).Stored(St(csvTransparentBorder));
  });
  RegisterProps<TuxStyleController>([](TPropBuilder<TuxStyleController>& p) {
    p.Prop("FakeStyleController", &TuxStyleController::FakeStyleController,
           &TuxStyleController::SetFakeStyleController)
        .Stored([](TObject*) { return false; });
  });
}
