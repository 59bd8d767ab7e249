// The page control: the tab control with one child page (a tab sheet) per
// tab. A sheet's tab mirrors its caption, enabled state, image, highlight and
// tab visibility; selecting a tab shows its sheet and hides the previous one,
// and each change of page fires one OnChange, whichever way it was made.
#pragma once

#include <vector>

#include "pagecontrol/uxpc.h"

class TuxPageControl;
class TuxTabSheet;

using TuxPageChangingEvent = TEvent<void(TObject* Sender, TuxTabSheet* NewPage, bool& AllowChange)>;

class TuxTabSheet : public TCustomControl {
  PV_CLASS(TuxTabSheet, TCustomControl)
  friend class TuxPageControl;

 public:
  explicit TuxTabSheet(TComponent* AOwner);
  ~TuxTabSheet() override;

  TuxPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TuxPageControl* Value);
  TuxTab* OwnTab() const { return FOwnTab; }
  bool Highlighted() const { return FHighlighted; }
  void SetHighlighted(bool Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value);
  // Position among the pages; -1 without a page control.
  int PageIndex() const;
  // Raises EListError for an index past the last page.
  void SetPageIndex(int Value);
  // Only a page control or nothing can be the parent; anything else is
  // refused silently.
  void SetParent(TWinControl* AParent) override;

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

 protected:
  void CreateParams(TCreateParams& Params) override;
  virtual void DoHide();
  virtual void DoShow();
  void SyncTab();

  void WMEraseBkgnd(TMessage& M);
  void WMNCPaint(TMessage& M);
  void WMWindowPosChanged(TMessage& M);
  void CMShowingChanged(TMessage& M);
  void CMEnabledChanged(TMessage& M);
  void CMTextChanged(TMessage& M);
  void CMColorChanged(TMessage& M);
  void CMParentColorChanged(TMessage& M);

 private:
  TuxPageControl* FPageControl = nullptr;
  TuxTab* FOwnTab = nullptr;
  bool FHighlighted = false;
  int FImageIndex = -1;
  bool FTabVisible = true;
  bool FWasShowing = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TMessage, WMEraseBkgnd)
    PV_MESSAGE_HANDLER(WM_NCPAINT, TMessage, WMNCPaint)
    PV_MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, TMessage, WMWindowPosChanged)
    PV_MESSAGE_HANDLER(CM_SHOWINGCHANGED, TMessage, CMShowingChanged)
    PV_MESSAGE_HANDLER(CM_ENABLEDCHANGED, TMessage, CMEnabledChanged)
    PV_MESSAGE_HANDLER(CM_TEXTCHANGED, TMessage, CMTextChanged)
    PV_MESSAGE_HANDLER(CM_COLORCHANGED, TMessage, CMColorChanged)
    PV_MESSAGE_HANDLER(CM_PARENTCOLORCHANGED, TMessage, CMParentColorChanged)
  END_MESSAGE_MAP(TCustomControl)
};

class TuxPageControl : public TuxCustomTabControl {
  PV_CLASS(TuxPageControl, TuxCustomTabControl)
  friend class TuxTabSheet;

 public:
  explicit TuxPageControl(TComponent* AOwner);
  ~TuxPageControl() override;
  void Loaded() override;

  TuxTabSheet* ActivePage() const { return FActivePage; }
  void SetActivePage(TuxTabSheet* Page);
  int PageCount() const { return int(FPages.size()); }
  TuxTabSheet* Pages(int Index) const;
  TuxTabSheet* FindNextPage(TuxTabSheet* Current, bool GoForward, bool CheckTabVisible) const;
  void SelectNextPage(bool GoForward, bool CheckTabVisible = true);
  bool InsertingPage() const { return FInsertingPage; }
  bool ParentBackground() const { return ControlStyle().Contains(csParentBackground); }
  void SetParentBackground(bool Value);

  TuxPageChangingEvent OnPageChanging;

  // -- overrides of the tab control --
  void CloseTab() override;
  TControl* GetActivePage() override { return FActivePage; }
  TControl* GetPage(int TabIndex) override;
  void ImageListChanged() override;
  bool HiddenTabCannotBeCurrent() override { return true; }
  bool PrintsClient() override { return false; }
  bool CanChange(int NewTabIndex) override;
  void Change() override;
  void LayoutChanged() override;
  bool CanFocusOnClickAt(int X, int Y) override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;

  virtual void UpdateActivePage();
  virtual bool CanChangeActivePage(TuxTabSheet* Page);
  virtual void PageChanged();

 protected:
  void ShowControl(TControl* AControl) override;
  void ChangeActivePage(TuxTabSheet* Page);
  void InsertPage(TuxTabSheet* Page);
  void RemovePage(TuxTabSheet* Page);

 private:
  TuxTabSheet* FActivePage = nullptr;
  std::vector<TuxTabSheet*> FPages;
  bool FInsertingPage = false;
};

// Registers the page control and the tab sheet with their published settings.
void uxInitPageControl();
