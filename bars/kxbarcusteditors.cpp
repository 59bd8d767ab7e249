// The small windows the customizing window opens: the toolbar and category
// name dialog, the sub-menu editor, the add-item dialog and the group-items
// picker.
#include <algorithm>
#include <memory>

#include "bars/kxbarcustomform.h"
#include "bars/kxbarcustomize.h"
#include "bars/kxbarpopup.h"
#include "framework/uxclasses.h"
#include "platform/controls/graphics.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sysutils.h"

namespace kxbarcusteditors {

const char* const kAddToolbar = "添加工具栏";
const char* const kRenameToolbar = "重命名工具栏";
const char* const kToolbarLabel = "工具栏名字(&T):";
const char* const kAddCategory = "添加类别";
const char* const kInsertCategory = "插入类别";
const char* const kRenameCategory = "重命名类别";
const char* const kCategoryLabel = "种类名字(&C):";
const char* const kOk = "确定";
const char* const kCancel = "取消";
const char* const kToolbarExists = "名称为 '%s' 的工具栏已经存在，请输入其它名称";
const char* const kSubMenuEditor = "子菜单编辑器";

AnsiString EdT(const char* Utf8) { return uxTranslateString(Utf8ToAnsi(Utf8)); }

TkxBarSubMenuEditor* gEditor = nullptr;

// Frees a form made for one modal run.
struct FormFree {
  void operator()(TCustomForm* Form) const { Form->Free(); }
};
template <class F>
using FormPtr = std::unique_ptr<F, FormFree>;

void UseCustomizingFont(TCustomForm* Form) {
  if (TkxBarCustomizingForm* f = kxBarCustomizingFormInstance()) Form->Font()->Assign(f->Font());
}

}  // namespace kxbarcusteditors

using namespace kxbarcusteditors;

// ---------------------------------------------------------------------------
// name dialog

void TkxBarNameEd::ENameChange(TObject*) { BOK->SetEnabled(!EName->Text().empty()); }

bool TkxBarNameEd::CloseQuery() {
  if (!TForm::CloseQuery()) return false;
  if (ModalResult() != mrOk || Kind != nkToolbar || !Manager) return true;
  AnsiString name = EName->Text();
  TkxBar* other = Manager->BarByCaption(name);
  if (!other || other == Bar) return true;
  AnsiString text = EdT(kToolbarExists);
  text.replace(text.find("%s"), 2, name);
  AnsiString title = Application ? Application->Title() : AnsiString();
  MessageBoxA(HandleAllocated() ? Handle() : nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
  return false;
}

bool kxBarShowNameDialog(AnsiString& Name, TkxBarNameKind Kind, TkxBarNameMode Mode, TkxBar* Bar,
                         TkxBarManager* Manager) {
  FormPtr<TkxBarNameEd> d(NewObject<TkxBarNameEd>(nullptr));
  UseCustomizingFont(d.get());
  d->Kind = Kind;
  d->Manager = Manager;
  d->Bar = Bar;
  if (Kind == nkToolbar) {
    d->SetCaption(EdT(Mode == nmRename ? kRenameToolbar : kAddToolbar));
    d->LName->SetCaption(EdT(kToolbarLabel));
  } else {
    d->SetCaption(EdT(Mode == nmRename ? kRenameCategory : Mode == nmInsert ? kInsertCategory : kAddCategory));
    d->LName->SetCaption(EdT(kCategoryLabel));
  }
  d->BOK->SetCaption(EdT(kOk));
  d->BCancel->SetCaption(EdT(kCancel));
  d->EName->SetText(Name);
  d->ENameChange(nullptr);
  d->SetActiveControl(d->EName);
  if (d->ShowModal() != mrOk) return false;
  Name = d->EName->Text();
  return true;
}

// ---------------------------------------------------------------------------
// sub-menu editor

TkxBarSubMenuEditor* kxBarGetSubMenuEditor() { return gEditor; }

void kxBarCloseSubMenuEditor() {
  if (TkxBarSubMenuEditor* e = gEditor) {
    gEditor = nullptr;
    e->Free();
  }
}

TkxBarSubMenuEditor::~TkxBarSubMenuEditor() {
  CloseMenu();
  if (FLinksOwner) FLinksOwner->RemoveFreeNotification(this);
  if (gEditor == this) gEditor = nullptr;
}

void TkxBarSubMenuEditor::CreateParams(TCreateParams& Params) {
  TForm::CreateParams(Params);
  Params.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
  Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
  Params.WindowClass.style |= CS_OWNDC | CS_SAVEBITS;
  TkxBarCustomizingForm* f = kxBarCustomizingFormInstance();
  TCustomForm* owner = f && f->BarManager() ? f->BarManager()->OwnerForm() : nullptr;
  if (owner && owner->HandleAllocated()) Params.WndParent = owner->Handle();
}

void TkxBarSubMenuEditor::SetItemLinks(TkxBarItemLinks* Value) {
  if (Value == FItemLinks) return;
  CloseMenu();
  if (FLinksOwner) FLinksOwner->RemoveFreeNotification(this);
  FLinksOwner = nullptr;
  FItemLinks = Value;
  if (!Value) {
    if (gEditor == this) gEditor = nullptr;
    Release();
    return;
  }
  FLinksOwner = dynamic_cast<TComponent*>(Value->Owner());
  if (FLinksOwner) FLinksOwner->FreeNotification(this);
}

void TkxBarSubMenuEditor::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FLinksOwner) {
    FLinksOwner = nullptr;
    FItemLinks = nullptr;
    if (gEditor == this) gEditor = nullptr;
    Release();
  }
}

