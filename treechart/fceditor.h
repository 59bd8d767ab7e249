// The flow-chart editor: a modal window in which the user edits a copy of a
// flow chart with creation tools, settings buttons, a colour palette, an
// internal clipboard, unions, zoom, files and a snapshot undo. The caller's
// chart takes the result when the user presses OK.
#pragma once

#include <memory>
#include <vector>

#include "platform/controls/buttons.h"
#include "platform/controls/dialogs.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/menus.h"
#include "platform/rtl/streams.h"
#include "treechart/fcdialogs.h"
#include "treechart/flowchart.h"

// Edits Chart in the modal editor; true when the user pressed OK (the chart
// then holds the edited content).
bool kxFcExecuteEditor(TkxCustomFlowChart* Chart, const AnsiString& Caption);

// The cursors of the zoom tool.
constexpr TCursor crFcZoomIn = 2001, crFcZoomOut = 2002;

// Keeps up to Depth streams of a chart back to back in one memory stream.
class TUndoManager {
 public:
  void SetChart(TkxCustomFlowChart* Value) { FChart = Value; }
  int Depth() const { return FDepth; }
  void SetDepth(int Value) { FDepth = std::max(1, std::min(Value, 200)); }
  // Stores the chart's state unless it equals the newest one; returns CanUndo.
  bool Store();
  // Goes back to the state before the newest one.
  void Undo();
  bool CanUndo() const { return FCanUndo; }
  int Count() const { return int(FSizes.size()); }

 private:
  TkxCustomFlowChart* FChart = nullptr;
  TMemoryStream FStream;
  std::vector<Int64> FSizes;
  int FDepth = 10;
  bool FCanUndo = false;
};

// An item of the editor's clipboard: kind 0 object, 1 connection.
struct TBuferItem {
  TkxFcItem* Item = nullptr;
  int Kind = 0;
};

class TFChartEditor : public TForm {
  PV_CLASS(TFChartEditor, TForm)
 public:
  explicit TFChartEditor(TComponent* AOwner) : TForm(AOwner) {}
  ~TFChartEditor() override;

  TkxFlowChart* Chart = nullptr;
  TSpeedButton *btnCreateObject = nullptr, *btnCreateConnect = nullptr;
  TSpeedButton *sbShape = nullptr, *sbLine = nullptr, *sbTextPosition = nullptr, *sbObjectFont = nullptr,
               *sbImagePosition = nullptr;
  TSpeedButton *sbStyle = nullptr, *sbConnectFont = nullptr, *sbSourceArrow = nullptr, *sbDestArrow = nullptr,
               *sbSArrowSize = nullptr, *sbDArrowSize = nullptr, *sbSPoint = nullptr, *sbDPoint = nullptr;
  TSpeedButton *sbZoom = nullptr, *sbFit = nullptr;
  TPanel *pColor = nullptr, *pBkColor = nullptr;
  TButton *btnOK = nullptr, *btnCancel = nullptr;
  TImageList *LargeImages = nullptr, *SmallImages = nullptr;
  TMenuItem *miOpen = nullptr, *miSaveAs = nullptr, *miUndo = nullptr, *miCut = nullptr, *miCopy = nullptr,
            *miPaste = nullptr, *miDelete = nullptr, *miSelectAll = nullptr, *miClearSelection = nullptr,
            *miBringToFront = nullptr, *miSendToBack = nullptr, *miZoomIn = nullptr, *miZoomOut = nullptr,
            *miFit = nullptr, *miActualSize = nullptr, *miNewUnion = nullptr, *miAddToUnion = nullptr,
            *miRemoveFromUnion = nullptr, *miClearUnion = nullptr, *miClearAllUnions = nullptr, *Contens1 = nullptr;
  TPopupMenu* ChartPopupMenu = nullptr;
  TMenuItem *iEdit = nullptr, *iCut = nullptr, *iCopy = nullptr, *iPaste = nullptr, *iDelete = nullptr,
            *iRemovePoint = nullptr, *iSelectAll = nullptr, *iClearSelection = nullptr, *iBringToFront = nullptr,
            *iSendToBack = nullptr, *iNewUnion = nullptr, *iAddToUnion = nullptr, *iRemoveFromUnion = nullptr,
            *iClearUnion = nullptr, *iClearAllUnions = nullptr;
  TPopupMenu *ShapePopupMenu = nullptr, *LinePopupMenu = nullptr, *StylePopupMenu = nullptr,
             *SourceArrowPopupMenu = nullptr, *DestArrowPopupMenu = nullptr, *SArrowSizePopupMenu = nullptr,
             *DArrowSizePopupMenu = nullptr, *SPointPopupMenu = nullptr, *DPointPopupMenu = nullptr,
             *TextPositionPopupMenu = nullptr, *ImagePositionPopupMenu = nullptr;
  TColorDialog* ColorDialog = nullptr;
  TFontDialog* FontDialog = nullptr;
  TOpenDialog* OpenDialog = nullptr;
  TSaveDialog* SaveDialog = nullptr;

