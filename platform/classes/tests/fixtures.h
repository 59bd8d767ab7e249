// Small component classes shared by the object-model tests: a form-like root
// with handlers and fields, a container with children, a control with the
// property kinds descriptions use, and a data-module-like root.
#pragma once
#include <memory>
#include <string>
#include <vector>
#include "platform/classes/classes.h"
#include "platform/classes/filer.h"
#include "platform/classes/init.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/streams.h"

enum TTestAlign { taNone, taTop, taBottom, taClient };
PV_ENUM_NAMES(TTestAlign, "taNone taTop taBottom taClient")
enum TTestStyle { tsBold, tsItalic, tsUnderline };
PV_ENUM_NAMES(TTestStyle, "tsBold tsItalic tsUnderline")
using TTestStyles = TSet<TTestStyle>;

// A nested persistent object ("Font.Name").
class TTestFont : public TPersistent {
  PV_CLASS(TTestFont, TPersistent)
 public:
  AnsiString Name = "Default";
  int Size = 9;
  TTestStyles Style;
  void Assign(TPersistent* Source) override {
    if (auto* f = dynamic_cast<TTestFont*>(Source)) {
      Name = f->Name;
      Size = f->Size;
      Style = f->Style;
    } else {
      TPersistent::Assign(Source);
    }
  }
};

class TTestColumn : public TCollectionItem {
  PV_CLASS(TTestColumn, TCollectionItem)
 public:
  explicit TTestColumn(TCollection* c) : TCollectionItem(c) {}
  AnsiString Title;
  int Width = 64;
  TComponent* Source = nullptr;
  void Assign(TPersistent* Source) override {
    if (auto* c = dynamic_cast<TTestColumn*>(Source)) {
      Title = c->Title;
      Width = c->Width;
    } else {
      TCollectionItem::Assign(Source);
    }
  }
};

// Records what happens to components, for order checks.
inline std::vector<std::string>& EventLog() {
  static std::vector<std::string> log;
  return log;
}

class TTestComponent : public TComponent {
  PV_CLASS(TTestComponent, TComponent)
 public:
  explicit TTestComponent(TComponent* AOwner) : TComponent(AOwner) {}
  ~TTestComponent() override { EventLog().push_back("destroy " + Name()); }
  void Loaded() override {
    TComponent::Loaded();
    EventLog().push_back("loaded " + Name());
  }
  // Keeps a reference to another component and clears it when that goes.
  TComponent* Link() const { return FLink; }
  void SetLink(TComponent* Value) {
    if (FLink == Value) return;
    if (FLink) FLink->RemoveFreeNotification(this);
    FLink = Value;
    if (FLink) FLink->FreeNotification(this);
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) {
      EventLog().push_back("remove " + AComponent->Name() + " -> " + Name());
      if (AComponent == FLink) FLink = nullptr;
    }
  }

 private:
  TComponent* FLink = nullptr;
};

// A control: has a parent, properties of every kind, and defined properties.
class TTestControl : public TTestComponent {
  PV_CLASS(TTestControl, TTestComponent)
 public:
  explicit TTestControl(TComponent* AOwner) : TTestComponent(AOwner), Columns(this, TTestColumn::StaticClass()) {}
  ~TTestControl() override {
    for (TComponent* c : FChildren) static_cast<TTestControl*>(c)->FParent = nullptr;
    SetParentComponent(nullptr);
  }

  TComponent* GetParentComponent() const override { return FParent; }
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* Value) override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override {
    for (TComponent* c : FChildren)
      if (c->Owner() == Root) Proc(c);
  }

  AnsiString Caption;
  WideString Hint;
  int Left = 0;
  Int64 Big = 0;
  double Ratio = 1.0;
  bool Visible = true;
  char Accel = 0;
  TTestAlign Align = taNone;
  TTestStyles Options;
  TTestFont Font;
  TStringList Items;
  TOwnedCollection Columns;
  TNotifyEvent OnClick;
  TKeyPressEvent OnKeyPress;
  Variant Value;
  Currency Price;
  AnsiString Data;  // streamed as binary "Data"
  std::vector<int> Points;  // streamed as a list "Points"
  TTestFont* GetFont() { return &Font; }
  TStrings* GetItems() { return &Items; }
  TCollection* GetColumns() { return &Columns; }

 protected:
  void DefineProperties(TFiler* Filer) override {
    TTestComponent::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Data",
        [this](TStream* s) {
          Data.resize(static_cast<std::size_t>(s->Size()));
          if (!Data.empty()) s->ReadBuffer(Data.data(), static_cast<LongInt>(Data.size()));
        },
        [this](TStream* s) { s->WriteBuffer(Data.data(), static_cast<LongInt>(Data.size())); }, !Data.empty());
    Filer->DefineProperty(
        "Points",
        [this](TReader* r) {
          Points.clear();
          r->ReadListBegin();
          while (!r->EndOfList()) Points.push_back(r->ReadInteger());
          r->ReadListEnd();
        },
        [this](TWriter* w) {
          w->WriteListBegin();
          for (int p : Points) w->WriteInteger(p);
          w->WriteListEnd();
        },
        !Points.empty());
  }

 private:
  TComponent* FParent = nullptr;
  std::vector<TComponent*> FChildren;
};