void TkxBarSubMenuEditor::ShowMenu() {
  if (!FItemLinks || !HandleAllocated()) return;
  TkxBarManager* m = FItemLinks->BarManager();
  if (m && m->Dragging() && FItemLinks->RefersTo(m->DragItem())) return;
  if (FItemLinks->BarControl()) return;
  auto* menu = dynamic_cast<TkxBarSubMenuControl*>(FItemLinks->CreateBarControl());
  if (!menu) return;
  RECT r;
  GetWindowRect(Handle(), &r);
  menu->SetBounds(r.left, r.bottom, menu->Width(), menu->Height());
  menu->SetOwnerHeight(r.bottom - r.top);
  kxBarShowSubMenu(menu);
  if (menu->HandleAllocated()) {
    RECT mr;
    GetWindowRect(menu->Handle(), &mr);
    FMenuWidth = mr.right - mr.left;
    SetWindowPos(Handle(), nullptr, 0, 0, FMenuWidth, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TkxBarSubMenuEditor::CloseMenu() {
  if (FItemLinks && FItemLinks->BarControl())
    if (auto* menu = dynamic_cast<TkxBarSubMenuControl*>(FItemLinks->BarControl())) menu->CloseChain();
}

void TkxBarSubMenuEditor::WMActivate2(TMessage& Message) {
  TForm::Dispatch(Message);
  if (LOWORD(Message.WParam) != WA_INACTIVE) ShowMenu();
}

void TkxBarSubMenuEditor::WMGetMinMaxInfo2(TMessage& Message) {
  TForm::Dispatch(Message);
  if (!HandleAllocated()) return;
  auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
  RECT r;
  GetWindowRect(Handle(), &r);
  POINT size{FMenuWidth, r.bottom - r.top};
  info->ptMinTrackSize = size;
  info->ptMaxTrackSize = size;
  info->ptMaxSize = size;
}

void TkxBarSubMenuEditor::WMWindowPosChanged2(TMessage& Message) {
  TForm::Dispatch(Message);
  if (!FItemLinks || !HandleAllocated()) return;
  TCustomkxBarControl* menu = FItemLinks->BarControl();
  if (!menu || !menu->HandleAllocated()) return;
  RECT r;
  GetWindowRect(Handle(), &r);
  SetWindowPos(menu->Handle(), nullptr, r.left, r.bottom, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TkxBarSubMenuEditor::WMNCLButtonDown(TMessage& Message) {
  if (Message.WParam == HTCLOSE) {
    CloseMenu();
    TForm::Dispatch(Message);
    return;
  }
  if (HandleAllocated()) SetActiveWindow(Handle());
  TForm::Dispatch(Message);
}

void TkxBarSubMenuEditor::DoClose(TCloseAction& Action) {
  TForm::DoClose(Action);
  Action = caFree;
  if (gEditor == this) gEditor = nullptr;
}

void kxBarShowSubMenuEditor(TkxBarItemLinks* Links) {
  if (!Links) {
    kxBarCloseSubMenuEditor();
    return;
  }
  TkxBarManager* m = Links->BarManager();
  if (m) {
    m->SetCustomizing(true);
    if (m->IsCustomizing())
      if (TkxBarCustomizingForm* f = kxBarCustomizingFormInstance()) f->PageControl->SetActivePage(f->TabSheet2);
  }
  if (!gEditor) {
    gEditor = NewObject<TkxBarSubMenuEditor>(nullptr);
    gEditor->SetCaption(EdT(kSubMenuEditor));
    gEditor->SetClientHeight(0);
  }
  gEditor->SetItemLinks(Links);
  kxBarPumpMouseMessages();
  if (gEditor) gEditor->Show();
}

// ---------------------------------------------------------------------------
// add-item dialog

void TkxBarItemAddEditor::ComboBox1Change(TObject*) {
  int i = ComboBox1->ItemIndex();
  if (TClass cls = kxBarGetCustomizingItemClass(i)) Edit1->SetText(kxBarMakeUniqueItemName(Manager, cls));
}

void TkxBarItemAddEditor::FormShow(TObject*) {
  if (Edit1->CanFocus()) Edit1->SetFocus();
}

void TkxBarItemAddEditor::BOkClick(TObject*) {
  TClass cls = kxBarGetCustomizingItemClass(ComboBox1->ItemIndex());
  if (!cls || !Manager) return;
  TComponent* owner = Manager->Owner();
  TkxBarItem* item = nullptr;
  try {
    item = dynamic_cast<TkxBarItem*>(cls->Create(owner));
    if (!item) throw EkxBarError("Cannot create " + AnsiString(cls->Name));
    item->SetName(Edit1->Text());
    item->SetCategory(ComboBox2->ItemIndex());
    item->SetCaption(Edit2->Text());
    kxBarDesignerModified(Manager);
  } catch (...) {
    if (item) item->Free();
    // A fresh name is proposed and the dialog stays open.
    ComboBox1Change(nullptr);
    return;
  }
  CreatedItem = item;
  SetModalResult(mrOk);
}

TkxBarItem* kxBarShowAddItemDialog(TkxBarManager* Manager, int Category) {
  if (!Manager) return nullptr;
  FormPtr<TkxBarItemAddEditor> d(NewObject<TkxBarItemAddEditor>(nullptr));
  UseCustomizingFont(d.get());
  d->Manager = Manager;
  TkxBarManagerCategories* cats = Manager->Categories();
  for (int i = 0; i < cats->Count(); ++i) d->ComboBox2->Items()->Add(cats->Get(i));
  d->ComboBox2->SetItemIndex(Category >= 0 && Category < cats->Count() ? Category : (cats->Count() ? 0 : -1));
  for (int i = 0; i < kxBarCustomizingItemClassCount(); ++i)
    if (TClass cls = kxBarGetCustomizingItemClass(i)) d->ComboBox1->Items()->Add(cls->Name);
  d->ComboBox1->SetItemIndex(d->ComboBox1->Items()->Count() ? 0 : -1);
  d->ComboBox1Change(nullptr);
  if (d->ShowModal() != mrOk) return nullptr;
  return d->CreatedItem;
}

// ---------------------------------------------------------------------------
// group-items picker

namespace kxbarcusteditors {

// A row of the picker: a heading ("~" + text), or an item or group.
bool IsHeading(TListBox* List, int Index) {
  AnsiString s = List->Items()->Get(Index);
  return !s.empty() && s[0] == '~' && !List->Items()->Objects(Index);
}

int RowHeightOf(TFont* Font) {
  TBitmap b;
  b.SetSize(1, 1);
  b.Canvas()->Font()->Assign(Font);
  return b.Canvas()->TextHeight("Qq") + 2;
}

}  // namespace kxbarcusteditors

static LRESULT kxBarGroupItemsListProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* list = dynamic_cast<TListBox*>(FindControl(Wnd));
  auto* form = list ? dynamic_cast<TfrmAddGroupItems*>(list->Owner()) : nullptr;
  WNDPROC old = form ? form->OldListProc() : nullptr;
  // Background erasing is answered without erasing: the rows and the
  // area below them are painted by the list.
  if (Msg == WM_ERASEBKGND) return 1;
  if (old) return CallWindowProcA(old, Wnd, Msg, WParam, LParam);
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

void TfrmAddGroupItems::DoCreate() {
  if (lbGroupItems) {
    lbGroupItems->HandleNeeded();
    FOldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(lbGroupItems->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&kxBarGroupItemsListProc)));
  }
  TForm::DoCreate();
}

TfrmAddGroupItems::~TfrmAddGroupItems() {
  if (FOldProc && lbGroupItems && lbGroupItems->HandleAllocated())
    SetWindowLongPtrA(lbGroupItems->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldProc));
}

void TfrmAddGroupItems::Fill() {
  TkxBarManager* m = Group ? Group->BarManager() : nullptr;
  if (!m) return;
  lbGroupItems->Font()->Assign(m->Font());
  TStrings* rows = lbGroupItems->Items();
  rows->BeginUpdate();
  rows->Clear();
  if (m->GroupCount() > 1) {
    rows->Add("~< Groups >");
    for (int i = 0; i < m->GroupCount(); ++i)
      if (m->GetGroup(i) != Group) rows->AddObject(m->GetGroup(i)->Name(), m->GetGroup(i));
  }
  for (int c = 0; c < m->Categories()->Count(); ++c) {
    std::vector<TkxBarItem*> items;
    m->GetVisibleItemsByCategory(c, items);
    if (items.empty()) continue;
    rows->Add("~" + m->Categories()->Get(c));
    for (TkxBarItem* item : items) rows->AddObject(item->Caption(), item);
  }
  rows->EndUpdate();
}

void TfrmAddGroupItems::lbGroupItemsMeasureItem(TWinControl*, int, int& Height) {
  Height = RowHeightOf(lbGroupItems->Font());
}

void TfrmAddGroupItems::lbGroupItemsDrawItem(TWinControl*, int Index, TRect Rect, TOwnerDrawState State) {
  TCanvas* c = lbGroupItems->Canvas();
  c->Font()->Assign(lbGroupItems->Font());
  AnsiString text = lbGroupItems->Items()->Get(Index);
  if (IsHeading(lbGroupItems, Index)) {
    c->Brush()->SetColor(clBtnFace);
    c->Font()->SetColor(clBtnText);
    c->FillRect(Rect);
    c->TextRect(Rect, Rect.left + 2, Rect.top + 1, text.substr(1));
  } else {
    auto* member = static_cast<TComponent*>(lbGroupItems->Items()->Objects(Index));
    bool selected = State.Contains(odSelected);
    bool inGroup = Group && Group->IndexOf(member) >= 0;
    c->Brush()->SetColor(selected ? clHighlight : clWindow);
    c->Font()->SetColor(inGroup ? clBtnFace : selected ? clHighlightText : clWindowText);
    c->FillRect(Rect);
    AnsiString pad = "   ";
    if (auto* item = dynamic_cast<TkxBarItem*>(member)) {
      int middle = (Rect.left + Rect.right) / 2;
      c->TextRect(TRect{Rect.left, Rect.top, middle, Rect.bottom}, Rect.left, Rect.top + 1, pad + text);
      c->Pen()->SetColor(selected ? clHighlightText : clWindowText);
      c->MoveTo(middle, Rect.top);
      c->LineTo(middle, Rect.bottom);
      c->TextRect(TRect{middle + 1, Rect.top, Rect.right, Rect.bottom}, middle + 1, Rect.top + 1, pad + item->Name());
    } else {
      c->TextRect(Rect, Rect.left, Rect.top + 1, pad + text);
    }
  }
  // the rest of the list below the last row
  if (Index == lbGroupItems->Items()->Count() - 1 && lbGroupItems->HandleAllocated()) {
    TRect below{Rect.left, Rect.bottom, Rect.right, lbGroupItems->ClientHeight()};
    if (below.bottom > below.top) {
      c->Brush()->SetColor(clBtnFace);
      c->FillRect(below);
    }
  }
}

bool kxBarShowAddGroupItemsDialog(TkxBarGroup* Group, std::vector<TComponent*>& List) {
  if (!Group) return false;
  FormPtr<TfrmAddGroupItems> d(NewObject<TfrmAddGroupItems>(nullptr));
  d->Group = Group;
  d->Fill();
  if (d->ShowModal() != mrOk) return false;
  for (int i = 0; i < d->lbGroupItems->Items()->Count(); ++i)
    if (d->lbGroupItems->Selected(i))
      if (auto* c = static_cast<TComponent*>(d->lbGroupItems->Items()->Objects(i))) List.push_back(c);
  return true;
}

void kxBarRegisterCustomizingEditors() {
  RegisterHandlers<TkxBarNameEd>([](THandlerBuilder<TkxBarNameEd>& h) {
    h.Field("LName", &TkxBarNameEd::LName);
    h.Field("EName", &TkxBarNameEd::EName);
    h.Field("BOK", &TkxBarNameEd::BOK);
    h.Field("BCancel", &TkxBarNameEd::BCancel);
    h.Handler("ENameChange", &TkxBarNameEd::ENameChange);
  });
  RegisterHandlers<TkxBarItemAddEditor>([](THandlerBuilder<TkxBarItemAddEditor>& h) {
    using D = TkxBarItemAddEditor;
    h.Field("Label1", &D::Label1);
    h.Field("Label2", &D::Label2);
    h.Field("Label3", &D::Label3);
    h.Field("Label4", &D::Label4);
    h.Field("ComboBox1", &D::ComboBox1);
    h.Field("ComboBox2", &D::ComboBox2);
    h.Field("Edit1", &D::Edit1);
    h.Field("Edit2", &D::Edit2);
    h.Field("BOk", &D::BOk);
    h.Field("BCancel", &D::BCancel);
    h.Handler("ComboBox1Change", &D::ComboBox1Change);
    h.Handler("BOkClick", &D::BOkClick);
    h.Handler("FormShow", &D::FormShow);
  });
  RegisterHandlers<TfrmAddGroupItems>([](THandlerBuilder<TfrmAddGroupItems>& h) {
    using D = TfrmAddGroupItems;
    h.Field("PButtons", &D::PButtons);
    h.Field("PList", &D::PList);
    h.Field("lbGroupItems", &D::lbGroupItems);
    h.Field("btnOk", &D::btnOk);
    h.Field("btnCancel", &D::btnCancel);
    h.Handler("lbGroupItemsDrawItem", &D::lbGroupItemsDrawItem);
    h.Handler("lbGroupItemsMeasureItem", &D::lbGroupItemsMeasureItem);
  });
}
