// Start-up and shut-down of the extra item kinds: their places in the
// item-class registry and their published settings.
#include "bars/kxbardate.h"
#include "bars/kxbaritemsext.h"
#include "bars/kxbarprops.h"

namespace kxbaritemsreg {

// An event of the tree combo kept in its drop-down tree (none once the tree is gone).
template <class E>
void TreeEvent(TPropBuilder<TkxBarTreeViewCombo>& p, const char* Name, E TCustomTreeView::*Member) {
  p.Prop(
      Name, [Member](TkxBarTreeViewCombo* C) { return C->TreeView() ? C->TreeView()->*Member : E(); },
      [Member](TkxBarTreeViewCombo* C, E Value) {
        if (C->TreeView()) C->TreeView()->*Member = Value;
      });
}

void RegisterExtraProps() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterProps<TkxBarStatic>([](TPropBuilder<TkxBarStatic>& p) {
    using S = TkxBarStatic;
    p.Prop("Alignment", &S::Alignment, &S::SetAlignment).Default(taCenter);
    p.Prop("AllowClick", &S::AllowClick, &S::SetAllowClick).Default(false);
    p.Prop("BorderStyle", &S::BorderStyle, &S::SetBorderStyle).Default(TkxBarStaticBorderStyle::sbsNone);
    p.Prop("Height", &S::Height, &S::SetHeight).Default(0);
    p.Prop("LeftIndent", &S::LeftIndent, &S::SetLeftIndent).Default(0);
    p.Prop("RightIndent", &S::RightIndent, &S::SetRightIndent).Default(0);
    p.Prop("ShowCaption", &S::ShowCaption, &S::SetShowCaption).Default(true);
    p.Prop("Width", &S::Width, &S::SetWidth).Default(0);
    kxBarGlyphAndClickProps(p);
  });
  RegisterProps<TkxBarProgressItem>([](TPropBuilder<TkxBarProgressItem>& p) {
    using P = TkxBarProgressItem;
    p.Prop("BorderStyle", &TkxBarStatic::BorderStyle, &TkxBarStatic::SetBorderStyle)
        .Default(TkxBarStaticBorderStyle::sbsLowered);
    p.Prop("Color", &P::Color, &P::SetColor).Default(clDefault);
    p.Prop("Max", &P::Max, &P::SetMax).Default(100);
    p.Prop("Min", &P::Min, &P::SetMin).Default(0);
    p.Prop("Position", &P::Position, &P::SetPosition).Default(0);
    p.Prop("Smooth", &P::Smooth, &P::SetSmooth).Default(false);
    p.Prop("Step", &P::Step, &P::SetStep).Default(10);
  });
  RegisterProps<TkxBarControlContainerItem>([](TPropBuilder<TkxBarControlContainerItem>& p) {
    using C = TkxBarControlContainerItem;
    p.Prop("Control", &C::Control, &C::SetControl);
  });
  RegisterProps<TkxBarMRUListItem>([](TPropBuilder<TkxBarMRUListItem>& p) {
    using M = TkxBarMRUListItem;
    p.Prop("MaxItemCount", &M::MaxItemCount, &M::SetMaxItemCount).Default(5);
    p.Prop("RemoveItemOnClick", &M::RemoveItemOnClick, &M::SetRemoveItemOnClick).Default(false);
  });
  RegisterProps<TkxBarInPlaceSubItem>([](TPropBuilder<TkxBarInPlaceSubItem>& p) {
    using I = TkxBarInPlaceSubItem;
    p.Prop("Expanded", &I::Expanded, &I::SetExpanded).Default(false);
    p.Prop("KeepBeginGroupWhileExpanded", &I::KeepBeginGroupWhileExpanded, &I::SetKeepBeginGroupWhileExpanded)
        .Default(false);
    p.Prop("OnAfterExpand", &I::OnAfterExpand, &I::OnAfterExpand);
    p.Prop("OnBeforeCollapse", &I::OnBeforeCollapse, &I::OnBeforeCollapse);
  });
  RegisterProps<TkxBarImageCombo>([](TPropBuilder<TkxBarImageCombo>& p) {
    using I = TkxBarImageCombo;
    p.Prop("Images", &I::Images, &I::SetImages);
    p.Prop("ShowText", &I::ShowText, &I::SetShowText).Default(true);
    p.Prop("ShowEditor", &TCustomkxBarCombo::ShowEditor, &TCustomkxBarCombo::SetShowEditor).Default(false);
    kxBarStringComboProps(p);
  });
  RegisterProps<TkxBarLargeButton>([](TPropBuilder<TkxBarLargeButton>& p) {
    using L = TkxBarLargeButton;
    p.Prop("AutoGrayScale", &L::AutoGrayScale, &L::SetAutoGrayScale).Default(true);
    p.Prop("GlyphLayout", &L::GlyphLayout, &L::SetGlyphLayout).Default(glTop);
    p.Prop("Height", &L::Height, &L::SetHeight).Default(0);
    p.Prop("HotGlyph", &L::HotGlyph, &L::SetHotGlyph);
    p.Prop("HotImageIndex", &L::HotImageIndex, &L::SetHotImageIndex).Default(-1);
    p.Prop("LargeGlyph", &L::LargeGlyph, &L::SetLargeGlyph);
    p.Prop("LargeImageIndex", &L::LargeImageIndex, &L::SetLargeImageIndex).Default(-1);
    p.Prop("ShowCaption", &L::ShowCaption, &L::SetShowCaption).Default(true);
    p.Prop("SyncImageIndex", &L::SyncImageIndex, &L::SetSyncImageIndex).Default(true);
    p.Prop("Width", &L::Width, &L::SetWidth).Default(0);
    // written only while the two indexes are kept apart
    p.Prop("ImageIndex", &TkxBarItem::ImageIndex, &TkxBarItem::SetImageIndexValue).Stored([](TObject* o) {
      return !static_cast<L*>(o)->SyncImageIndex() && static_cast<L*>(o)->IsImageIndexStored();
    });
  });
  RegisterProps<TkxBarColorCombo>([](TPropBuilder<TkxBarColorCombo>& p) {
    using C = TkxBarColorCombo;
    p.Prop("AutoColor", &C::AutoColor, &C::SetAutoColor).Default(clWindowText);
    p.Prop("AutoColorText", &C::AutoColorText, &C::SetAutoColorText).Stored([](TObject* o) {
      return static_cast<C*>(o)->IsAutoColorTextStored();
    });
    p.Prop("Color", &C::Color, &C::SetColor).NoDefault();
    p.Prop("CustomColorText", &C::CustomColorText, &C::SetCustomColorText).Stored([](TObject* o) {
      return static_cast<C*>(o)->IsCustomColorTextStored();
    });
    p.Prop("DropDownCount", &TkxBarCustomCombo::DropDownCount, &TkxBarCustomCombo::SetDropDownCount)
        .Stored([](TObject* o) {
          auto* c = static_cast<C*>(o);
          return c->DropDownCount() != c->DefaultDropDownCount();
        });
    p.Prop("ShowAutoColor", &C::ShowAutoColor, &C::SetShowAutoColor).Default(false);
    p.Prop("ShowCustomColorButton", &C::ShowCustomColorButton, &C::SetShowCustomColorButton).Default(false);
    p.Prop("ShowEditor", &TCustomkxBarCombo::ShowEditor, &TCustomkxBarCombo::SetShowEditor).Default(false);
  });
  RegisterProps<TkxBarSpinEdit>([](TPropBuilder<TkxBarSpinEdit>& p) {
    using S = TkxBarSpinEdit;
    p.Prop("Increment", &S::Increment, &S::SetIncrement).Stored([](TObject* o) {
      return static_cast<S*>(o)->Increment() != 1;
    });
    p.Prop("MaxValue", &S::MaxValue, &S::SetMaxValue).Stored([](TObject* o) {
      return static_cast<S*>(o)->MaxValue() != 0;
    });
    p.Prop("MinValue", &S::MinValue, &S::SetMinValue).Stored([](TObject* o) {
      return static_cast<S*>(o)->MinValue() != 0;
    });
    p.Prop("Prefix", &S::Prefix, &S::SetPrefix);
    p.Prop("PrefixPlace", &S::PrefixPlace, &S::SetPrefixPlace).Default(ppEnd);
    p.Prop("ValueType", &S::ValueType, &S::SetValueType).Default(svtInteger);
    p.Prop("Value", &S::Value, &S::SetValue).Stored([](TObject* o) { return static_cast<S*>(o)->Value() != 0; });
    p.Prop("OnButtonClick", &S::OnButtonClick, &S::OnButtonClick);
  });
  RegisterProps<TkxBarTreeViewCombo>([](TPropBuilder<TkxBarTreeViewCombo>& p) {
    using T = TkxBarTreeViewCombo;
    p.Prop("AllowResizing", &T::AllowResizing, &T::SetAllowResizing).Default(true);
    p.Prop("ChooseByDblClick", &T::ChooseByDblClick, &T::SetChooseByDblClick).Default(true);
    p.Prop("DropDownHeight", &T::DropDownHeight, &T::SetDropDownHeight).Default(200);
    p.Prop("DropDownWidth", &T::DropDownWidth, &T::SetDropDownWidth).Default(150);
    p.Prop("FullExpand", &T::FullExpand, &T::SetFullExpand).Default(false);
    p.Prop("Images", &T::Images, &T::SetImages);
    p.Prop("StateImages", &T::StateImages, &T::SetStateImages);
    p.Prop("Indent", &T::Indent, &T::SetIndent).NoDefault();
    p.Prop("Items", &T::Items, &T::SetItems);
    p.Prop("ShowButtons", &T::ShowButtons, &T::SetShowButtons).Default(true);
    p.Prop("ShowLines", &T::ShowLines, &T::SetShowLines).Default(true);
    p.Prop("ShowRoot", &T::ShowRoot, &T::SetShowRoot).Default(true);
    p.Prop("SortType", &T::SortType, &T::SetSortType).Default(stNone);
    p.Prop("ShowEditor", &TCustomkxBarCombo::ShowEditor, &TCustomkxBarCombo::SetShowEditor).Default(false);
    p.Prop("ShowImageInEdit", &T::ShowImageInEdit, &T::SetShowImageInEdit).Default(true);
    p.Prop("OnCanSelectNode", &T::OnCanSelectNode, &T::OnCanSelectNode);
    // the tree's own events live in the drop-down tree
    TreeEvent(p, "OnExpanded", &TCustomTreeView::OnExpanded);
    TreeEvent(p, "OnExpanding", &TCustomTreeView::OnExpanding);
    TreeEvent(p, "OnChanging", &TCustomTreeView::OnChanging);
    TreeEvent(p, "OnCollapsed", &TCustomTreeView::OnCollapsed);
    TreeEvent(p, "OnCollapsing", &TCustomTreeView::OnCollapsing);
    TreeEvent(p, "OnCompare", &TCustomTreeView::OnCompare);
    TreeEvent(p, "OnGetImageIndex", &TCustomTreeView::OnGetImageIndex);
    TreeEvent(p, "OnGetSelectedIndex", &TCustomTreeView::OnGetSelectedIndex);
    TreeEvent(p, "OnTreeViewChange", &TCustomTreeView::OnChange);
  });
}

}  // namespace kxbaritemsreg

