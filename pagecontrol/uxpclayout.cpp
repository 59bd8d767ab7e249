// The tab control's layout and interaction: measuring the tabs through the
// painter, one scrollable row with navigator buttons or several balanced rows,
// the side of the page each row is drawn on and the two clip areas of the rows;
// hot tracking, the navigator buttons with their repeat timer, clicks, the
// wheel and the keyboard.
#include <algorithm>

#include "pagecontrol/uxpc.h"
#include "pagecontrol/uxpcpainter.h"
#include "pagecontrol/uxpcutils.h"

namespace {

constexpr unsigned kArrowFirstInterval = 300, kArrowNextInterval = 150;

// The rows of a run being balanced: first and last visible index of each.
using TRunRows = std::vector<TuxPCLineIndexBounds>;

}  // namespace

// ---------------------------------------------------------------------------
// the whole layout

void TuxCustomTabControl::LayoutChanged() {
  if (IsLoading() || IsDestroying() || FInLayoutChanged || !FPainter) return;
  FInLayoutChanged = true;
  try {
    MaxRotatedTabWidth();  // clamps to the painter's minimum
    DropRotatedCaptions();
    CalculateLayout();
    for (int i = 0; i < FVisibleTabs->Count(); ++i)
      if (GetImageIndex(VisibleTab(i)->Index()) != -1 && VisibleTab(i)->IsVisibleOnScreen())
        FPainter->RepaintTab(i, tckContent);
    if (Images() && Images()->Count() > 0)
      FImageList->SetRotationKind(Byte(FPainter->IsNativePainting() ? 0 : TextDirection()));
    Realign();
    Invalidate();
    UpdateMainTab();
    UpdateHotTrack(GetShiftState());
  } catch (...) {
    FInLayoutChanged = false;
    throw;
  }
  FInLayoutChanged = false;
}

void TuxCustomTabControl::CalculateTabsLayoutParams(TuxPCNavigatorButtons Buttons) {
  FTabLayoutParams = TabLayoutParams();
  FPainter->CalculateTabsLayout(Buttons, FTabLayoutParams);
}

void TuxCustomTabControl::SetShownNavigatorButtons(TuxPCNavigatorButtons Buttons) {
  FShownNavigatorButtons = Buttons;
  for (TuxPCNavigatorButton B : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose}) {
    if (Buttons.Contains(B)) continue;
    FHotNavigatorButtons >> B;
    FPressedNavigatorButtons >> B;
    if (FNavigatorButtonStates[B] == nbsHotTrack || FNavigatorButtonStates[B] == nbsPressed)
      FNavigatorButtonStates[B] = nbsNormal;
  }
}

void TuxCustomTabControl::CalculateLayout() {
  FNearTabArea = FFarTabArea = TRect{};
  const int Count = FVisibleTabs->Count();
  if (FFirstVisibleTab == -1 && Count > 0) FFirstVisibleTab = 0;
  FFirstVisibleTab = std::min(FFirstVisibleTab, Count - 1);
  FLastShownTab = FFirstVisibleTab;
  // Indices handed out earlier may point past tabs removed meanwhile.
  if (FHotTab >= Count) FHotTab = -1;
  if (FMainTab >= Count) FMainTab = -1;
  if (FPressedTab >= Count) FPressedTab = -1;
  if (FTrackedTab >= Count) FTrackedTab = -1;
  FRowCount = 0;
  if (FTabIndex >= FTabs->Count()) FTabIndex = FTabs->Count() - 1;
  FNearRowCount = 0;
  if (Count == 0) {
    SetShownNavigatorButtons(TuxPCNavigatorButtons());
    CalculateTabsLayoutParams(TuxPCNavigatorButtons());
    return;
  }
  CalculateTabNormalSizes();
  if (FMultiLine)
    CalculateMultiRowLayout();
  else
    CalculateSingleRowLayout();
}

void TuxCustomTabControl::CalculateTabNormalSizes() {
  if (FTabs->Count() == 0) throw EuxPCError("TuxCustomTabControl.CalculateTabNormalSizes: Tabs.Count = 0");
  FTabs->MeasuredTabHeight = FPainter->CalculateTabHeight();
  for (int i = 0; i < FTabs->Count(); ++i) {
    TuxTab* T = FTabs->Tabs(i);
    T->MeasuredWidth = T->Visible() ? FPainter->CalculateTabWidth(T) : 0;
  }
}

void TuxCustomTabControl::GetShownRange(int& First, int& Last) const {
  if (FMultiLine && FRowCount > 1) {
    First = FVisibleTabs->Count() > 0 ? 0 : -1;
    Last = FVisibleTabs->Count() - 1;
    return;
  }
  First = FFirstVisibleTab;
  Last = FFirstVisibleTab == -1 ? -1 : FLastShownTab;
}

