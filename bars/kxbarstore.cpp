// Keeping the user's arrangement of bars in the registry or in an ini file.
//
// Both stores hold the same tree of places: the manager's values, one place
// per bar with its link list, one per named sub item, and one per link below
// its list. Writing walks the manager; reading first takes the whole stored
// layout into memory and checks every count and index against what the store
// holds, so that a damaged layout is refused before anything changes.
#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <optional>

#include "bars/kxbar.h"
#include "bars/kxbaritems.h"
#include "platform/classes/classes.h"
#include "platform/controls/forms.h"
#include "platform/controls/graphics.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

bool kxBarReadingTempForm = false;

namespace kxbarstore {

// Window coordinates are kept in 16 bits; a stored position or size outside
// that range is damage, not a place on any screen.
constexpr int kMinCoord = -32768, kMaxCoord = 32767;

// ---------------------------------------------------------------------------
// the two stores

// Places are named with "/" between levels ("" is the manager, "Bar0",
// "Bar0/ItemLink3", "SubItem_Edit1/ItemLink0"); each store maps them to its
// own key or section names.
class TLayoutStore {
 public:
  virtual ~TLayoutStore() = default;
  // Reading: makes Place the current one; false when it is not stored.
  virtual bool Open(const AnsiString& Place) = 0;
  // Writing: makes Place the current one, creating it.
  virtual void Create(const AnsiString& Place) = 0;
  // A value of the current place; false when it is missing or of another type.
  virtual bool ReadInt(const AnsiString& Name, int& Value) = 0;
  virtual bool ReadStr(const AnsiString& Name, AnsiString& Value) = 0;
  virtual bool ReadByte(const AnsiString& Name, int& Value) = 0;
  // Raises when the bytes are no bitmap.
  virtual bool ReadGlyph(const AnsiString& Name, TBitmap* Glyph) = 0;
  virtual void WriteInt(const AnsiString& Name, int Value) = 0;
  virtual void WriteStr(const AnsiString& Name, const AnsiString& Value) = 0;
  virtual void WriteByte(const AnsiString& Name, int Value) = 0;
  virtual void WriteGlyph(const AnsiString& Name, TBitmap* Glyph) = 0;
  // The numbers N of the stored places Parent/PrefixN, in ascending order.
  virtual std::vector<int> Numbers(const AnsiString& Parent, const AnsiString& Prefix) = 0;
  // A bar place of the registry ends at its first unreadable value; the ini
  // file gives the current value for a missing one.
  virtual bool StopsAtMissing() const = 0;
  bool ReadBool(const AnsiString& Name, bool& Value) {
    int v = 0;
    if (!ReadInt(Name, v)) return false;
    Value = v != 0;
    return true;
  }
  void WriteBool(const AnsiString& Name, bool Value) { WriteInt(Name, Value ? 1 : 0); }
};

// "N" of Name = Prefix + N, -1 when the rest is not a plain number.
int NumberAfter(const AnsiString& Name, const AnsiString& Prefix) {
  if (Name.size() <= Prefix.size() || !SameText(Name.substr(0, Prefix.size()), Prefix)) return -1;
  AnsiString rest = Name.substr(Prefix.size());
  if (rest.size() > 9 || (rest.size() > 1 && rest[0] == '0')) return -1;
  for (char c : rest)
    if (c < '0' || c > '9') return -1;
  return std::stoi(rest);
}

std::vector<int> SortedNumbers(TStrings* Names, const AnsiString& Prefix) {
  std::vector<int> r;
  for (int i = 0; i < Names->Count(); ++i) {
    int n = NumberAfter(Names->Strings(i), Prefix);
    if (n >= 0) r.push_back(n);
  }
  std::sort(r.begin(), r.end());
  r.erase(std::unique(r.begin(), r.end()), r.end());
  return r;
}

AnsiString Replaced(AnsiString S, char From, char To) {
  std::replace(S.begin(), S.end(), From, To);
  return S;
}

class TRegistryStore : public TLayoutStore {
 public:
  explicit TRegistryStore(const AnsiString& Path) : FRoot(Path) {
    if (FRoot.empty() || FRoot[0] != '\\') FRoot = "\\" + FRoot;
    while (FRoot.size() > 1 && FRoot.back() == '\\') FRoot.pop_back();
  }
  const AnsiString& Root() const { return FRoot; }
  AnsiString KeyOf(const AnsiString& Place) const {
    return Place.empty() ? FRoot : FRoot + "\\" + Replaced(Place, '/', '\\');
  }
  TRegistry& Reg() { return FReg; }

