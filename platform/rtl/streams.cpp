#include "platform/rtl/streams.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/rtlconsts.h"

namespace {

constexpr LongInt kCopyChunk = 0xF000;

// Base + Offset, or -1 when the sum is negative or overflows.
Int64 SeekTarget(Int64 Base, Int64 Offset) {
  if (Offset > 0 && Base > INT64_MAX - Offset) return -1;
  Int64 target = Base + Offset;
  return target < 0 ? -1 : target;
}

}  // namespace

// ---------------------------------------------------------------------------
// TStream

void TStream::ReadBuffer(void* Buffer, LongInt Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* Buffer, LongInt Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError(SWriteError);
}

Int64 TStream::Size() {
  Int64 pos = Seek(0, soCurrent);
  Int64 size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(Int64) { throw EStreamError("Stream size cannot be changed"); }

Int64 TStream::Remaining() {
  Int64 pos = Position();
  Int64 size = Size();
  return pos < 0 || size < pos ? 0 : size - pos;
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count) {
  if (!Source) throw EReadError(SReadError);
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  // Refuse before writing anything rather than leave a partial copy behind.
  if (Count < 0 || Count > Source->Remaining()) throw EReadError(SReadError);
  std::vector<char> buffer(static_cast<std::size_t>(std::min<Int64>(Count, kCopyChunk)));
  Int64 left = Count;
  while (left > 0) {
    LongInt n = static_cast<LongInt>(std::min<Int64>(left, kCopyChunk));
    Source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return Count;
}

AnsiString ReadStreamBytes(TStream* Stream, Int64 Count) {
  if (!Stream || Count < 0 || Count > Stream->Remaining()) throw EReadError(SReadError);
  AnsiString r;
  while (static_cast<Int64>(r.size()) < Count) {
    std::size_t old = r.size();
    LongInt n = static_cast<LongInt>(std::min<Int64>(Count - static_cast<Int64>(old), 1 << 20));
    r.resize(old + static_cast<std::size_t>(n));
    Stream->ReadBuffer(r.data() + old, n);
  }
  return r;
}

// ---------------------------------------------------------------------------
// TFileStream

TFileStream::TFileStream(const AnsiString& FileName, Word Mode) : FFileName(FileName) {
  std::string sysName = SysFileName(FileName);
  bool create = (Mode & 0xFF00) == fmCreate;
  int flags = O_CLOEXEC;
  if (create) {
    flags |= O_RDWR | O_CREAT | O_TRUNC;
  } else {
    switch (Mode & 0x3) {
      case fmOpenRead: flags |= O_RDONLY; break;
      case fmOpenWrite: flags |= O_WRONLY; break;
      case fmOpenReadWrite: flags |= O_RDWR; break;
      default: throw EFOpenError(SFOpenError, {FileName, SysErrorMessage(EINVAL)});
    }
  }
  int err = 0;
  if (sysName.empty()) {
    err = ENOENT;
  } else {
    FHandle = ::open(sysName.c_str(), flags, 0666);
    if (FHandle < 0) {
      err = errno;
    } else {
      struct stat st;
      if (::fstat(FHandle, &st) != 0) err = errno;
      else if (S_ISDIR(st.st_mode)) err = EISDIR;
      if (err) {
        ::close(FHandle);
        FHandle = -1;
      }
    }
  }
  if (err) {
    if (create) throw EFCreateError(SFCreateError, {FileName, SysErrorMessage(err)});
    throw EFOpenError(SFOpenError, {FileName, SysErrorMessage(err)});
  }
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

LongInt TFileStream::Read(void* Buffer, LongInt Count) {
  if (Count <= 0 || !Buffer) return 0;
  LongInt done = 0;
  char* p = static_cast<char*>(Buffer);
  while (done < Count) {
    ssize_t n = ::read(FHandle, p + done, static_cast<std::size_t>(Count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<LongInt>(n);
  }
  return done;
}

LongInt TFileStream::Write(const void* Buffer, LongInt Count) {
  if (Count <= 0 || !Buffer) return 0;
  LongInt done = 0;
  const char* p = static_cast<const char*>(Buffer);
  while (done < Count) {
    ssize_t n = ::write(FHandle, p + done, static_cast<std::size_t>(Count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<LongInt>(n);
  }
  return done;
}

Int64 TFileStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
  return r < 0 ? -1 : static_cast<Int64>(r);
}

Int64 TFileStream::Size() {
  struct stat st;
  if (::fstat(FHandle, &st) != 0) return TStream::Size();
  return static_cast<Int64>(st.st_size);
}

void TFileStream::SetSize(Int64 NewSize) {
  if (NewSize < 0 || ::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0) {
    int err = NewSize < 0 ? EINVAL : errno;
    throw EWriteError(SOSError, {err, SysErrorMessage(err)});
  }
  if (Position() > NewSize) SetPosition(NewSize);
}

// ---------------------------------------------------------------------------
// TCustomMemoryStream

void TCustomMemoryStream::SetPointer(void* Ptr, Int64 Size) {
  FMemory = Ptr;
  FSize = Ptr ? std::max<Int64>(Size, 0) : 0;
}

LongInt TCustomMemoryStream::Read(void* Buffer, LongInt Count) {
  if (Count <= 0 || !Buffer || FPosition < 0 || FPosition >= FSize) return 0;
  Int64 n = std::min<Int64>(Count, FSize - FPosition);
  std::memcpy(Buffer, static_cast<const char*>(FMemory) + FPosition, static_cast<std::size_t>(n));
  FPosition += n;
  return static_cast<LongInt>(n);
}

Int64 TCustomMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  Int64 base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : FSize;
  Int64 target = SeekTarget(base, Offset);
  if (target < 0) return -1;
  FPosition = target;
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
  Int64 done = 0;
  while (done < FSize) {
    LongInt n = static_cast<LongInt>(std::min<Int64>(FSize - done, INT_MAX));
    Stream->WriteBuffer(static_cast<const char*>(FMemory) + done, n);
    done += n;
  }
}

void TCustomMemoryStream::SaveToFile(const AnsiString& FileName) {
  TFileStream file(FileName, fmCreate);
  SaveToStream(&file);
}

// ---------------------------------------------------------------------------
// TMemoryStream

TMemoryStream::~TMemoryStream() { std::free(FMemory); }

void TMemoryStream::Reserve(Int64 NewCapacity) {
  if (NewCapacity <= FCapacity) return;
  // Grow in 8 KB steps, and by at least a quarter, so that appending is linear.
  Int64 grown = FCapacity + FCapacity / 4;
  if (NewCapacity < grown) NewCapacity = grown;
  if (NewCapacity > INT64_MAX - 0x1FFF) throw EStreamError(SMemoryStreamError);
  NewCapacity = (NewCapacity + 0x1FFF) & ~Int64(0x1FFF);
  if (static_cast<UInt64>(NewCapacity) > SIZE_MAX / 2) throw EStreamError(SMemoryStreamError);
  void* p = std::realloc(FMemory, static_cast<std::size_t>(NewCapacity));
  if (!p) throw EStreamError(SMemoryStreamError);
  FMemory = p;
  FCapacity = NewCapacity;
}

LongInt TMemoryStream::Write(const void* Buffer, LongInt Count) {
  if (Count <= 0 || !Buffer || FPosition < 0) return 0;
  if (FPosition > INT64_MAX - Count) return 0;
  Int64 end = FPosition + Count;
  if (end > FSize) {
    Reserve(end);
    // A gap left by seeking past the end reads as zeros.
    if (FPosition > FSize)
      std::memset(static_cast<char*>(FMemory) + FSize, 0, static_cast<std::size_t>(FPosition - FSize));
    FSize = end;
  }
  std::memcpy(static_cast<char*>(FMemory) + FPosition, Buffer, static_cast<std::size_t>(Count));
  FPosition = end;
  return Count;
}

void TMemoryStream::SetSize(Int64 NewSize) {
  if (NewSize < 0) throw EStreamError(SMemoryStreamError);
  if (NewSize > FSize) {
    Reserve(NewSize);
    std::memset(static_cast<char*>(FMemory) + FSize, 0, static_cast<std::size_t>(NewSize - FSize));
  }
  FSize = NewSize;
  if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
  std::free(FMemory);
  FMemory = nullptr;
  FSize = 0;
  FCapacity = 0;
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  Stream->SetPosition(0);
  Int64 count = Stream->Size();
  // Read into a new block first, so a failed read keeps the old contents; the
  // block grows with the bytes that arrive, not with the size the stream claims.
  TMemoryStream fresh;
  std::vector<char> chunk(static_cast<std::size_t>(std::min<Int64>(std::max<Int64>(count, 0), 1 << 20)));
  while (fresh.FSize < count) {
    LongInt n = static_cast<LongInt>(std::min<Int64>(count - fresh.FSize, static_cast<Int64>(chunk.size())));
    Stream->ReadBuffer(chunk.data(), n);
    fresh.WriteBuffer(chunk.data(), n);
  }
  std::swap(FMemory, fresh.FMemory);
  std::swap(FCapacity, fresh.FCapacity);
  std::swap(FSize, fresh.FSize);
  if (FPosition > FSize) FPosition = FSize;
}

void TMemoryStream::LoadFromFile(const AnsiString& FileName) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

// ---------------------------------------------------------------------------
// TReadOnlyMemoryStream

LongInt TReadOnlyMemoryStream::Write(const void*, LongInt) { throw EWriteError(SWriteError); }

void TReadOnlyMemoryStream::SetSize(Int64) { throw EWriteError(SWriteError); }

// ---------------------------------------------------------------------------
// TStringStream

LongInt TStringStream::Read(void* Buffer, LongInt Count) {
  Int64 size = static_cast<Int64>(FDataString.size());
  if (Count <= 0 || !Buffer || FPosition >= size) return 0;
  Int64 n = std::min<Int64>(Count, size - FPosition);
  std::memcpy(Buffer, FDataString.data() + FPosition, static_cast<std::size_t>(n));
  FPosition += n;
  return static_cast<LongInt>(n);
}

LongInt TStringStream::Write(const void* Buffer, LongInt Count) {
  if (Count <= 0 || !Buffer) return 0;
  std::size_t pos = static_cast<std::size_t>(FPosition);
  if (FDataString.size() < pos + Count) FDataString.resize(pos + Count);
  std::memcpy(FDataString.data() + pos, Buffer, static_cast<std::size_t>(Count));
  FPosition += Count;
  return Count;
}

Int64 TStringStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  Int64 size = static_cast<Int64>(FDataString.size());
  Int64 base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : size;
  // The position stays within the string.
  Int64 target = Offset < 0 ? std::max<Int64>(base + Offset, 0)
                 : base > INT64_MAX - Offset ? size : base + Offset;
  FPosition = std::min(target, size);
  return FPosition;
}

void TStringStream::SetSize(Int64 NewSize) {
  if (NewSize < 0) throw EStreamError(SMemoryStreamError);
  FDataString.resize(static_cast<std::size_t>(NewSize));
  if (FPosition > NewSize) FPosition = NewSize;
}

AnsiString TStringStream::ReadString(LongInt Count) {
  Int64 size = static_cast<Int64>(FDataString.size());
  if (Count <= 0 || FPosition >= size) return AnsiString();
  Int64 n = std::min<Int64>(Count, size - FPosition);
  AnsiString r = FDataString.substr(static_cast<std::size_t>(FPosition), static_cast<std::size_t>(n));
  FPosition += n;
  return r;
}

void TStringStream::WriteString(const AnsiString& AString) {
  std::size_t done = 0;
  while (done < AString.size()) {
    LongInt n = static_cast<LongInt>(std::min<std::size_t>(AString.size() - done, INT_MAX));
    Write(AString.data() + done, n);
    done += n;
  }
}

// ---------------------------------------------------------------------------
// TResourceStream

TResourceStream::TResourceStream(const AnsiString& ResName, const AnsiString& ResType) {
  TResourceData r = FindResourceData(ResType, ResName);
  if (!r) throw EResNotFound(SResNotFound, {ResName});
  SetPointer(const_cast<Byte*>(r.Data), static_cast<Int64>(r.Size));
}

LongInt TResourceStream::Write(const void*, LongInt) {
  throw EStreamError("Can't write to a read-only resource stream");
}

void TResourceStream::SetSize(Int64) { throw EStreamError("Can't write to a read-only resource stream"); }
