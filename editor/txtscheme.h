// A scheme item: start and end expressions of a marked stretch of text, the
// highlighter used inside it and the style of the markers. Kept in a
// collection owned by a switching highlighter.
#pragma once
#include <memory>

#include "editor/txthighlighter.h"

using TTxtMarkerCheckEvent =
    TEvent<void(TObject* Sender, int& StartPos, int& MarkerLen, AnsiString& MarkerText, int Line)>;

class TScheme : public TCollectionItem {
  PV_CLASS(TScheme, TCollectionItem)
 public:
  explicit TScheme(TCollection* Collection);
  ~TScheme() override;

  AnsiString DisplayName() const override;
  void SetDisplayName(const AnsiString& Value) override { FSchemeName = Value; }

  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  const AnsiString& StartExpr() const { return FStartExpr; }
  void SetStartExpr(const AnsiString& Value);
  const AnsiString& EndExpr() const { return FEndExpr; }
  void SetEndExpr(const AnsiString& Value);
  TTxtCustomHighlighter* Highlighter() const { return FHighlighter; }
  void SetHighlighter(TTxtCustomHighlighter* Value);
  TTxtHighlighterAttributes* MarkerAttri() const { return FMarkerAttri; }
  void SetMarkerAttri(TTxtHighlighterAttributes* Value) { FMarkerAttri->Assign(Value); }
  const AnsiString& SchemeName() const { return FSchemeName; }
  void SetSchemeName(const AnsiString& Value) { FSchemeName = Value; }

  TTxtMarkerCheckEvent OnCheckStartMarker;
  TTxtMarkerCheckEvent OnCheckEndMarker;

 private:
  TTxtCustomHighlighter* OwnerHighlighter() const;
  void SetExpr(AnsiString& Field, const AnsiString& Value);
  void MarkerChanged(TObject* Sender) { Changed(false); }

  bool FCaseSensitive = true;
  AnsiString FStartExpr;
  AnsiString FEndExpr;
  TTxtCustomHighlighter* FHighlighter = nullptr;
  TTxtHighlighterAttributes* FMarkerAttri;
  AnsiString FSchemeName;
};

// A highlighter that switches to inner highlighters inside marked stretches of
// text: its schemes (a collection of TScheme it owns) and the highlighter used
// outside them. The system has no such highlighter of its own; the scheme
// items and the attribute walk of the exporters know this interface.
class TTxtCustomMultiHighlighter : public TTxtCustomHighlighter {
  PV_CLASS(TTxtCustomMultiHighlighter, TTxtCustomHighlighter)
 public:
  explicit TTxtCustomMultiHighlighter(TComponent* AOwner);
  ~TTxtCustomMultiHighlighter() override;
  TOwnedCollection* Schemes() const { return FSchemes.get(); }
  TScheme* SchemeAt(int Index) const { return static_cast<TScheme*>(FSchemes->Items(Index)); }
  TTxtCustomHighlighter* DefaultHighlighter() const { return FDefaultHighlighter; }
  void SetDefaultHighlighter(TTxtCustomHighlighter* Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  std::unique_ptr<TOwnedCollection> FSchemes;
  TTxtCustomHighlighter* FDefaultHighlighter = nullptr;
};

// Registers the scheme item's published properties for window descriptions.
void RegisterSchemeClasses();

// Checks that Expr compiles; a syntax error is raised again as ERegExpr with a
// message that names the expression, the position and the fault.
void CheckRegularExpression(const AnsiString& Expr);
