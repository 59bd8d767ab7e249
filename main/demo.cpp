// The demonstration form's handlers.
#include "main/demo.h"
#include <cstdlib>
#include <fstream>
#include "platform/classes/typinfo.h"
#include "platform/rtl/strings.h"

namespace {

void Log(const std::string& utf8) {
  const char* path = std::getenv("PENVARRO_EVENT_LOG");
  if (!path || !*path) return;
  std::ofstream f(path, std::ios::app | std::ios::binary);
  f << utf8 << '\n';
}

}  // namespace

void TFrmDemo::FormCreate(TObject*) {
  TTreeNodes* items = Tree->Items();
  TTreeNode* volume = items->Add(nullptr, Utf8ToAnsi("第一卷"));
  items->AddChild(volume, Utf8ToAnsi("第一章 初见"));
  items->AddChild(volume, Utf8ToAnsi("第二章 节点"));
  TTreeNode* people = items->Add(nullptr, Utf8ToAnsi("人物"));
  items->AddChild(people, Utf8ToAnsi("李雷"));
  items->AddChild(people, Utf8ToAnsi("韩梅梅"));
  Tree->FullExpand();
  SetActiveControl(Edit1);
}

void TFrmDemo::FormClose(TObject*, TCloseAction&) {
  Log("exit");
  Log("edit=" + AnsiToUtf8(Edit1->Text()));
}

void TFrmDemo::CopyClick(TObject*) {
  Edit1->SelectAll();
  Edit1->CopyToClipboard();
  Status->SetCaption(Utf8ToAnsi("已复制"));
  Log("copy");
}

void TFrmDemo::PasteClick(TObject*) {
  Edit1->SelectAll();
  Edit1->PasteFromClipboard();
  Status->SetCaption(Utf8ToAnsi("已粘贴"));
  Log("paste");
}

void TFrmDemo::ExitBtnClick(TObject*) {
  Log("button exit");
  Close();
}

void TFrmDemo::ExitMenuClick(TObject*) {
  Log("menu exit");
  Close();
}

void RegisterDemoForm() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TFrmDemo::StaticClass()});
  RegisterHandlers<TFrmDemo>([](THandlerBuilder<TFrmDemo>& h) {
    h.Field("Tree", &TFrmDemo::Tree);
    h.Field("Edit1", &TFrmDemo::Edit1);
    h.Field("CopyBtn", &TFrmDemo::CopyBtn);
    h.Field("PasteBtn", &TFrmDemo::PasteBtn);
    h.Field("ExitBtn", &TFrmDemo::ExitBtn);
    h.Field("Status", &TFrmDemo::Status);
    h.Field("MainMenu1", &TFrmDemo::MainMenu1);
    h.Field("Exit1", &TFrmDemo::Exit1);
    h.Handler("FormCreate", &TFrmDemo::FormCreate);
    h.Handler("FormClose", &TFrmDemo::FormClose);
    h.Handler("CopyClick", &TFrmDemo::CopyClick);
    h.Handler("PasteClick", &TFrmDemo::PasteClick);
    h.Handler("ExitBtnClick", &TFrmDemo::ExitBtnClick);
    h.Handler("ExitMenuClick", &TFrmDemo::ExitMenuClick);
  });
}
