// The appearance of an in-place editor's frame and buttons. Each editor owns a
// TkxEditStyle; a value not set on the style comes from the editor's style
// controller, else from the one global default controller, else from a fixed
// default. Controllers tell their subscribed editors when a value changes.
#pragma once

#include <vector>

#include "platform/classes/classes.h"
#include "platform/classes/events.h"
#include "platform/classes/typinfo.h"
#include "platform/controls/graphics.h"

class TkxInplaceEdit;

enum TkxEditBorderStyle { xbsNone, xbsSingle, xbsThick, xbsFlat, xbs3D };
enum TkxEditButtonViewStyle { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat };
enum TkxEditButtonTransparence { ebtNone, ebtInactive, ebtAlways, ebtHideInactive };
enum TkxEditEdge { edgLeft, edgTop, edgRight, edgBottom };
using TkxEditEdges = TSet<TkxEditEdge>;
enum TkxEditStyleValue { svBorderColor, svBorderStyle, svButtonStyle, svButtonTransparence, svEdges, svHotTrack, svShadow };
using TkxEditStyleValues = TSet<TkxEditStyleValue>;

PV_ENUM_NAMES(TkxEditBorderStyle, "xbsNone xbsSingle xbsThick xbsFlat xbs3D")
PV_ENUM_NAMES(TkxEditButtonViewStyle, "btsDefault bts3D btsFlat btsSimple btsHotFlat")
PV_ENUM_NAMES(TkxEditButtonTransparence, "ebtNone ebtInactive ebtAlways ebtHideInactive")
PV_ENUM_NAMES(TkxEditEdge, "edgLeft edgTop edgRight edgBottom")
PV_ENUM_NAMES(TkxEditStyleValue,
              "svBorderColor svBorderStyle svButtonStyle svButtonTransparence svEdges svHotTrack svShadow")

inline constexpr TkxEditEdges kxAllEdges{edgLeft, edgTop, edgRight, edgBottom};

using TkxStyleChangedEvent = TEvent<void(TObject* Sender, TObject* Link)>;

// A component many editors subscribe to; it tells each of them of a change.
class TkxStyleController : public TComponent {
  PV_CLASS(TkxStyleController, TComponent)
 public:
  explicit TkxStyleController(TComponent* AOwner);
  ~TkxStyleController() override;
  void BeginUpdate() { ++FUpdateLock; }
  void EndUpdate();
  // Unless locked or loading, LinkChanged for every subscriber in order.
  void Changed();
  virtual void AddLink(TObject* Link);
  virtual void RemoveLink(TObject* Link);
  virtual void LinkChanged(TObject* Link);
  int LinkCount() const { return static_cast<int>(FLinks.size()); }
  TObject* Links(int Index) const { return FLinks[Index]; }
  bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
  // Whether Controller still exists.
  static bool IsAlive(const TkxStyleController* Controller);
  void Loaded() override;
  TkxStyleChangedEvent OnStyleChanged;

 private:
  std::vector<TObject*> FLinks;
  int FUpdateLock = 0;
};

class TkxEditStyleController : public TkxStyleController {
  PV_CLASS(TkxEditStyleController, TkxStyleController)
 public:
  explicit TkxEditStyleController(TComponent* AOwner);
  void Assign(TPersistent* Source) override;
  void LinkChanged(TObject* Link) override;
  virtual void RestoreDefaults();

  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value);
  TkxEditBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TkxEditBorderStyle Value);
  TkxEditButtonViewStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TkxEditButtonViewStyle Value);
  TkxEditButtonTransparence ButtonTransparence() const { return FButtonTransparence; }
  void SetButtonTransparence(TkxEditButtonTransparence Value);
  TkxEditEdges Edges() const { return FEdges; }
  void SetEdges(TkxEditEdges Value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  bool Shadow() const { return FShadow; }
  void SetShadow(bool Value);

 private:
  TColor FBorderColor = clWindowFrame;
  TkxEditBorderStyle FBorderStyle = xbs3D;
  TkxEditButtonViewStyle FButtonStyle = btsDefault;
  TkxEditButtonTransparence FButtonTransparence = ebtNone;
  TkxEditEdges FEdges = kxAllEdges;
  bool FHotTrack = false;
  bool FShadow = false;
};

// The appearance object an editor owns.
class TkxEditStyle : public TPersistent {
  PV_CLASS(TkxEditStyle, TPersistent)
 public:
  TkxEditStyle() = default;  // for creation by class name; an editor is set with Attach
  explicit TkxEditStyle(TkxInplaceEdit* Edit);
  ~TkxEditStyle() override;
  // Subscribes Edit to the default controller (what the constructor does).
  void Attach(TkxInplaceEdit* Edit);
  void Assign(TPersistent* Source) override;
  TkxInplaceEdit* Edit() const { return FEdit; }

  TkxEditStyleValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TkxEditStyleValues Value);
  TColor BorderColor() const;
  void SetBorderColor(TColor Value);
  TkxEditBorderStyle BorderStyle() const;
  void SetBorderStyle(TkxEditBorderStyle Value);
  TkxEditButtonViewStyle ButtonStyle() const;
  void SetButtonStyle(TkxEditButtonViewStyle Value);
  TkxEditButtonTransparence ButtonTransparence() const;
  void SetButtonTransparence(TkxEditButtonTransparence Value);
  TkxEditEdges Edges() const;
  void SetEdges(TkxEditEdges Value);
  bool HotTrack() const;
  void SetHotTrack(bool Value);
  bool Shadow() const;
  void SetShadow(bool Value);

  virtual void Changed();
  virtual TColor GetDefaultBorderColor() const;
  virtual TkxEditBorderStyle GetDefaultBorderStyle() const;
  virtual TkxEditButtonViewStyle GetDefaultButtonStyle() const;
  virtual TkxEditButtonTransparence GetDefaultButtonTransparence() const;
  virtual TkxEditEdges GetDefaultEdges() const;
  virtual bool GetDefaultHotTrack() const;
  virtual bool GetDefaultShadow() const;
  // The global controller a style of this class falls back on.
  virtual TkxEditStyleController* GetDefaultStyleController() const;
  virtual void RestoreDefaults();
  // The editor's own controller, else the default one (may be none).
  TkxEditStyleController* GetStyleController() const;

 private:
  template <class T>
  void SetValue(TkxEditStyleValue Member, T& Field, const T& Value);
  TkxEditStyleValues FAssignedValues;
  TColor FBorderColor = clWindowFrame;
  TkxEditBorderStyle FBorderStyle = xbs3D;
  TkxEditButtonViewStyle FButtonStyle = btsDefault;
  TkxEditButtonTransparence FButtonTransparence = ebtNone;
  TkxEditEdges FEdges = kxAllEdges;
  bool FHotTrack = false;
  bool FShadow = false;
  TkxInplaceEdit* FEdit = nullptr;
  TkxEditStyleController* FSubscribedTo = nullptr;
};

// The global default controller (none before the unit starts and after it ends).
TkxEditStyleController* kxDefaultEditStyleController();
void kxInitStyles();
void kxDoneStyles();
