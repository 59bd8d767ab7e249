#include "editor/txtscheme.h"

#include "editor/regexpr.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/strings.h"

void CheckRegularExpression(const AnsiString& Expr) {
  TRegExpr re;
  re.SetExpression(Expr);
  try {
    re.CompileExpression();
  } catch (ERegExpr& e) {
    if (e.ErrorNumber >= 1000) throw;
    AnsiString text = re.ErrorText(e.ErrorNumber);
    text = text.size() > 15 ? text.substr(15) : AnsiString();
    e.Message = "\"" + Expr + "\" is not a valid Regular Expression.\rError (pos " +
                std::to_string(e.ExpressionOffset) + "): " + text;
    throw;
  }
}

TScheme::TScheme(TCollection* Collection) : TCollectionItem(Collection), FMarkerAttri(new TTxtHighlighterAttributes("Marker")) {
  FMarkerAttri->SetBackground(0x00FFFF);
  FMarkerAttri->SetStyle(txtBold);
  FMarkerAttri->RecordDefaults();
  FMarkerAttri->OnStyleChange = TNotifyEvent(this, &TScheme::MarkerChanged);
}

TScheme::~TScheme() {
  try {
    SetHighlighter(nullptr);
  } catch (...) {
  }
  delete FMarkerAttri;
}

AnsiString TScheme::DisplayName() const {
  return FSchemeName.empty() ? TCollectionItem::DisplayName() : FSchemeName;
}

TTxtCustomHighlighter* TScheme::OwnerHighlighter() const {
  if (!Collection()) return nullptr;
  return dynamic_cast<TTxtCustomHighlighter*>(Collection()->GetOwner());
}

void TScheme::SetCaseSensitive(bool Value) {
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  Changed(true);
}

void TScheme::SetExpr(AnsiString& Field, const AnsiString& Value) {
  if (Value == Field) return;
  if (!Value.empty()) CheckRegularExpression(Value);
  AnsiString old = Field;
  Field = Value;
  bool differs = FCaseSensitive ? old != Value : AnsiUpperCase(old) != AnsiUpperCase(Value);
  if (differs) Changed(true);
}

void TScheme::SetStartExpr(const AnsiString& Value) { SetExpr(FStartExpr, Value); }
void TScheme::SetEndExpr(const AnsiString& Value) { SetExpr(FEndExpr, Value); }

void TScheme::SetHighlighter(TTxtCustomHighlighter* Value) {
  if (Value == FHighlighter) return;
  TTxtCustomHighlighter* owner = OwnerHighlighter();
  if (owner && FHighlighter && FHighlighter != owner) {
    FHighlighter->UnhookAttributeChange(TNotifyEvent(owner, &TTxtCustomHighlighter::NotifyAttributeChange));
    FHighlighter->RemoveFreeNotification(owner);
  }
  FHighlighter = Value;
  if (owner && FHighlighter && FHighlighter != owner) {
    FHighlighter->FreeNotification(owner);
    FHighlighter->HookAttributeChange(TNotifyEvent(owner, &TTxtCustomHighlighter::NotifyAttributeChange));
  }
  Changed(true);
}

// ---------------------------------------------------------------- multi-scheme highlighter

TTxtCustomMultiHighlighter::TTxtCustomMultiHighlighter(TComponent* AOwner)
    : TTxtCustomHighlighter(AOwner), FSchemes(std::make_unique<TOwnedCollection>(this, TScheme::StaticClass())) {}

TTxtCustomMultiHighlighter::~TTxtCustomMultiHighlighter() {
  FSchemes.reset();  // the schemes unhook from this highlighter while it is whole
  SetDefaultHighlighter(nullptr);
}

void TTxtCustomMultiHighlighter::SetDefaultHighlighter(TTxtCustomHighlighter* Value) {
  if (FDefaultHighlighter == Value) return;
  if (FDefaultHighlighter) {
    FDefaultHighlighter->UnhookAttributeChange(TNotifyEvent(this, &TTxtCustomHighlighter::NotifyAttributeChange));
    FDefaultHighlighter->RemoveFreeNotification(this);
  }
  FDefaultHighlighter = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->HookAttributeChange(TNotifyEvent(this, &TTxtCustomHighlighter::NotifyAttributeChange));
  }
}

void TTxtCustomMultiHighlighter::Notification(TComponent* AComponent, TOperation Operation) {
  TTxtCustomHighlighter::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FDefaultHighlighter) FDefaultHighlighter = nullptr;
  if (FSchemes)
    for (int i = 0; i < FSchemes->Count(); ++i)
      if (SchemeAt(i)->Highlighter() == AComponent) SchemeAt(i)->SetHighlighter(nullptr);
}

void RegisterSchemeClasses() {
  RegisterProps<TScheme>([](TPropBuilder<TScheme>& p) {
    p.Prop("CaseSensitive", &TScheme::CaseSensitive, &TScheme::SetCaseSensitive).Default(true);
    p.Prop("StartExpr", &TScheme::StartExpr, &TScheme::SetStartExpr);
    p.Prop("EndExpr", &TScheme::EndExpr, &TScheme::SetEndExpr);
    p.Prop("Highlighter", &TScheme::Highlighter, &TScheme::SetHighlighter);
    p.Prop("MarkerAttri", &TScheme::MarkerAttri, &TScheme::SetMarkerAttri);
    p.Prop("SchemeName", &TScheme::SchemeName, &TScheme::SetSchemeName);
    p.Field("OnCheckStartMarker", &TScheme::OnCheckStartMarker);
    p.Field("OnCheckEndMarker", &TScheme::OnCheckEndMarker);
  });
}
