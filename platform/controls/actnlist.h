// Actions: commands with a caption, state and handlers that menu items and
// controls link to, collected in action lists and brought up to date while the
// application is idle; and the standard MDI window actions.
#pragma once
#include <vector>
#include "platform/classes/classes.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/types.h"

class TCustomImageList;
class TCustomForm;
class TBasicActionLink;
class TCustomActionList;

// A key with its modifiers: the low byte is the virtual key; scShift, scCtrl and scAlt.
using TShortCut = Word;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;

using TActionEvent = TEvent<void(class TBasicAction* Action, bool& Handled)>;

// A command: Execute calls OnExecute, Update calls OnUpdate. Execute and Update
// return whether anything handled them.
class TBasicAction : public TComponent {
  PV_CLASS(TBasicAction, TComponent)
 public:
  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;
  virtual bool Execute();
  virtual bool Update();
  // Whether this action acts on Target (standard actions override).
  virtual bool HandlesTarget(TObject* Target) { return false; }
  virtual void ExecuteTarget(TObject* Target) {}
  virtual void UpdateTarget(TObject* Target) {}
  // The component (control, menu item) that executed the action last.
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* Value);
  void RegisterChanges(TBasicActionLink* Link);
  void UnRegisterChanges(TBasicActionLink* Link);

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;
  TNotifyEvent OnChange;

 protected:
  virtual void Change();
  void Notification(TComponent* AComponent, TOperation Operation) override;
  std::vector<TBasicActionLink*> FClients;

 private:
  TComponent* FActionComponent = nullptr;
};

// The connection of one client (control, menu item) to an action.
class TBasicActionLink : public TObject {
  PV_CLASS(TBasicActionLink, TObject)
 public:
  explicit TBasicActionLink(TObject* AClient) {}
  ~TBasicActionLink() override;
  TBasicAction* Action() const { return FAction; }
  virtual void SetAction(TBasicAction* Value);
  virtual bool Execute(TComponent* AComponent = nullptr);
  virtual bool Update();
  TNotifyEvent OnChange;

 protected:
  friend class TBasicAction;
  virtual void Change() { if (OnChange) OnChange(this); }
  virtual bool IsOnExecuteLinked() { return true; }
  virtual void SetOnExecute(const TNotifyEvent& Value) {}
  TBasicAction* FAction = nullptr;
};

// An action that belongs to an action list.
class TContainedAction : public TBasicAction {
  PV_CLASS(TContainedAction, TBasicAction)
 public:
  explicit TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}
  ~TContainedAction() override;
  TCustomActionList* ActionList() const { return FActionList; }
  void SetActionList(TCustomActionList* Value);
  AnsiString Category() const { return FCategory; }
  void SetCategory(const AnsiString& Value);
  int Index() const;
  void SetIndex(int Value);
  // The list's OnExecute first; then the action's own; then the application's.
  bool Execute() override;
  bool Update() override;
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  bool HasParent() const override { return FActionList != nullptr; }
  void ReadState(TReader* Reader) override;

 private:
  friend class TCustomActionList;
  TCustomActionList* FActionList = nullptr;
  AnsiString FCategory;
};

class TCustomAction : public TContainedAction {
  PV_CLASS(TCustomAction, TContainedAction)
 public:
  explicit TCustomAction(TComponent* AOwner);
  AnsiString Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  bool Checked() const { return FChecked; }
  // Checking an action of a group (GroupIndex > 0) unchecks the others.
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  AnsiString Hint() const { return FHint; }
  void SetHint(const AnsiString& Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  // Actions without an OnExecute handler are disabled when the list updates them.
  bool DisableIfNoHandler() const { return FDisableIfNoHandler; }
  void SetDisableIfNoHandler(bool Value) { FDisableIfNoHandler = Value; }
  bool Execute() override;
  bool Update() override;
  // Called by the idle update for actions nobody handled.
  bool DoHint(AnsiString& HintStr);

 private:
  AnsiString FCaption, FHint;
  bool FChecked = false, FEnabled = true, FVisible = true, FAutoCheck = false;
  bool FDisableIfNoHandler = true;
  int FImageIndex = -1, FHelpContext = 0, FGroupIndex = 0;
  TShortCut FShortCut = 0;
  bool FChecking = false;
};

class TAction : public TCustomAction {
  PV_CLASS(TAction, TCustomAction)
 public:
  explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) { SetDisableIfNoHandler(true); }
};

