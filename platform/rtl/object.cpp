#include "platform/rtl/object.h"

#include "platform/rtl/exceptions.h"

void TPersistent::Assign(TPersistent* Source) {
  if (Source) Source->AssignTo(this);
  else throw EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* Dest) {
  AnsiString src = ClassName();
  AnsiString dst = Dest ? Dest->ClassName() : AnsiString("nil");
  throw EConvertError("Cannot assign a " + src + " to a " + dst);
}

AnsiString TPersistent::GetNamePath() const {
  TPersistent* owner = GetOwner();
  AnsiString s = ClassName();
  if (owner) {
    AnsiString op = owner->GetNamePath();
    if (!op.empty()) s = op + "." + s;
  }
  return s;
}
