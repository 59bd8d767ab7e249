#include "platform/classes/init.h"

#include "platform/classes/classes.h"
#include "platform/classes/filer.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/stringlist.h"

void ClearClassRegistry();  // classes.cpp

namespace {
bool gInitialised = false;

// String lists are stored as "Strings = ( 'a' 'b' )" below their property.
void DefineStrings(TPersistent* Obj, TFiler* Filer) {
  auto* list = static_cast<TStrings*>(Obj);
  Filer->DefineProperty(
      "Strings",
      [list](TReader* r) {
        r->ReadListBegin();
        list->BeginUpdate();
        try {
          list->Clear();
          while (!r->EndOfList()) list->Add(r->ReadString());
        } catch (...) {
          list->EndUpdate();
          throw;
        }
        list->EndUpdate();
        r->ReadListEnd();
      },
      [list](TWriter* w) {
        w->WriteListBegin();
        for (int i = 0; i < list->Count(); ++i) w->WriteString(list->Strings(i));
        w->WriteListEnd();
      },
      list->Count() > 0);
}
}  // namespace

void InitClasses() {
  if (gInitialised) return;
  gInitialised = true;
  RegisterProps<TComponent>([](TPropBuilder<TComponent>& p) {
    p.Prop("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
    p.Prop("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
  });
  RegisterDefinePropertiesHook(TStrings::StaticClass(), &DefineStrings);
  RegisterClasses({TStringList::StaticClass()});
}

void FinalizeClasses() {
  if (!gInitialised) return;
  gInitialised = false;
  ClearDefinePropertiesHooks();
  ClearTypeInfo();
  ClearClassRegistry();
}
