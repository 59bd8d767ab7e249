// The small pop-ups the bar library opens for itself: the toolbar list of
// dock sites and toolbars, and the customizing pop-up of a link (reset,
// delete, rename, paint style, group start; at design time also new items
// and deleting the toolbar).
#include <algorithm>

#include "bars/kxbarcustomize.h"
#include "bars/kxbaritems.h"
#include "framework/uxclasses.h"
#include "platform/controls/dialogs.h"
#include "platform/rtl/strings.h"

namespace kxbarcustpopup {

// "添加子项目(&S)"
const char* const kAddSubItem = "\xCC\xED\xBC\xD3\xD7\xD3\xCF\xEE\xC4\xBF(&S)";
// "添加按钮(&B)"
const char* const kAddButton = "\xCC\xED\xBC\xD3\xB0\xB4\xC5\xA5(&B)";
// "添加项目(&I)"
const char* const kAddItem = "\xCC\xED\xBC\xD3\xCF\xEE\xC4\xBF(&I)";
// "删除工具条"
const char* const kDeleteToolbar = "\xC9\xBE\xB3\xFD\xB9\xA4\xBE\xDF\xCC\xF5";
// "重置(&R)"
const char* const kReset = "\xD6\xD8\xD6\xC3(&R)";
// "名字(&N):"
const char* const kName = "\xC3\xFB\xD7\xD6(&N):";
// "标题(&C):"
const char* const kTitle = "\xB1\xEA\xCC\xE2(&C):";
// "缺省风格(&U)"
const char* const kDefaultStyle = "\xC8\xB1\xCA\xA1\xB7\xE7\xB8\xF1(&U)";
// "只有文本(&T) (总是)"
const char* const kTextOnlyAlways = "\xD6\xBB\xD3\xD0\xCE\xC4\xB1\xBE(&T) (\xD7\xDC\xCA\xC7)";
// "只有文本(&O) (在菜单上)"
const char* const kTextOnlyInMenus = "\xD6\xBB\xD3\xD0\xCE\xC4\xB1\xBE(&O) (\xD4\xDA\xB2\xCB\xB5\xA5\xC9\xCF)";
// "图标和文本(&A)"
const char* const kImageAndText = "\xCD\xBC\xB1\xEA\xBA\xCD\xCE\xC4\xB1\xBE(&A)";
// "开始组(&G)"
const char* const kBeginGroup = "\xBF\xAA\xCA\xBC\xD7\xE9(&G)";
// "显示(&V)"
const char* const kVisible = "\xCF\xD4\xCA\xBE(&V)";
// "最近使用的(&M)"
const char* const kMostRecent = "\xD7\xEE\xBD\xFC\xCA\xB9\xD3\xC3\xB5\xC4(&M)";
// "一个命令名未能为空.请输入一个名字."
const char* const kEmptyName =
    "\xD2\xBB\xB8\xF6\xC3\xFC\xC1\xEE\xC3\xFB\xCE\xB4\xC4\xDC\xCE\xAA\xBF\xD5.\xC7\xEB\xCA\xE4\xC8\xEB\xD2\xBB\xB8\xF6\xC3\xFB"
    "\xD7\xD6.";
// "默认"
const char* const kDefaultCategory = "\xC4\xAC\xC8\xCF";

// The entries by tag, -4 to 9.
const char* const kCaptions[14] = {kAddSubItem,   kAddButton,      kAddItem,         kDeleteToolbar, kReset,
                                   kDeleteToolbar, kName,          kDefaultStyle,    kTextOnlyAlways,
                                   kTextOnlyInMenus, kImageAndText, kBeginGroup,      kVisible,
                                   kMostRecent};

// The process-wide state of the customizing pop-up.
TkxBarCustomizingPopup* gPopup = nullptr;
TkxBarItemLink* gLink = nullptr;
TkxBarItemLinks* gLinks = nullptr;
bool gDesignCommand = false;

// A temporary item of the class, without owner, listed among the temporary items.
template <class T>
T* NewTempItem(TkxBarManager* M) {
  auto* item = new T(nullptr);
  kxBarAddTempItem(item);
  item->SetBarManager(M);
  return item;
}

// The object the entries' clicks are bound to: it outlives every pop-up.
struct TCommands {
  void ItemClick(TObject* Sender) { TkxBarCustomizingPopup::ItemClick(Sender); }
  void EditChange(TObject* Sender) { TkxBarCustomizingPopup::EditChange(Sender); }
};
TCommands gCommands;

}  // namespace kxbarcustpopup

namespace kcp = kxbarcustpopup;

bool kxBarDesignCommandRunning() { return kcp::gDesignCommand; }

// ===========================================================================
// the toolbar list

TkxBarToolbarsPopup::TkxBarToolbarsPopup(TkxBarManager* Manager) : TkxBarSubMenuControl((kxBarFreeTempItems(), Manager)) {
  FLinks = std::make_unique<TkxBarItemLinks>(Manager, this);
  SetItemLinks(FLinks.get());
  Manager->FillToolbarsPopup(FLinks.get());
}