  bool Open(const AnsiString& Place) override {
    FReg.CloseKey();
    return FReg.OpenKeyReadOnly(KeyOf(Place));
  }
  void Create(const AnsiString& Place) override {
    FReg.CloseKey();
    if (!FReg.OpenKey(KeyOf(Place), true))
      throw EkxBarError("Cannot create the registry key " + KeyOf(Place));
  }
  bool ReadInt(const AnsiString& Name, int& Value) override {
    if (FReg.GetDataType(Name) != rdInteger) return false;
    Value = FReg.ReadInteger(Name);
    return true;
  }
  bool ReadStr(const AnsiString& Name, AnsiString& Value) override {
    if (FReg.GetDataType(Name) != rdString) return false;
    Value = FReg.ReadString(Name);
    return true;
  }
  bool ReadByte(const AnsiString& Name, int& Value) override {
    if (FReg.GetDataType(Name) != rdBinary || FReg.GetDataSize(Name) != 1) return false;
    Byte b = 0;
    FReg.ReadBinaryData(Name, &b, 1);
    Value = b;
    return true;
  }
  bool ReadGlyph(const AnsiString& Name, TBitmap* Glyph) override {
    if (FReg.GetDataType(Name) != rdBinary) return false;
    int size = FReg.GetDataSize(Name);
    std::vector<Byte> bytes(std::size_t(std::max(size, 0)));
    if (size > 0) FReg.ReadBinaryData(Name, bytes.data(), size);
    TMemoryStream s;
    if (size > 0) s.Write(bytes.data(), size);
    s.SetPosition(0);
    Glyph->LoadFromStream(&s);
    return true;
  }
  void WriteInt(const AnsiString& Name, int Value) override { FReg.WriteInteger(Name, Value); }
  void WriteStr(const AnsiString& Name, const AnsiString& Value) override { FReg.WriteString(Name, Value); }
  void WriteByte(const AnsiString& Name, int Value) override {
    Byte b = Byte(Value);
    FReg.WriteBinaryData(Name, &b, 1);
  }
  void WriteGlyph(const AnsiString& Name, TBitmap* Glyph) override {
    TMemoryStream s;
    Glyph->SaveToStream(&s);
    FReg.WriteBinaryData(Name, s.Memory(), int(s.Size()));
  }
  std::vector<int> Numbers(const AnsiString& Parent, const AnsiString& Prefix) override {
    TStringList names;
    if (Open(Parent)) FReg.GetKeyNames(&names);
    return SortedNumbers(&names, Prefix);
  }
  bool StopsAtMissing() const override { return true; }

 private:
  AnsiString FRoot;
  TRegistry FReg;
};

class TIniStore : public TLayoutStore {
 public:
  TIniStore(const AnsiString& FileName, const AnsiString& Prefix) : FIni(FileName), FPrefix(Prefix) {}
  TMemIniFile& Ini() { return FIni; }
  const AnsiString& Prefix() const { return FPrefix; }
  AnsiString SectionOf(const AnsiString& Place) const {
    return FPrefix + (Place.empty() ? AnsiString("Main") : Replaced(Place, '/', '.'));
  }

