// Window descriptions: the text form of a component tree, its reader and writer.
//
//   object Form1: TForm1
//     Caption = 'Title'#13#10'second line' + ' continued'
//     Font.Name = 'Tahoma'
//     Anchors = [akLeft, akTop]
//     Items.Strings = (
//       'one'
//       'two')
//     Columns = <
//       item
//         Width = 40
//       end>
//     Data = {0A0B0C}
//     DataSource = LibDataModule.libDS
//     OnClick = Form1Click
//     object Button1: TButton
//     end
//   end
//
// Blocks may start with "object", "inherited" (the component exists already,
// made by an ancestor's description) or "inline". Values: integers (decimal or
// $hex), floats, strings ('' for a quote, #nnn for a character code, pieces
// joined by + or directly), identifiers (True/False, nil, enumeration values,
// component references "Comp" or "Root.Comp", handler names), sets [a, b],
// lists ( ... ), collections < item ... end ... > and binary data { hex }.
//
// Reading checks everything before it changes anything it cannot undo: the
// text is parsed completely first; components created by a read that fails are
// destroyed again. Errors are EReadError "<what> on line <n>".
#pragma once
#include <functional>
#include <memory>
#include <vector>
#include "platform/classes/classes.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

class TStream;

enum TValueType {
  vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue,
  vaBinary, vaSet, vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString,
  vaInt64, vaUTF8String
};

// ---- the parsed form of a description ----
struct TDescProp;
struct TDescItem {
  std::vector<TDescProp> Props;
  int Line = 0;
};
struct TDescValue {
  TValueType Type = vaNull;  // vaInt32 for every integer, vaExtended for every float
  Int64 Int = 0;
  double Float = 0;
  AnsiString Str;                 // string (bytes), identifier, binary bytes
  WideString WStr;                // string as UTF-16 (vaString and vaWString)
  std::vector<AnsiString> Names;  // set
  std::vector<TDescValue> Items;   // list
  std::vector<TDescItem> CollItems;
  int Line = 0;
};
struct TDescProp {
  AnsiString Name;  // may be dotted: "Font.Name"
  TDescValue Value;
  int Line = 0;
};
struct TDescObject {
  enum TKind { kObject, kInherited, kInline } Kind = kObject;
  AnsiString Name;
  AnsiString ClassName;
  int Index = -1;  // "[n]" after the class name: creation order
  int Line = 0;
  std::vector<TDescProp> Props;
  std::vector<std::unique_ptr<TDescObject>> Children;
};

// Parses a whole description; raises EReadError "<what> on line <n>".
std::unique_ptr<TDescObject> ParseDescription(const AnsiString& Text);
// The text form of a parsed description (two spaces per level).
AnsiString FormatDescription(const TDescObject& Root);

// ---- filers ----

class TFiler : public TObject {
  PV_CLASS(TFiler, TObject)
 public:
  using TReaderProc = std::function<void(TReader*)>;
  using TWriterProc = std::function<void(TWriter*)>;
  using TStreamProc = std::function<void(TStream*)>;

  // A value that is not a published property. HasData tells the writer whether
  // there is anything to store; the reader calls ReadData when the name occurs.
  virtual void DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) = 0;
  virtual void DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                                    bool HasData) = 0;
  TComponent* Root() const { return FRoot; }
  TComponent* LookupRoot() const { return FLookupRoot; }
  // The ancestor object being compared against while writing (none here).
  TPersistent* Ancestor() const { return nullptr; }

 protected:
  TComponent* FRoot = nullptr;
  TComponent* FLookupRoot = nullptr;
};

// Defined properties for classes that cannot see the filer themselves (string
// lists in the runtime library): Hook is called after Obj->DefineProperties.
using TDefinePropertiesHook = std::function<void(TPersistent* Obj, TFiler* Filer)>;
void RegisterDefinePropertiesHook(TClass Cls, TDefinePropertiesHook Hook);
void ClearDefinePropertiesHooks();

class TReader : public TFiler {
  PV_CLASS(TReader, TFiler)
 public:
  explicit TReader(const AnsiString& Text);
  // Reads the rest of Stream as the text.
  explicit TReader(TStream* Stream);
  ~TReader() override;

  // Reads the description into Root, or creates the root from its class name
  // when Root is nullptr. Returns the root.
  TComponent* ReadRootComponent(TComponent* Root);
  // Reads the current block's properties and children into Instance (called by
  // TComponent::ReadState).
  void ReadData(TComponent* Instance);

  TComponent* Owner() const { return FOwner; }
  TComponent* Parent() const { return FParent; }

  void DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;