int TuxCustomTabControl::CalculateRotatedTabWidth() {
  int First = 0, Last = FVisibleTabs->Count() - 1;
  if (!FOptions.Contains(pcoFixedTabWidthWhenRotated)) GetShownRange(First, Last);
  int Width = 0;
  for (int i = std::max(First, 0); i <= Last && i < FVisibleTabs->Count(); ++i)
    Width = std::max(Width, VisibleTab(i)->MeasuredWidth);
  if (FMaxRotatedTabWidth >= 1 && FPainter && FMaxRotatedTabWidth >= FPainter->GetMinTabWidth(-1))
    Width = std::min(Width, FMaxRotatedTabWidth);
  return Width;
}

// Along the row from the corner of RowsRect; in reversed order from its end
// backwards, each position being the tab's low end.
void TuxCustomTabControl::PlaceTabs(int First, int Last, bool All) {
  TPoint Interval{};
  FPainter->GetTabsInterval(Interval);
  const int Gap = FRotate ? Interval.y : Interval.x;
  const int Start = RowStart(FTabLayoutParams.RowsRect);
  const int End = Start + FTabLayoutParams.RowLength;
  const bool Reversed = IsReversedOrder();
  const int Count = FVisibleTabs->Count();
  int Pos = Reversed ? End - 1 : Start;
  FLastTabFullyShown = false;
  for (int i = First; i <= Last; ++i) {
    TuxTab* T = VisibleTab(i);
    const int L = T->Length();
    int Low;
    if (Reversed) {
      Low = Pos - L + 1;
      Pos = Low - 1 - Gap;
    } else {
      Low = Pos;
      Pos = Low + L + Gap;
    }
    if (IsHorizontalRow())
      T->BasePosition.x = Low;
    else
      T->BasePosition.y = Low;
    FLastShownTab = i;
    const bool Inside = Reversed ? Low >= Start : Low + L <= End;
    FLastTabFullyShown = Inside && i == Count - 1;
    if (!All && i < Last && (Reversed ? Pos < Start : Pos >= End)) break;
  }
}

void TuxCustomTabControl::CalculateSingleRowLayout() {
  const int Count = FVisibleTabs->Count();
  FRowCount = 1;
  FNearRowCount = FTabPosition == tpTop || FTabPosition == tpLeft ? 1 : 0;
  const int Saved = FFirstVisibleTab;
  FFirstVisibleTab = 0;
  // The buttons' hot and pressed states survive the trial layouts: they are
  // dropped only for buttons that the final layout does not show.
  TuxPCNavigatorButtons Buttons;
  if (FOptions.Contains(pcoCloseButton)) Buttons << nbClose;
  CalculateTabsLayoutParams(Buttons);
  if (FTabLayoutParams.RowLength < 1) {
    SetShownNavigatorButtons(Buttons);
    return;
  }
  PlaceTabs(0, Count - 1, true);
  if (!FLastTabFullyShown) {
    FFirstVisibleTab = std::max(Saved, 0);
    if (!FOptions.Contains(pcoNoArrows)) Buttons << nbTopLeft << nbBottomRight;
    if (FOptions.Contains(pcoGoDialog)) Buttons << nbGoDialog;
    CalculateTabsLayoutParams(Buttons);
    if (FTabLayoutParams.RowLength < 1) {
      SetShownNavigatorButtons(Buttons);
      return;
    }
    PlaceTabs(FFirstVisibleTab, Count - 1, false);
    if (FLastTabFullyShown)
      while (FFirstVisibleTab > 0) {
        --FFirstVisibleTab;
        PlaceTabs(FFirstVisibleTab, Count - 1, false);
        if (!FLastTabFullyShown) {
          ++FFirstVisibleTab;
          PlaceTabs(FFirstVisibleTab, Count - 1, false);
          break;
        }
      }
  }
  SetShownNavigatorButtons(Buttons);
  UpdateNavigatorButtons();
  for (int i = 0; i < Count; ++i) VisibleTab(i)->RowNumber = VisibleTab(i)->DrawnRow = 0;
  FRowThickness = FRotate ? CalculateRotatedTabWidth() : FTabs->MeasuredTabHeight;
  SetRowExtents();
}

