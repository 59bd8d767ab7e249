#include "inplace/kxresources.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

TkxCommandText kxEditorCommandTexts[7];
AnsiString kxPopupButtonCaptions[3];
const char* const kxToolbarBitmapNames[6] = {"KXTOOL_CUT", "KXTOOL_COPY", "KXTOOL_PASTE",
                                             "KXTOOL_DELETE", "KXTOOL_LOAD", "KXTOOL_SAVE"};
TImageList* kxToolbarImages = nullptr;
TImageList* kxBlobImages = nullptr;
TDateTime kxOneSecond = 0, kxOneMinute = 0, kxOneHour = 0, kxZeroTime = 0, kxLastTimeOfDay = 0;
AnsiString kxInvalidDateText;
AnsiString kxDateKeywords[20] = {"TODAY", "YESTERDAY", "TOMORROW", "SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY",
                                 "THURSDAY", "FRIDAY", "SATURDAY", "FIRST", "SECOND", "THIRD", "FOURTH",
                                 "FIFTH", "SIXTH", "SEVENTH", "BOM", "EOM", "NOW"};
int kxDefaultCheckWidth = 13, kxDefaultCheckHeight = 13;

namespace {
TCanvas* gSharedCanvas = nullptr;
HCURSOR gHandCursor = nullptr;

const char* const kBlobBitmapNames[8] = {"KXINPLACE_BLOB_NULL", "KXINPLACE_BLOB", "KXINPLACE_MEMO_NULL",
                                         "KXINPLACE_MEMO",      "KXINPLACE_PICT_NULL", "KXINPLACE_PICT",
                                         "KXINPLACE_OLE_NULL",  "KXINPLACE_OLE"};
}  // namespace

void kxReadCheckBoxSize() {
  HBITMAP bmp = LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_CHECKBOXES));
  BITMAP info;
  if (bmp && GetObjectA(bmp, sizeof info, &info)) {
    kxDefaultCheckWidth = info.bmWidth / 4;
    kxDefaultCheckHeight = info.bmHeight / 3;
  }
  if (bmp) DeleteObject(bmp);
}

void kxLoadToolbarImages() {
  TBitmap bmp;
  for (const char* name : kxToolbarBitmapNames) {
    if (!name || !*name) continue;
    try {
      bmp.LoadFromResourceName(name);
    } catch (const EResNotFound&) {
      continue;  // a program without the editors' bitmaps keeps an empty list
    }
    if (!kxToolbarImages) {
      kxToolbarImages = new TImageList(nullptr);
      kxToolbarImages->SetWidth(bmp.Width());
      kxToolbarImages->SetHeight(bmp.Height());
    }
    kxToolbarImages->AddMasked(&bmp, clDefault);
  }
}

void kxLoadBlobImages() {
  TBitmap bmp;
  try {
    bmp.LoadFromResourceName(kBlobBitmapNames[0]);
  } catch (const EResNotFound&) {
    return;
  }
  kxBlobImages = new TImageList(nullptr);
  kxBlobImages->SetWidth(bmp.Width());
  kxBlobImages->SetHeight(bmp.Height());
  for (const char* name : kBlobBitmapNames) {
    try {
      bmp.LoadFromResourceName(name);
    } catch (const EResNotFound&) {
      continue;
    }
    kxBlobImages->AddMasked(&bmp, TColor(0x008080));
  }
}

void kxGetCurrencyDisplayFormat(AnsiString& Format) {
  const TFormatSettings& fs = FormatSettings();
  AnsiString p = ",0." + AnsiString(fs.CurrencyDecimals, '0');
  AnsiString c;
  for (char ch : fs.CurrencyString) {
    if (ch == ',' || ch == '.') c += AnsiString("'") + ch + "'";
    else c += ch;
  }
  if (!c.empty()) {
    switch (fs.CurrencyFormat) {
      case 0: p = c + p; break;
      case 1: p = p + c; break;
      case 2: p = c + " " + p; break;
      case 3: p = p + " " + c; break;
      default: break;
    }
  }
  Format = p + ";-" + p;
}

TCanvas* kxLockSharedCanvas(HDC DC) {
  if (!gSharedCanvas) gSharedCanvas = new TCanvas();
  gSharedCanvas->Lock();
  gSharedCanvas->SetHandle(DC);
  return gSharedCanvas;
}

void kxUnlockSharedCanvas() {
  if (!gSharedCanvas) return;
  gSharedCanvas->SetHandle(nullptr);
  gSharedCanvas->Unlock();
}

void kxInitResources() {
  kxReadCheckBoxSize();
  gHandCursor = LoadCursorA(nullptr, "KX_HANDPOINT");
  if (gHandCursor && Screen) Screen->SetCursors(kxHandPointCursor, gHandCursor);
  kxInvalidDateText = kxEditorString(38927);
  kxOneSecond = EncodeTime(0, 0, 1, 0);
  kxOneMinute = EncodeTime(0, 1, 0, 0);
  kxOneHour = EncodeTime(1, 0, 0, 0);
  kxZeroTime = EncodeTime(0, 0, 0, 0);
  kxLastTimeOfDay = EncodeTime(23, 59, 59, 0);
  if (!kxToolbarImages) kxLoadToolbarImages();
  for (int i = 0; i < 6; ++i) {
    kxEditorCommandTexts[i].Caption = kxEditorString(38914 + i);
    kxEditorCommandTexts[i].Hint = kxEditorString(38920 + i);
  }
  kxEditorCommandTexts[6] = TkxCommandText{};
  if (!gSharedCanvas) gSharedCanvas = new TCanvas();
  if (!kxBlobImages) kxLoadBlobImages();
  for (int i = 0; i < 3; ++i) kxPopupButtonCaptions[i] = kxEditorString(38905 + i);
  for (int i = 0; i < 20; ++i) kxDateKeywords[i] = kxEditorString(38928 + i);
}

void kxDoneResources() {
  delete gSharedCanvas;
  gSharedCanvas = nullptr;
  delete kxToolbarImages;
  kxToolbarImages = nullptr;
  delete kxBlobImages;
  kxBlobImages = nullptr;
  if (gHandCursor) {
    // The screen's entry goes with the cursor, so no invalid handle stays registered.
    if (Screen) Screen->SetCursors(kxHandPointCursor, nullptr);
    DestroyCursor(gHandCursor);
    gHandCursor = nullptr;
  }
  for (auto& t : kxEditorCommandTexts) t = TkxCommandText{};
  for (auto& s : kxPopupButtonCaptions) s.clear();
  kxInvalidDateText.clear();
}
