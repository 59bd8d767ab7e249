// The platform's code-page conversion and string mapping entries for the one
// code page (936) and locale (Chinese, PRC) this system has.
#pragma once
#include "platform/rtl/wintypes.h"

using WCHAR = char16_t;
constexpr UINT CP_ACP = 0, CP_936 = 936;
constexpr DWORD LCMAP_SIMPLIFIED_CHINESE = 0x02000000, LCMAP_TRADITIONAL_CHINESE = 0x04000000;

// Converts code-page-936 text to UTF-16. CodePage must be CP_ACP or 936; a
// count of -1 means "up to the terminating zero", which is then converted and
// counted too. With cchWideChar 0 returns the units needed; otherwise the
// units written, or 0 when the buffer is too small or an argument is bad.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, const char* lpMultiByteStr, int cbMultiByte,
                        WCHAR* lpWideCharStr, int cchWideChar);

// Maps code-page-936 text. The flags supported are LCMAP_SIMPLIFIED_CHINESE and
// LCMAP_TRADITIONAL_CHINESE (one of them): each character is mapped on its
// own; one without a counterpart, or whose counterpart code page 936 cannot
// hold, stays as it is. A count of -1 means "up to the terminating zero",
// which is then mapped and counted too. With cchDest 0 returns the bytes
// needed; otherwise the bytes written, or 0 when the buffer is too small, the
// flags are not supported or an argument is bad. Every locale id maps alike.
int LCMapStringA(DWORD Locale, DWORD dwMapFlags, const char* lpSrcStr, int cchSrc, char* lpDestStr, int cchDest);
