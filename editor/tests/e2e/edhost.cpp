// A small program for the end-to-end test of the editor: one form titled
// "Penvarro Editor" holding an editor with word wrap, on the display named by
// DISPLAY. When the form closes, the editor's text (UTF-8) goes to the file
// PENVARRO_EVENT_LOG names, followed by a line "--" and the number of
// input-method results the editor received.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>

#include "editor/txtedit.h"
#include "editor/txteditinit.h"
#include "platform/backend/desktop/desktop.h"
#include "platform/classes/init.h"
#include "platform/classes/resources_init.h"
#include "platform/controls/controls_init.h"
#include "platform/controls/forms.h"
#include "platform/rtl/strings.h"

namespace {

class TEditorHostForm : public TForm {
 public:
  explicit TEditorHostForm(TComponent* AOwner) : TForm(AOwner, 0) {
    SetCaption("Penvarro Editor");
    SetBounds(100, 100, 480, 320);
    Editor = NewObject<TTxtEdit>(this);
    Editor->SetParent(this);
    Editor->SetAlign(alClient);
    Editor->SetWordWrap(true);
    Editor->Gutter()->SetShowLineNumbers(true);
    OnClose = TCloseEvent(this, &TEditorHostForm::Closing);
    Editor->OnCommandProcessed = TProcessCommandEvent(this, &TEditorHostForm::Processed);
  }
  TTxtEdit* Editor;

 private:
  int FImeResults = 0;
  void Processed(TObject*, TTxtEditorCommand& Command, char&, void*) {
    if (Command == ecImeStr) ++FImeResults;
  }
  void Closing(TObject*, TCloseAction&) {
    const char* path = std::getenv("PENVARRO_EVENT_LOG");
    if (!path || !*path) return;
    std::ofstream f(path, std::ios::binary);
    f << AnsiToUtf8(Editor->GetText()) << "\n--\nime " << FImeResults;
  }
};

}  // namespace

int main() {
  try {
    DesktopBackend::Install();
    InitClasses();
    InitResources();
    InitControls();
    InitEditorClasses();
    Application->Initialize();
    Application->SetTitle("Penvarro Editor");
    TEditorHostForm* form = nullptr;
    Application->CreateForm(form);
    form->SetActiveControl(form->Editor);
    Application->Run();
    FinalizeControls();
    FinalizeEditorClasses();
    FinalizeClasses();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Penvarro Editor: %s\n", e.what());
    return 1;
  }
}
