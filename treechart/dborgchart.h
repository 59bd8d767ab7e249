// The organisation chart bound to a dataset: every record is a node, its key
// field names the node and its parent field the parent's key; text, sibling
// order, image and (optionally) size, colour, shape and alignments come from
// further fields. The chart follows the dataset's cursor and moves it when a
// node is selected; adding, moving, deleting, editing and restyling nodes
// writes the records at once.
//
// To move the cursor cheaply the chart remembers for every node the position
// of its record and moves the cursor by the difference, checking the key and
// falling back to a locate when the position is stale.
#pragma once

#include <memory>
#include <vector>

#include "platform/db/db.h"
#include "treechart/orgchart.h"

class TkxDbOrgChart;

using TkxOcNewKeyEvent = TEvent<void(TObject* Sender, const Variant& MaxValue, Variant& KeyValue)>;

class TkxDbOcNode : public TkxOcNode {
  PV_CLASS(TkxDbOcNode, TkxOcNode)
 public:
  explicit TkxDbOcNode(TkxCustomOrgChart* AOwner) : TkxOcNode(AOwner) {}
  Variant RecordKey = Variant::Null();
  Variant ParentKey = Variant::Null();
  Variant OrderValue;
  int RecordPos = 0;
  bool Visited = false;
  void ReadData(TStream* Stream) override;
  void SetText(const AnsiString& Value) override;
};

class TkxOcDataLink : public TDataLink {
  PV_CLASS(TkxOcDataLink, TDataLink)
 public:
  explicit TkxOcDataLink(TkxDbOrgChart* AChart) : FChart(AChart) {}
  bool Filtered = false;
  AnsiString Filter;

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void RecordChanged(TField* Field) override;

 private:
  TkxDbOrgChart* FChart;
};

class TkxDbOrgChart : public TkxCustomOrgChart {
  PV_CLASS(TkxDbOrgChart, TkxCustomOrgChart)
 public:
  explicit TkxDbOrgChart(TComponent* AOwner);
  ~TkxDbOrgChart() override;

  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  // The field names; each change rebinds and reloads.
  enum TFieldRole { frKey, frParent, frText, frOrder, frImage, frWidth, frHeight, frColor, frShape, frChildAlign,
                    frImageAlign, frCount };
  const AnsiString& FieldName(TFieldRole Role) const { return FFieldNames[Role]; }
  void SetFieldName(TFieldRole Role, const AnsiString& Value);
  AnsiString KeyFieldName() const { return FFieldNames[frKey]; }
  void SetKeyFieldName(const AnsiString& V) { SetFieldName(frKey, V); }
  AnsiString ParentFieldName() const { return FFieldNames[frParent]; }
  void SetParentFieldName(const AnsiString& V) { SetFieldName(frParent, V); }
  AnsiString TextFieldName() const { return FFieldNames[frText]; }
  void SetTextFieldName(const AnsiString& V) { SetFieldName(frText, V); }
  AnsiString OrderFieldName() const { return FFieldNames[frOrder]; }
  void SetOrderFieldName(const AnsiString& V) { SetFieldName(frOrder, V); }
  AnsiString ImageFieldName() const { return FFieldNames[frImage]; }
  void SetImageFieldName(const AnsiString& V) { SetFieldName(frImage, V); }
  AnsiString WidthFieldName() const { return FFieldNames[frWidth]; }
  void SetWidthFieldName(const AnsiString& V) { SetFieldName(frWidth, V); }
  AnsiString HeightFieldName() const { return FFieldNames[frHeight]; }
  void SetHeightFieldName(const AnsiString& V) { SetFieldName(frHeight, V); }
  AnsiString ColorFieldName() const { return FFieldNames[frColor]; }
  void SetColorFieldName(const AnsiString& V) { SetFieldName(frColor, V); }
  AnsiString ShapeFieldName() const { return FFieldNames[frShape]; }
  void SetShapeFieldName(const AnsiString& V) { SetFieldName(frShape, V); }
  AnsiString ChildAlignFieldName() const { return FFieldNames[frChildAlign]; }
  void SetChildAlignFieldName(const AnsiString& V) { SetFieldName(frChildAlign, V); }
  AnsiString ImageAlignFieldName() const { return FFieldNames[frImageAlign]; }
  void SetImageAlignFieldName(const AnsiString& V) { SetFieldName(frImageAlign, V); }
  bool KeyOrder() const { return FKeyOrder; }
  void SetKeyOrder(bool Value) { FKeyOrder = Value; }
  TField* BoundField(TFieldRole Role) const { return FFields[Role]; }
  bool Bound() const;
  // The node of a key (nil when none is loaded).
  TkxDbOcNode* FindNode(const Variant& Key) const;
  const Variant& MaxKey() const { return FMaxKey; }
  int CursorPos() const { return FCursorPos; }

  TkxOcNewKeyEvent OnNewKey;
  TkxOcEvent OnLoadNode;

  TkxOcNode* InsertNodeAt(TkxOcNode* Parent, int Data, int Index) override;
  void MoveNodeTo(TkxOcNode* NewParent, TkxOcNode* Node, int Index) override;
  TkxOcNode* NewNode() override;
  TkxOcInplaceEdit* NewEditor() override;
  void NodeAttributesChanged(TkxOcNode* Node) override;
  void SelectionChanged(TkxOcNode* Node) override;
  void SelectionChanging(TkxOcNode* Node, bool& Allow) override;
  void DeleteNode(TkxOcNode* Node) override;
  void BeginEdit() override;

 protected:
  friend class TkxOcDataLink;
  friend class TkxDbOcNode;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void RebindChart();
  void RefreshChart();
  void LoadChart();
  void LoadRecord();
  void PlaceTopLevelNodes();
  void CursorMoved(int Distance);
  void ChartFieldEdited(TField* Field);
  bool CanModifyData() const;
  void BindFields();
  void UnbindFields();
  // Position cache.
  void MoveCursorTo(int Pos);
  bool GoToNodeRecord(TkxDbOcNode* Node);
  void UpdateRecordPos(TkxDbOcNode* Node);
  Variant CreateKeyValue();
  void WriteParentValue(TkxDbOcNode* Node);
  void RenumberSiblings(TkxDbOcNode* Node);
  int OrderIndex(TkxOcNode* Parent, const Variant& Order, const TkxOcNode* Skip) const;
  // Key index.
  int IndexSearch(const Variant& Key, bool& Found) const;
  void IndexAdd(TkxDbOcNode* Node);
  void IndexRemove(TkxDbOcNode* Node);

  std::unique_ptr<TkxOcDataLink> FDataLink;
  AnsiString FFieldNames[frCount];
  TField* FFields[frCount] = {};
  std::vector<TkxDbOcNode*> FKeyIndex;
  TDataSetReadMark FLoaded;  // what the last LoadChart read
  Variant FMaxKey = Variant::Null();
  int FCursorPos = 0;
  int FLastPos = -1;
  bool FWriteThrough = true;
  bool FKeyOrder = false;
};

// Compares keys and order values: Null below every value, a failed variant
// comparison counting as "less". Returns -1, 0 or 1.
int kxOcCompareValues(const Variant& A, const Variant& B);

// Registers the organisation-chart classes and their published properties.
void kxInitOrgChartClasses();
