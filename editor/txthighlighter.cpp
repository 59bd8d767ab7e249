#include "editor/txthighlighter.h"

#include "platform/rtl/strings.h"

// ---------------------------------------------------------------- attributes

TTxtHighlighterAttributes::TTxtHighlighterAttributes(const AnsiString& Name) : FStyleName(Name) {
  SetBackground(clTxtNone);
  SetForeground(clTxtNone);
}

void TTxtHighlighterAttributes::SetBackground(Integer Value) {
  if (FBackground == Value) return;
  FBackground = Value;
  Changed();
}

void TTxtHighlighterAttributes::SetForeground(Integer Value) {
  if (FForeground == Value) return;
  FForeground = Value;
  Changed();
}

void TTxtHighlighterAttributes::SetStyle(TTxtFontStyles Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Changed();
}

void TTxtHighlighterAttributes::Changed() {
  if (OnStyleChange) OnStyleChange(this);
}

void TTxtHighlighterAttributes::AssignColorAndStyle(TTxtHighlighterAttributes* Source) {
  bool changed = false;
  if (FBackground != Source->FBackground) {
    FBackground = Source->FBackground;
    changed = true;
  }
  if (FForeground != Source->FForeground) {
    FForeground = Source->FForeground;
    changed = true;
  }
  if (FStyle != Source->FStyle) {
    FStyle = Source->FStyle;
    changed = true;
  }
  if (changed) Changed();
}

void TTxtHighlighterAttributes::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TTxtHighlighterAttributes*>(Source)) {
    FStyleName = src->FStyleName;
    AssignColorAndStyle(src);
    return;
  }
  TPersistent::Assign(Source);
}

void TTxtHighlighterAttributes::RecordDefaults() {
  FSavedBackground = FBackground;
  FSavedForeground = FForeground;
  FSavedStyle = FStyle;
}

bool TTxtHighlighterAttributes::LoadFromRegistry(TRegistry& Reg) {
  AnsiString path = Reg.CurrentPath();
  if (!Reg.OpenKeyReadOnly(FStyleName)) return false;
  if (Reg.ValueExists("Background")) SetBackground(Reg.ReadInteger("Background"));
  if (Reg.ValueExists("Foreground")) SetForeground(Reg.ReadInteger("Foreground"));
  if (Reg.ValueExists("Style")) SetStyle(TTxtFontStyles(Reg.ReadInteger("Style") & 0x0F));
  Reg.OpenKeyReadOnly("\\" + path);
  return true;
}

bool TTxtHighlighterAttributes::SaveToRegistry(TRegistry& Reg) {
  AnsiString path = Reg.CurrentPath();
  if (!Reg.OpenKey(FStyleName, true)) return false;
  Reg.WriteInteger("Background", FBackground);
  Reg.WriteInteger("Foreground", FForeground);
  Reg.WriteInteger("Style", FStyle & 0x0F);
  Reg.OpenKey("\\" + path, false);
  return true;
}

