// The published properties of the editor classes, shared by the plain and
// the data-aware editor (which leaves out a few and follows its parent's
// colour and font by default).
#pragma once
#include "editor/txtedit.h"
#include "platform/classes/typinfo.h"

template <class C>
void PublishTxtEditProps(TPropBuilder<C>& p, bool DataAware) {
  PublishControlProps(p,
                      "Align Anchors Constraints Ctl3D ParentCtl3D Enabled Color Font ParentColor ParentFont "
                      "ParentShowHint PopupMenu ShowHint TabOrder TabStop Visible "
                      "OnClick OnDblClick OnDragDrop OnDragOver OnEndDrag OnStartDrag OnEnter OnExit OnKeyDown "
                      "OnKeyPress OnKeyUp OnMouseDown OnMouseMove OnMouseUp OnMouseWheel OnMouseWheelDown "
                      "OnMouseWheelUp",
                      TControlPropDefaults{clWindow, DataAware, true, true});
  p.Prop("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crIBeam).Idents(CursorIdentMap());
  p.Prop("Height", &TControl::Height, &TControl::SetHeight).NoDefault();
  p.Prop("Width", &TControl::Width, &TControl::SetWidth).NoDefault();
  if (!DataAware) {
    p.Prop("ActiveLineColor", &TCustomTxtEdit::ActiveLineColor, &TCustomTxtEdit::SetActiveLineColor)
        .Default(clNone)
        .Idents(ColorIdentMap());
  }
  p.Prop("BookMarkOptions", &TCustomTxtEdit::BookMarkOptions, &TCustomTxtEdit::SetBookMarkOptions);
  p.Prop("BorderStyle", &TCustomTxtEdit::BorderStyle, &TCustomTxtEdit::SetBorderStyle).Default(bsSingle);
  p.Prop("ExtraLineSpacing", &TCustomTxtEdit::ExtraLineSpacing, &TCustomTxtEdit::SetExtraLineSpacing).Default(0);
  p.Prop("Gutter", &TCustomTxtEdit::Gutter, &TCustomTxtEdit::SetGutter);
  p.Prop("HideSelection", &TCustomTxtEdit::HideSelection, &TCustomTxtEdit::SetHideSelection).Default(false);
  p.Prop("Highlighter", &TCustomTxtEdit::Highlighter, &TCustomTxtEdit::SetHighlighter);
  p.Prop("InsertCaret", &TCustomTxtEdit::InsertCaret, &TCustomTxtEdit::SetInsertCaret).Default(ctVerticalLine);
  p.Prop("InsertMode", &TCustomTxtEdit::InsertMode, &TCustomTxtEdit::SetInsertMode).Default(true);
  if (!DataAware) {
    p.Prop("Lines", [](TCustomTxtEdit* e) { return static_cast<TStrings*>(e->Lines()); }, &TCustomTxtEdit::SetLines);
  }
  p.Prop("MaxScrollWidth", &TCustomTxtEdit::MaxScrollWidth, &TCustomTxtEdit::SetMaxScrollWidth).Default(1024);
  p.Prop("MaxUndo", &TCustomTxtEdit::MaxUndo, &TCustomTxtEdit::SetMaxUndo).Default(1024);
  p.Prop("Options", &TCustomTxtEdit::Options, &TCustomTxtEdit::SetOptions).Default(TxtDefaultOptions);
  p.Prop("OverwriteCaret", &TCustomTxtEdit::OverwriteCaret, &TCustomTxtEdit::SetOverwriteCaret).Default(ctBlock);
  p.Prop("ReadOnly", &TCustomTxtEdit::ReadOnly, &TCustomTxtEdit::SetReadOnlyProp).Default(false);
  p.Prop("RightEdge", &TCustomTxtEdit::RightEdge, &TCustomTxtEdit::SetRightEdge).Default(80);
  p.Prop("RightEdgeColor", &TCustomTxtEdit::RightEdgeColor, &TCustomTxtEdit::SetRightEdgeColor)
      .Default(clSilver)
      .Idents(ColorIdentMap());
  p.Prop("ScrollBars", &TCustomTxtEdit::ScrollBars, &TCustomTxtEdit::SetScrollBars).Default(ssBoth);
  if (!DataAware) {
    p.Prop("ScrollHintColor", &TCustomTxtEdit::ScrollHintColor, &TCustomTxtEdit::SetScrollHintColor)
        .Default(clInfoBk)
        .Idents(ColorIdentMap());
  }
  if (!DataAware) {
    p.Prop("ScrollHintFormat", &TCustomTxtEdit::ScrollHintFormat, &TCustomTxtEdit::SetScrollHintFormat)
        .Default(shfTopLineOnly);
  }
  p.Prop("SearchEngine", &TCustomTxtEdit::SearchEngine, &TCustomTxtEdit::SetSearchEngine);
  p.Prop("SelectedColor", &TCustomTxtEdit::SelectedColor, &TCustomTxtEdit::SetSelectedColor);
  p.Prop("SelectionMode", &TCustomTxtEdit::SelectionMode, &TCustomTxtEdit::SetSelectionMode).Default(smNormal);
  p.Prop("TabWidth", &TCustomTxtEdit::TabWidth, &TCustomTxtEdit::SetTabWidth).Default(8);
  if (!DataAware) {
    p.Prop("WantReturns", &TCustomTxtEdit::WantReturns, &TCustomTxtEdit::SetWantReturns).Default(true);
  }
  p.Prop("WantTabs", &TCustomTxtEdit::WantTabs, &TCustomTxtEdit::SetWantTabs).Default(false);
  if (!DataAware) {
    p.Prop("WordWrap", &TCustomTxtEdit::WordWrap, &TCustomTxtEdit::SetWordWrap).Default(false);
  }
  if (!DataAware) {
    p.Prop("WordWrapGlyph", &TCustomTxtEdit::WordWrapGlyph, &TCustomTxtEdit::SetWordWrapGlyph);
  }
  p.Prop("OnChange", &TCustomTxtEdit::OnChange, &TCustomTxtEdit::OnChange);
  if (!DataAware) {
    p.Prop("OnClearBookmark", &TCustomTxtEdit::OnClearBookmark, &TCustomTxtEdit::OnClearBookmark);
  }
  p.Prop("OnCommandProcessed", &TCustomTxtEdit::OnCommandProcessed, &TCustomTxtEdit::OnCommandProcessed);
  if (!DataAware) {
    p.Prop("OnContextHelp", &TCustomTxtEdit::OnContextHelp, &TCustomTxtEdit::OnContextHelp);
  }
  p.Prop("OnDropFiles", &TCustomTxtEdit::OnDropFiles, &TCustomTxtEdit::OnDropFiles);
  p.Prop("OnGutterClick", &TCustomTxtEdit::OnGutterClick, &TCustomTxtEdit::OnGutterClick);
  p.Prop("OnGutterGetText", &TCustomTxtEdit::OnGutterGetText, &TCustomTxtEdit::OnGutterGetText);
  p.Prop("OnGutterPaint", &TCustomTxtEdit::OnGutterPaint, &TCustomTxtEdit::OnGutterPaint);
  if (!DataAware) {
    p.Prop("OnMouseCursor", &TCustomTxtEdit::OnMouseCursor, &TCustomTxtEdit::OnMouseCursor);
  }
  p.Prop("OnPaint", &TCustomTxtEdit::OnPaint, &TCustomTxtEdit::OnPaint);
  p.Prop("OnPlaceBookmark", &TCustomTxtEdit::OnPlaceBookmark, &TCustomTxtEdit::OnPlaceBookmark);
  p.Prop("OnProcessCommand", &TCustomTxtEdit::OnProcessCommand, &TCustomTxtEdit::OnProcessCommand);
  p.Prop("OnProcessUserCommand", &TCustomTxtEdit::OnProcessUserCommand, &TCustomTxtEdit::OnProcessUserCommand);
  p.Prop("OnReplaceText", &TCustomTxtEdit::OnReplaceText, &TCustomTxtEdit::OnReplaceText);
  if (!DataAware) {
    p.Prop("OnScroll", &TCustomTxtEdit::OnScroll, &TCustomTxtEdit::OnScroll);
  }
  p.Prop("OnSpecialLineColors", &TCustomTxtEdit::OnSpecialLineColors, &TCustomTxtEdit::OnSpecialLineColors);
  p.Prop("OnStatusChange", &TCustomTxtEdit::OnStatusChange, &TCustomTxtEdit::OnStatusChange);
  p.Prop("OnPaintTransient", &TCustomTxtEdit::OnPaintTransient, &TCustomTxtEdit::OnPaintTransient);
}