void TuxCustomTabControl::CalculateMultiRowLayout() {
  const int Count = FVisibleTabs->Count();
  SetShownNavigatorButtons(TuxPCNavigatorButtons());
  CalculateTabsLayoutParams(TuxPCNavigatorButtons());
  if (FTabLayoutParams.RowLength < 1) return;
  TPoint Interval{};
  FPainter->GetTabsInterval(Interval);
  const int Gap = FRotate ? Interval.y : Interval.x;
  const int L = FTabLayoutParams.RowLength;
  auto SpansRows = [this](int First, int Last) {
    return Last - First + 1 >= 2 && VisibleTab(First)->RowNumber != VisibleTab(Last)->RowNumber;
  };
  FRowCount = 1;
  int Running = 0, RunStart = 0;
  for (int i = 0; i < Count; ++i) {
    TuxTab* T = VisibleTab(i);
    const int W = T->Length();
    if (W < L) {
      if (Running + W > L) {
        ++FRowCount;
        Running = W + Gap;
      } else {
        Running += W + Gap;
      }
      T->RowNumber = FRowCount - 1;
      continue;
    }
    // A tab as long as a row takes a row of its own.
    if (Running > 0) ++FRowCount;
    if (SpansRows(RunStart, i - 1)) BalanceRun(RunStart, i - 1);
    if (!FRotate && FPainter->GetMinTabWidth(i) < L) T->MeasuredWidth = L;
    T->RowNumber = FRowCount - 1;
    if (i != Count - 1) ++FRowCount;
    Running = 0;
    RunStart = i + 1;
  }
  if (RunStart < Count && SpansRows(RunStart, Count - 1)) BalanceRun(RunStart, Count - 1);
  if (FRowCount < 2) {
    CalculateSingleRowLayout();
    return;
  }
  TuxPCLineIndexBoundsArray Rows(static_cast<std::size_t>(FRowCount));
  for (int i = 0; i < Count; ++i) {
    TuxPCLineIndexBounds& B = Rows[std::size_t(std::clamp(VisibleTab(i)->RowNumber, 0, FRowCount - 1))];
    if (B.First == -1) B.First = i;
    B.Last = i;
  }
  for (const TuxPCLineIndexBounds& B : Rows) {
    if (B.First == -1) continue;
    if (!FRotate && !FRaggedRight) {
      int Sum = 0;
      for (int i = B.First; i <= B.Last; ++i) Sum += VisibleTab(i)->MeasuredWidth;
      const int Free = L - (Sum + Gap * (B.Last - B.First));
      if (Free > 0 && Sum > 0) {
        int Used = 0;
        for (int i = B.First; i < B.Last; ++i) {
          TuxTab* T = VisibleTab(i);
          const int D = T->MeasuredWidth * Free / Sum;
          T->MeasuredWidth += D;
          Used += D;
        }
        VisibleTab(B.Last)->MeasuredWidth += Free - Used;
      }
    }
    PlaceTabs(B.First, B.Last, true);
  }
  FRowThickness = FRotate ? CalculateRotatedTabWidth() : FTabs->MeasuredTabHeight;
  ArrangeRows();
}

// Least-squares balancing of the rows of a run: each accepted move lowers the
// sum of the squared free lengths of the rows.
void TuxCustomTabControl::BalanceRun(int First, int Last) {
  if (FRotate && FRaggedRight) return;
  TPoint Interval{};
  FPainter->GetTabsInterval(Interval);
  const int Gap = FRotate ? Interval.y : Interval.x;
  const long long L = FTabLayoutParams.RowLength;
  const int Base = VisibleTab(First)->RowNumber;
  TRunRows Rows;
  for (int i = First; i <= Last; ++i) {
    const std::size_t R = std::size_t(VisibleTab(i)->RowNumber - Base);
    if (R >= Rows.size()) Rows.resize(R + 1);
    if (Rows[R].First == -1) Rows[R].First = i;
    Rows[R].Last = i;
  }
  auto Used = [&](const TuxPCLineIndexBounds& B) {
    long long Sum = 0;
    for (int i = B.First; i <= B.Last; ++i) Sum += VisibleTab(i)->Length();
    return Sum + Gap * (B.Last - B.First);
  };
  auto Cost = [&](const TuxPCLineIndexBounds& B) {
    const long long Free = L - Used(B);
    return Free * Free;
  };
  auto Total = [&](const TRunRows& R) {
    long long Sum = 0;
    for (const TuxPCLineIndexBounds& B : R) Sum += Cost(B);
    return Sum;
  };
  // Moves a neighbour's tab into row Row when that lowers the row's own cost
  // and the row still fits; a row is never emptied.
  auto PullFromPrevious = [&](TRunRows& R, std::size_t Row) {
    if (Row == 0 || R[Row - 1].Last <= R[Row - 1].First) return false;
    TuxPCLineIndexBounds B = R[Row];
    B.First -= 1;
    if (Used(B) > L || Cost(B) >= Cost(R[Row])) return false;
    R[Row] = B;
    R[Row - 1].Last -= 1;
    return true;
  };
  auto PullFromNext = [&](TRunRows& R, std::size_t Row) {
    if (Row + 1 >= R.size() || R[Row + 1].Last <= R[Row + 1].First) return false;
    TuxPCLineIndexBounds B = R[Row];
    B.Last += 1;
    if (Used(B) > L || Cost(B) >= Cost(R[Row])) return false;
    R[Row] = B;
    R[Row + 1].First += 1;
    return true;
  };
  for (bool Improved = true; Improved;) {
    Improved = false;
    // 1: cascade from the last row towards the first.
    {
      TRunRows Copy = Rows;
      const long long Start = Total(Rows);
      std::size_t Row = Copy.size() - 1;
      while (Row >= 1) {
        const long long Before = Total(Copy);
        const bool Made = PullFromPrevious(Copy, Row);
        if (Made && Total(Copy) <= Before) continue;
        if (Total(Copy) < Start) {
          Rows = Copy;
          Improved = true;
          break;
        }
        --Row;
      }
    }
    if (Improved) continue;
    // 2: the first tab of the next row into a row.
    for (std::size_t Row = 0; Row + 1 < Rows.size() && !Improved; ++Row) {
      TRunRows Copy = Rows;
      if (PullFromNext(Copy, Row) && Total(Copy) < Total(Rows)) {
        Rows = Copy;
        Improved = true;
      }
    }
    if (Improved) continue;
    // 3: the last tab of the previous row into a row.
    for (std::size_t Row = 1; Row < Rows.size() && !Improved; ++Row) {
      TRunRows Copy = Rows;
      if (PullFromPrevious(Copy, Row) && Total(Copy) < Total(Rows)) {
        Rows = Copy;
        Improved = true;
      }
    }
  }
  for (std::size_t R = 0; R < Rows.size(); ++R)
    for (int i = Rows[R].First; i <= Rows[R].Last; ++i) VisibleTab(i)->RowNumber = Base + int(R);
}