TkxBarToolbarsPopup::~TkxBarToolbarsPopup() {
  if (HandleAllocated()) DestroyHandle();
  SetItemLinks(nullptr);
  FLinks.reset();
}

void kxBarShowToolbarsPopup(TkxBarManager* Manager, const TPoint& P) {
  if (!Manager) return;
  auto* popup = new TkxBarToolbarsPopup(Manager);
  if (popup->ItemLinks()->Count() == 0) {
    popup->Free();
    return;
  }
  Manager->HideAll();
  popup->SetBounds(P.x, P.y, popup->Width(), popup->Height());
  popup->SetAnimate(true);
  kxBarShowSubMenu(popup);
}

// ===========================================================================
// the customizing pop-up

TkxBarCustomizingPopup* kxBarGetCustomizingPopup() { return kcp::gPopup; }
void kxBarSetCustomizingPopup(TkxBarCustomizingPopup* Popup) { kcp::gPopup = Popup; }
TkxBarItemLink* kxBarGetCustomizingPopupLink() { return kcp::gLink; }
TkxBarItemLinks* kxBarGetCustomizingPopupLinks() { return kcp::gLinks; }

TkxBarCustomizingPopup::TkxBarCustomizingPopup(TkxBarManager* Manager, TkxBarItemLink* Link, TkxBarItemLinks* Links)
    : TkxBarSubMenuControl((kxBarFreeTempItems(), Manager)) {
  kcp::gLink = Link;
  kcp::gLinks = Links;
  FLinks = std::make_unique<TkxBarItemLinks>(Manager, this);
  SetItemLinks(FLinks.get());
  OnCloseUp = TNotifyEvent(this, &TkxBarCustomizingPopup::CloseUpEvent);
  bool design = Manager->IsDesigning();
  int first = 0, last = 7;
  if (design) {
    first = -4;
    last = Link ? (Manager->IsRecentItemsSupported() ? 9 : 8) : -1;
  }
  bool inToolbar = Links && dynamic_cast<TkxBarControl*>(Links->BarControl());
  for (int tag = first; tag <= last; ++tag) {
    if (tag == -1 && !inToolbar) continue;
    TkxBarItem* item;
    if (tag == -2) {
      auto* sub = kcp::NewTempItem<TkxBarSubItem>(Manager);
      sub->SetInternal(true);
      FillItemKinds(sub->ItemLinks());
      item = sub;
    } else if (tag == 2) {
      item = kcp::NewTempItem<TkxBarEdit>(Manager);
    } else {
      auto* button = kcp::NewTempItem<TkxBarButton>(Manager);
      if (tag >= 3) button->SetButtonStyle(bsChecked);
      if (tag >= 3 && tag <= 6) button->SetGroupIndex(-1000);
      item = button;
    }
    item->SetCaption(uxTranslateString(tag == 2 && design ? kcp::kTitle : kcp::kCaptions[tag + 4]));
    item->SetTag(tag);
    item->OnClick = TNotifyEvent(&kcp::gCommands, &kcp::TCommands::ItemClick);
    TkxBarItemLink* l = FLinks->Add();
    l->SetItem(item);
    l->SetBeginGroup(tag == -1 || tag == 0 || tag == 2 || tag == 3 || tag == 7);
  }
  if (Link) {
    for (int i = 0; i < FLinks->Count(); ++i) {
      TkxBarItem* item = FLinks->Items(i)->Item();
      int tag = int(item->Tag());
      if (tag == 2) {
        auto* edit = static_cast<TkxBarEdit*>(item);
        edit->SetText(Link->Caption());
        edit->OnChange = TNotifyEvent(&kcp::gCommands, &kcp::TCommands::EditChange);
      } else if (tag >= 3 && tag <= 6) {
        auto* b = dynamic_cast<TkxBarButton*>(Link->Item());
        bool styled = b && b->HasPaintStyle();
        item->SetEnabled(styled);
        int down = styled ? int(Link->PaintStyle()) + 3 : 3;
        static_cast<TkxBarButton*>(item)->SetDown(tag == down);
      } else if (tag == 7) {
        item->SetEnabled(Link->Index() > 0);
        static_cast<TkxBarButton*>(item)->SetDown(Link->BeginGroup());
      } else if (tag == 8) {
        static_cast<TkxBarButton*>(item)->SetDown(Link->Visible());
      } else if (tag == 9) {
        static_cast<TkxBarButton*>(item)->SetDown(Link->MostRecentlyUsed());
      }
    }
  }
  Manager->DoShowCustomizingPopup(FLinks.get());
}

TkxBarCustomizingPopup::~TkxBarCustomizingPopup() {
  if (kcp::gPopup == this) kcp::gPopup = nullptr;
  if (HandleAllocated()) DestroyHandle();
  SetItemLinks(nullptr);
  FLinks.reset();
}

