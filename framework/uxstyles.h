// Named visual styles kept in a repository, style sets with numbered slots that
// take empty slots from a (chained) style sheet, and the paint parameters the
// paint code gets from a style set.
#pragma once
#include <vector>
#include "framework/uxclasses.h"
#include "framework/uxcontrols.h"
#include "framework/uxgraphics.h"
#include "platform/classes/sets.h"
#include "platform/controls/graphics.h"

class TuxCustomStyle;
class TuxStyle;
class TuxStyleRepository;
class TuxCustomStyles;
class TuxCustomStyleSheet;

enum TuxStyleValue { svBitmap, svColor, svFont, svTextColor };
using TuxStyleValues = TSet<TuxStyleValue>;
PV_ENUM_NAMES(TuxStyleValue, "svBitmap svColor svFont svTextColor")

// Registers the style classes for streaming (repository, style, sheet base)
// and their published properties; called once from the start-up list, after
// the graphics properties are registered.
void uxInitStyles();

class IuxStyleListener {
 public:
  virtual ~IuxStyleListener() = default;
  virtual void NotifyStyleChanged(TuxCustomStyle* Sender) = 0;
  virtual void NotifyStyleRemoved(TuxCustomStyle* Sender) = 0;
};

class TuxCustomStyle : public TComponent {
  PV_CLASS(TuxCustomStyle, TComponent)
 public:
  explicit TuxCustomStyle(TComponent* AOwner) : TComponent(AOwner) {}
  ~TuxCustomStyle() override;

  virtual void Changed();
  virtual void AddListener(IuxStyleListener* Listener);
  virtual void RemoveListener(IuxStyleListener* Listener);
  virtual void RestoreDefaults() {}

  // False for no style; else whether Value is among the style's assigned values.
  static bool IsValueAssigned(TuxCustomStyle* Style, TuxStyleValue Value);

  TuxStyleRepository* StyleRepository() const { return FStyleRepository; }
  void SetStyleRepository(TuxStyleRepository* Value);
  int ListenerCount() const { return static_cast<int>(FListeners.size()); }

  bool HasParent() const override { return FStyleRepository != nullptr; }
  TComponent* GetParentComponent() const override;
  // Ignored while loading; raises EComponentError when Value is not a style repository.
  void SetParentComponent(TComponent* Value) override;
  void ReadState(TReader* Reader) override;

 protected:
  // Tells every listener, last first, that this style goes. Descendants call it
  // at the start of their destructor, while their values are still whole.
  void NotifyListenersOfRemoval();

 private:
  TuxStyleRepository* FStyleRepository = nullptr;
  std::vector<IuxStyleListener*> FListeners;  // not counted
};

class TuxStyle : public TuxCustomStyle {
  PV_CLASS(TuxStyle, TuxCustomStyle)
 public:
  explicit TuxStyle(TComponent* AOwner);
  ~TuxStyle() override;
  void Assign(TPersistent* Source) override;
  void RestoreDefaults() override;

  TuxStyleValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TuxStyleValues Value);
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value) { FBitmap->Assign(Value); }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TColor TextColor() const { return FTextColor; }
  void SetTextColor(TColor Value);
  // Which values a description stores.
  bool IsBitmapStored() const { return FAssignedValues.Contains(svBitmap); }
  bool IsColorStored() const { return FAssignedValues.Contains(svColor); }
  bool IsFontStored() const { return FAssignedValues.Contains(svFont); }
  bool IsTextColorStored() const { return FAssignedValues.Contains(svTextColor); }

 private:
  void BitmapChanged(TObject* Sender);
  void FontChanged(TObject* Sender);
  TuxStyleValues FAssignedValues;
  TBitmap* FBitmap;
  TColor FColor = clDefault;
  TFont* FFont;
  TColor FTextColor = clDefault;
  bool FRestoring = false;
};

class TuxStyleRepository : public TComponent {
  PV_CLASS(TuxStyleRepository, TComponent)
 public:
  explicit TuxStyleRepository(TComponent* AOwner) : TComponent(AOwner) {}
  ~TuxStyleRepository() override;

  // Raise EComponentError when the class is not a style / style sheet class.
  virtual TuxCustomStyle* CreateItem(TClass StyleClass) { return CreateItemEx(StyleClass, this); }
  virtual TuxCustomStyle* CreateItemEx(TClass StyleClass, TComponent* AOwner);
  virtual TuxCustomStyleSheet* CreateStyleSheet(TClass SheetClass) {
    return CreateStyleSheetEx(SheetClass, this);
  }
  virtual TuxCustomStyleSheet* CreateStyleSheetEx(TClass SheetClass, TComponent* AOwner);

  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raise EListError for an index out of range.
  TuxCustomStyle* Items(int Index) const;
  int StyleSheetCount() const { return static_cast<int>(FStyleSheets.size()); }
  TuxCustomStyleSheet* StyleSheets(int Index) const;

 private:
  friend class TuxCustomStyle;
  friend class TuxCustomStyleSheet;
  std::vector<TuxCustomStyle*> FItems;
  std::vector<TuxCustomStyleSheet*> FStyleSheets;
};

