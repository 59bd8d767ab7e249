// Published settings that several item kinds share, for their property
// registrations.
#pragma once
#include "bars/kxbaritems.h"

// Glyph, ImageIndex and OnClick of an item kind that shows a glyph and clicks.
template <class C>
void kxBarGlyphAndClickProps(TPropBuilder<C>& p) {
  p.Prop("Glyph", &TkxBarItem::Glyph, &TkxBarItem::SetGlyph);
  p.Prop("ImageIndex", &TkxBarItem::ImageIndex, &TkxBarItem::SetImageIndexValue)
      .Default(-1)
      .Stored(&TkxBarItem::IsImageIndexStored);
  p.Prop("OnClick", [](C* i) { return i->OnClick; }, [](C* i, TNotifyEvent e) { i->OnClick = e; })
      .Stored(&TkxBarItem::IsOnClickStored);
}

// The string list of a combo kind that publishes it.
template <class C>
void kxBarStringComboProps(TPropBuilder<C>& p) {
  using S = TkxBarCustomCombo;
  p.Prop("Items", &S::Items, &S::SetItems);
  p.Prop("ItemIndex", &S::ItemIndex, &S::SetItemIndex).Default(-1);
  p.Prop("Sorted", &S::Sorted, &S::SetSorted).Default(false);
  p.Prop("ItemHeight", &S::ItemHeight, &S::SetItemHeight).Default(0);
}
