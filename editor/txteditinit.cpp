#include "editor/txteditinit.h"

#include "editor/txtautotyping.h"
#include "editor/txtcompletion.h"
#include "editor/txtdbedit.h"
#include "editor/txtedit.h"
#include "editor/txteditkeycmds.h"
#include "editor/txteditmiscclasses.h"
#include "editor/txteditsearch.h"
#include "editor/txtexport.h"
#include "editor/txtrules.h"
#include "editor/txtscheme.h"
#include "editor/txttextdrawer.h"

namespace {
bool gInitialised = false;
}

void InitEditorClasses() {
  if (gInitialised) return;
  gInitialised = true;
  RegisterEditorKeystrokeClasses();
  RegisterEditorHighlighterClasses();
  RegisterProps<TTxtHighlighterAttributes>([](TPropBuilder<TTxtHighlighterAttributes>& p) {
    p.Prop("Background", &TTxtHighlighterAttributes::Background, &TTxtHighlighterAttributes::SetBackground)
        .Idents(ColorIdentMap())
        .Stored(&TTxtHighlighterAttributes::BackgroundToStream);
    p.Prop("Foreground", &TTxtHighlighterAttributes::Foreground, &TTxtHighlighterAttributes::SetForeground)
        .Idents(ColorIdentMap())
        .Stored(&TTxtHighlighterAttributes::ForegroundToStream);
    p.Prop(
         "Style",
         [](TTxtHighlighterAttributes* a) { return TFontStyles::FromMask(a->Style()); },
         [](TTxtHighlighterAttributes* a, TFontStyles v) { a->SetStyle(TTxtFontStyles(v.Mask() & 15)); })
        .Stored(&TTxtHighlighterAttributes::StyleToStream);
  });
  RegisterProps<TTxtCustomHighlighter>([](TPropBuilder<TTxtCustomHighlighter>& p) {
    p.Prop("DefaultFilter", &TTxtCustomHighlighter::GetDefaultFilter, &TTxtCustomHighlighter::SetDefaultFilter)
        .Stored([](TObject* h) { return static_cast<TTxtCustomHighlighter*>(h)->DefaultFilterToStream(); });
    p.Prop("Enabled", &TTxtCustomHighlighter::Enabled, &TTxtCustomHighlighter::SetEnabled).Default(true);
  });
  RegisterSchemeClasses();
  RegisterEditorMiscClasses();
  RegisterClasses({TTxtEditSearch::StaticClass(), TTxtEditRegexSearch::StaticClass()});
  RegisterTxtEditClasses();
  RegisterDBTxtEditClasses();
  RegisterCompletionClasses();
  RegisterAutoTypingClasses();
  RegisterExporterClasses();
  TxtEditClipboardFormat();
}

void FinalizeEditorClasses() {
  gInitialised = false;
  FreeTxtScrollHintWindow();
  DoneFontsInfoManager();
}
