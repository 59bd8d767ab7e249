// Drag and drop of the owner-drawn controls: the object that runs a control's
// own drag inside it, the class-library drag object of a TuxControl (copy
// cursor while Ctrl is held) and its drag image list.
#pragma once
#include "framework/uxcontrols.h"
#include "platform/controls/imglist.h"

class TuxDragAndDropObject : public TObject {
  PV_CLASS(TuxDragAndDropObject, TObject)
 public:
  using OwnerType = TuxControl;  // lets the class object create it for a control
  explicit TuxDragAndDropObject(TuxControl* AControl);
  TuxControl* Control() const { return FControl; }
  TuxCanvas* Canvas() const { return FControl->Canvas(); }
  TPoint CurMousePos() const { return FCurMousePos; }
  TPoint PrevMousePos() const { return FPrevMousePos; }
  bool Dirty() const { return FDirty; }
  void SetDirty(bool Value);

  virtual void DirtyChanged() {}
  virtual TCursor GetDragAndDropCursor(bool Accepted) { return Accepted ? crDrag : crNoDrop; }
  virtual bool StartImmediately() { return false; }
  virtual void AfterDragAndDrop(bool) {}
  virtual void Update() { DirtyChanged(); }
  virtual void DragAndDrop(const TPoint& P, bool& Accepted);
  virtual void EndDragAndDrop(bool Accepted) { SetDirty(true); (void)Accepted; }

 private:
  friend class TuxControl;
  TuxControl* FControl;
  TPoint FCurMousePos{-1, -1}, FPrevMousePos{-1, -1};
  bool FDirty = false;
};

// Creates an object of Class (TuxDragAndDropObject or a descendant with a
// constructor taking the control); nil Class means TuxDragAndDropObject.
// Raises EInvalidOperation for any other class.
TuxDragAndDropObject* uxCreateDragAndDropObject(TClass Class, TuxControl* Control);

class TuxDragControlObject : public TDragControlObject {
  PV_CLASS(TuxDragControlObject, TDragControlObject)
 public:
  using OwnerType = TControl;  // lets the class object create it for a control
  explicit TuxDragControlObject(TControl* AControl) : TDragControlObject(AControl) {}
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;

 protected:
  void Finished(TObject* Target, int X, int Y, bool Accepted) override;
};

class TuxDragImageList : public TDragImageList {
  PV_CLASS(TuxDragImageList, TDragImageList)
 public:
  explicit TuxDragImageList(TComponent* AOwner) : TDragImageList(AOwner) {}
};

// The class-library drag object passing over a TuxControl, or nil.
TDragObject* uxCurrentDragObject();
