#include "editor/txtscheme.h"

#include "editor/regexpr.h"
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