void TuxCustomTabControl::ArrangeRows() {
  if (FRowCount == 0 || FVisibleTabs->Count() == 0) return;
  const bool TopToBottom = FOptions.Contains(pcoTopToBottomText);
  bool Flipped;
  switch (FTabPosition) {
    case tpLeft:
    case tpRight: Flipped = (!FRotate && TopToBottom) != (FTabPosition == tpRight); break;
    case tpTop: Flipped = FRotate && !TopToBottom; break;
    default: Flipped = !(FRotate && !TopToBottom); break;
  }
  const int Count = FVisibleTabs->Count();
  for (int i = 0; i < Count; ++i) {
    TuxTab* T = VisibleTab(i);
    T->DrawnRow = Flipped ? FRowCount - T->RowNumber - 1 : T->RowNumber;
  }
  FNearRowCount = FRowCount;
  if (FMainTab >= 0 && FMainTab < Count) {
    const int Main = VisibleTab(FMainTab)->DrawnRow;
    if (FScrollOpposite)
      FNearRowCount = Main + 1;
    else if (FPainter->MovesMainRowToPage())
      for (int i = 0; i < Count; ++i) {
        TuxTab* T = VisibleTab(i);
        T->DrawnRow = (T->DrawnRow + FRowCount - Main - 1) % FRowCount;
      }
  }
  if (FTabPosition == tpBottom || FTabPosition == tpRight) {
    for (int i = 0; i < Count; ++i) VisibleTab(i)->DrawnRow = FRowCount - VisibleTab(i)->DrawnRow - 1;
    FNearRowCount = FRowCount - FNearRowCount;
  }
  SetRowExtents();
}

// Cross positions of the rows and the two row areas.
void TuxCustomTabControl::SetRowExtents() {
  const TabLayoutParams& P = FTabLayoutParams;
  TPoint Interval{};
  FPainter->GetTabsInterval(Interval);
  const int RowGap = FRotate ? Interval.x : Interval.y;
  const int T = FRowThickness;
  const int NearCross = CrossStart(P.RowsRect), FarCross = CrossEnd(P.RowsRect);
  for (int i = 0; i < FVisibleTabs->Count(); ++i) {
    TuxTab* Tab = VisibleTab(i);
    const int V = Tab->DrawnRow;
    const int Cross = V < FNearRowCount ? NearCross + V * (T + RowGap)
                                        : FarCross - (FRowCount - V) * T - (FRowCount - V - 1) * RowGap;
    if (IsHorizontalRow())
      Tab->BasePosition.y = Cross;
    else
      Tab->BasePosition.x = Cross;
  }
  const int AreaStart = CrossStart(P.TabsArea), AreaEnd = CrossEnd(P.TabsArea);
  int NearEnd = std::min(AreaEnd, NearCross + FNearRowCount * (T + RowGap) - RowGap + P.NearAreaExtension);
  int FarStart =
      std::max(AreaStart, FarCross + RowGap + P.FarAreaExtension - (FRowCount - FNearRowCount) * (T + RowGap));
  if (FNearRowCount > 0 && FNearRowCount < FRowCount) {
    if (FTabPosition == tpTop || FTabPosition == tpLeft)
      FarStart = std::max(FarStart, std::min(NearEnd + P.AreaGap, AreaEnd));
    else
      NearEnd = std::min(NearEnd, std::max(FarStart - P.AreaGap, AreaStart));
  }
  if (IsHorizontalRow()) {
    FNearTabArea = pcRect(P.TabsArea.left, AreaStart, P.TabsArea.right, NearEnd);
    FFarTabArea = pcRect(P.TabsArea.left, FarStart, P.TabsArea.right, AreaEnd);
  } else {
    FNearTabArea = pcRect(AreaStart, P.TabsArea.top, NearEnd, P.TabsArea.bottom);
    FFarTabArea = pcRect(FarStart, P.TabsArea.top, AreaEnd, P.TabsArea.bottom);
  }
}

