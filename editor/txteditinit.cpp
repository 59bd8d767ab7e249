#include "editor/txteditinit.h"

#include "editor/txteditkeycmds.h"
#include "editor/txteditsearch.h"
#include "editor/txtrules.h"

void InitEditorClasses() {
  RegisterEditorKeystrokeClasses();
  RegisterEditorHighlighterClasses();
  RegisterProps<TTxtCustomHighlighter>([](TPropBuilder<TTxtCustomHighlighter>& p) {
    p.Prop("DefaultFilter", &TTxtCustomHighlighter::GetDefaultFilter, &TTxtCustomHighlighter::SetDefaultFilter)
        .Stored([](TObject* h) { return static_cast<TTxtCustomHighlighter*>(h)->DefaultFilterToStream(); });
    p.Prop("Enabled", &TTxtCustomHighlighter::Enabled, &TTxtCustomHighlighter::SetEnabled).Default(true);
  });
  RegisterClasses({TTxtEditSearch::StaticClass(), TTxtEditRegexSearch::StaticClass()});
}