  // ---- handlers bound by the window description ----
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormDestroy(TObject* Sender);
  void ChartChange(TObject* Sender, TkxFcItem* Item);
  void ChartSelected(TObject* Sender, TkxFcItem* Item);
  void ChartSelection(TObject* Sender, TkxFcItem* Item, bool& Allow);
  void sbShapeClick(TObject* Sender);
  void iRectangleClick(TObject* Sender);
  void btnCreateObjectClick(TObject* Sender);
  void btnCreateConnectClick(TObject* Sender);
  void pBlackMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void pColorClick(TObject* Sender);
  void pColorDblClick(TObject* Sender);
  void sbZoomClick(TObject* Sender);
  void sbFitClick(TObject* Sender);
  void sbObjectFontClick(TObject* Sender);
  void sbConnectFontClick(TObject* Sender);
  void miUndoClick(TObject* Sender);
  void iCutClick(TObject* Sender);
  void iCopyClick(TObject* Sender);
  void iPasteClick(TObject* Sender);
  void iDeleteClick(TObject* Sender);
  void iSelectAllClick(TObject* Sender);
  void iClearSelectionClick(TObject* Sender);
  void iBringToFrontClick(TObject* Sender);
  void iSendToBackClick(TObject* Sender);
  void iEditClick(TObject* Sender);
  void iRemovePointClick(TObject* Sender);
  void iNewUnionClick(TObject* Sender);
  void iAddToUnionClick(TObject* Sender);
  void iRemoveFromUnionClick(TObject* Sender);
  void iClearUnionClick(TObject* Sender);
  void iClearAllUnionsClick(TObject* Sender);
  void miZoomInClick(TObject* Sender);
  void miZoomOutClick(TObject* Sender);
  void miFitClick(TObject* Sender);
  void miActualSizeClick(TObject* Sender);
  void miOpenClick(TObject* Sender);
  void miSaveAsClick(TObject* Sender);
  void Contens1Click(TObject* Sender);
  void ChartKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ChartKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void ChartMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ChartMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void ChartMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ChartDblClick(TObject* Sender);

  // ---- for callers and tests ----
  TUndoManager& UndoManager() { return FUndo; }
  const std::vector<TBuferItem>& Clipboard() const { return FClipboard; }
  bool Recording() const { return FRecording; }
  // The text the union hint shows for O ("" when none).
  AnsiString UnionHintText(TkxFcObject* O);
  TkxFcObject* HintObject() const { return FHintObject; }
  // Applies the tools' settings to the selection (kind 0: all); the number of items affected.
  int ApplyObjects(int Kind);
  int ApplyConnections(int Kind);

 private:
  void SetButtonValue(TSpeedButton* Button, int Value);
  TPopupMenu* MenuOf(TSpeedButton* Button) const;
  void SyncTools();
  void EnableCommands();
  void SetActualSizeEnabled();
  void ApplyColor(TPanel* Panel, TColor Color, bool ChartTooWhenEmpty);
  bool PickFont(TSpeedButton* Button, TFont* Selected);
  void AddSelectionToUnion(TkxFcObject* U, int From);
  void ClearClipboard();
  void StoreSnapshot();
  // Mouse tools.
  void DrawObjectPreview(TPoint A, TPoint B);
  void DrawConnectPreview(TPoint A, TPoint B);
  void DrawRubberBand(TPoint A, TPoint B);
  void ConfineCursor(bool On);
  void CancelCreating();
  void UpdateUnionHint(int X, int Y);
  bool RemovablePoint(TkxFcConnection* C, int K) const;

  TPoint FDownPoint, FLastPoint;
  bool FCreating = false, FRubberBand = false, FJustDblClicked = false, FPreviewShown = false;
  bool FSyncGuard = true, FRecording = true, FInSelected = false;
  std::vector<TBuferItem> FClipboard;
  TkxFlowChart* FClipChart = nullptr;
  TUndoManager FUndo;
  TkxFcObject* FHintObject = nullptr;
  int FSavedHintPause = 0;
  TColor FLastDialogColor = clBlack;
};

// Registers the editor's classes, handlers and fields, the zoom cursors and
// the property dialogs.
void kxInitFlowChartEditor();
// The picture of the editor's font buttons, on the button face colour Face.
void kxFcPaintFontGlyph(TBitmap* Glyph, TColor Face);