void kxBarRegisterExtraItems() {
  // the order of the customizing window's kinds
  kxBarRegisterItemClass(TkxBarStatic::StaticClass(), TkxBarStaticControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarLargeButton::StaticClass(), TkxBarLargeButtonControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarColorCombo::StaticClass(), TkxBarColorComboControl::StaticClass(), true);
  kxBarRegisterDateItems();
  kxBarRegisterItemClass(TkxBarTreeViewCombo::StaticClass(), TkxBarTreeViewComboControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarImageCombo::StaticClass(), TkxBarImageComboControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarToolbarsListItem::StaticClass(), TkxBarToolbarsListItemControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarSpinEdit::StaticClass(), TkxBarSpinEditControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarControlContainerItem::StaticClass(), TkxBarControlContainerControl::StaticClass(),
                         true);
  kxBarRegisterItemClass(TkxBarProgressItem::StaticClass(), TkxBarProgressControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarMRUListItem::StaticClass(), TkxBarContainerItemControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarInPlaceSubItem::StaticClass(), TkxBarInPlaceSubItemControl::StaticClass(), true);
  kxbaritemsreg::RegisterExtraProps();
}

void kxBarUnregisterExtraItems() {
  static const TClass last[] = {TkxBarInPlaceSubItem::StaticClass(),       TkxBarMRUListItem::StaticClass(),
                                TkxBarProgressItem::StaticClass(),         TkxBarControlContainerItem::StaticClass(),
                                TkxBarSpinEdit::StaticClass(),             TkxBarToolbarsListItem::StaticClass(),
                                TkxBarImageCombo::StaticClass(),
                                TkxBarTreeViewCombo::StaticClass()};
  for (TClass c : last) kxBarUnregisterItemClass(c);
  kxBarUnregisterDateItems();
  static const TClass first[] = {TkxBarColorCombo::StaticClass(), TkxBarLargeButton::StaticClass(),
                                 TkxBarStatic::StaticClass()};
  for (TClass c : first) kxBarUnregisterItemClass(c);
  kxBarFreeColorDialog();
}
