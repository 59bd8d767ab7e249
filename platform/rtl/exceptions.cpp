#include "platform/rtl/exceptions.h"

#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/strings.h"

Exception::Exception(const AnsiString& fmt, TVarRecList args) : Message(Format(fmt, args)) {}

void Abort() { throw EAbort(SOperationAborted); }
