// The image-list component.
#include "platform/controls/imglist.h"
#include <algorithm>
#include <cstring>
#include "platform/classes/filer.h"
#include "platform/classes/typinfo.h"
#include "platform/gdi/pictures.h"
#include "platform/rtl/streams.h"

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(FSender);
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::TCustomImageList(int AWidth, int AHeight) : TComponent(nullptr), FWidth(AWidth), FHeight(AHeight) {}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* l : std::vector<TChangeLink*>(FClients)) l->SetSender(nullptr);
  FClients.clear();
  FreeHandle();
}

void TCustomImageList::FreeHandle() {
  if (FHandle && !FShareImages) ImageList_Destroy(FHandle);
  FHandle = nullptr;
}

void TCustomImageList::CreateImageList() {
  FreeHandle();
  FHandle = ImageList_Create(FWidth, FHeight, (FMasked ? ILC_MASK : 0) | ILC_COLOR32, FAllocBy, FAllocBy);
  if (!FHandle) throw EInvalidOperation("Failed to create image list");
  ImageList_SetBkColor(FHandle, FBkColor == clNone ? CLR_NONE : ColorToRGB(FBkColor));
}

HIMAGELIST TCustomImageList::Handle() {
  if (!FHandle) CreateImageList();
  return FHandle;
}

void TCustomImageList::SetHandle(HIMAGELIST Value) {
  FreeHandle();
  FHandle = Value;
  if (Value) ImageList_GetIconSize(Value, &FWidth, &FHeight);
  Change();
}

int TCustomImageList::Count() { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

void TCustomImageList::Assign(TPersistent* Source) {
  if (auto* il = dynamic_cast<TCustomImageList*>(Source)) {
    BeginUpdate();
    FWidth = il->FWidth;
    FHeight = il->FHeight;
    FMasked = il->FMasked;
    FBkColor = il->FBkColor;
    FBlendColor = il->FBlendColor;
    FDrawingStyle = il->FDrawingStyle;
    FImageType = il->FImageType;
    FreeHandle();
    if (il->FHandle) FHandle = ImageList_Duplicate(il->FHandle);
    FChanged = true;
    EndUpdate();
    return;
  }
  TComponent::Assign(Source);
}

void TCustomImageList::SetSize(int AWidth, int AHeight) {
  if (AWidth <= 0 || AHeight <= 0) throw EInvalidOperation("Invalid image size");
  if (AWidth == FWidth && AHeight == FHeight) return;
  FWidth = AWidth;
  FHeight = AHeight;
  if (FHandle) CreateImageList();
  Change();
}
void TCustomImageList::SetWidth(int Value) { SetSize(Value, FHeight); }
void TCustomImageList::SetHeight(int Value) { SetSize(FWidth, Value); }

void TCustomImageList::SetMasked(bool Value) {
  if (Value == FMasked) return;
  FMasked = Value;
  if (FHandle) CreateImageList();
  Change();
}

void TCustomImageList::SetBkColor(TColor Value) {
  FBkColor = Value;
  if (FHandle) ImageList_SetBkColor(FHandle, Value == clNone ? CLR_NONE : ColorToRGB(Value));
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
  if (Value == FDrawingStyle) return;
  FDrawingStyle = Value;
  Change();
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image) return -1;
  int r = ImageList_Add(Handle(), Image->Handle(), Mask ? Mask->Handle() : nullptr);
  if (r < 0) throw EInvalidOperation("Failed to add image");
  Change();
  return r;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image) return -1;
  COLORREF c = MaskColor == clDefault ? ColorToRGB(Image->TransparentColor()) : ColorToRGB(MaskColor);
  int r = FMasked ? ImageList_AddMasked(Handle(), Image->Handle(), c) : ImageList_Add(Handle(), Image->Handle(), nullptr);
  if (r < 0) throw EInvalidOperation("Failed to add image");
  Change();
  return r;
}

int TCustomImageList::AddIcon(TIcon* Image) {
  if (!Image || !Image->Handle()) return -1;
  int r = ImageList_AddIcon(Handle(), Image->Handle());
  if (r < 0) throw EInvalidOperation("Failed to add image");
  Change();
  return r;
}

void TCustomImageList::AddImages(TCustomImageList* Value) {
  if (!Value || Value == this) return;
  BeginUpdate();
  for (int i = 0; i < Value->Count(); ++i) {
    TBitmap b;
    Value->GetBitmap(i, &b);
    Add(&b, nullptr);
  }
  EndUpdate();
}

void TCustomImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
  if (Index < 0 || Index > Count()) throw EInvalidOperation("Image list index out of range");
  int added = Add(Image, Mask);
  for (int i = added; i > Index; --i) ImageList_Copy(FHandle, i, FHandle, i - 1, ILCF_SWAP);
  Change();
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation("Image list index out of range");
  if (!ImageList_Replace(FHandle, Index, Image->Handle(), Mask ? Mask->Handle() : nullptr))
    throw EInvalidOperation("Failed to replace image");
  Change();
}

