// Start-up and shut-down of the extra item kinds: their places in the
// item-class registry and their published settings.
#include "bars/kxbaritemsext.h"

namespace kxbaritemsreg {

template <class C>
void ExtraGlyphAndClick(TPropBuilder<C>& p) {
  p.Prop("Glyph", &TkxBarItem::Glyph, &TkxBarItem::SetGlyph);
  p.Prop("ImageIndex", &TkxBarItem::ImageIndex, &TkxBarItem::SetImageIndexValue)
      .Default(-1)
      .Stored(&TkxBarItem::IsImageIndexStored);
  p.Prop("OnClick", [](C* i) { return i->OnClick; }, [](C* i, TNotifyEvent e) { i->OnClick = e; })
      .Stored(&TkxBarItem::IsOnClickStored);
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
    ExtraGlyphAndClick(p);
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
    using C = TkxBarCustomCombo;
    p.Prop("Images", &I::Images, &I::SetImages);
    p.Prop("ShowText", &I::ShowText, &I::SetShowText).Default(true);
    p.Prop("ShowEditor", &TCustomkxBarCombo::ShowEditor, &TCustomkxBarCombo::SetShowEditor).Default(false);
    p.Prop("Items", &C::Items, &C::SetItems);
    p.Prop("ItemIndex", &C::ItemIndex, &C::SetItemIndex).Default(-1);
    p.Prop("Sorted", &C::Sorted, &C::SetSorted).Default(false);
    p.Prop("ItemHeight", &C::ItemHeight, &C::SetItemHeight).Default(0);
  });
}

}  // namespace kxbaritemsreg

void kxBarRegisterExtraItems() {
  kxBarRegisterItemClass(TkxBarStatic::StaticClass(), TkxBarStaticControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarImageCombo::StaticClass(), TkxBarImageComboControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarControlContainerItem::StaticClass(), TkxBarControlContainerControl::StaticClass(),
                         true);
  kxBarRegisterItemClass(TkxBarProgressItem::StaticClass(), TkxBarProgressControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarMRUListItem::StaticClass(), TkxBarContainerItemControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarInPlaceSubItem::StaticClass(), TkxBarInPlaceSubItemControl::StaticClass(), true);
  kxbaritemsreg::RegisterExtraProps();
}

void kxBarUnregisterExtraItems() {
  static const TClass classes[] = {TkxBarInPlaceSubItem::StaticClass(), TkxBarMRUListItem::StaticClass(),
                                   TkxBarProgressItem::StaticClass(), TkxBarControlContainerItem::StaticClass(),
                                   TkxBarImageCombo::StaticClass(), TkxBarStatic::StaticClass()};
  for (TClass c : classes) kxBarUnregisterItemClass(c);
}
