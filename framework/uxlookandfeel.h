// Look and feel objects: which painter draws an owner-drawn control.
//
// A look and feel holds Kind and NativeStyle, each either assigned locally or
// inherited from a master look and feel, and at the end of every chain from
// the process-wide root that a TuxLookAndFeelController sets.
#pragma once

#include "framework/uxthemes.h"
#include "platform/classes/classes.h"

#include <functional>
#include <vector>

class TuxCustomLookAndFeelPainter;
using TuxLookAndFeelPainterClass = const TuxCustomLookAndFeelPainter*;

enum TuxLookAndFeelKind { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };
enum TuxLookAndFeelValue { lfvKind, lfvNativeStyle };
using TuxLookAndFeelValues = unsigned;  // bit 0 lfvKind, bit 1 lfvNativeStyle
constexpr TuxLookAndFeelValues lfvsKind = 1, lfvsNativeStyle = 2, lfvsAll = 3;

PV_ENUM_NAMES(TuxLookAndFeelKind, "lfFlat lfStandard lfUltraFlat lfOffice11")
PV_ENUM_NAMES(TuxLookAndFeelValue, "lfvKind lfvNativeStyle")

enum TuxButtonState { uxbsDefault, uxbsNormal, uxbsHot, uxbsPressed, uxbsDisabled };

// Push-button theme state of a painter button state.
int uxButtonStateToThemeState(TuxButtonState State);

class TuxLookAndFeel;

class IuxMasterLookAndFeelListener {
 public:
  virtual ~IuxMasterLookAndFeelListener() = default;
  virtual TObject* GetListenerObject() = 0;
  virtual void MasterChanged(TuxLookAndFeel* Sender, TuxLookAndFeelValues ChangedValues) = 0;
  virtual void MasterDestroying(TuxLookAndFeel* Sender) = 0;
};

// Receives the system-colour change; primary notifiers run before the others.
class TuxSystemPaletteChangedNotifier {
 public:
  explicit TuxSystemPaletteChangedNotifier(bool IsPrimary);
  virtual ~TuxSystemPaletteChangedNotifier();
  bool IsPrimary() const { return FIsPrimary; }
  virtual void DoChanged();
  std::function<void()> OnPaletteChanged;

 private:
  bool FIsPrimary;
};

// Runs the palette notifiers after a WM_SYSCOLORCHANGE; also the entry point
// for tests and the window manager's colour change.
void uxSystemPaletteChanged();

class TuxLookAndFeel : public TPersistent, public IuxMasterLookAndFeelListener {
  PV_CLASS(TuxLookAndFeel, TPersistent)
 public:
  explicit TuxLookAndFeel(TPersistent* AOwner);
  ~TuxLookAndFeel() override;

  TPersistent* GetOwner() const override { return FOwner; }
  void Assign(TPersistent* Source) override;

  TuxLookAndFeelValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TuxLookAndFeelValues Value);
  TuxLookAndFeelKind Kind() const { return FKind; }
  void SetKind(TuxLookAndFeelKind Value);
  bool NativeStyle() const { return FNativeStyle; }
  void SetNativeStyle(bool Value);
  TuxLookAndFeel* MasterLookAndFeel() const { return FMasterLookAndFeel; }
  void SetMasterLookAndFeel(TuxLookAndFeel* Value);
  bool IsRoot() const { return FIsRoot; }
  void Reset();

  TuxLookAndFeelPainterClass GetPainter() const;
  TuxLookAndFeelPainterClass GetAvailablePainter(TkxThemeClassKinds Kinds) const;
  TuxLookAndFeelPainterClass GetAvailablePainterForTheme(TkxThemeClassKind Kind) const;

  void AddChangeListener(IuxMasterLookAndFeelListener* Listener);
  void RemoveChangeListener(IuxMasterLookAndFeelListener* Listener);
  int ListenerCount() const { return int(FListeners.size()); }

  // listener side
  TObject* GetListenerObject() override { return this; }
  void MasterChanged(TuxLookAndFeel* Sender, TuxLookAndFeelValues ChangedValues) override;
  void MasterDestroying(TuxLookAndFeel* Sender) override;
  // Re-evaluates the values not assigned locally after the master changed
  // ChangedValues, and tells this object's listeners of those that changed.
  void SetAssignedValuesFromMaster(TuxLookAndFeel* Sender, TuxLookAndFeelValues ChangedValues);

  std::function<void(TuxLookAndFeel* Sender, TuxLookAndFeelValues ChangedValues)> OnChanged;

  // The root of every chain; created by uxInitLookAndFeel.
  static TuxLookAndFeel* CreateRoot();

 protected:
  virtual TuxLookAndFeelKind InternalGetKind() const;
  virtual bool InternalGetNativeStyle() const;
  virtual void SystemPaletteChanged();
  TuxLookAndFeelKind GetInheritedKind() const;
  bool GetInheritedNativeStyle() const;
  TuxLookAndFeel* GetEffectiveMaster() const;
  void Changed(TuxLookAndFeelValues ChangedValues);
  void BeginChange();
  void EndChange();

 private:
  TPersistent* FOwner;
  TuxLookAndFeelValues FAssignedValues = 0;
  TuxLookAndFeelKind FOwnKind = lfUltraFlat, FKind = lfUltraFlat;
  bool FOwnNativeStyle = false, FNativeStyle = false;
  TuxLookAndFeel* FMasterLookAndFeel = nullptr;
  bool FIsRoot = false;
  bool FDestroying = false;
  TuxLookAndFeelKind FSavedKind = lfUltraFlat;
  bool FSavedNativeStyle = false;
  std::vector<IuxMasterLookAndFeelListener*> FListeners;
  TuxSystemPaletteChangedNotifier* FPaletteNotifier = nullptr;
};

// The application's setting of the root look and feel.
class TuxLookAndFeelController : public TComponent, public IuxMasterLookAndFeelListener {
  PV_CLASS(TuxLookAndFeelController, TComponent)
 public:
  explicit TuxLookAndFeelController(TComponent* AOwner);
  ~TuxLookAndFeelController() override;
  TuxLookAndFeelKind Kind() const;
  void SetKind(TuxLookAndFeelKind Value);
  bool NativeStyle() const;
  void SetNativeStyle(bool Value);

  TObject* GetListenerObject() override { return this; }
  void MasterChanged(TuxLookAndFeel*, TuxLookAndFeelValues) override {}
  void MasterDestroying(TuxLookAndFeel* Sender) override;
};

TuxLookAndFeel* uxGetRootLookAndFeel();
// Start-up and shutdown of the root (part of the ordered initialisation).
// Start-up also registers the published settings of the look and feel and
// of the controller (once), so window descriptions can hold them.
void uxInitLookAndFeel();
void uxDoneLookAndFeel();