namespace {
const Integer kStandardColors[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

Integer ColorAt(int Index) { return Index >= 0 && Index < 16 ? kStandardColors[Index] : 0; }

// Platform colour names ("clRed", "$00FF00" or a number) as integers.
bool NameToColor(const AnsiString& Name, Integer& Color) {
  static const struct {
    const char* name;
    Integer value;
  } names[] = {
      {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
      {"clNavy", 0x800000},  {"clPurple", 0x800080}, {"clTeal", 0x808000},  {"clGray", 0x808080},
      {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF},   {"clLime", 0x00FF00},  {"clYellow", 0x00FFFF},
      {"clBlue", 0xFF0000},  {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
      {"clWindow", clTxtWindow}, {"clWindowText", clTxtWindowText}, {"clNone", clTxtNone},
  };
  for (const auto& n : names)
    if (SameText(Name, n.name)) {
      Color = n.value;
      return true;
    }
  AnsiString s = Name;
  if (!s.empty() && s[0] == '$') s = "0x" + s.substr(1);
  try {
    std::size_t used = 0;
    long long v = std::stoll(s, &used, 0);
    if (used != s.size()) return false;
    Color = Integer(v);
    return true;
  } catch (...) {
    return false;
  }
}

bool TextIsTrue(const AnsiString& S) { return !(SameText(S, "FALSE") || S == "0"); }
}  // namespace

bool TTxtHighlighterAttributes::LoadFromIdeRegistry(HKEY RootKey, const AnsiString& AttrKey,
                                                    const AnsiString& AttrName, bool OldStyle) {
  bool result = false;
  try {
    TRegistry reg;
    reg.SetRootKey(RootKey);
    if (OldStyle) {
      if (!reg.OpenKeyReadOnly(AttrKey) || !reg.ValueExists(AttrName)) return false;
      AnsiString text = reg.ReadString(AttrName);
      AnsiString f[7];
      for (int i = 0; i < 7; ++i) {
        std::size_t comma = text.find(',');
        f[i] = text.substr(0, comma);
        text = comma == AnsiString::npos ? AnsiString() : text.substr(comma + 1);
      }
      SetBackground(f[4] == "1" ? clTxtWindow : ColorAt(StrToIntDef(f[6], 0)));
      SetForeground(f[3] == "1" ? clTxtWindowText : ColorAt(StrToIntDef(f[5], 0)));
      TTxtFontStyles st = 0;
      if (f[2].find('B') != AnsiString::npos) st |= txtBold;
      if (f[2].find('I') != AnsiString::npos) st |= txtItalic;
      if (f[2].find('U') != AnsiString::npos) st |= txtUnderline;
      SetStyle(st);
      return true;
    }
    if (!reg.OpenKeyReadOnly(AttrKey + "\\" + AttrName)) return false;
    auto readColor = [&](const char* index, const char* name, Integer& c) {
      if (reg.ValueExists(index)) {
        c = ColorAt(reg.ReadInteger(index));
        return true;
      }
      if (reg.ValueExists(name)) return NameToColor(reg.ReadString(name), c);
      return false;
    };
    Integer fore = 0, back = 0;
    if (!readColor("Foreground Color", "Foreground Color New", fore)) return false;
    if (!readColor("Background Color", "Background Color New", back)) return false;
    for (const char* v : {"Bold", "Italic", "Underline", "Default Foreground", "Default Background"})
      if (!reg.ValueExists(v)) return false;
    SetBackground(TextIsTrue(reg.ReadString("Default Background")) ? clTxtWindow : back);
    SetForeground(TextIsTrue(reg.ReadString("Default Foreground")) ? clTxtWindowText : fore);
    TTxtFontStyles st = 0;
    if (TextIsTrue(reg.ReadString("Bold"))) st |= txtBold;
    if (TextIsTrue(reg.ReadString("Italic"))) st |= txtItalic;
    if (TextIsTrue(reg.ReadString("Underline"))) st |= txtUnderline;
    SetStyle(st);
    result = true;
  } catch (...) {
  }
  return result;
}

// ---------------------------------------------------------------- highlighter

TTxtCustomHighlighter::TTxtCustomHighlighter(TComponent* AOwner) : TComponent(AOwner) {
  FStyleList.SetSorted(true);
  FStyleList.Duplicates = dupError;
  for (int c : {33, 34, 39, 40, 41, 42, 43, 44, 45, 46, 47, 58, 59, 61, 63, 91, 92, 93, 94, 123, 124, 125})
    WordSeparators.set(c);
  FAttributeChange.Sender = this;
}

TTxtCustomHighlighter::~TTxtCustomHighlighter() {
  DestroyComponents();
  ClearAttributes();
}

void TTxtCustomHighlighter::AddAttribute(TTxtHighlighterAttributes* Attri) {
  try {
    FStyleList.AddObject(Attri->StyleName(), Attri);
  } catch (...) {
    delete Attri;
    throw;
  }
}

void TTxtCustomHighlighter::ClearAttributes() {
  for (int i = 0; i < FStyleList.Count(); ++i) delete FStyleList.Objects(i);
  FStyleList.Clear();
}

int TTxtCustomHighlighter::AttributeCount() const { return FStyleList.Count(); }

TTxtHighlighterAttributes* TTxtCustomHighlighter::AttributeAt(int Index) const {
  if (Index < 0 || Index >= FStyleList.Count()) return nullptr;
  return static_cast<TTxtHighlighterAttributes*>(FStyleList.Objects(Index));
}

TTxtCharSet TTxtCustomHighlighter::IdentifierChars() const {
  TTxtCharSet s;
  for (int i = 33; i < 256; ++i) s.set(i);
  return s;
}

void TTxtCustomHighlighter::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TTxtCustomHighlighter*>(Source);
  if (!src) {
    TComponent::Assign(Source);
    return;
  }
  for (int i = 0; i < AttributeCount(); ++i) {
    TTxtHighlighterAttributes* own = AttributeAt(i);
    for (int j = 0; j < src->AttributeCount(); ++j)
      if (src->AttributeAt(j)->StyleName() == own->StyleName()) {
        own->Assign(src->AttributeAt(j));
        break;
      }
  }
  if (src->InheritsFrom(ClassType())) SetSampleText(src->GetSampleText());
  WordSeparators = src->WordSeparators;
  SetDefaultFilter(src->GetDefaultFilter());
  SetEnabled(src->Enabled());
}

void TTxtCustomHighlighter::Loaded() {
  TComponent::Loaded();
  NotifyAttributeChange(nullptr);
}

void TTxtCustomHighlighter::NotifyAttributeChange(TObject* Sender) {
  if (ComponentState().Contains(csLoading)) return;
  FAttributeChange.Sender = Sender;
  FAttributeChange.Fire();
}

void TTxtCustomHighlighter::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  NotifyAttributeChange(nullptr);
}

void TTxtCustomHighlighter::ScanToLineEnd() {
  while (!AtLineEnd()) NextToken();
}

bool TTxtCustomHighlighter::LoadFromRegistry(HKEY RootKey, const AnsiString& Key) {
  TRegistry reg;
  reg.SetRootKey(RootKey);
  if (!reg.OpenKeyReadOnly(Key)) return false;
  bool ok = true;
  for (int i = 0; i < AttributeCount(); ++i) ok = AttributeAt(i)->LoadFromRegistry(reg) && ok;
  return ok;
}

bool TTxtCustomHighlighter::SaveToRegistry(HKEY RootKey, const AnsiString& Key) {
  TRegistry reg;
  reg.SetRootKey(RootKey);
  if (!reg.OpenKey(Key, true)) return false;
  bool ok = true;
  for (int i = 0; i < AttributeCount(); ++i) ok = AttributeAt(i)->SaveToRegistry(reg) && ok;
  return ok;
}

// ---------------------------------------------------------------- class list

int TTxtHighlighterList::IndexOf(TClass C) const {
  for (std::size_t i = 0; i < FList.size(); ++i)
    if (FList[i] == C) return int(i);
  return -1;
}

TTxtHighlighterList& HighlighterClasses() {
  static TTxtHighlighterList list;
  return list;
}

void RegisterHighlighterClass(TClass C) { HighlighterClasses().Add(C); }