// ---------------------------------------------------------------------------
// scrolling

void TuxCustomTabControl::MakeTabVisible(int VisibleIndex) {
  if (FMultiLine || VisibleIndex < 0 || VisibleIndex >= FVisibleTabs->Count()) return;
  if (VisibleIndex < FFirstVisibleTab) {
    FFirstVisibleTab = VisibleIndex;
    return;
  }
  if (VisibleIndex < FLastShownTab || (VisibleIndex == FLastShownTab && FLastTabFullyShown)) return;
  CalculateTabsLayoutParams(FShownNavigatorButtons);
  FFirstVisibleTab = VisibleIndex;
  const int RowLength = FTabLayoutParams.RowLength;
  if (RowLength < 1) return;
  TPoint Interval{};
  FPainter->GetTabsInterval(Interval);
  const int Gap = FRotate ? Interval.y : Interval.x;
  int Total = VisibleTab(VisibleIndex)->Length();
  while (Total + Gap < RowLength && FFirstVisibleTab > 0) {
    --FFirstVisibleTab;
    Total += Gap + VisibleTab(FFirstVisibleTab)->Length();
    if (Total > RowLength) {
      ++FFirstVisibleTab;
      break;
    }
  }
}

void TuxCustomTabControl::ScrollTabs(int Delta) {
  if (FMultiLine) return;
  std::shared_ptr<bool> Alive = AliveToken();
  for (int i = 0; i < std::abs(Delta) && *Alive; ++i) {
    const int Count = FVisibleTabs->Count();
    if (Delta >= 0) {
      if (FLastShownTab >= Count - 1 && (FLastTabFullyShown || FFirstVisibleTab == FLastShownTab)) return;
      ++FFirstVisibleTab;
    } else {
      if (FFirstVisibleTab <= 0) return;
      --FFirstVisibleTab;
    }
    LayoutChanged();
  }
}

void TuxCustomTabControl::ScrollByArrow(TuxPCNavigatorButton Button) {
  if (FNavigatorButtonStates[Button] == nbsDisabled) return;
  const bool Forward = (Button == nbBottomRight) != IsReversedOrder();
  ScrollTabs(Forward ? 1 : -1);
}

// ---------------------------------------------------------------------------
// navigator buttons

void TuxCustomTabControl::SetNavigatorButtonState(TuxPCNavigatorButton Button, Byte State) {
  const Byte Old = FNavigatorButtonStates[Button];
  if (Old == State) return;
  FNavigatorButtonStates[Button] = State;
  if (FPainter) FPainter->RepaintNavigatorButton(Button, Old);
}

void TuxCustomTabControl::UpdateNavigatorButtons() {
  const int Count = FVisibleTabs->Count();
  const TuxPCNavigatorButton Forward = IsReversedOrder() ? nbTopLeft : nbBottomRight;
  bool Changed = false;
  for (TuxPCNavigatorButton B : {nbTopLeft, nbBottomRight, nbClose}) {
    if (!FShownNavigatorButtons.Contains(B)) continue;
    bool Enabled;
    if (B == nbClose)
      Enabled = FMainTab != -1;
    else if (B == Forward)
      Enabled = !(FLastShownTab >= Count - 1 && (FLastTabFullyShown || FFirstVisibleTab == FLastShownTab));
    else
      Enabled = FFirstVisibleTab > 0;
    const Byte Old = FNavigatorButtonStates[B];
    Byte New = Old;
    if (!Enabled)
      New = nbsDisabled;
    else if (Old == nbsDisabled)
      New = nbsNormal;
    if (New == Old) continue;
    if (!Enabled) {
      FHotNavigatorButtons.Clear();
      FPressedNavigatorButtons.Clear();
    }
    SetNavigatorButtonState(B, New);
    Changed = true;
  }
  if (Changed) UpdateHotTrack(GetShiftState());
}

void TuxCustomTabControl::StopArrowTimer() {
  if (FArrowTimer) FArrowTimer->SetEnabled(false);
}