void TCustomImageList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation("Image list index out of range");
  ImageList_Remove(FHandle, Index);
  Change();
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
  int n = Count();
  if (CurIndex < 0 || CurIndex >= n || NewIndex < 0 || NewIndex >= n) throw EInvalidOperation("Image list index out of range");
  if (CurIndex < NewIndex)
    for (int i = CurIndex; i < NewIndex; ++i) ImageList_Copy(FHandle, i, FHandle, i + 1, ILCF_SWAP);
  else
    for (int i = CurIndex; i > NewIndex; --i) ImageList_Copy(FHandle, i, FHandle, i - 1, ILCF_SWAP);
  Change();
}

void TCustomImageList::Clear() {
  if (FHandle) ImageList_RemoveAll(FHandle);
  Change();
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
  Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
                            bool Enabled) {
  if (!FHandle || Index < 0 || Index >= Count()) return;
  HDC dc = Canvas->Handle();
  if (!Enabled) {
    ImageList_DrawDisabled(FHandle, Index, dc, X, Y);
    return;
  }
  static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  UINT style = styles[ADrawingStyle];
  if (AImageType == itMask) style |= ILD_MASK;
  COLORREF bk = FBkColor == clNone ? CLR_NONE : ColorToRGB(FBkColor);
  if (ADrawingStyle == dsTransparent) bk = CLR_NONE;
  COLORREF fg = FBlendColor == clNone ? CLR_DEFAULT : ColorToRGB(FBlendColor);
  ImageList_DrawEx(FHandle, Index, dc, X, Y, 0, 0, bk, fg, style);
}

void TCustomImageList::DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, int Overlay, bool Enabled) {
  if (!FHandle || Overlay < 0 || Overlay > 14) return;
  if (!Enabled) {
    ImageList_DrawDisabled(FHandle, ImageIndex, Canvas->Handle(), X, Y);
    return;
  }
  ImageList_Draw(FHandle, ImageIndex, Canvas->Handle(), X, Y, ILD_TRANSPARENT | INDEXTOOVERLAYMASK(UINT(Overlay + 1)));
}

bool TCustomImageList::Overlay(int ImageIndex, int Overlay) {
  return FHandle && ImageList_SetOverlayImage(FHandle, ImageIndex, Overlay + 1);
}

void TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
  if (!Image || !FHandle || Index < 0 || Index >= Count()) return;
  HBITMAP b = ImageList_GetBitmap(FHandle, Index);
  if (b) Image->SetHandle(b);
}

void TCustomImageList::GetIcon(int Index, TIcon* Image) {
  if (!Image || !FHandle || Index < 0 || Index >= Count()) return;
  Image->SetHandle(ImageList_GetIcon(FHandle, Index, ILD_NORMAL));
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  if (!Value) return;
  Value->SetSender(this);
  if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  FClients.erase(std::remove(FClients.begin(), FClients.end(), Value), FClients.end());
  if (Value && Value->Sender() == this) Value->SetSender(nullptr);
}

void TCustomImageList::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && FChanged) {
    FChanged = false;
    Change();
  }
}

void TCustomImageList::Change() {
  if (FUpdateCount > 0) {
    FChanged = true;
    return;
  }
  for (TChangeLink* l : std::vector<TChangeLink*>(FClients)) l->Change();
  if (OnChange) OnChange(this);
}

// The stored images: "PVIL", a version, the image size and count, then the
// images side by side as one 32-bit bitmap (alpha carries the mask), each part
// with its byte length.
void TCustomImageList::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "Bitmap", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); }, Count() > 0);
}

void TCustomImageList::WriteData(TStream* Stream) {
  int n = Count();
  std::int32_t head[4] = {0x4C495650 /* PVIL */, 1, FWidth, FHeight};
  Stream->WriteBuffer(head, sizeof head);
  std::int32_t count = n;
  Stream->WriteBuffer(&count, 4);
  TRawImage strip;
  strip.Width = FWidth * std::max(n, 1);
  strip.Height = FHeight;
  strip.HasAlpha = true;
  strip.Pixels.assign(std::size_t(strip.Width) * strip.Height, 0);
  for (int i = 0; i < n; ++i) {
    // Draw each image onto a transparent background to keep its mask as alpha.
    IMAGEINFO ii;
    if (!ImageList_GetImageInfo(FHandle, i, &ii)) continue;
    TRawImage img = GetBitmapImage(ii.hbmImage);
    TRawImage mask;
    if (ii.hbmMask) mask = GetBitmapImage(ii.hbmMask);
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x) {
        int sx = ii.rcImage.left + x, sy = ii.rcImage.top + y;
        if (sx >= img.Width || sy >= img.Height) continue;
        std::uint32_t p = img.At(sx, sy);
        bool transparent = ii.hbmMask && sx < mask.Width && sy < mask.Height && (mask.At(sx, sy) & 0xFFFFFF) != 0;
        if (transparent) p = 0;
        else if (!img.HasAlpha || (p >> 24) == 0) p |= 0xFF000000u;
        strip.At(i * FWidth + x, y) = p;
      }
  }
  TBytes png = EncodePng(strip);
  std::int32_t len = std::int32_t(png.size());
  Stream->WriteBuffer(&len, 4);
  Stream->WriteBuffer(png.data(), len);
}