  // ---- values of a defined property, in order ----
  TValueType NextValue() const;
  bool EndOfList() const;
  void ReadListBegin();
  void ReadListEnd();
  Integer ReadInteger();
  Int64 ReadInt64();
  bool ReadBoolean();
  double ReadFloat();
  AnsiString ReadString();
  WideString ReadWideString();
  AnsiString ReadIdent();
  // A set as its element names.
  std::vector<AnsiString> ReadSet();
  void ReadCollection(TCollection* Collection);
  // Binary data as bytes.
  AnsiString ReadBinary();
  // Skips one value of any kind.
  void SkipValue();
  // Raises EReadError "<Message> on line <n>" for the value being read.
  [[noreturn]] void Error(const AnsiString& Message) const;

 private:
  struct Cursor {
    const std::vector<TDescValue>* Values;
    std::size_t Pos;
  };
  struct Fixup {
    TObject* Instance;
    const TPropInfo* Prop;
    AnsiString Ref;
    AnsiString Where;
    int Line;
  };
  const TDescValue& Next(const char* expected);
  const TDescValue& Peek() const;
  TComponent* ReadComponent(const TDescObject& Node);
  void ReadProperties(TObject* Instance, const std::vector<TDescProp>& Props, const AnsiString& Where);
  void ReadProperty(TObject* Instance, const TDescProp& Prop, const AnsiString& Where);
  void ReadPropValue(TObject* Instance, const TPropInfo* Info, const TDescValue& V, const AnsiString& Where);
  void ReadCollectionValue(TCollection* Collection, const TDescValue& V, const AnsiString& Where);
  void ResolveFixups();
  TComponent* FindReference(const AnsiString& Ref) const;
  void Cleanup();

  AnsiString FText;
  std::unique_ptr<TDescObject> FTree;
  const TDescObject* FNode = nullptr;  // the block whose data ReadData reads
  TComponent* FOwner = nullptr;
  TComponent* FParent = nullptr;
  std::vector<Cursor> FCursors;
  int FLine = 0;
  // Defined-property matching for the property being read.
  AnsiString FPropName;
  const TDescValue* FPropValue = nullptr;
  bool FPropHandled = false;
  std::vector<Fixup> FFixups;
  std::vector<TComponent*> FLoaded;
  std::vector<TComponent*> FCreated;
};

class TWriter : public TFiler {
  PV_CLASS(TWriter, TFiler)
 public:
  TWriter();
  ~TWriter() override;

  // Writes Root and its children (GetChildren) and returns the text.
  AnsiString WriteRootComponent(TComponent* Root);
  // Writes Component as a child block of the block being written.
  void WriteComponent(TComponent* Component);
  // Writes Instance's properties and children into the current block (called by
  // TComponent::WriteState).
  void WriteData(TComponent* Instance);

  void DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;

  // ---- values of a defined property ----
  void WriteListBegin();
  void WriteListEnd();
  void WriteInteger(Int64 Value);
  void WriteBoolean(bool Value);
  void WriteFloat(double Value);
  void WriteString(const AnsiString& Value);
  void WriteWideString(const WideString& Value);
  void WriteIdent(const AnsiString& Ident);
  void WriteSet(const std::vector<AnsiString>& Names);
  void WriteCollection(TCollection* Collection);
  void WriteBinary(const void* Data, std::size_t Size);

 private:
  void WriteProperties(TObject* Instance, const AnsiString& Prefix, std::vector<TDescProp>& Out);
  void WriteProperty(TObject* Instance, const TPropInfo* Info, const AnsiString& Prefix,
                     std::vector<TDescProp>& Out);
  void WriteDefined(TPersistent* Instance, const AnsiString& Prefix, std::vector<TDescProp>& Out);
  void Append(TDescValue V);
  AnsiString ReferenceName(TComponent* C) const;

  TDescObject* FNode = nullptr;
  std::vector<std::vector<TDescValue>*> FTargets;
  std::vector<std::size_t> FListTargets;  // depth of FTargets at each open list
  // Where defined properties of the object being written go.
  std::vector<TDescProp>* FDefinedOut = nullptr;
  AnsiString FDefinedPrefix;
};

// ---- convenience ----
// Reads a description into Root (or creates the root when Root is nullptr).
TComponent* ReadComponentFromText(const AnsiString& Text, TComponent* Root);
AnsiString WriteComponentToText(TComponent* Root);
// The same through a stream holding the text.
TComponent* ReadComponentFromStream(TStream* Stream, TComponent* Root);
void WriteComponentToStream(TStream* Stream, TComponent* Root);

// Reads the description stored as resource ResName (type RCDATA) into Instance.
// False when there is no such resource.
bool ReadComponentRes(const AnsiString& ResName, TComponent* Instance);
// Reads, ancestors first, the descriptions named after each class from the
// class after RootAncestor down to Instance's own class. False when none exists.
// A root class calls it from AfterConstruction (see NewObject), not from its
// constructor, where the object does not know its final class yet.
bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor);
