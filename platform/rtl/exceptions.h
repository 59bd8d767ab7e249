// The exception class tree. Every exception carries its message in CP936;
// ClassName() gives the class's name for messages such as "Cannot assign a %s to a %s".
#pragma once
#include <exception>
#include "platform/rtl/types.h"

class Exception : public std::exception {
 public:
  explicit Exception(AnsiString msg) : Message(std::move(msg)) {}
  // Message built by Format(fmt, args) (the platform's CreateFmt).
  Exception(const AnsiString& fmt, TVarRecList args);
  ~Exception() override = default;
  const char* what() const noexcept override { return Message.c_str(); }
  virtual const char* ClassName() const noexcept { return "Exception"; }
  AnsiString Message;
  int HelpContext = 0;
};

#define PV_DECLARE_EXCEPTION(Name, Base)                                         \
  class Name : public Base {                                                      \
   public:                                                                        \
    using Base::Base;                                                             \
    const char* ClassName() const noexcept override { return #Name; }            \
  };

PV_DECLARE_EXCEPTION(EAbort, Exception)  // silent: the message loop shows nothing
PV_DECLARE_EXCEPTION(EConvertError, Exception)
PV_DECLARE_EXCEPTION(EStreamError, Exception)
PV_DECLARE_EXCEPTION(EReadError, EStreamError)
PV_DECLARE_EXCEPTION(EWriteError, EStreamError)
PV_DECLARE_EXCEPTION(EFOpenError, EStreamError)
PV_DECLARE_EXCEPTION(EFCreateError, EStreamError)
PV_DECLARE_EXCEPTION(EResNotFound, Exception)
PV_DECLARE_EXCEPTION(EIniFileException, Exception)
PV_DECLARE_EXCEPTION(EListError, Exception)
PV_DECLARE_EXCEPTION(EStringListError, EListError)
PV_DECLARE_EXCEPTION(EInvalidOperation, Exception)
PV_DECLARE_EXCEPTION(EOutOfResources, Exception)
PV_DECLARE_EXCEPTION(EVariantError, Exception)
PV_DECLARE_EXCEPTION(EVariantTypeCastError, EVariantError)  // a conversion that cannot be made
PV_DECLARE_EXCEPTION(EVariantOverflowError, EVariantError)  // a value that does not fit the target kind
PV_DECLARE_EXCEPTION(EDatabaseError, Exception)
PV_DECLARE_EXCEPTION(EAssertionFailed, Exception)
PV_DECLARE_EXCEPTION(EInvalidCast, Exception)
PV_DECLARE_EXCEPTION(EPropertyConvertError, Exception)
PV_DECLARE_EXCEPTION(EIntOverflow, Exception)
PV_DECLARE_EXCEPTION(EDivByZero, Exception)
PV_DECLARE_EXCEPTION(ERegistryException, Exception)
PV_DECLARE_EXCEPTION(EComponentError, Exception)
PV_DECLARE_EXCEPTION(EClassNotFound, EFOpenError)
PV_DECLARE_EXCEPTION(EOSError, Exception)
PV_DECLARE_EXCEPTION(EFilerError, EStreamError)  // class registration clashes

// Raises the silent exception (the platform's Abort).
[[noreturn]] void Abort();