void TuxCustomTabControl::ArrowTimerTick(TObject*) {
  FArrowTimer->SetInterval(kArrowNextInterval);
  TuxPCNavigatorButton Arrow;
  if (FPressedNavigatorButtons.Contains(nbTopLeft))
    Arrow = nbTopLeft;
  else if (FPressedNavigatorButtons.Contains(nbBottomRight))
    Arrow = nbBottomRight;
  else {
    StopArrowTimer();
    return;
  }
  std::shared_ptr<bool> Alive = AliveToken();
  ScrollByArrow(Arrow);
  if (*Alive && !FPressedNavigatorButtons.Contains(Arrow)) StopArrowTimer();
}

void TuxCustomTabControl::NavigatorButtonDown(TuxPCNavigatorButton Button) {
  const Byte State = FNavigatorButtonStates[Button];
  if (State == nbsPressed || State == nbsDisabled) return;
  FPressedNavigatorButtons = {Button};
  FHotNavigatorButtons >> Button;
  SetNavigatorButtonState(Button, nbsPressed);
  if (Button != nbTopLeft && Button != nbBottomRight) return;
  std::shared_ptr<bool> Alive = AliveToken();
  ScrollByArrow(Button);
  if (!*Alive || !FPressedNavigatorButtons.Contains(Button)) return;
  if (!FArrowTimer) {
    FArrowTimer = new TuxTimer(this);
    FArrowTimer->SetEnabled(false);
  }
  FArrowTimer->SetInterval(kArrowFirstInterval);
  FArrowTimer->SetOnTimer(TNotifyEvent(this, &TuxCustomTabControl::ArrowTimerTick));
  FArrowTimer->SetEnabled(true);
}

void TuxCustomTabControl::ReleasePressedNavigatorButton() {
  for (TuxPCNavigatorButton B : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose})
    if (FPressedNavigatorButtons.Contains(B)) {
      StopArrowTimer();
      FPressedNavigatorButtons >> B;
      if (FNavigatorButtonStates[B] == nbsPressed) SetNavigatorButtonState(B, nbsNormal);
    }
}

void TuxCustomTabControl::NavigatorButtonUp(TuxPCNavigatorButton Button) {
  StopArrowTimer();
  if (FNavigatorButtonStates[Button] == nbsDisabled) return;
  const bool WasPressed = FPressedNavigatorButtons.Contains(Button);
  if (!WasPressed) return;
  if (Button == nbGoDialog && !IsDesigning()) {
    ShowGoDialog();
    return;
  }
  std::shared_ptr<bool> Alive = AliveToken();
  FPressedNavigatorButtons.Clear();
  SetNavigatorButtonState(Button, nbsNormal);
  UpdateHotTrack(GetShiftState());
  if (Button == nbClose && !IsDesigning() && *Alive && CanCloseTab() && *Alive) CloseTab();
}

void TuxCustomTabControl::ShowGoDialog() {
  if (!FGoDialog) {
    GoDialogTabClick(-1);
    return;
  }
  FGoDialogShowing = true;
  std::shared_ptr<bool> Alive = AliveToken();
  try {
    FGoDialog->PopupSorted(FOptions.Contains(pcoSort));
  } catch (...) {
    if (*Alive) GoDialogTabClick(-1);
    throw;
  }
  if (*Alive) GoDialogTabClick(-1);
}

// ---------------------------------------------------------------------------
// hot tracking and the mouse

int TuxCustomTabControl::TabAt(int X, int Y) {
  if (FHideTabs || !FPainter) return -1;
  int First, Last;
  GetShownRange(First, Last);
  for (int i = std::max(First, 0); i <= Last && i < FVisibleTabs->Count(); ++i)
    if (pcContains(VisibleTab(i)->VisibleRect(), X, Y) && FPainter->IsPointInTab(i, X, Y)) return i;
  return -1;
}

void TuxCustomTabControl::SetHotTab(int Value) {
  if (Value == FHotTab) return;
  const int Old = FHotTab;
  FHotTab = Value;
  if (Old >= 0 && Old < FVisibleTabs->Count()) TabChanged(Old, tckHot);
  if (Value >= 0) TabChanged(Value, tckHot);
}

void TuxCustomTabControl::SetPressedTab(int Value) {
  if (Value == FPressedTab) return;
  const int Old = FPressedTab;
  FPressedTab = Value;
  if (Old >= 0 && Old < FVisibleTabs->Count()) TabChanged(Old, tckPressed);
  if (Value >= 0) TabChanged(Value, tckPressed);
}

void TuxCustomTabControl::SetTrackedTab(int Value) {
  if (Value == FTrackedTab) return;
  const int Old = FTrackedTab;
  FTrackedTab = Value;
  if (Old >= 0 && Old < FVisibleTabs->Count()) TabChanged(Old, tckTracking);
  if (Value >= 0) TabChanged(Value, tckTracking);
}

