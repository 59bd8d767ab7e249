// The process-wide resources that the editor kinds share: the toolbar and
// blob image lists, the hand cursor of link cells, the picture command texts,
// the pop-up button captions, a canvas for class-level drawing, the time
// constants, the date keywords and message, and the check-box cell size.
// Built once at start-up (kxInitResources), released at shut-down.
#pragma once

#include "inplace/kxcntner.h"
#include "platform/controls/imglist.h"

// The screen cursor index of the hand cursor (the program's "KX_HANDPOINT").
constexpr TCursor kxHandPointCursor = -1140;

struct TkxCommandText {
  AnsiString Caption;
  AnsiString Hint;
};

// The picture commands by index: cut, copy, paste, delete, load, save, custom (empty).
extern TkxCommandText kxEditorCommandTexts[7];
// "&OK", "&Cancel", "&Close".
extern AnsiString kxPopupButtonCaptions[3];
// The bitmap names of the toolbar commands, in command order.
extern const char* const kxToolbarBitmapNames[6];
// 16 x 16 toolbar images and 18 x 16 blob icons (empty before start-up).
extern TImageList* kxToolbarImages;
extern TImageList* kxBlobImages;
extern TDateTime kxOneSecond, kxOneMinute, kxOneHour, kxZeroTime, kxLastTimeOfDay;
extern AnsiString kxInvalidDateText;
// The date keywords: TODAY, YESTERDAY, TOMORROW, SUNDAY..SATURDAY, FIRST..SEVENTH, BOM, EOM, NOW.
extern AnsiString kxDateKeywords[20];
// The cell size of the system's check-box bitmap.
extern int kxDefaultCheckWidth, kxDefaultCheckHeight;
void kxReadCheckBoxSize();

void kxLoadToolbarImages();
void kxLoadBlobImages();
// The default currency display format of the current locale settings.
void kxGetCurrencyDisplayFormat(AnsiString& Format);

// The canvas of class-level picture drawing: attached to a device context
// for one drawing call. Lock returns it attached to DC; Unlock detaches it.
TCanvas* kxLockSharedCanvas(HDC DC);
void kxUnlockSharedCanvas();

void kxInitResources();
void kxDoneResources();