  bool Open(const AnsiString& Place) override {
    FSection = SectionOf(Place);
    return FIni.SectionExists(FSection);
  }
  void Create(const AnsiString& Place) override { FSection = SectionOf(Place); }
  bool ReadInt(const AnsiString& Name, int& Value) override {
    if (!FIni.ValueExists(FSection, Name)) return false;
    return TryStrToInt(Trim(FIni.ReadString(FSection, Name, "")), Value);
  }
  bool ReadStr(const AnsiString& Name, AnsiString& Value) override {
    if (!FIni.ValueExists(FSection, Name)) return false;
    Value = FIni.ReadString(FSection, Name, "");
    return true;
  }
  bool ReadByte(const AnsiString& Name, int& Value) override { return ReadInt(Name, Value); }
  bool ReadGlyph(const AnsiString& Name, TBitmap* Glyph) override {
    if (!FIni.ValueExists(FSection, Name)) return false;
    TMemoryStream s;
    FIni.ReadBinaryStream(FSection, Name, &s);
    s.SetPosition(0);
    Glyph->LoadFromStream(&s);
    return true;
  }
  void WriteInt(const AnsiString& Name, int Value) override { FIni.WriteInteger(FSection, Name, Value); }
  void WriteStr(const AnsiString& Name, const AnsiString& Value) override { FIni.WriteString(FSection, Name, Value); }
  void WriteByte(const AnsiString& Name, int Value) override { WriteInt(Name, Value); }
  void WriteGlyph(const AnsiString& Name, TBitmap* Glyph) override {
    TMemoryStream s;
    Glyph->SaveToStream(&s);
    s.SetPosition(0);
    FIni.WriteBinaryStream(FSection, Name, &s);
  }
  std::vector<int> Numbers(const AnsiString& Parent, const AnsiString& Prefix) override {
    TStringList sections;
    FIni.ReadSections(&sections);
    AnsiString head = FPrefix + (Parent.empty() ? AnsiString() : Replaced(Parent, '/', '.') + ".");
    return SortedNumbers(&sections, head + Prefix);
  }
  bool StopsAtMissing() const override { return false; }

