// The flow-chart editor's property dialogs: the object dialog and the
// connection dialog edit every selected item at once and apply only the
// values the user changed (each control carries a change mark in its Tag);
// the union chooser picks one union of objects. The dialogs are window
// descriptions of resources/forms.
#pragma once

#include <vector>

#include "platform/controls/buttons.h"
#include "platform/controls/comctrls.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/stdctrls.h"
#include "treechart/flowchart.h"

// ---- unions ----
// The 1-based position of a union object among the chart's union objects in
// stacking order (0 for an object without members).
int kxFcUnionNumber(TkxCustomFlowChart* Chart, TkxFcObject* O);
// Whether some union object's tree holds O (a union object holds itself).
bool kxFcBelongsToUnion(TkxCustomFlowChart* Chart, TkxFcObject* O);
// The union objects other than O whose trees hold O, in stacking order.
std::vector<TkxFcObject*> kxFcUnionsOf(TkxCustomFlowChart* Chart, TkxFcObject* O);
bool kxFcChartHasUnion(TkxCustomFlowChart* Chart);

// Whether Key may go into Edit: the text it would make is an integer from Min
// to Max (an empty text counts as 1). Control keys are judged by the text as it is.
bool AcceptNumberKey(TCustomEdit* Edit, char Key, int Max, int Min);
// An edit's number: its text as an integer, 1 when empty or not a number.
int kxFcEditNumber(TCustomEdit* Edit);

// Shows the object dialog filled from AObject and applies the changed values
// to every selected object; true when OK was pressed and objects are selected.
bool kxFcEditObjects(TkxCustomFlowChart* Chart, TkxFcObject* AObject);
// The same for connections.
bool kxFcEditConnections(TkxCustomFlowChart* Chart, TkxFcConnection* AConnection);
// The chosen union's main object, or nil.
TkxFcObject* kxFcSelectUnion(TkxCustomFlowChart* Chart, bool OnlySelected);

// Base of the two property dialogs: the change marks and the colour and font
// buttons.
class TFcPropertyDialog : public TForm {
  PV_CLASS(TFcPropertyDialog, TForm)
 public:
  explicit TFcPropertyDialog(TComponent* AOwner) : TForm(AOwner) {}
  // Clears the change mark of every control.
  void ResetMarks();
  static bool Marked(TComponent* C) { return C && C->Tag() == 1; }
  void MarkChange(TObject* Sender);
  void ColorPanelClick(TObject* Sender);
  void FontButtonClick(TObject* Sender);
  void NumberKeyPress(TObject* Sender, char& Key);
};

class TFEditObject : public TFcPropertyDialog {
  PV_CLASS(TFEditObject, TFcPropertyDialog)
 public:
  explicit TFEditObject(TComponent* AOwner) : TFcPropertyDialog(AOwner) {}
  TPageControl* PageControl = nullptr;
  TTabSheet *tsGeneral = nullptr, *tsImage = nullptr, *tsFrame = nullptr;
  TEdit *seHeight = nullptr, *seWidth = nullptr, *seShapeWidth = nullptr;
  TMemo* memoText = nullptr;
  TSpeedButton* sbFont = nullptr;
  TComboBox *cbTextPosition = nullptr, *cbShapeStyle = nullptr, *cbImagePosition = nullptr;
  TPanel *pColor = nullptr, *pBkColor = nullptr;
  TCheckBox* cbTransparent = nullptr;
  TListView* lwImage = nullptr;
  TButton *btnClear = nullptr, *btnOK = nullptr, *btnCancel = nullptr;
  TCheckBox *cbRaisedOut = nullptr, *cbSunkenOut = nullptr, *cbRaisedIn = nullptr, *cbSunkenIn = nullptr;
  TCheckBox *cbLeft = nullptr, *cbTop = nullptr, *cbRight = nullptr, *cbBottom = nullptr, *cbDiag = nullptr,
            *cbMiddle = nullptr, *cbSoft = nullptr, *cbAdjust = nullptr, *cbMono = nullptr, *cbFlat = nullptr;
  void btnClearClick(TObject* Sender);
  void Fill(TkxCustomFlowChart* Chart, TkxFcObject* AObject);
  void Apply(TkxFcObject* O, bool HasImages);
};

class TFEditConnection : public TFcPropertyDialog {
  PV_CLASS(TFEditConnection, TFcPropertyDialog)
 public:
  explicit TFEditConnection(TComponent* AOwner) : TFcPropertyDialog(AOwner) {}
  TMemo* MemoText = nullptr;
  TSpeedButton* sbFont = nullptr;
  TComboBox *cbSArrowStyle = nullptr, *cbDArrowStyle = nullptr;
  TEdit *seSArrowSize = nullptr, *seDArrowSize = nullptr, *seSPoint = nullptr, *seDPoint = nullptr;
  TPanel *pColor = nullptr, *pBkColor = nullptr;
  TButton *btnOK = nullptr, *btnCancel = nullptr;
  void Fill(TkxFcConnection* AConnection);
  void Apply(TkxFcConnection* C);
};

class TFSelectUnion : public TForm {
  PV_CLASS(TFSelectUnion, TForm)
 public:
  explicit TFSelectUnion(TComponent* AOwner) : TForm(AOwner) {}
  TListBox* lbUnions = nullptr;
  TButton *btnOK = nullptr, *btnCancel = nullptr;
  void Fill(TkxCustomFlowChart* Chart, bool OnlySelected);
};

// Registers the dialog classes with their handlers and fields.
void kxInitFlowChartDialogs();
