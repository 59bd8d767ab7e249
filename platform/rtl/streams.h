// Byte streams: the abstract stream, file, memory, string, read-only memory and
// resource streams. Counts of one transfer are 32-bit as on the platform;
// positions and sizes are 64-bit.
#pragma once
#include <cstddef>
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// Open modes of TFileStream. fmCreate may be combined with a share mode.
constexpr Word fmCreate = 0xFF00;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
// Share modes are accepted and ignored: the system has no mandatory file sharing.
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

class TStream : public TObject {
  PV_CLASS(TStream, TObject)
 public:
  ~TStream() override = default;
  // Transfers up to Count bytes at the position and advances it; returns the
  // number of bytes moved (0 at the end of the data or for Count <= 0).
  virtual LongInt Read(void* Buffer, LongInt Count) = 0;
  virtual LongInt Write(const void* Buffer, LongInt Count) = 0;
  // Moves the position and returns the new one.
  virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;

  // Transfer exactly Count bytes or raise EReadError "Stream read error" /
  // EWriteError "Stream write error".
  void ReadBuffer(void* Buffer, LongInt Count);
  void WriteBuffer(const void* Buffer, LongInt Count);
  // Copies Count bytes from Source's position; Count 0 copies all of Source from
  // its beginning. Raises EReadError when Source holds fewer bytes. Returns the count copied.
  Int64 CopyFrom(TStream* Source, Int64 Count);

  Int64 Position() { return Seek(0, soCurrent); }
  void SetPosition(Int64 Pos) { Seek(Pos, soBeginning); }
  virtual Int64 Size();
  // The base class cannot change its size and raises EStreamError.
  virtual void SetSize(Int64 NewSize);
  // Bytes between the position and the end (never negative).
  Int64 Remaining();
};

// Reads exactly Count bytes from Stream's position, or raises EReadError
// "Stream read error" (a negative Count, or fewer bytes than Count). Memory
// grows with the bytes that actually arrive, so a huge declared length in
// damaged data fails cleanly instead of allocating it up front.
AnsiString ReadStreamBytes(TStream* Stream, Int64 Count);

// A stream over an open file. The name is CP936; it is converted at the system call.
class TFileStream : public TStream {
  PV_CLASS(TFileStream, TStream)
 public:
  // Raises EFCreateError "Cannot create file \"%s\". %s" (fmCreate) or
  // EFOpenError "Cannot open file \"%s\". %s" with the system's reason.
  TFileStream(const AnsiString& FileName, Word Mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  LongInt Read(void* Buffer, LongInt Count) override;
  LongInt Write(const void* Buffer, LongInt Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  Int64 Size() override;
  void SetSize(Int64 NewSize) override;
  const AnsiString& FileName() const { return FFileName; }
  int Handle() const { return FHandle; }

 private:
  AnsiString FFileName;
  int FHandle = -1;
};

// A stream over a block of memory given by a pointer and a size.
class TCustomMemoryStream : public TStream {
  PV_CLASS(TCustomMemoryStream, TStream)
 public:
  LongInt Read(void* Buffer, LongInt Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  Int64 Size() override { return FSize; }
  void* Memory() const { return FMemory; }
  void SaveToStream(TStream* Stream);
  void SaveToFile(const AnsiString& FileName);

 protected:
  void SetPointer(void* Ptr, Int64 Size);

  void* FMemory = nullptr;
  Int64 FSize = 0;
  Int64 FPosition = 0;
};

// A growable stream held in memory.
class TMemoryStream : public TCustomMemoryStream {
  PV_CLASS(TMemoryStream, TCustomMemoryStream)
 public:
  TMemoryStream() = default;
  ~TMemoryStream() override;
  TMemoryStream(const TMemoryStream&) = delete;
  TMemoryStream& operator=(const TMemoryStream&) = delete;

  LongInt Write(const void* Buffer, LongInt Count) override;
  void SetSize(Int64 NewSize) override;
  void Clear();
  // Replace the contents with all of Stream (from its beginning) or the file.
  void LoadFromStream(TStream* Stream);
  void LoadFromFile(const AnsiString& FileName);
  Int64 Capacity() const { return FCapacity; }

 private:
  void Reserve(Int64 NewCapacity);
  Int64 FCapacity = 0;
};

// Reads a block of memory owned by someone else; writing or resizing raises EWriteError.
class TReadOnlyMemoryStream : public TCustomMemoryStream {
  PV_CLASS(TReadOnlyMemoryStream, TCustomMemoryStream)
 public:
  TReadOnlyMemoryStream() = default;
  TReadOnlyMemoryStream(const void* Data, Int64 Size) { SetPointer(const_cast<void*>(Data), Size); }
  LongInt Write(const void* Buffer, LongInt Count) override;
  void SetSize(Int64 NewSize) override;
};

// A stream whose contents are an AnsiString. Writing overwrites at the position
// and extends the string when it passes the end.
class TStringStream : public TStream {
  PV_CLASS(TStringStream, TStream)
 public:
  TStringStream() = default;
  explicit TStringStream(const AnsiString& AString) : FDataString(AString) {}
  LongInt Read(void* Buffer, LongInt Count) override;
  LongInt Write(const void* Buffer, LongInt Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  Int64 Size() override { return static_cast<Int64>(FDataString.size()); }
  void SetSize(Int64 NewSize) override;
  // Up to Count bytes from the position (fewer at the end).
  AnsiString ReadString(LongInt Count);
  void WriteString(const AnsiString& AString);
  const AnsiString& DataString() const { return FDataString; }

 private:
  AnsiString FDataString;
  Int64 FPosition = 0;
};

// Reads a resource of the resource table (platform/rtl/resources.h).
// Raises EResNotFound "Resource %s not found" when the table has no such resource.
class TResourceStream : public TCustomMemoryStream {
  PV_CLASS(TResourceStream, TCustomMemoryStream)
 public:
  TResourceStream(const AnsiString& ResName, const AnsiString& ResType);
  LongInt Write(const void* Buffer, LongInt Count) override;
  void SetSize(Int64 NewSize) override;
};