inline void TTestControl::SetParentComponent(TComponent* Value) {
  if (FParent == Value) return;
  if (auto* old = dynamic_cast<TTestControl*>(FParent)) std::erase(old->FChildren, this);
  FParent = Value;
  if (auto* p = dynamic_cast<TTestControl*>(FParent)) p->FChildren.push_back(this);
}

class TTestDataSet : public TTestComponent {
  PV_CLASS(TTestDataSet, TTestComponent)
 public:
  explicit TTestDataSet(TComponent* AOwner) : TTestComponent(AOwner) {}
  AnsiString TableName;
};

// A root that lists its components without a parent as children, and
// controls whose parent is the root.
class TTestRoot : public TTestComponent {
  PV_CLASS(TTestRoot, TTestComponent)
 public:
  explicit TTestRoot(TComponent* AOwner) : TTestComponent(AOwner) {}
  void GetChildren(TGetChildProc Proc, TComponent* Root) override {
    for (int i = 0; i < ComponentCount(); ++i) {
      TComponent* c = Components(i);
      if (!c->HasParent() || c->GetParentComponent() == this) Proc(c);
    }
  }
};

class TTestForm : public TTestRoot {
  PV_CLASS(TTestForm, TTestRoot)
 public:
  explicit TTestForm(TComponent* AOwner) : TTestRoot(AOwner) { AddGlobalRoot(this); }
  ~TTestForm() override { DestroyComponents(); }  // fields below are cleared as components go
  TTestControl* Button1 = nullptr;
  TTestControl* Panel1 = nullptr;
  int Clicks = 0;
  AnsiString LastKey;
  void Button1Click(TObject* Sender) { ++Clicks; }
  void OtherClick(TObject* Sender) { Clicks += 100; }
  void EditKeyPress(TObject* Sender, char& Key) { LastKey += Key; }
};

class TTestModule : public TTestRoot {
  PV_CLASS(TTestModule, TTestRoot)
 public:
  explicit TTestModule(TComponent* AOwner) : TTestRoot(AOwner) { AddGlobalRoot(this); }
};

// Registers the test classes once.
inline void RegisterTestClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  InitClasses();
  RegisterProps<TTestFont>([](TPropBuilder<TTestFont>& p) {
    p.Field("Name", &TTestFont::Name).Default("Default");
    p.Field("Size", &TTestFont::Size).Default(9);
    p.Field("Style", &TTestFont::Style).Default(TTestStyles{});
  });
  RegisterProps<TTestColumn>([](TPropBuilder<TTestColumn>& p) {
    p.Field("Title", &TTestColumn::Title);
    p.Field("Width", &TTestColumn::Width).Default(64);
    p.Field("Source", &TTestColumn::Source);
  });
  RegisterProps<TTestComponent>([](TPropBuilder<TTestComponent>& p) {
    p.Prop("Link", &TTestComponent::Link, &TTestComponent::SetLink);
  });
  RegisterProps<TTestControl>([](TPropBuilder<TTestControl>& p) {
    p.Field("Caption", &TTestControl::Caption);
    p.Field("Hint", &TTestControl::Hint);
    p.Field("Left", &TTestControl::Left).Default(0);
    p.Field("Big", &TTestControl::Big).Default(0);
    p.Field("Ratio", &TTestControl::Ratio).Default(1.0);
    p.Field("Visible", &TTestControl::Visible).Default(true);
    p.Field("Accel", &TTestControl::Accel).Default(0);
    p.Field("Align", &TTestControl::Align).Default(taNone);
    p.Field("Options", &TTestControl::Options).Default(TTestStyles{});
    p.Prop("Font", &TTestControl::GetFont);
    p.Prop("Items", &TTestControl::GetItems);
    p.Prop("Columns", &TTestControl::GetColumns);
    p.Field("Value", &TTestControl::Value);
    p.Field("Price", &TTestControl::Price);
    p.Field("OnClick", &TTestControl::OnClick);
    p.Field("OnKeyPress", &TTestControl::OnKeyPress);
  });
  RegisterProps<TTestDataSet>([](TPropBuilder<TTestDataSet>& p) { p.Field("TableName", &TTestDataSet::TableName); });
  RegisterHandlers<TTestForm>([](THandlerBuilder<TTestForm>& h) {
    h.Handler("Button1Click", &TTestForm::Button1Click);
    h.Handler("OtherClick", &TTestForm::OtherClick);
    h.Handler("EditKeyPress", &TTestForm::EditKeyPress);
    h.Field("Button1", &TTestForm::Button1);
    h.Field("Panel1", &TTestForm::Panel1);
  });
  RegisterClasses({TTestControl::StaticClass(), TTestDataSet::StaticClass(), TTestForm::StaticClass(),
                   TTestModule::StaticClass(), TTestColumn::StaticClass()});
}
