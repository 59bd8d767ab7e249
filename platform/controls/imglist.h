// The image-list component over the drawing layer's image lists. The images
// are stored in the component's description ("Bitmap" binary data).
#pragma once
#include <vector>
#include "platform/classes/classes.h"
#include "platform/controls/graphics.h"
#include "platform/gdi/imagelist.h"
#include "platform/win/winuser.h"

class TCustomImageList;

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };
PV_ENUM_NAMES(TDrawingStyle, "dsFocus dsSelected dsNormal dsTransparent")
PV_ENUM_NAMES(TImageType, "itImage itMask")

// Tells a client that an image list changed.
class TChangeLink : public TObject {
  PV_CLASS(TChangeLink, TObject)
 public:
  TChangeLink() = default;
  ~TChangeLink() override;
  TCustomImageList* Sender() const { return FSender; }
  void SetSender(TCustomImageList* Value) { FSender = Value; }
  virtual void Change();
  TNotifyEvent OnChange;

 private:
  TCustomImageList* FSender = nullptr;
};

class TCustomImageList : public TComponent {
  PV_CLASS(TCustomImageList, TComponent)
 public:
  explicit TCustomImageList(TComponent* AOwner);
  TCustomImageList(int AWidth, int AHeight);  // no owner
  ~TCustomImageList() override;
  void Assign(TPersistent* Source) override;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Changing the size removes every image.
  void SetWidth(int Value);
  void SetHeight(int Value);
  void SetSize(int AWidth, int AHeight);
  bool Masked() const { return FMasked; }
  void SetMasked(bool Value);
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor Value);
  TColor BlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor Value) { FBlendColor = Value; }
  TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle Value);
  TImageType ImageType() const { return FImageType; }
  void SetImageType(TImageType Value) { FImageType = Value; }
  int AllocBy() const { return FAllocBy; }
  void SetAllocBy(int Value) { FAllocBy = Value; }
  bool ShareImages() const { return FShareImages; }
  void SetShareImages(bool Value) { FShareImages = Value; }

  HIMAGELIST Handle();
  // Adopts an image list handle (freed with the component unless ShareImages).
  void SetHandle(HIMAGELIST Value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  int Count();

  // Adds images (a bitmap as wide as n images adds n); returns the first index.
  int Add(TBitmap* Image, TBitmap* Mask);
  int AddMasked(TBitmap* Image, TColor MaskColor);
  int AddIcon(TIcon* Image);
  // Adds the images of another list.
  void AddImages(TCustomImageList* Value);
  void Insert(int Index, TBitmap* Image, TBitmap* Mask);
  void Replace(int Index, TBitmap* Image, TBitmap* Mask);
  void Delete(int Index);
  void Move(int CurIndex, int NewIndex);
  void Clear();
  void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
  void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
            bool Enabled = true);
  void DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, int Overlay, bool Enabled = true);
  bool Overlay(int ImageIndex, int Overlay);
  // Copies image Index into Image (resized to the list's image size).
  void GetBitmap(int Index, TBitmap* Image);
  void GetIcon(int Index, TIcon* Image);

  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  TNotifyEvent OnChange;

 protected:
  virtual void Change();
  void DefineProperties(TFiler* Filer) override;
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);
  void CreateImageList();
  void FreeHandle();

 private:
  HIMAGELIST FHandle = nullptr;
  int FWidth = 16, FHeight = 16;
  bool FMasked = true;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  int FAllocBy = 4;
  bool FShareImages = false;
  int FUpdateCount = 0;
  bool FChanged = false;
  std::vector<TChangeLink*> FClients;
};

// Image lists that show what is being dragged.
class TDragImageList : public TCustomImageList {
  PV_CLASS(TDragImageList, TCustomImageList)
 public:
  explicit TDragImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
  // A list freed while its image is dragged takes the image off the screen.
  ~TDragImageList() override;
  // Starts showing image Index at (X, Y) of Window's client area.
  bool BeginDrag(HWND Window, int X, int Y);
  bool DragLock(HWND Window, int XPos, int YPos);
  bool DragMove(int X, int Y);
  void DragUnlock();
  bool EndDrag();
  void HideDragImage();
  void ShowDragImage();
  bool SetDragImage(int Index, int HotSpotX, int HotSpotY);
  int DragIndex() const { return FDragIndex; }
  TPoint DragHotspot() const { return FDragHotspot; }
  bool Dragging() const { return FDragging; }
  SmallInt DragCursor() const { return FDragCursor; }
  void SetDragCursor(SmallInt Value) { FDragCursor = Value; }

 private:
  int FDragIndex = 0;
  TPoint FDragHotspot;
  bool FDragging = false;
  HWND FLockedWindow = nullptr;
  SmallInt FDragCursor = 0;  // a TCursor
};

class TImageList : public TDragImageList {
  PV_CLASS(TImageList, TDragImageList)
 public:
  explicit TImageList(TComponent* AOwner) : TDragImageList(AOwner) {}
};

void InitImgListProps();