 private:
  TMemIniFile FIni;
  AnsiString FPrefix, FSection;
};

// ---------------------------------------------------------------------------
// writing

bool LinkIsStored(TkxBarItemLink* Link) { return Link->Item() && !Link->Item()->Name().empty(); }

bool KeepsUsage(TkxBarManager* M, TkxBarItemLinks* Links) {
  return M->IsRecentItemsSupported() && Links->UseRecentItems();
}

void WriteLinks(TLayoutStore& S, TkxBarManager* M, const AnsiString& Place, TkxBarItemLinks* Links, bool BarLinks) {
  S.Create(Place);
  S.WriteInt("ItemLinkCount", Links->Count());
  bool usage = KeepsUsage(M, Links);
  for (int i = 0; i < Links->Count(); ++i) {
    TkxBarItemLink* l = Links->Items(i);
    if (!LinkIsStored(l)) continue;
    S.Create(Place + "/ItemLink" + IntToStr(i));
    S.WriteStr("ItemName", l->Item()->Name());
    S.WriteBool("BeginGroup", l->StoredBeginGroup());
    TkxBarUserDefines ud = l->UserDefine();
    S.WriteByte("UserDefine", int(ud.Mask() & 0x0F));
    if (ud.Contains(udCaption)) S.WriteStr("UserCaption", l->UserCaption());
    if (ud.Contains(udGlyph)) S.WriteGlyph("UserGlyph", l->UserGlyph());
    if (ud.Contains(udPaintStyle)) S.WriteInt("UserPaintStyle", int(l->UserPaintStyle()));
    if (ud.Contains(udWidth)) S.WriteInt("UserWidth", l->UserWidth());
    if (BarLinks) S.WriteBool("Visible", l->Visible());
    if (usage) {
      S.WriteInt("UseCount", l->UsageCount());
      S.WriteInt("RecentIndex", l->RecentListIndex());
    }
  }
}

void WriteLayout(TLayoutStore& S, TkxBarManager* M) {
  S.Create("");
  if (M->IsRecentItemsSupported()) {
    S.WriteBool("MenusShowRecentItemsFirst", M->MenusShowRecentItemsFirst());
    S.WriteBool("ShowFullMenusAfterDelay", M->ShowFullMenusAfterDelay());
  }
  S.WriteBool("LargeIcons", M->LargeIcons());
  S.WriteInt("MenuAnimations", int(M->MenuAnimations()));
  S.WriteBool("ShowHint", M->ShowHint());
  S.WriteBool("ShowShortCutInHint", M->ShowShortCutInHint());
  TkxBars* bars = M->Bars();
  S.WriteInt("BarCount", bars->Count());
  for (int n = 0; n < bars->Count(); ++n) {
    TkxBar* b = bars->Items(n);
    AnsiString place = "Bar" + IntToStr(n);
    S.Create(place);
    S.WriteStr("Caption", b->Caption());
    if (b->DockedDockControl()) S.WriteStr("DockedDockControl", M->GetDockControlPath(b->DockedDockControl()));
    S.WriteInt("DockedDockingStyle", int(b->DockedDockingStyle()));
    S.WriteInt("DockedLeft", b->DockedLeft());
    S.WriteInt("DockedTop", b->DockedTop());
    S.WriteBool("OneOnRow", b->OneOnRow());
    S.WriteInt("Row", b->Row());
    S.WriteInt("FloatLeft", b->FloatLeft());
    S.WriteInt("FloatTop", b->FloatTop());
    S.WriteInt("FloatClientWidth", b->FloatClientWidth());
    S.WriteInt("FloatClientHeight", b->FloatClientHeight());
    if (b->DockControl()) S.WriteStr("DockControl", M->GetDockControlPath(b->DockControl()));
    S.WriteInt("DockingStyle", int(b->DockingStyle()));
    S.WriteBool("Visible", b->Visible());
    WriteLinks(S, M, place, b->ItemLinks(), true);
  }
  for (int i = 0; i < M->ItemCount(); ++i)
    if (auto* sub = dynamic_cast<TCustomkxBarSubItem*>(M->GetItem(i)))
      if (!sub->Name().empty()) WriteLinks(S, M, "SubItem_" + sub->Name(), sub->ItemLinks(), false);
}

// ---------------------------------------------------------------------------
// reading: the stored layout taken into memory and checked

PV_DECLARE_EXCEPTION(EDamagedLayout, EkxBarError)

[[noreturn]] void Damaged(const AnsiString& Place, const AnsiString& What) {
  throw EDamagedLayout("The stored bar layout is damaged (" + (Place.empty() ? AnsiString("manager") : Place) +
                       ": " + What + "); the current layout is kept.");
}

// A text of the store. Bar layouts go back to an ini file when the form
// closes, so a text that an ini file cannot keep is damage in either store.
bool ReadText(TLayoutStore& S, const AnsiString& Place, const AnsiString& Name, AnsiString& Value) {
  if (!S.ReadStr(Name, Value)) return false;
  if (!IsIniValueStorable(Value)) Damaged(Place, Name + " holds a line break or a NUL byte");
  return true;
}

struct TLinkRec {
  AnsiString ItemName;
  std::optional<bool> BeginGroup, Visible;
  int UserDefine = 0;
  std::optional<AnsiString> UserCaption;
  std::shared_ptr<TBitmap> UserGlyph;
  std::optional<int> UserPaintStyle, UserWidth, UseCount, RecentIndex;
};

struct TListRec {
  bool Present = false;
  std::vector<TLinkRec> Links;
};

// A value of a bar read from the store, applied in the order of reading.
struct TBarValue {
  AnsiString Name;
  AnsiString Text;
  int Number = 0;
};

struct TBarRec {
  std::vector<TBarValue> Values;
  bool Complete = true;  // every value could be read
  std::optional<bool> Visible;
  TListRec Links;
};

struct TLayoutRec {
  std::map<AnsiString, int> ManagerValues;
  std::optional<int> BarCount;
  std::vector<TBarRec> Bars;
  std::vector<std::pair<TCustomkxBarSubItem*, TListRec>> SubItems;
};

int CheckedInt(TLayoutStore& S, const AnsiString& Place, const AnsiString& Name, int Lo, int Hi, bool& Found) {
  int v = 0;
  Found = S.ReadInt(Name, v);
  if (Found && (v < Lo || v > Hi)) Damaged(Place, Name + " " + IntToStr(v) + " is out of range");
  return v;
}

TListRec ReadList(TLayoutStore& S, TkxBarManager* M, const AnsiString& Place, TkxBarItemLinks* Links, bool BarLinks) {
  TListRec r;
  if (!S.Open(Place)) return r;
  int count = 0;
  if (!S.ReadInt("ItemLinkCount", count)) {
    if (!BarLinks) return r;  // a sub item's place without a count holds no list
    count = 0;
  }
  r.Present = true;
  std::vector<int> numbers = S.Numbers(Place, "ItemLink");
  // Link numbers can have gaps (links of unnamed items are not written), but
  // never more gaps than the manager has items to link, and none beyond the count.
  int highest = numbers.empty() ? -1 : numbers.back();
  if (count < 0 || count <= highest || count - int(numbers.size()) > M->ItemCount())
    Damaged(Place, "ItemLinkCount " + IntToStr(count) + " does not match the " + IntToStr(int(numbers.size())) +
                       " stored links");
  bool usage = Links && KeepsUsage(M, Links);
  for (int m : numbers) {
    AnsiString lp = Place + "/ItemLink" + IntToStr(m);
    if (!S.Open(lp)) continue;
    TLinkRec l;
    if (!ReadText(S, lp, "ItemName", l.ItemName) || l.ItemName.empty()) continue;
    bool found = false;
    bool v = false;
    if (S.ReadBool("BeginGroup", v)) l.BeginGroup = v;
    int ud = 0;
    if (S.ReadByte("UserDefine", ud)) {
      if (ud < 0 || ud > 15) Damaged(lp, "UserDefine " + IntToStr(ud) + " is out of range");
      l.UserDefine = ud;
    }
    TkxBarUserDefines bits = TkxBarUserDefines::FromMask(std::uint64_t(ud));
    AnsiString text;
    if (bits.Contains(udCaption) && ReadText(S, lp, "UserCaption", text)) l.UserCaption = text;
    if (bits.Contains(udGlyph)) {
      auto glyph = std::make_shared<TBitmap>();
      bool ok = false;
      try {
        ok = S.ReadGlyph("UserGlyph", glyph.get());
      } catch (const Exception&) {
        ok = false;  // an unreadable glyph is dropped with its flag
      }
      if (ok) l.UserGlyph = glyph;
      else l.UserDefine &= ~(1 << int(udGlyph));
    }
    if (bits.Contains(udPaintStyle)) {
      int ps = CheckedInt(S, lp, "UserPaintStyle", 0, int(TkxBarPaintStyle::psCaptionGlyph), found);
      if (found) l.UserPaintStyle = ps;
    }
    if (bits.Contains(udWidth)) {
      int w = CheckedInt(S, lp, "UserWidth", 0, kMaxCoord, found);
      if (found) l.UserWidth = w;
    }
    if (BarLinks && S.ReadBool("Visible", v)) l.Visible = v;
    if (usage) {
      int uc = CheckedInt(S, lp, "UseCount", 0, INT_MAX, found);
      if (found) l.UseCount = uc;
      int ri = CheckedInt(S, lp, "RecentIndex", -1, count - 1, found);
      if (found) l.RecentIndex = ri;
    }
    r.Links.push_back(std::move(l));
  }
  return r;
}

// A bar value: read in order; in the registry the first one missing ends the
// bar, in the ini file a missing one keeps the bar's current value.
bool ReadBarInt(TLayoutStore& S, TBarRec& B, const AnsiString& Place, const AnsiString& Name, int Lo, int Hi) {
  if (!B.Complete) return false;
  bool found = false;
  int v = CheckedInt(S, Place, Name, Lo, Hi, found);
  if (!found) {
    if (S.StopsAtMissing()) B.Complete = false;
    return false;
  }
  B.Values.push_back({Name, {}, v});
  return true;
}

TBarRec ReadBar(TLayoutStore& S, TkxBarManager* M, int N, int BarCount) {
  AnsiString place = "Bar" + IntToStr(N);
  TBarRec b;
  TkxBarItemLinks* current = N < M->Bars()->Count() ? M->Bars()->Items(N)->ItemLinks() : nullptr;
  b.Links = ReadList(S, M, place, current, true);
  S.Open(place);
  // a row number counts the rows of a dock site, which never outnumber its bars
  int maxRow = std::max(BarCount, M->Bars()->Count());
  AnsiString text;
  if (ReadText(S, place, "Caption", text)) b.Values.push_back({"Caption", text, 0});
  else if (S.StopsAtMissing()) b.Complete = false;
  if (b.Complete && ReadText(S, place, "DockedDockControl", text)) b.Values.push_back({"DockedDockControl", text, 0});
  ReadBarInt(S, b, place, "DockedDockingStyle", dsNone, dsBottom);
  ReadBarInt(S, b, place, "DockedLeft", 0, kMaxCoord);
  ReadBarInt(S, b, place, "DockedTop", 0, kMaxCoord);
  ReadBarInt(S, b, place, "OneOnRow", INT_MIN, INT_MAX);
  ReadBarInt(S, b, place, "Row", 0, maxRow);
  ReadBarInt(S, b, place, "FloatLeft", kMinCoord, kMaxCoord);
  ReadBarInt(S, b, place, "FloatTop", kMinCoord, kMaxCoord);
  ReadBarInt(S, b, place, "FloatClientWidth", 0, kMaxCoord);
  ReadBarInt(S, b, place, "FloatClientHeight", 0, kMaxCoord);
  if (b.Complete && ReadText(S, place, "DockControl", text)) b.Values.push_back({"DockControl", text, 0});
  ReadBarInt(S, b, place, "DockingStyle", dsNone, dsBottom);
  if (b.Complete) {
    bool v = false;
    if (S.ReadBool("Visible", v)) b.Visible = v;
    else if (S.StopsAtMissing()) b.Complete = false;
  }
  return b;
}

TLayoutRec ReadLayout(TLayoutStore& S, TkxBarManager* M) {
  TLayoutRec r;
  if (!S.Open("")) return r;
  bool found = false;
  auto flag = [&](const char* Name) {
    bool v = false;
    if (S.ReadBool(Name, v)) r.ManagerValues[Name] = v;
  };
  if (M->IsRecentItemsSupported()) {
    flag("MenusShowRecentItemsFirst");
    flag("ShowFullMenusAfterDelay");
  }
  flag("LargeIcons");
  int anim = CheckedInt(S, "", "MenuAnimations", maNone, maFade, found);
  if (found) r.ManagerValues["MenuAnimations"] = anim;
  flag("ShowHint");
  flag("ShowShortCutInHint");
  int count = 0;
  if (S.ReadInt("BarCount", count)) {
    // Every bar from 0 to BarCount - 1 must be stored, with no gap.
    std::vector<int> stored = S.Numbers("", "Bar");
    if (count < 0 || count > int(stored.size()))
      Damaged("", "BarCount " + IntToStr(count) + " exceeds the " + IntToStr(int(stored.size())) + " stored bars");
    for (int n = 0; n < count; ++n)
      if (stored[std::size_t(n)] != n) Damaged("", "bar " + IntToStr(n) + " is missing");
    r.BarCount = count;
    for (int n = 0; n < count; ++n) r.Bars.push_back(ReadBar(S, M, n, count));
  }
  for (int i = 0; i < M->ItemCount(); ++i)
    if (auto* sub = dynamic_cast<TCustomkxBarSubItem*>(M->GetItem(i)))
      if (!sub->Name().empty()) {
        TListRec l = ReadList(S, M, "SubItem_" + sub->Name(), sub->ItemLinks(), false);
        if (l.Present) r.SubItems.emplace_back(sub, std::move(l));
      }
  return r;
}

// ---------------------------------------------------------------------------
// applying a checked layout

void ApplyList(TkxBarManager* M, TkxBarItemLinks* Links, const TListRec& L) {
  try {
    Links->Clear();
    bool usage = KeepsUsage(M, Links);
    for (const TLinkRec& r : L.Links) {
      TkxBarItem* item = M->ItemByName(r.ItemName);
      if (!item) continue;
      TkxBarItemLink* link = Links->Add();
      try {
        link->SetItem(item);
      } catch (const Exception&) {
        link->Free();  // an item that would contain its own menu
        continue;
      }
      try {
        if (r.BeginGroup) link->SetBeginGroup(*r.BeginGroup);
        link->SetUserDefine(TkxBarUserDefines::FromMask(std::uint64_t(r.UserDefine)));
        if (r.UserCaption) link->SetUserCaption(*r.UserCaption);
        if (r.UserGlyph) link->SetUserGlyph(r.UserGlyph.get());
        if (r.UserPaintStyle) link->SetUserPaintStyle(TkxBarPaintStyle(*r.UserPaintStyle));
        if (r.UserWidth) link->SetUserWidth(*r.UserWidth);
        if (r.Visible) link->SetVisible(*r.Visible);
        if (usage) {
          if (r.UseCount) link->SetLoadedUseCount(*r.UseCount);
          if (r.RecentIndex) link->SetLoadedRecentIndex(*r.RecentIndex);
        }
      } catch (const Exception&) {
        // an error inside one link leaves it with what was applied
      }
    }
  } catch (...) {
    Links->ApplyLoadedState(true);
    throw;
  }
  Links->ApplyLoadedState(true);
}

void ApplyBar(TkxBarManager* M, TkxBar* Bar, const TBarRec& B) {
  bool oldLock = Bar->LockUpdate();
  Bar->SetLockUpdate(true);
  try {
    ApplyList(M, Bar->ItemLinks(), B.Links);
    for (const TBarValue& v : B.Values) {
      const AnsiString& n = v.Name;
      if (n == "Caption") Bar->SetCaption(v.Text);
      else if (n == "DockedDockControl") Bar->SetDockedDockControl(M->FindDockControl(v.Text));
      else if (n == "DockedDockingStyle") Bar->SetDockedDockingStyle(TkxBarDockingStyle(v.Number));
      else if (n == "DockedLeft") Bar->SetDockedLeft(v.Number);
      else if (n == "DockedTop") Bar->SetDockedTop(v.Number);
      else if (n == "OneOnRow") Bar->SetOneOnRow(v.Number != 0);
      else if (n == "Row") Bar->SetRow(v.Number);
      else if (n == "FloatLeft") Bar->SetFloatLeft(v.Number);
      else if (n == "FloatTop") Bar->SetFloatTop(v.Number);
      else if (n == "FloatClientWidth") Bar->SetFloatClientWidth(v.Number);
      else if (n == "FloatClientHeight") Bar->SetFloatClientHeight(v.Number);
      else if (n == "DockControl") {
        if (TkxBarDockControl* d = M->FindDockControl(v.Text)) Bar->SetDockControl(d);
      } else if (n == "DockingStyle") {
        Bar->SetDockingStyle(TkxBarDockingStyle(v.Number));
      }
    }
    // a bar whose values could not all be read shows with what was read
    Bar->SetVisible(B.Complete ? B.Visible.value_or(false) : true);
  } catch (...) {
    Bar->SetLockUpdate(oldLock);
    throw;
  }
  Bar->SetLockUpdate(oldLock);
}

void ApplyLayout(TkxBarManager* M, const TLayoutRec& R) {
  auto value = [&](const char* Name, int& V) {
    auto it = R.ManagerValues.find(Name);
    if (it == R.ManagerValues.end()) return false;
    V = it->second;
    return true;
  };
  int v = 0;
  if (value("MenusShowRecentItemsFirst", v)) M->SetMenusShowRecentItemsFirst(v != 0);
  if (value("ShowFullMenusAfterDelay", v)) M->SetShowFullMenusAfterDelay(v != 0);
  if (value("LargeIcons", v)) M->SetLargeIcons(v != 0);
  if (value("MenuAnimations", v)) M->SetMenuAnimations(TkxBarMenuAnimations(v));
  if (value("ShowHint", v)) M->SetShowHint(v != 0);
  if (value("ShowShortCutInHint", v)) M->SetShowShortCutInHint(v != 0);
  TkxBars* bars = M->Bars();
  try {
    if (R.BarCount) {
      for (int i = 0; i < bars->Count(); ++i) bars->Items(i)->SetVisible(false);
      for (int n = 0; n < *R.BarCount; ++n) {
        TkxBar* bar = n < bars->Count() ? bars->Items(n) : bars->Add();
        ApplyBar(M, bar, R.Bars[std::size_t(n)]);
      }
    }
    for (const auto& [sub, list] : R.SubItems) ApplyList(M, sub->ItemLinks(), list);
  } catch (...) {
    if (TkxBar* mm = M->MainMenuBar()) mm->SetVisible(true);
    throw;
  }
  // the main menu is the way to every command: a layout never hides it
  if (TkxBar* mm = M->MainMenuBar()) mm->SetVisible(true);
}

void LoadLayout(TLayoutStore& S, TkxBarManager* M) {
  bool oldLock = M->LockedUpdate();
  M->LockUpdate(true);
  try {
    TLayoutRec r = ReadLayout(S, M);
    ApplyLayout(M, r);
  } catch (...) {
    M->LockUpdate(oldLock);
    throw;
  }
  M->LockUpdate(oldLock);
}

AnsiString IniPrefix(TkxBarManager* M) {
  AnsiString form = M->OwnerForm() ? M->OwnerForm()->Name() : AnsiString();
  return form + "." + M->Name() + ".";
}

}  // namespace kxbarstore