struct TuxCustomStylesItem {
  int Index = 0;
  TuxCustomStyle* Item = nullptr;  // not owned
};

class TuxCustomStyles : public TuxInterfacedPersistent, public IuxStyleListener {
  PV_CLASS(TuxCustomStyles, TuxInterfacedPersistent)
 public:
  explicit TuxCustomStyles(TPersistent* AOwner) : TuxInterfacedPersistent(AOwner) {}
  ~TuxCustomStyles() override;
  void Assign(TPersistent* Source) override;

  // Binary search over the items ordered by Index: true and the item's position,
  // or false and the position where an item for Index would go.
  bool Find(int Index, int& Position) const;
  // The own style at Index, else the sheet chain's (own styles only while the
  // owner is being written to a description).
  TuxCustomStyle* GetValue(int Index) const;
  void SetValue(int Index, TuxCustomStyle* Style);
  void Delete(int Position);
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises EListError for a position out of range.
  const TuxCustomStylesItem& Items(int Position) const;

  TuxCustomStyleSheet* StyleSheet() const { return FStyleSheet; }
  void SetStyleSheet(TuxCustomStyleSheet* Value);
  TuxCustomStyleSheet* OwnerStyleSheet() const { return FOwnerStyleSheet; }

  void NotifyStyleChanged(TuxCustomStyle* Sender) override;
  void NotifyStyleRemoved(TuxCustomStyle* Sender) override;

 protected:
  virtual void Changed(int Index) {}
  virtual void DoChanged(int Index);

 private:
  friend class TuxCustomStyleSheet;
  bool IsValidStyleSheet(TuxCustomStyleSheet* Sheet) const;
  void CollectSheetIndexes(TuxCustomStyleSheet* Sheet, std::vector<int>& Indexes) const;
  void StopListeningUnlessHeld(TuxCustomStyle* Style);
  std::vector<TuxCustomStylesItem*> FItems;  // owned
  TuxCustomStyleSheet* FStyleSheet = nullptr;
  TuxCustomStyleSheet* FOwnerStyleSheet = nullptr;
  bool FDestroying = false;
};

class TuxStyles : public TuxCustomStyles, public IuxFontListener {
  PV_CLASS(TuxStyles, TuxCustomStyles)
 public:
  explicit TuxStyles(TPersistent* AOwner) : TuxCustomStyles(AOwner) {}

  bool BitmapInViewParams() const { return FBitmapInViewParams; }
  void SetBitmapInViewParams(bool Value) { FBitmapInViewParams = Value; }

  virtual void GetDefaultViewParams(int Index, void* Data, TuxPaintParams& Params);
  virtual bool UsesDefaultFont(int Index);
  void FontChanged(TObject* Sender, TFont* Font) override;
  TBitmap* GetBitmap(int Index) const;
  // Style is an explicitly given style that wins over the slot's, or nullptr.
  void GetViewParams(int Index, void* Data, TuxCustomStyle* Style, TuxPaintParams& Params);

 private:
  bool FBitmapInViewParams = false;
  int FMaxDefaultIndex = -1;
};

class TuxCustomStyleSheet : public TuxComponent {
  PV_CLASS(TuxCustomStyleSheet, TuxComponent)
 public:
  explicit TuxCustomStyleSheet(TComponent* AOwner);
  ~TuxCustomStyleSheet() override;
  void Assign(TPersistent* Source) override;

  virtual TClass GetStylesClass() const { return TuxCustomStyles::StaticClass(); }
  // The sheet's own style set (made on first use from GetStylesClass).
  TuxCustomStyles* Styles();

  AnsiString Caption() const { return FCaption.empty() ? Name() : FCaption; }
  void SetCaption(const AnsiString& Value);
  bool IsCaptionStored() const { return !FCaption.empty(); }
  bool BuiltIn() const { return FBuiltIn; }
  void SetBuiltIn(bool Value) { FBuiltIn = Value; }

  void AddStyles(TuxCustomStyles* AStyles);
  void RemoveStyles(TuxCustomStyles* AStyles);
  int StylesUserCount() const { return static_cast<int>(FUsers.size()); }
  void DoStyleChanged(int Index);

  TuxStyleRepository* StyleRepository() const { return FStyleRepository; }
  void SetStyleRepository(TuxStyleRepository* Value);
  bool HasParent() const override { return FStyleRepository != nullptr; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void ReadState(TReader* Reader) override;

 protected:
  // Streams BuiltIn as the extra property "BuiltIn", always stored.
  void DefineProperties(TFiler* Filer) override;
  void GetFakeComponentLinks(std::vector<TComponent*>& List) override;

 private:
  AnsiString FCaption;
  TuxCustomStyles* FStyles = nullptr;  // owned
  std::vector<TuxCustomStyles*> FUsers;
  bool FBuiltIn = false;
  bool FSheetDestroying = false;
  TuxStyleRepository* FStyleRepository = nullptr;
};