void TuxCustomTabControl::UpdateHotTrack(TShiftState Shift) {
  if (IsLoading() || IsDesigning() || IsDestroying() || !HandleAllocated() || FGoDialogShowing || !FPainter) return;
  TPoint P;
  GetCursorPos(&P);
  P = ScreenToClient(P);
  const bool Tracking = FHotTrack || FPainter->IsNativePainting();
  const bool LeftDown = Shift.Contains(ssLeft);
  bool HasHotButton = false;
  TuxPCNavigatorButton HotButton = nbTopLeft;
  int NewHotTab = -1;
  if (Enabled() && !FHideTabs) {
    TuxPCNavigatorButton B;
    if (FPainter->GetNavigatorButtonAt(P.x, P.y, B)) {
      const Byte S = FNavigatorButtonStates[B];
      if (!LeftDown && S != nbsPressed && S != nbsDisabled) {
        HasHotButton = true;
        HotButton = B;
      }
    } else if (Tracking && !(LeftDown && FPainter->TabsActAsButtons())) {
      const int T = TabAt(P.x, P.y);
      if (T != -1 && VisibleTab(T)->IsEnabled()) NewHotTab = T;
    }
  }
  for (TuxPCNavigatorButton B : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose})
    if (FHotNavigatorButtons.Contains(B) && !(HasHotButton && B == HotButton)) {
      FHotNavigatorButtons >> B;
      if (FNavigatorButtonStates[B] == nbsHotTrack) SetNavigatorButtonState(B, nbsNormal);
    }
  if (HasHotButton && !FHotNavigatorButtons.Contains(HotButton)) {
    FHotNavigatorButtons << HotButton;
    SetNavigatorButtonState(HotButton, nbsHotTrack);
  }
  SetHotTab(NewHotTab);
}

void TuxCustomTabControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  std::shared_ptr<bool> Alive = AliveToken();
  TuxControl::MouseDown(Button, Shift, X, Y);
  if (!*Alive || !FPainter) return;
  if (!IsDesigning() && (Button != mbLeft || FHideTabs)) return;
  UpdateHotTrack(Shift);
  TuxPCNavigatorButton B;
  if (FPainter->GetNavigatorButtonAt(X, Y, B)) {
    NavigatorButtonDown(B);
    return;
  }
  const int T = TabAt(X, Y);
  if (T != -1) TabDown(T, Shift);
}

void TuxCustomTabControl::TabDown(int VisibleIndex, TShiftState Shift) {
  if (!VisibleTab(VisibleIndex)->IsEnabled() && !IsDesigning()) return;
  if (FPainter->TabsActAsButtons() && !IsDesigning())
    SetPressedTab(VisibleIndex);
  else
    SelectTab(VisibleIndex, Shift.Contains(ssCtrl));
}

void TuxCustomTabControl::MouseMove(TShiftState Shift, int X, int Y) {
  std::shared_ptr<bool> Alive = AliveToken();
  TuxControl::MouseMove(Shift, X, Y);
  if (!*Alive || FHideTabs || FGoDialogShowing || !FPainter) return;
  if (!FPressedNavigatorButtons.Empty()) {
    TuxPCNavigatorButton B;
    const bool On = FPainter->GetNavigatorButtonAt(X, Y, B);
    if (!On || !FPressedNavigatorButtons.Contains(B)) ReleasePressedNavigatorButton();
  }
  if (FPressedTab != -1 && TabAt(X, Y) != FPressedTab) SetPressedTab(-1);
  UpdateHotTrack(Shift);
}

void TuxCustomTabControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  std::shared_ptr<bool> Alive = AliveToken();
  TuxControl::MouseUp(Button, Shift, X, Y);
  if (!*Alive || !FPainter || Button != mbLeft || FHideTabs || FGoDialogShowing) return;
  TuxPCNavigatorButton B;
  if (FPainter->GetNavigatorButtonAt(X, Y, B)) {
    NavigatorButtonUp(B);
    if (*Alive) ReleasePressedNavigatorButton();
    return;
  }
  // A press that left its button or tab is given up.
  ReleasePressedNavigatorButton();
  const int T = TabAt(X, Y);
  if (T != -1)
    TabUp(T, Shift);
  else
    SetPressedTab(-1);
}

void TuxCustomTabControl::TabUp(int VisibleIndex, TShiftState Shift) {
  if (!VisibleTab(VisibleIndex)->IsEnabled() && !IsDesigning()) return;
  std::shared_ptr<bool> Alive = AliveToken();
  if (FPainter->TabsActAsButtons() && FPressedTab != -1) {
    const bool Over = FPressedTab == VisibleIndex;
    SetPressedTab(-1);
    if (Over) SelectTab(VisibleIndex, Shift.Contains(ssCtrl));
  }
  if (*Alive) UpdateHotTrack(Shift);
}