void TCustomImageList::ReadData(TStream* Stream) {
  std::int32_t head[5];
  Stream->ReadBuffer(head, sizeof head);
  if (head[0] != 0x4C495650 || head[1] != 1) throw EReadError("Image list data is not valid");
  int w = head[2], h = head[3], n = head[4];
  if (w <= 0 || h <= 0 || w > 1024 || h > 1024 || n < 0 || std::int64_t(n) * w > PV_MAX_IMAGE_SIDE)
    throw EReadError("Image list data is not valid");
  std::int32_t len = 0;
  Stream->ReadBuffer(&len, 4);
  if (len < 0 || len > Stream->Remaining()) throw EReadError("Image list data length out of range");
  AnsiString bytes = ReadStreamBytes(Stream, len);
  TRawImage strip = DecodePng(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  if (strip.Height != h || strip.Width < w * n) throw EReadError("Image list data does not match its size");
  // Everything checked: replace the images.
  FWidth = w;
  FHeight = h;
  CreateImageList();
  for (int i = 0; i < n; ++i) {
    TRawImage img;
    img.Width = w;
    img.Height = h;
    img.HasAlpha = true;
    img.Pixels.resize(std::size_t(w) * h);
    TRawImage mask;
    mask.Width = w;
    mask.Height = h;
    mask.Pixels.resize(std::size_t(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        std::uint32_t p = strip.At(i * w + x, y);
        bool transparent = (p >> 24) == 0;
        img.At(x, y) = transparent ? 0 : p;
        mask.At(x, y) = transparent ? 0xFFFFFFFFu : 0xFF000000u;
      }
    HBITMAP bi = CreateBitmapFromImage(img);
    HBITMAP bm = FMasked ? CreateBitmapFromImage(mask) : nullptr;
    ImageList_Add(FHandle, bi, bm);
    DeleteObject(bi);
    if (bm) DeleteObject(bm);
  }
  Change();
}

// ---------------------------------------------------------------------------
// drag images

TDragImageList::~TDragImageList() {
  if (FDragging) EndDrag();
}

bool TDragImageList::SetDragImage(int Index, int HotSpotX, int HotSpotY) {
  if (Index < 0 || Index >= Count()) return false;
  FDragIndex = Index;
  FDragHotspot = {HotSpotX, HotSpotY};
  if (FDragging) return ImageList_SetDragCursorImage(Handle(), Index, HotSpotX, HotSpotY) != 0;
  return true;
}

bool TDragImageList::BeginDrag(HWND Window, int X, int Y) {
  if (!Handle() || Count() == 0) return false;
  if (!ImageList_BeginDrag(Handle(), FDragIndex, FDragHotspot.x, FDragHotspot.y)) return false;
  FDragging = true;
  return DragLock(Window, X, Y);
}

bool TDragImageList::DragLock(HWND Window, int XPos, int YPos) {
  if (!FDragging) return false;
  if (FLockedWindow && FLockedWindow != Window) DragUnlock();
  FLockedWindow = Window;
  return ImageList_DragEnter(Window, XPos, YPos) != 0;
}

void TDragImageList::DragUnlock() {
  if (FLockedWindow) ImageList_DragLeave(FLockedWindow);
  FLockedWindow = nullptr;
}

bool TDragImageList::DragMove(int X, int Y) { return FDragging && ImageList_DragMove(X, Y); }

bool TDragImageList::EndDrag() {
  if (!FDragging) return false;
  DragUnlock();
  ImageList_EndDrag();
  FDragging = false;
  return true;
}

void TDragImageList::HideDragImage() {
  if (FDragging) ImageList_DragShowNolock(FALSE);
}

void TDragImageList::ShowDragImage() {
  if (FDragging) ImageList_DragShowNolock(TRUE);
}

void InitImgListProps() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TCustomImageList::StaticClass(), TDragImageList::StaticClass(), TImageList::StaticClass()});
  RegisterProps<TCustomImageList>([](TPropBuilder<TCustomImageList>& p) {
    p.Prop("AllocBy", &TCustomImageList::AllocBy, &TCustomImageList::SetAllocBy).Default(4);
    p.Prop("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor).Default(clNone).Idents(ColorIdentMap());
    p.Prop("BlendColor", &TCustomImageList::BlendColor, &TCustomImageList::SetBlendColor).Default(clNone).Idents(ColorIdentMap());
    p.Prop("DrawingStyle", &TCustomImageList::DrawingStyle, &TCustomImageList::SetDrawingStyle).Default(dsNormal);
    p.Prop("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight).Default(16);
    p.Prop("ImageType", &TCustomImageList::ImageType, &TCustomImageList::SetImageType).Default(itImage);
    p.Prop("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked).Default(true);
    p.Prop("ShareImages", &TCustomImageList::ShareImages, &TCustomImageList::SetShareImages).Default(false);
    p.Prop("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth).Default(16);
    p.Prop("OnChange", &TCustomImageList::OnChange, &TCustomImageList::OnChange);
  });
}