using namespace kxbarstore;

// ---------------------------------------------------------------------------
// TkxBarManager

void TkxBarManager::SaveToRegistry(const AnsiString& Path) {
  if (Path.empty()) return;
  TRegistryStore s(Path);
  TRegistry& reg = s.Reg();
  if (!reg.OpenKey(s.Root(), true)) throw EkxBarError("Cannot create the registry key " + s.Root());
  TStringList keys;
  reg.GetKeyNames(&keys);
  reg.CloseKey();
  for (int i = 0; i < keys.Count(); ++i) reg.DeleteKey(s.Root() + "\\" + keys.Strings(i));
  WriteLayout(s, this);
  reg.CloseKey();
}

void TkxBarManager::LoadFromRegistry(const AnsiString& Path) {
  if (Path.empty()) return;
  TRegistryStore s(Path);
  if (!s.Open("")) return;
  LoadLayout(s, this);
}

void TkxBarManager::SaveToIniFile(const AnsiString& FileName) {
  if (FileName.empty()) return;
  TIniStore s(FileName, IniPrefix(this));
  TStringList sections;
  s.Ini().ReadSections(&sections);
  for (int i = 0; i < sections.Count(); ++i)
    if (AnsiStartsStr(s.Prefix(), sections.Strings(i))) s.Ini().EraseSection(sections.Strings(i));
  WriteLayout(s, this);
  s.Ini().UpdateFile();
}

