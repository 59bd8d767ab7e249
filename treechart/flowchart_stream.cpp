// The flow-chart stream: the object list followed by the connection list,
// little-endian, with no signature, version or overall length. The stream
// comes from files and records the user does not control, so a reader first
// walks the whole stream checking every count, length, index and value, and
// only then replaces the chart's content: a damaged stream raises a clear
// error and the chart keeps what it had.
#include <algorithm>
#include <string>

#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "treechart/flowchart.h"

namespace {

// ---- checked reading ----

class TFcIn {
 public:
  explicit TFcIn(TStream* S) : FStream(S) {}
  Byte U8() {
    Byte v;
    Get(&v, 1);
    return v;
  }
  Word U16() {
    Byte b[2];
    Get(b, 2);
    return Word(b[0] | (b[1] << 8));
  }
  SmallInt I16() { return SmallInt(U16()); }
  std::int32_t I32() {
    Byte b[4];
    Get(b, 4);
    return std::int32_t(std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
                        (std::uint32_t(b[3]) << 24));
  }
  // A position in chart units. Farther than a thousand million units from the
  // origin no editor puts anything, and the spans between such positions no
  // longer fit an int.
  std::int32_t Coord() {
    const std::int32_t v = I32();
    if (v < -1000000000 || v > 1000000000) Fail("a position lies too far from the origin");
    return v;
  }
  AnsiString Str() {
    const Word n = U16();
    if (n == 0) return AnsiString();
    if (FStream->Remaining() < n) Fail("a string runs past its end");
    AnsiString s(n, '\0');
    Get(s.data(), n);
    return s;
  }
  // A byte that must not exceed Max.
  Byte Ranged(Byte Max, const char* What) {
    const Byte v = U8();
    if (v > Max) Fail(std::string(What) + " out of range");
    return v;
  }
  [[noreturn]] void Fail(const std::string& What) {
    throw EkxFcStreamError("Flow-chart stream is damaged: " + What + " (byte " +
                           std::to_string(FStream->Position()) + ")");
  }

