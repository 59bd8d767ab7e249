// Shared fixture of the in-place editor tests: a shown form on the headless
// backend holding a host container whose answers the tests choose, and
// helpers to place an editor over a cell and drive it with real input.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <string>
#include <vector>

#include "inplace/inplace_init.h"
#include "inplace/kxcntner.h"
#include "platform/classes/resources_init.h"
#include "platform/controls/tests/ctltest.h"
#include "platform/gdi/tests/refimage.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/strings.h"

// Registers the editors' bitmaps, cursor and string table from the source
// tree, as the program's start-up does with the embedded copies.
inline void RegisterInplaceSourceResources() {
  static std::list<std::vector<char>> Store;  // registered bytes must outlive the table
  static bool Done = false;
  if (Done) return;
  Done = true;
  const std::filesystem::path Root = std::filesystem::path(PV_SOURCE_DIR) / "resources";
  auto read = [](const std::filesystem::path& P) -> std::vector<char>& {
    std::ifstream In(P, std::ios::binary);
    Store.emplace_back((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    return Store.back();
  };
  for (const auto& E : std::filesystem::directory_iterator(Root / "bitmaps"))
    if (E.path().stem().string().rfind("KX", 0) == 0) {
      auto& b = read(E.path());
      RegisterResource(RT_BITMAP, E.path().stem().string(), b.data(), b.size());
    }
  auto& cur = read(Root / "cursors" / "KX_HANDPOINT.cur");
  RegisterResource(RT_CURSOR, "KX_HANDPOINT", cur.data(), cur.size());
  auto& strings = read(Root / "strings" / "inplace.txt");
  RegisterStringTable(strings.data(), strings.size(), "inplace.txt");
}

// CP936 text of a UTF-8 literal.
inline AnsiString Gbk(const char* Utf8) { return Utf8ToAnsi(Utf8); }

// A host container that records what its editor tells it.
class TTestContainer : public TCustomkxContainer {
  PV_CLASS(TTestContainer, TCustomkxContainer)
 public:
  explicit TTestContainer(TComponent* AOwner) : TCustomkxContainer(AOwner) {
    FTabStop = true;
    SetColor(clWindow);
  }
  bool ModifyOk = true;
  bool AcceptKeys = true;
  bool DblClicks = false;
  bool Tabs = false;
  bool Ignore = false;
  std::vector<Word> KeysDown;   // keys that reached the container's own KeyDown
  std::vector<Word> EditKeys;   // keys passed through DoEditKeyDown
  std::vector<bool> KeyHooks;
  std::vector<char> Chars;
  int FocusChanges = 0;
  int DblClickCount = 0;
  int LinesUp = 0, LinesDown = 0;
  bool CanEditModify() override { return ModifyOk; }
  bool CanEditAcceptKey(char) override { return AcceptKeys; }
  bool WantsEditorDblClicks() override { return DblClicks; }
  bool WantsEditorTabs() override { return Tabs; }
  bool IgnoreEditorKeys() override { return Ignore; }
  void EditorKeyHook(bool Key) override { KeyHooks.push_back(Key); }
  void EditorFocusChanged() override { ++FocusChanges; }
  void DoEditKeyDown(Word& Key, TShiftState Shift) override {
    EditKeys.push_back(Key);
    TCustomkxContainer::DoEditKeyDown(Key, Shift);
  }

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override {
    KeysDown.push_back(Key);
    TCustomkxContainer::KeyDown(Key, Shift);
  }
  void KeyPress(char& Key) override { Chars.push_back(Key); }
  void DblClick() override { ++DblClickCount; }
  void Paint() override {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
  }
  void WMVScroll(TMessage& M) {
    if (LOWORD(M.WParam) == SB_LINEUP) ++LinesUp;
    if (LOWORD(M.WParam) == SB_LINEDOWN) ++LinesDown;
  }

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_VSCROLL, TMessage, WMVScroll)
  END_MESSAGE_MAP(TCustomkxContainer)
};

// A folder of the test's own, removed at the end.
struct TKxTempDir {
  std::string Path;
  TKxTempDir() {
    std::string t = (std::filesystem::temp_directory_path() / "pv_inplace_XXXXXX").string();
    if (mkdtemp(t.data())) Path = t;
  }
  ~TKxTempDir() {
    std::error_code ec;
    if (!Path.empty()) std::filesystem::remove_all(Path, ec);
  }
};

// The registry kept in a folder of the test's own while the object lives:
// XDG_CONFIG_HOME points there, and the previous value comes back afterwards.
struct TKxTempRegistry {
  TKxTempDir Dir;
  std::string Old;
  bool HadOld = false;
  TKxTempRegistry() {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    HadOld = old != nullptr;
    if (old) Old = old;
    setenv("XDG_CONFIG_HOME", Dir.Path.c_str(), 1);
    RegistryResetCache();
  }
  ~TKxTempRegistry() {
    RegistryResetCache();
    if (HadOld) setenv("XDG_CONFIG_HOME", Old.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
  }
};

class InplaceTest : public CtlTest {
 protected:
  TForm* Form = nullptr;
  TTestContainer* Host = nullptr;
  void SetUp() override {
    CtlTest::SetUp();
    RegisterInplaceSourceResources();
    InitInplace();
    Form = NewObject<TForm>(Application);
    Form->SetBounds(100, 100, 400, 300);
    Host = NewObject<TTestContainer>(Form);
    Host->SetParent(Form);
    Host->SetBounds(10, 10, 300, 200);
    Form->Show();
    Host->SetFocus();
    Pump();
  }
  void TearDown() override {
    DoneForms();
    FinalizeInplace();
    ResetFormatSettings();
    CtlTest::TearDown();
  }
  // Creates an editor of class T hosted by the container, as the host does.
  template <class T>
  T* NewEditor() {
    T* e = NewObject<T>(Host);
    e->SetParent(Host);
    return e;
  }
  // Fills and shows the editor over the cell R as the host does.
  void Activate(TkxInplaceEdit* E, const TRect& R, const Variant& Value) {
    Host->BeginInitEdit();
    E->CloseFlag = false;
    E->SetColor(Host->GetEditColor());
    E->Font()->Assign(Host->GetEditFont());
    E->SetTextMargins(kxRect(1, 0, 0, 0));
    E->SetEditValue(Value);
    E->SetModified(false);
    E->SetActive(true);
    Host->EndInitEdit();
    E->ShowInRect(R);
    Pump();
  }
  // A key pressed and released in whatever has the focus.
  void Press(unsigned Vk, unsigned Modifiers = 0) {
    hb->Key(Vk, Modifiers);
    Pump();
  }
  void Type(const std::string& Utf8) {
    hb->CommitText(Utf8);
    Pump();
  }
  // One typed character (UTF-8): a Latin one as a key with its text, a
  // Chinese one committed by the input method as its two bytes.
  void TypeChar(const char* Utf8) {
    if (static_cast<unsigned char>(Utf8[0]) >= 0x80) {
      Type(Utf8);
      return;
    }
    hb->KeyDown(0, false, Utf8);
    hb->KeyUp(0);
    Pump();
  }
  void TypeChar(char C) {
    const char s[2] = {C, 0};
    TypeChar(s);
  }
  // The cell as the editor class paints it without a window: the view data
  // of the editor E, drawn over the host's background at the window's size.
  TRawImage ClassShot(TkxInplaceEdit* E, TkxEditViewData* VD = nullptr) {
    std::unique_ptr<TkxEditViewData> own;
    if (!VD) {
      own.reset(E->CreateViewData(true));
      VD = own.get();
    }
    RECT r;
    GetWindowRect(E->Handle(), &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    VD->Bounds = kxRect(0, 0, w, h);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, w, h};
    HBRUSH bg = CreateSolidBrush(ColorToRGB(Host->Color()));
    FillRect(dc, &all, bg);
    DeleteObject(bg);
    E->EditClass()->Draw(dc, nullptr, VD);
    TRawImage img;
    img.Width = w;
    img.Height = h;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        COLORREF c = GetPixel(dc, x, y);
        img.Pixels.push_back(0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
      }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return img;
  }
  // Two images side by side with a 4-pixel gap (the first on the left).
  static TRawImage SideBySide(const TRawImage& A, const TRawImage& B) {
    TRawImage img;
    img.Width = A.Width + 4 + B.Width;
    img.Height = std::max(A.Height, B.Height);
    img.Pixels.assign(std::size_t(img.Width) * img.Height, 0xFFFF00FFu);
    for (int y = 0; y < A.Height; ++y)
      for (int x = 0; x < A.Width; ++x) img.At(x, y) = A.At(x, y);
    for (int y = 0; y < B.Height; ++y)
      for (int x = 0; x < B.Width; ++x) img.At(A.Width + 4 + x, y) = B.At(x, y);
    return img;
  }
  // The number of pixels where two images of one size differ (-1 for other sizes).
  static int PixelDiffs(const TRawImage& A, const TRawImage& B) {
    if (A.Width != B.Width || A.Height != B.Height) return -1;
    int n = 0;
    for (std::size_t i = 0; i < A.Pixels.size(); ++i)
      if ((A.Pixels[i] & 0xFFFFFF) != (B.Pixels[i] & 0xFFFFFF)) ++n;
    return n;
  }
  // The screen image of a control's window.
  TRawImage Shot(TWinControl* C) {
    RECT r;
    GetWindowRect(C->Handle(), &r);
    TRawImage img;
    img.Width = r.right - r.left;
    img.Height = r.bottom - r.top;
    img.Pixels = hb->ComposeScreen(r);
    return img;
  }
};