// Links a client with the properties an action can set on it. Clients
// override the setters they support.
class TActionLink : public TBasicActionLink {
  PV_CLASS(TActionLink, TBasicActionLink)
 public:
  explicit TActionLink(TObject* AClient) : TBasicActionLink(AClient) {}
  void SetAction(TBasicAction* Value) override;
  virtual bool IsCaptionLinked();
  virtual bool IsCheckedLinked();
  virtual bool IsEnabledLinked();
  virtual bool IsHintLinked();
  virtual bool IsImageIndexLinked();
  virtual bool IsShortCutLinked();
  virtual bool IsVisibleLinked();
  virtual bool IsHelpContextLinked();
  virtual bool IsGroupIndexLinked();
  virtual void SetCaption(const AnsiString&) {}
  virtual void SetChecked(bool) {}
  virtual void SetEnabled(bool) {}
  virtual void SetHint(const AnsiString&) {}
  virtual void SetImageIndex(int) {}
  virtual void SetShortCut(TShortCut) {}
  virtual void SetVisible(bool) {}
  virtual void SetHelpContext(int) {}
  virtual void SetGroupIndex(int) {}
  // Pushes every linked property of the action to the client.
  void ActionChanged();
};

enum TActionListState { asNormal, asSuspended, asSuspendedEnabled };
PV_ENUM_NAMES(TActionListState, "asNormal asSuspended asSuspendedEnabled")

class TCustomActionList : public TComponent {
  PV_CLASS(TCustomActionList, TComponent)
 public:
  explicit TCustomActionList(TComponent* AOwner);
  ~TCustomActionList() override;
  int ActionCount() const { return static_cast<int>(FActions.size()); }
  TContainedAction* Actions(int Index) const;
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TActionListState State() const { return FState; }
  void SetState(TActionListState Value);
  // Runs OnExecute / OnUpdate of the list for Action; true when handled.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);
  // Executes the enabled action with this shortcut; true when one was found.
  bool IsShortCut(TShortCut ShortCut);
  // Updates every action of the list (the idle update).
  void UpdateActions();
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;

  TActionEvent OnExecute;
  TActionEvent OnUpdate;
  TNotifyEvent OnChange;

 protected:
  friend class TContainedAction;
  void AddAction(TContainedAction* Action);
  void RemoveAction(TContainedAction* Action);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  std::vector<TContainedAction*> FActions;
  TCustomImageList* FImages = nullptr;
  TActionListState FState = asNormal;
};

class TActionList : public TCustomActionList {
  PV_CLASS(TActionList, TCustomActionList)
 public:
  explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
};

// Every action list in the program, for the idle update and shortcut dispatch.
std::vector<TCustomActionList*> AllActionLists();

// ---- standard MDI window actions ----
// They act on the form they are given (Form) or, without one, the main form
// when it is an MDI frame; they are disabled while it has no MDI children.
class TWindowAction : public TAction {
  PV_CLASS(TWindowAction, TAction)
 public:
  explicit TWindowAction(TComponent* AOwner);
  TCustomForm* Form() const { return FForm; }
  void SetForm(TCustomForm* Value);
  bool HandlesTarget(TObject* Target) override;
  void UpdateTarget(TObject* Target) override;
  bool Execute() override;
  bool Update() override;

 protected:
  TCustomForm* TargetForm() const;
  virtual void Act(TCustomForm* Form) = 0;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TCustomForm* FForm = nullptr;
};

class TWindowClose : public TWindowAction {
  PV_CLASS(TWindowClose, TWindowAction)
 public:
  explicit TWindowClose(TComponent* AOwner);
 protected:
  void Act(TCustomForm* Form) override;
};
class TWindowCascade : public TWindowAction {
  PV_CLASS(TWindowCascade, TWindowAction)
 public:
  explicit TWindowCascade(TComponent* AOwner);
 protected:
  void Act(TCustomForm* Form) override;
};
class TWindowTileHorizontal : public TWindowAction {
  PV_CLASS(TWindowTileHorizontal, TWindowAction)
 public:
  explicit TWindowTileHorizontal(TComponent* AOwner);
 protected:
  void Act(TCustomForm* Form) override;
};
class TWindowTileVertical : public TWindowAction {
  PV_CLASS(TWindowTileVertical, TWindowAction)
 public:
  explicit TWindowTileVertical(TComponent* AOwner);
 protected:
  void Act(TCustomForm* Form) override;
};
class TWindowMinimizeAll : public TWindowAction {
  PV_CLASS(TWindowMinimizeAll, TWindowAction)
 public:
  explicit TWindowMinimizeAll(TComponent* AOwner);
 protected:
  void Act(TCustomForm* Form) override;
};
class TWindowArrange : public TWindowAction {
  PV_CLASS(TWindowArrange, TWindowAction)
 public:
  explicit TWindowArrange(TComponent* AOwner);
 protected:
  void Act(TCustomForm* Form) override;
};

void InitActnListProps();