 private:
  void Get(void* Buffer, int Count) {
    if (FStream->Read(Buffer, Count) != Count) Fail("the stream ends early");
  }
  TStream* FStream;
};

// ---- writing ----

void FcPut8(TStream* S, Byte V) { S->WriteBuffer(&V, 1); }

void FcPut16(TStream* S, unsigned V) {
  const Byte b[2] = {Byte(V), Byte(V >> 8)};
  S->WriteBuffer(b, 2);
}

void FcPut32(TStream* S, std::uint32_t V) {
  const Byte b[4] = {Byte(V), Byte(V >> 8), Byte(V >> 16), Byte(V >> 24)};
  S->WriteBuffer(b, 4);
}

// A string of at most 65535 bytes, never cut inside a double-byte character.
void FcPutStr(TStream* S, const AnsiString& V) {
  std::size_t n = std::min<std::size_t>(V.size(), 65535);
  if (n < V.size() && n > 0 && ByteType(V, int(n)) == mbLeadByte) --n;
  FcPut16(S, unsigned(n));
  if (n) S->WriteBuffer(V.data(), LongInt(n));
}

// ---- entries ----

struct TFcFontEntry {
  SmallInt Height = 0;
  std::int32_t Color = 0;
  Byte Pitch = 0, Style = 0, Charset = 0;
  AnsiString Face;
};

struct TFcObjectEntry {
  std::int32_t Left = 0, Top = 0;
  Word Width = 0, Height = 0, FrameEdge = 0, FrameFlags = 0;
  Byte HorzText = 0, VertText = 0, HorzImage = 0, VertImage = 0;
  std::int32_t BkColor = 0, ShapeColor = 0, Tag = 0;
  std::vector<Word> Members;
  SmallInt ImageIndex = -1;
  Byte Shape = 0, ShapeWidth = 1;
  bool ParentFont = true, Transparent = false;
  TFcFontEntry Font;
  AnsiString Text, ExtraText;
};

struct TFcArrowEntry {
  Byte Kind = 0, Width = 0, Height = 0;
  std::int32_t Color = 0;
};

struct TFcConnectionEntry {
  SmallInt Source = -1, Dest = -1;
  std::int32_t Color = 0;
  Byte SourcePoint = 0, PenStyle = 0, DestPoint = 0;
  bool Behind = false;
  Byte Style = 0;
  bool ParentFont = true;
  TFcArrowEntry SourceArrow, DestArrow;
  std::vector<TPoint> Points;
  TFcFontEntry Font;
  AnsiString Text;
};

void FcReadFont(TFcIn& In, TFcFontEntry& F) {
  F.Height = In.I16();
  F.Color = In.I32();
  F.Pitch = In.Ranged(2, "font pitch");
  F.Style = In.U8();
  F.Charset = In.U8();
  F.Face = In.Str();
}

void FcReadObject(TFcIn& In, TFcObjectEntry& E) {
  E.Left = In.Coord();
  E.Top = In.Coord();
  E.Width = In.U16();
  E.Height = In.U16();
  E.FrameEdge = In.U16();
  E.FrameFlags = In.U16();
  E.HorzText = In.Ranged(fhpRight, "text position");
  E.VertText = In.Ranged(fvpBottom, "text position");
  E.HorzImage = In.Ranged(fhpRight, "image position");
  E.VertImage = In.Ranged(fvpBottom, "image position");
  E.BkColor = In.I32();
  E.ShapeColor = In.I32();
  E.Tag = In.I32();
  const Word members = In.U16();
  E.ImageIndex = In.I16();
  E.Shape = In.Ranged(fskUser, "shape kind");
  E.ShapeWidth = In.U8();
  E.ParentFont = In.Ranged(1, "parent-font flag") != 0;
  E.Transparent = In.Ranged(1, "transparent flag") != 0;
  E.Members.clear();
  for (Word i = 0; i < members; ++i) E.Members.push_back(In.U16());
  if (!E.ParentFont) FcReadFont(In, E.Font);
  E.Text = In.Str();
  E.ExtraText = In.Str();
}

void FcReadArrow(TFcIn& In, TFcArrowEntry& A) {
  A.Kind = In.Ranged(fakRect, "arrow kind");
  A.Width = In.U8();
  A.Height = In.U8();
  A.Color = In.I32();
}

void FcReadConnection(TFcIn& In, TFcConnectionEntry& E) {
  E.Source = In.I16();
  E.Dest = In.I16();
  const Word points = In.U16();
  E.Color = In.I32();
  const Byte b10 = In.U8();
  E.SourcePoint = b10 & 15;
  E.PenStyle = b10 >> 4;
  if (E.PenStyle > psInsideFrame) In.Fail("pen style out of range");
  const Byte b11 = In.U8();
  E.DestPoint = b11 & 0x7F;
  if (E.DestPoint > 15) In.Fail("attach point out of range");
  E.Behind = (b11 & 0x80) != 0;
  E.Style = In.Ranged(flsRectVertical, "line style");
  E.ParentFont = In.Ranged(1, "parent-font flag") != 0;
  FcReadArrow(In, E.SourceArrow);
  FcReadArrow(In, E.DestArrow);
  E.Points.clear();
  for (Word i = 0; i < points; ++i) {
    const std::int32_t x = In.Coord(), y = In.Coord();
    E.Points.push_back(TPoint{x, y});
  }
  if (!E.ParentFont) FcReadFont(In, E.Font);
  E.Text = In.Str();
}

void FcApplyFont(TkxFcItem* Item, const TFcFontEntry& F) {
  TFont font;
  font.Assign(Item->Font());
  font.SetHeight(F.Height);
  font.SetColor(F.Color);
  font.SetPitch(TFontPitch(F.Pitch));
  TFontStyles style;
  if (F.Style & 1) style << fsBold;
  if (F.Style & 2) style << fsItalic;
  if (F.Style & 4) style << fsUnderline;
  if (F.Style & 8) style << fsStrikeOut;
  font.SetStyle(style);
  font.SetCharset(F.Charset);
  if (!F.Face.empty()) font.SetName(F.Face);
  Item->TakeFontQuietly(&font);
}

void FcWriteFont(TStream* S, TFont* Font, TkxCustomFlowChart* Chart) {
  FcPut16(S, unsigned(SmallInt(Font->Height())));
  FcPut32(S, std::uint32_t(Font->Color()));
  FcPut8(S, Byte(Font->Pitch()));
  const TFontStyles st = Font->Style();
  FcPut8(S, Byte((st.Contains(fsBold) ? 1 : 0) | (st.Contains(fsItalic) ? 2 : 0) | (st.Contains(fsUnderline) ? 4 : 0) |
                 (st.Contains(fsStrikeOut) ? 8 : 0)));
  FcPut8(S, Font->Charset());
  FcPutStr(S, Chart && Font->Name() == Chart->Font()->Name() ? AnsiString() : Font->Name());
}

}  // namespace

// ---- objects ----

