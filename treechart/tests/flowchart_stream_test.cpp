// The flow-chart stream: the exact bytes of small charts, a byte-for-byte
// round trip of a chart using every stored field, files and window
// descriptions, and damaged streams that are refused with the chart intact.
#include "treechart/tests/flowchart_fixture.h"

#include <filesystem>

#include "platform/classes/filer.h"
#include "platform/rtl/streams.h"

namespace {

void FcLoad(TkxCustomFlowChart* C, const std::string& Bytes) {
  TReadOnlyMemoryStream s(Bytes.data(), Int64(Bytes.size()));
  C->LoadFromStream(&s);
}

class FlowChartStreamTest : public FlowChartTest {
 protected:
  // A chart with every kind of stored value.
  void BuildRich() {
    const TkxFcShapeKind shapes[] = {fskNone,          fskRectangle,     fskEllipse,      fskRoundRect,
                                     fskDiamond,       fskNorthTriangle, fskSouthTriangle, fskEastTriangle,
                                     fskWestTriangle,  fskHexagon};
    int i = 0;
    for (TkxFcShapeKind k : shapes) {
      TkxFcObject* o = Chart->CreateObject(-20 + 90 * (i % 5), 10 + 80 * (i / 5), 80, 60, k);
      o->SetText(AnsiString("obj") + char('0' + i));
      o->ExtraText = "extra";
      o->Tag = -i;
      o->SetShapeWidth(Byte(i + 1));
      o->SetHorzTextPos(TkxFcHorzPos(i % 3));
      o->SetVertTextPos(TkxFcVertPos((i + 1) % 3));
      o->SetHorzImagePos(fhpRight);
      o->SetVertImagePos(fvpBottom);
      o->SetImageIndex(SmallInt(i % 2 ? i : -1));
      o->SetBkColor(TColor(0x102030 * i));
      o->SetShapeColor(clMaroon);
      o->SetTransparent(i == 3);
      ++i;
    }
    Chart->Objects(1)->SetFrameEdge(EDGE_RAISED);
    Chart->Objects(1)->SetFrameFlags(BF_RECT | BF_SOFT);
    Chart->Objects(2)->Font()->SetName("Arial");
    Chart->Objects(2)->Font()->SetHeight(-15);
    Chart->Objects(2)->Font()->SetStyle({fsBold, fsUnderline});
    Chart->Objects(2)->Font()->SetColor(clRed);
    Chart->Objects(3)->Font()->SetSize(14);  // the chart's face: stored empty
    Chart->Objects(0)->AddToUnion(Chart->Objects(4));
    Chart->Objects(0)->AddToUnion(Chart->Objects(5));
    Chart->Objects(5)->AddToUnion(Chart->Objects(6));
    TkxFcConnection* c = Chart->CreateConnection(Chart->Objects(1), Chart->Objects(7), 14, 6);
    c->SetPenStyle(psDot);
    c->SetText("yes");
    c->DestArrow()->SetArrowKind(fakArrow);
    c->DestArrow()->SetWidth(12);
    c->DestArrow()->SetHeight(9);
    TkxFcConnection* d = Chart->CreateConnection(nullptr, Chart->Objects(2), 3, 0);
    d->AddPoint({500, 400});
    d->InsertPoint(0, {600, 420});
    d->SetStyle(flsCurved);
    d->SetBehindObjects(true);
    d->SetColor(clGreen);
    d->SourceArrow()->SetArrowKind(fakOval);
    d->SourceArrow()->SetColor(clYellow);
    d->Font()->SetName("Courier New");
    TkxFcConnection* e = Chart->CreateConnection(Chart->Objects(8), nullptr, 0, 15);
    e->AddPoint({-50, -60});
    e->SetStyle(flsRectVertical);
  }
};

TEST_F(FlowChartStreamTest, SmallChartsHaveTheirExactBytes) {
  EXPECT_EQ(FcBytes(Chart), std::string(4, '\0'));
  TkxFcObject* o = Chart->CreateObject(10, 20, 100, 50, fskRectangle);
  o->SetText("A");
  const std::string one = FcBytes(Chart);
  const unsigned char expected[49] = {1, 0,  // one object
                                      0x0A, 0, 0, 0, 0x14, 0, 0, 0, 0x64, 0, 0x32, 0, 0, 0, 0x0F, 0, 0, 0, 0, 0,
                                      0x05, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 1, 1, 1, 0,
                                      1, 0, 'A',  // the text
                                      0, 0,       // no extra text
                                      0, 0};      // no connections
  EXPECT_EQ(one, std::string(reinterpret_cast<const char*>(expected), 49));

  TkxFcObject* p = Chart->CreateObject(200, 20, 100, 50, fskRectangle);
  TkxFcConnection* c = Chart->CreateConnection(o, p, 14, 6);
  c->SetPenStyle(psDot);
  const std::string two = FcBytes(Chart);
  // the connection's record is the last 28 + 2 bytes: no point bytes
  const std::size_t at = two.size() - 30;
  EXPECT_EQ(two.substr(at - 2, 2), std::string("\x01\x00", 2)) << "one connection";
  EXPECT_EQ(two[at + 0], 0);
  EXPECT_EQ(two[at + 2], 1);
  EXPECT_EQ(Byte(two[at + 10]), 0x26);
  EXPECT_EQ(Byte(two[at + 11]), 14);

  // loading the empty chart empties it
  FcLoad(Chart, std::string(4, '\0'));
  EXPECT_EQ(Chart->ObjectCount(), 0);
  EXPECT_EQ(Chart->ConnectionCount(), 0);
}

TEST_F(FlowChartStreamTest, RoundTripKeepsEveryByte) {
  TImageList images(nullptr);
  images.SetSize(16, 16);
  TBitmap b;
  b.SetSize(16 * 10, 16);
  images.Add(&b, nullptr);
  Chart->SetImages(&images);
  BuildRich();
  const std::string first = FcBytes(Chart);
  TkxFlowChart* other = ::NewObject<TkxFlowChart>(Form);
  other->SetParent(Form);
  other->Font()->Assign(Chart->Font());
  other->SetImages(&images);
  TFcRecorder rec;
  rec.Attach(other);
  FcLoad(other, first);
  EXPECT_EQ(rec.Creates, 0) << "loading raises no OnCreateItem";
  EXPECT_EQ(rec.Changes, 0) << "nor change notifications";
  EXPECT_EQ(FcBytes(other), first);
  // the values arrived
  EXPECT_EQ(other->ObjectCount(), 10);
  EXPECT_EQ(other->Objects(2)->Font()->Name(), "Arial");
  EXPECT_TRUE(other->Objects(2)->Font()->Style().Contains(fsUnderline));
  EXPECT_EQ(other->Objects(3)->Font()->Name(), Chart->Font()->Name()) << "an empty face keeps the chart's";
  EXPECT_EQ(other->Objects(0)->UnionMembers(1), other->Objects(5));
  EXPECT_EQ(other->Objects(5)->UnionMembers(0), other->Objects(6));
  EXPECT_EQ(other->Connections(1)->Points(0), (TPoint{600, 420}));
  EXPECT_TRUE(other->Connections(1)->BehindObjects());
  EXPECT_EQ(other->Connections(2)->SourcePoint(), 15);
  EXPECT_EQ(other->Objects(7)->AttachPoint(14), Chart->Objects(7)->AttachPoint(14)) << "shape applied after bounds";
  Chart->SetImages(nullptr);
  other->SetImages(nullptr);
}

TEST_F(FlowChartStreamTest, LongStringsAreCutToSixteenBits) {
  TkxFcObject* o = Chart->CreateObject(0, 0, 10, 10, fskRectangle);
  o->SetText(AnsiString(70000, 'x'));
  FcLoad(Chart, FcBytes(Chart));
  EXPECT_EQ(Chart->Objects(0)->Text(), AnsiString(65535, 'x'));
  // never inside a double-byte character
  AnsiString t(65534, 'y');
  t += "\xB5\xDA\xB5\xDA";
  Chart->Objects(0)->SetText(t);
  FcLoad(Chart, FcBytes(Chart));
  EXPECT_EQ(Chart->Objects(0)->Text(), AnsiString(65534, 'y'));
}

TEST_F(FlowChartStreamTest, DamagedStreamsAreRefusedAndTheChartKeepsItsContent) {
  BuildRich();
  const std::string good = FcBytes(Chart);
  TkxFcObject* keep = Chart->CreateObject(1, 2, 3, 4, fskEllipse);
  keep->SetText("keep");
  const std::string before = FcBytes(Chart);
  auto refused = [&](const std::string& bytes, const char* what) {
    try {
      FcLoad(Chart, bytes);
      ADD_FAILURE() << what << ": accepted";
    } catch (const EkxFcStreamError& e) {
      EXPECT_NE(std::string(e.Message).find("damaged"), std::string::npos) << e.Message;
    }
    EXPECT_EQ(FcBytes(Chart), before) << what << ": the chart changed";
  };
  // every truncation
  for (std::size_t n = 0; n < good.size(); ++n) {
    SCOPED_TRACE(n);
    refused(good.substr(0, n), "truncated");
  }
  // a huge object count with a little data
  refused(std::string("\xFF\xFF", 2) + good.substr(2), "huge count");
  // a union member index beyond the objects, and one naming itself
  std::string bad = good;
  const std::size_t members = 2 + 32;  // the first object's member count, then its image index
  ASSERT_EQ(Byte(bad[members]), 2);
  bad[2 + 40] = '\x30';
  refused(bad, "member index");
  bad = good;
  bad[2 + 40] = 0;
  bad[2 + 41] = 0;
  refused(bad, "member of itself");
  // a string length past the end
  bad = good;
  bad[good.size() - 2] = '\x7F';
  refused(bad, "string length");
  // an out-of-range shape kind
  bad = good;
  bad[2 + 36] = 11;
  refused(bad, "shape kind");
  // positions so far out that the spans between them overflow
  bad = good;
  bad.replace(2, 4, "\x00\x00\x00\x80", 4);  // the first object's Left: the smallest int
  refused(bad, "far left");
  {
    TkxFlowChart* far = ::NewObject<TkxFlowChart>(Form);
    TkxFcConnection* c = far->CreateConnection(nullptr, nullptr, 0, 0);
    c->AddPoint({0, 0});
    std::string bytes = FcBytes(far);
    bytes.replace(bytes.size() - 2 - 8, 4, "\x00\x94\x35\x77", 4);  // the second point's x: 2,000,000,000
    refused(bytes, "far point");
    // nor does the writer store what the reader would refuse
    c->AddPoint({2000000000, 5});
    TMemoryStream s;
    EXPECT_THROW(far->SaveToStream(&s), EkxFcStreamError);
    EXPECT_EQ(s.Size(), 0);
  }
  // a union loop: the first object names the fifth, the fifth the first
  TkxFlowChart* loop = ::NewObject<TkxFlowChart>(Form);
  TkxFcObject* a = loop->CreateObject(0, 0, 10, 10, fskRectangle);
  TkxFcObject* b2 = loop->CreateObject(0, 0, 10, 10, fskRectangle);
  a->AddToUnion(b2);
  b2->AddToUnion(a);  // nothing prevents it in memory; the reader refuses it
  refused(FcBytes(loop), "loop");
  // a stream of the right shape loads
  FcLoad(Chart, good);
  EXPECT_EQ(FcBytes(Chart), good);
}

TEST_F(FlowChartStreamTest, ConnectionEndsNamingNoObjectStayFree) {
  TkxFcObject* a = Chart->CreateObject(0, 0, 40, 40, fskRectangle);
  TkxFcConnection* c = Chart->CreateConnection(a, nullptr, 0, 6);
  c->AddPoint({200, 200});
  std::string bytes = FcBytes(Chart);
  const std::size_t at = bytes.size() - (28 + 8 + 2);
  bytes[at] = 9;  // object 9 does not exist
  FcLoad(Chart, bytes);
  ASSERT_EQ(Chart->ConnectionCount(), 1);
  EXPECT_EQ(Chart->Connections(0)->Source(), nullptr);
  EXPECT_EQ(Chart->Connections(0)->FreePointCount(), 1);
}

TEST_F(FlowChartStreamTest, FilesAndWindowDescriptionsCarryTheStream) {
  BuildRich();
  const std::string bytes = FcBytes(Chart);
  std::string tmpl = (std::filesystem::temp_directory_path() / "pvfcXXXXXX").string();
  ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
  const AnsiString file = tmpl + "/chart.f";
  Chart->SaveToFile(file);
  TkxFlowChart* other = ::NewObject<TkxFlowChart>(Form);
  other->Font()->Assign(Chart->Font());
  other->LoadFromFile(file);
  EXPECT_EQ(FcBytes(other), bytes);
  EXPECT_THROW(other->LoadFromFile(tmpl + "/missing.f"), EFOpenError);
  EXPECT_EQ(FcBytes(other), bytes);
  std::filesystem::remove_all(tmpl);
  delete other;

  Chart->SetName("Chart1");
  Chart->SetOptions({fcoCanDelete, fcoCanDrag, fcoCanSelect, fcoMultiSelect, fcoHideSelection});
  Chart->SetZoom(80);
  const AnsiString text = WriteComponentToText(Form);
  EXPECT_NE(text.find("Items = {"), AnsiString::npos);
  EXPECT_NE(text.find("Zoom = 80"), AnsiString::npos);
  EXPECT_NE(text.find("Options = [fcoCanDelete, fcoCanDrag, fcoCanSelect, fcoMultiSelect, fcoHideSelection]"),
            AnsiString::npos);
  TForm* copy = new TForm(Application, 0);
  ReadComponentFromText(text, copy);
  auto* read = dynamic_cast<TkxFlowChart*>(copy->FindComponent("Chart1"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Zoom(), 80);
  EXPECT_EQ(FcBytes(read), bytes);
  delete copy;
  // an empty chart stores no items
  Chart->Clear();
  EXPECT_EQ(WriteComponentToText(Form).find("Items"), AnsiString::npos);
}

}  // namespace