void TkxBarManager::LoadFromIniFile(const AnsiString& FileName) {
  if (FileName.empty()) return;
  TIniStore s(FileName, IniPrefix(this));
  LoadLayout(s, this);
}

AnsiString TkxBarManager::GetDockControlPath(TkxBarDockControl* DockControl) const {
  if (!DockControl) return AnsiString();
  AnsiString path = DockControl->Name();
  for (TComponent* o = DockControl->Owner(); o; o = o->Owner())
    if (!o->Name().empty()) path = o->Name() + "." + path;
  return path;
}

TkxBarDockControl* TkxBarManager::FindDockControl(const AnsiString& Path) const {
  if (Path.empty()) return nullptr;
  TComponent* c = nullptr;
  AnsiString rest = Path;
  std::size_t dot = Path.find('.');
  if (dot == AnsiString::npos) {
    c = FOwnerForm;
  } else {
    c = FindGlobalComponent(Path.substr(0, dot));
    rest = Path.substr(dot + 1);
  }
  while (c && !rest.empty()) {
    dot = rest.find('.');
    c = c->FindComponent(rest.substr(0, dot));
    rest = dot == AnsiString::npos ? AnsiString() : rest.substr(dot + 1);
  }
  return dynamic_cast<TkxBarDockControl*>(c);
}

void TkxBarManager::LoadStoredLayout() {
  // A damaged store must not keep the form from opening: the layout of the
  // form description stays.
  try {
    if (FStoreInIniFile) LoadFromIniFile(FIniFileName);
    if (FStoreInRegistry) LoadFromRegistry(FRegistryPath);
  } catch (const Exception&) {
  }
}

void TkxBarManager::SaveStoredLayout() {
  // Runs while the form is destroyed: a store that cannot be written is
  // reported, and the form still closes (and the other store is still written).
  auto save = [this](void (TkxBarManager::*Save)(const AnsiString&), const AnsiString& Where) {
    try {
      (this->*Save)(Where);
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
  };
  if (FStoreInIniFile) save(&TkxBarManager::SaveToIniFile, FIniFileName);
  if (FStoreInRegistry) save(&TkxBarManager::SaveToRegistry, FRegistryPath);
}