void TkxFcObject::Save(TStream* Stream) {
  FcPut32(Stream, std::uint32_t(FLeft));
  FcPut32(Stream, std::uint32_t(FTop));
  FcPut16(Stream, FWidth);
  FcPut16(Stream, FHeight);
  FcPut16(Stream, FFrameEdge);
  FcPut16(Stream, FFrameFlags);
  FcPut8(Stream, FHorzTextPos);
  FcPut8(Stream, FVertTextPos);
  FcPut8(Stream, FHorzImagePos);
  FcPut8(Stream, FVertImagePos);
  FcPut32(Stream, std::uint32_t(FBkColor));
  FcPut32(Stream, std::uint32_t(FShapeColor));
  FcPut32(Stream, std::uint32_t(Tag));
  FcPut16(Stream, unsigned(FMembers.size()));
  FcPut16(Stream, std::uint16_t(FImageIndex));
  FcPut8(Stream, FShapeKind);
  FcPut8(Stream, FShapeWidth);
  FcPut8(Stream, FParentFont ? 1 : 0);
  FcPut8(Stream, FTransparent ? 1 : 0);
  for (TkxFcObject* m : FMembers) FcPut16(Stream, unsigned(m->ZOrder()));
  if (!FParentFont) FcWriteFont(Stream, FFont.get(), FChart);
  FcPutStr(Stream, FText);
  FcPutStr(Stream, ExtraText);
}

void TkxFcObject::Load(TStream* Stream) {
  TFcIn in(Stream);
  TFcObjectEntry e;
  FcReadObject(in, e);
  SetBounds(e.Left, e.Top, e.Width, e.Height);
  SetFrameEdge(e.FrameEdge);
  SetFrameFlags(e.FrameFlags);
  SetHorzTextPos(TkxFcHorzPos(e.HorzText));
  SetVertTextPos(TkxFcVertPos(e.VertText));
  SetHorzImagePos(TkxFcHorzPos(e.HorzImage));
  SetVertImagePos(TkxFcVertPos(e.VertImage));
  SetBkColor(e.BkColor);
  SetShapeColor(e.ShapeColor);
  Tag = e.Tag;
  SetImageIndex(e.ImageIndex);
  SetShapeKind(TkxFcShapeKind(e.Shape));
  SetShapeWidth(e.ShapeWidth);
  SetParentFont(e.ParentFont);
  SetTransparent(e.Transparent);
  FPendingMembers.assign(e.Members.begin(), e.Members.end());
  if (!e.ParentFont) FcApplyFont(this, e.Font);
  SetText(e.Text);
  ExtraText = e.ExtraText;
}

// ---- connections ----

void TkxFcConnection::Save(TStream* Stream) {
  FcPut16(Stream, unsigned(FSource ? FSource->ZOrder() : 0xFFFF));
  FcPut16(Stream, unsigned(FDest ? FDest->ZOrder() : 0xFFFF));
  FcPut16(Stream, unsigned(FreePointCount()));
  FcPut32(Stream, std::uint32_t(FColor));
  FcPut8(Stream, Byte((FSourcePoint & 15) | (Byte(FPenStyle) << 4)));
  FcPut8(Stream, Byte((FDestPoint & 0x7F) | (FBehindObjects ? 0x80 : 0)));
  FcPut8(Stream, FStyle);
  FcPut8(Stream, FParentFont ? 1 : 0);
  for (TkxFcConnectionArrow* a : {FSourceArrow.get(), FDestArrow.get()}) {
    FcPut8(Stream, a->ArrowKind());
    FcPut8(Stream, a->Width());
    FcPut8(Stream, a->Height());
    FcPut32(Stream, std::uint32_t(a->Color()));
  }
  for (int i = 0; i < FreePointCount(); ++i) {
    const TPoint p = Points(i);
    FcPut32(Stream, std::uint32_t(p.x));
    FcPut32(Stream, std::uint32_t(p.y));
  }
  if (!FParentFont) FcWriteFont(Stream, FFont.get(), FChart);
  FcPutStr(Stream, FText);
}

void TkxFcConnection::Load(TStream* Stream) {
  TFcIn in(Stream);
  TFcConnectionEntry e;
  FcReadConnection(in, e);
  SetStyle(TkxFcLineStyle(e.Style));
  SetColor(e.Color);
  SetParentFont(e.ParentFont);
  SetBehindObjects(e.Behind);
  SetPenStyle(TPenStyle(e.PenStyle));
  SetSource(FChart->Objects(e.Source), e.SourcePoint);
  SetDest(FChart->Objects(e.Dest), e.DestPoint);
  for (const TPoint& p : e.Points) InsertPoint(FreePointCount(), p);
  for (auto [arrow, entry] : {std::pair{FSourceArrow.get(), &e.SourceArrow}, std::pair{FDestArrow.get(), &e.DestArrow}}) {
    arrow->SetWidth(entry->Width);
    arrow->SetHeight(entry->Height);
    arrow->SetColor(entry->Color);
    arrow->SetArrowKind(TkxFcArrowKind(entry->Kind));
  }
  Recompute();
  if (!e.ParentFont) {
    FcApplyFont(this, e.Font);
    if (!FText.empty()) TextLayoutChanged();
  }
  SetText(e.Text);
}

