#include "framework/uxdragdrop.h"

#include "platform/controls/forms.h"


TuxDragAndDropObject::TuxDragAndDropObject(TuxControl* AControl) : FControl(AControl) {}

void TuxDragAndDropObject::SetDirty(bool Value) {
  if (FDirty == Value) return;
  FDirty = Value;
  DirtyChanged();
}

void TuxDragAndDropObject::DragAndDrop(const TPoint&, bool& Accepted) {
  SetDirty(false);
  if (Screen) Screen->SetCursor(GetDragAndDropCursor(Accepted));
}

TuxDragAndDropObject* uxCreateDragAndDropObject(TClass Class, TuxControl* Control) {
  if (!Class || Class == TuxDragAndDropObject::StaticClass()) return new TuxDragAndDropObject(Control);
  if (!Class->InheritsFrom(TuxDragAndDropObject::StaticClass()) || !Class->Create)
    throw EInvalidOperation(AnsiString("Cannot create a drag-and-drop object of class ") + Class->Name);
  TObject* o = Class->Create(Control);
  auto* d = dynamic_cast<TuxDragAndDropObject*>(o);
  if (!d) {
    delete o;
    throw EInvalidOperation(AnsiString("Cannot create a drag-and-drop object of class ") + Class->Name);
  }
  return d;
}

TCursor TuxDragControlObject::GetDragCursor(bool Accepted, int X, int Y) {
  if (Accepted && GetKeyState(VK_CONTROL) < 0) return UX_DRAGCOPYCURSOR;
  return TDragControlObject::GetDragCursor(Accepted, X, Y);
}

void TuxDragControlObject::Finished(TObject* Target, int X, int Y, bool Accepted) {
  TDragControlObject::Finished(Target, X, Y, Accepted);
  delete this;
}