void TkxBarCustomizingPopup::FillItemKinds(TkxBarItemLinks* Links) {
  TkxBarManager* m = BarManager();
  for (int k = 0; k < kxBarCustomizingItemClassCount(); ++k) {
    auto* button = kcp::NewTempItem<TkxBarButton>(m);
    button->SetCaption(kxBarGetCustomizingItemClass(k)->Name);
    button->SetTag(-100 - k);
    button->OnClick = TNotifyEvent(&kcp::gCommands, &kcp::TCommands::ItemClick);
    Links->Add()->SetItem(button);
  }
}

void TkxBarCustomizingPopup::ItemClick(TObject* Sender) {
  auto* item = dynamic_cast<TkxBarItem*>(Sender);
  if (!item) return;
  int tag = int(item->Tag());
  if (tag < 0) {
    kcp::gDesignCommand = true;
    try {
      ExecuteDesignCommand(item->BarManager(), tag);
    } catch (...) {
      kcp::gDesignCommand = false;
      throw;
    }
    kcp::gDesignCommand = false;
    return;
  }
  TkxBarItemLink* link = kcp::gLink;
  if (!link) return;
  switch (tag) {
    case 0:
      link->SetUserDefine(TkxBarUserDefines());
      break;
    case 1:
      kcp::gLink = nullptr;
      delete link;
      break;
    case 3:
    case 4:
    case 5:
    case 6:
      link->SetUserPaintStyle(TkxBarPaintStyle(tag - 3));
      break;
    case 7:
      link->SetBeginGroup(!link->StoredBeginGroup());
      break;
    case 8:
      link->SetVisible(!link->Visible());
      break;
    case 9:
      link->SetMostRecentlyUsed(!link->MostRecentlyUsed());
      break;
    default:
      break;
  }
}

void TkxBarCustomizingPopup::EditChange(TObject* Sender) {
  auto* edit = dynamic_cast<TkxBarEdit*>(Sender);
  TkxBarItemLink* link = kcp::gLink;
  if (!edit || !link) return;
  AnsiString text = edit->Text();
  if (!text.empty()) {
    TkxBarManager* m = link->BarManager();
    if (m && m->IsDesigning()) {
      if (link->Item()) link->Item()->SetCaption(text);
      m->DesignerModified();
    } else {
      link->SetUserCaption(text);
    }
    return;
  }
  // a command needs a name: the link keeps its caption
  if (kcp::gPopup) kcp::gPopup->CloseMenu();
  AnsiString title = Application ? Application->Title() : AnsiString();
  MessageBoxA(nullptr, uxTranslateString(kcp::kEmptyName).c_str(), title.c_str(), MB_ICONERROR | MB_OK);
}

void TkxBarCustomizingPopup::ExecuteDesignCommand(TkxBarManager* Manager, int Tag) {
  TkxBarItemLinks* links = kcp::gLinks;
  if (Tag == -1) {
    auto* toolbar = links ? dynamic_cast<TkxBarControl*>(links->BarControl()) : nullptr;
    if (!toolbar || !toolbar->Bar()) return;
    TkxBar* bar = toolbar->Bar();
    kcp::gLinks = nullptr;
    kcp::gLink = nullptr;
    bar->Free();
    kxBarCustomizingFormBarRemoved(bar);
    return;
  }
  TClass cls = nullptr;
  if (Tag == -4) cls = TkxBarSubItem::StaticClass();
  else if (Tag == -3) cls = TkxBarButton::StaticClass();
  else if (Tag <= -100) cls = kxBarGetCustomizingItemClass(-100 - Tag);
  TkxBarManager* m = Manager;
  if (!cls || !m || !links) return;
  auto* item = dynamic_cast<TkxBarItem*>(CreateObject(cls, m->Owner()));
  if (!item) return;
  try {
    int category = m->Categories()->IndexOf(uxTranslateString(kcp::kDefaultCategory));
    item->SetCategory(category < 0 ? 0 : category);
    item->SetName(kxBarMakeUniqueItemName(m, cls));
    item->SetCaption("New Item");
    TkxBarItemLink* added = nullptr;
    links->BeginUpdate();
    try {
      added = links->Add();
      added->SetItem(item);
      if (kcp::gLink) added->SetIndex(kcp::gLink->Index() + 1);
    } catch (...) {
      links->EndUpdate();
      throw;
    }
    links->EndUpdate();
    kxBarCustomizingFormCategoryChanged(item);
    if (TCustomkxBarControl* window = links->BarControl()) {
      window->Rebuild();
      if (TkxBarItemControl* c = added->Control()) {
        TRect r;
        window->GetItemRect(c, r);
        if (!IsRectEmpty(&r)) window->SelectItem(c);
      }
    }
  } catch (...) {
    item->Free();
    throw;
  }
}

void TkxBarCustomizingPopup::DoCloseUp() {
  TkxBarItemLink* link = kcp::gLink;
  TkxBarManager* m = link ? link->BarManager() : nullptr;
  if (link && m && !m->IsCustomizing()) {
    TCustomkxBarControl* window = link->BarControl();
    if (window && link->Control() && window->SelectedControl() == link->Control()) {
      m->ForgetSelectedItem();
      window->SetSelectedControl(nullptr);
    }
  }
  if (kcp::gPopup == this) kcp::gPopup = nullptr;
}