// ---- the chart ----

void TkxCustomFlowChart::SaveToStream(TStream* Stream) {
  // what the format cannot hold is refused before anything is written
  if (FObjects.size() > 65535) throw EkxFcStreamError("A flow chart of more than 65535 objects cannot be stored");
  if (FConnections.size() > 65535)
    throw EkxFcStreamError("A flow chart of more than 65535 connections cannot be stored");
  auto far = [](TPoint P) {
    return P.x < -1000000000 || P.x > 1000000000 || P.y < -1000000000 || P.y > 1000000000;
  };
  const char* tooFar = "A flow chart with a position farther than 1000000000 units from the origin cannot be stored";
  for (TkxFcObject* o : FObjects)
    if (far({o->Left(), o->Top()})) throw EkxFcStreamError(tooFar);
  for (TkxFcConnection* c : FConnections) {
    for (int i = 0; i < c->FreePointCount(); ++i)
      if (far(c->Points(i))) throw EkxFcStreamError(tooFar);
    if (c->FreePointCount() > 65535) throw EkxFcStreamError("A connection of more than 65535 points cannot be stored");
    for (TkxFcObject* end : {c->Source(), c->Dest()})
      if (end && end->ZOrder() > 32767)
        throw EkxFcStreamError("A connection to an object after the first 32767 cannot be stored");
  }
  FcPut16(Stream, unsigned(FObjects.size()));
  for (TkxFcObject* o : FObjects) o->Save(Stream);
  FcPut16(Stream, unsigned(FConnections.size()));
  for (TkxFcConnection* c : FConnections) c->Save(Stream);
}

void TkxCustomFlowChart::LoadFromStream(TStream* Stream) {
  const Int64 start = Stream->Position();
  {
    // the dry run
    TFcIn in(Stream);
    const Word objects = in.U16();
    std::vector<std::vector<Word>> members(objects);
    TFcObjectEntry oe;
    for (Word i = 0; i < objects; ++i) {
      FcReadObject(in, oe);
      for (Word m : oe.Members) {
        if (m >= objects) in.Fail("a union member names no object");
        if (m == i) in.Fail("an object is a member of its own union");
      }
      members[i] = std::move(oe.Members);
    }
    // union trees must not loop back: colour each object while its members are walked
    std::vector<Byte> state(objects, 0);  // 0 unseen, 1 on the walk, 2 done
    for (Word root = 0; root < objects; ++root) {
      if (state[root]) continue;
      std::vector<std::pair<Word, std::size_t>> walk{{root, 0}};
      state[root] = 1;
      while (!walk.empty()) {
        auto& [node, next] = walk.back();
        if (next < members[node].size()) {
          const Word m = members[node][next++];
          if (state[m] == 1) in.Fail("union members form a loop");
          if (state[m] == 0) {
            state[m] = 1;
            walk.push_back({m, 0});
          }
        } else {
          state[node] = 2;
          walk.pop_back();
        }
      }
    }
    const Word connections = in.U16();
    TFcConnectionEntry ce;
    for (Word i = 0; i < connections; ++i) FcReadConnection(in, ce);
  }
  Stream->Seek(start, soBeginning);
  BeginUpdate();
  FLoading = true;
  try {
    Clear();
    ReadChart(Stream);
  } catch (...) {
    FLoading = false;
    EndUpdate();
    throw;
  }
  FLoading = false;
  EndUpdate();
}

void TkxCustomFlowChart::ReadChart(TStream* Stream) {
  TFcIn in(Stream);
  const Word objects = in.U16();
  for (Word i = 0; i < objects; ++i) NewObject()->Load(Stream);
  for (TkxFcObject* o : FObjects) {
    o->FMembers.clear();
    for (int m : o->FPendingMembers)
      if (TkxFcObject* member = Objects(m)) o->AddToUnion(member);
    o->FPendingMembers.clear();
  }
  const Word connections = in.U16();
  for (Word i = 0; i < connections; ++i) NewConnection()->Load(Stream);
}

void TkxCustomFlowChart::SaveToFile(const AnsiString& FileName) {
  TFileStream f(FileName, fmCreate);
  SaveToStream(&f);
}

void TkxCustomFlowChart::LoadFromFile(const AnsiString& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&f);
}