bool TuxCustomTabControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (TuxControl::DoMouseWheelDown(Shift, MousePos)) return true;
  if (FMultiLine || FFirstVisibleTab < 0 || FHideTabs || FFirstVisibleTab >= FVisibleTabs->Count()) return false;
  const TPoint P = ScreenToClient(MousePos);
  const TRect R = VisibleTab(FFirstVisibleTab)->FullRect();
  const int Cross = IsHorizontalRow() ? P.y : P.x;
  if (Cross < CrossStart(R) || Cross >= CrossEnd(R)) return false;
  ScrollTabs(1);
  return true;
}

bool TuxCustomTabControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (TuxControl::DoMouseWheelUp(Shift, MousePos)) return true;
  if (FMultiLine || FFirstVisibleTab < 0 || FHideTabs || FFirstVisibleTab >= FVisibleTabs->Count()) return false;
  const TPoint P = ScreenToClient(MousePos);
  const TRect R = VisibleTab(FFirstVisibleTab)->FullRect();
  const int Cross = IsHorizontalRow() ? P.y : P.x;
  if (Cross < CrossStart(R) || Cross >= CrossEnd(R)) return false;
  ScrollTabs(-1);
  return true;
}

// ---------------------------------------------------------------------------
// the keyboard

void TuxCustomTabControl::KeyDown(Word& Key, TShiftState Shift) {
  std::shared_ptr<bool> Alive = AliveToken();
  TuxControl::KeyDown(Key, Shift);
  if (*Alive && Key != 0 && ProcessKey(Key, Shift)) Key = 0;
}

bool TuxCustomTabControl::ProcessKey(Word& Key, TShiftState Shift) {
  const int Count = FVisibleTabs->Count();
  if (FHideTabs || Count == 0 || !FPainter) return false;
  const TShiftState Keys = Shift * TShiftState{ssShift, ssAlt, ssCtrl};
  if (Keys == TShiftState{ssAlt} || Keys == TShiftState{ssAlt, ssShift}) return false;
  enum { kNone, kForward, kBackward, kFirst, kLast } Move = kNone;
  bool Wrap = false, TabKey = false;
  switch (Key) {
    case VK_TAB:
      if (!Keys.Contains(ssCtrl)) return false;
      Move = Keys.Contains(ssShift) ? kBackward : kForward;
      Wrap = TabKey = true;
      break;
    case VK_LEFT:
    case VK_UP: Move = kBackward; break;
    case VK_RIGHT:
    case VK_DOWN: Move = kForward; break;
    case VK_HOME: Move = kFirst; break;
    case VK_END: Move = kLast; break;
    case VK_RETURN:
    case VK_SPACE:
      if (FTrackedTab < 0 || FTrackedTab >= Count) return false;
      {
        const int Index = VisibleTab(FTrackedTab)->Index();
        SetTrackedTab(-1);
        SetTabIndex(Index);
      }
      return true;
    default: return false;
  }
  if (IsReversedOrder()) {
    if (Move == kForward)
      Move = kBackward;
    else if (Move == kBackward)
      Move = kForward;
    else if (Move == kFirst)
      Move = kLast;
    else if (Move == kLast)
      Move = kFirst;
  }
  int Start, Step;
  if (Move == kFirst) {
    Start = 0;
    Step = 1;
  } else if (Move == kLast) {
    Start = Count - 1;
    Step = -1;
  } else {
    Step = Move == kForward ? 1 : -1;
    const int Current = FTrackedTab >= 0 && FTrackedTab < Count ? FTrackedTab : FMainTab;
    if (Current < 0 || Current >= Count) {
      Start = Step > 0 ? 0 : Count - 1;
    } else {
      Start = Current + Step;
      if (Start < 0 || Start >= Count) {
        if (!Wrap) return true;
        Start = Step > 0 ? 0 : Count - 1;
      }
    }
  }
  int Found = -1;
  for (int n = 0, i = Start; n < Count; ++n) {
    if (VisibleTab(i)->IsEnabled()) {
      Found = i;
      break;
    }
    i += Step;
    if (i < 0 || i >= Count) {
      if (!Wrap) break;
      i = Step > 0 ? 0 : Count - 1;
    }
  }
  if (Found == -1) return true;
  if (FPainter->TabsActAsButtons() && !TabKey) {
    SetTrackedTab(Found);
    if (!FMultiLine) {
      MakeTabVisible(Found);
      LayoutChanged();
    }
  } else if (VisibleTab(Found)->Index() != FTabIndex) {
    SetTabIndex(VisibleTab(Found)->Index());
  }
  return true;
}
