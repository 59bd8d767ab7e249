// The docking library's texts and its two kinds of error.
#include "docking/kxdocktypes.h"

#include "platform/rtl/strings.h"

namespace {
// Written in UTF-8 here and given out in code page 936.
const char* const kTexts[] = {
    "内部错误while creating a %s object layout.",
    "内部错误while destroying a %s object layout.",
    "此TkxCustomDockControl的拥有者必需是TCustomForm.",
    "在浮动模式下,你不能删除此TkxCustomDockSite.",
    "停靠和自动隐藏对父窗口中的控件无效.",
    "你不能给此组件设置parent.",
    "你不能把 %s 插入到TkxDockPanel.",
    "你不能删除此TkxLayoutDockSite.",
    "此TkxDockSite的Parent不能是TkxCustomDockControl.",
    "你不能把 %s 插入到TkxCustomDockSite.",
    "你不能删除此TkxFloatDockSite.",
    "此TkxFloatDockSite的Parent不能是TkxFloatForm",
    "您不能创建TkxDockingManager的多个实例.",
    "在没有TkxCustomDockControl时不能创建TkxZone.",
    "Internal error while autohide controls.",
};

AnsiString WithArg(AnsiString Text, const AnsiString& Arg) {
  const auto P = Text.find("%s");
  if (P != AnsiString::npos) Text.replace(P, 2, Arg);
  return Text;
}
}  // namespace

AnsiString kxDockingText(TkxDockingText Id) {
  const int I = int(Id);
  if (I < 0 || I >= int(sizeof(kTexts) / sizeof(kTexts[0]))) return AnsiString();
  return Utf8ToAnsi(kTexts[I]);
}

void kxDockingError(TkxDockingText Id, const AnsiString& Arg) { throw Exception(WithArg(kxDockingText(Id), Arg)); }

void kxDockingAssert(TkxDockingText Id, const AnsiString& Arg, const char* Unit) {
  throw EAssertionFailed(WithArg(kxDockingText(Id), Arg) + " (" + Unit + ")");
}
