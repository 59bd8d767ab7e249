// Drop shadows of menu and floating bar windows: small top-level windows
// along the right and bottom edges, just below the window in the z-order,
// wrapping the item the window was opened from when it touches it.
#pragma once
#include <memory>
#include <vector>

#include "bars/kxbar.h"

class TkxBarShadow;

// One strip of a shadow: kind 0 lies below an edge, kind 1 right of one.
class TkxBarShadowPart : public TCustomControl {
  PV_CLASS(TkxBarShadowPart, TCustomControl)
 public:
  // Faded ends: 1 left, 2 right (below an edge), 4 top (right of an edge).
  TkxBarShadowPart(TkxBarShadow* Shadow, int Corners, int Kind);
  int Kind() const { return FKind; }
  int Corners() const { return FCorners; }
  bool CanShow() const;
  // The alpha of each pixel, top-down, row by row.
  const std::vector<Byte>& Alphas() const { return FAlphas; }
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void ShowPart();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;

 private:
  void UpdateImage();
  TkxBarShadow* FShadow;
  int FCorners, FKind;
  std::vector<Byte> FAlphas;
};

class TkxBarShadow {
 public:
  explicit TkxBarShadow(TCustomkxBarControl* Owner) : FOwner(Owner) {}
  ~TkxBarShadow();
  TkxBarShadow(const TkxBarShadow&) = delete;
  TkxBarShadow& operator=(const TkxBarShadow&) = delete;
  TCustomkxBarControl* Owner() const { return FOwner; }
  // 4 with layered windows on a screen of more than 8 bits per pixel, else 2.
  static int GetShadowDepth();
  static bool UsesLayeredRendering();
  // O: the rectangle of the item the window was opened from (empty: none); W: the window's.
  void SetOwnerBounds(const TRect& O, const TRect& W);
  void SetVisible(bool Value);
  bool Visible() const { return FVisible; }
  void Refresh();
  int PartCount() const { return int(FParts.size()); }
  TkxBarShadowPart* Part(int Index) const { return FParts[std::size_t(Index)]; }
  // The part's screen rectangle as built (kept also while its window is gone).
  TRect PartRect(int Index) const { return FRects[std::size_t(Index)]; }

 private:
  void FreeParts();
  void AddPart(int Kind, int Corners, const TRect& R);
  TCustomkxBarControl* FOwner;
  TRect FO{}, FW{};
  bool FHorizontal = true, FVisible = false;
  std::vector<TkxBarShadowPart*> FParts;
  std::vector<TRect> FRects;
};
