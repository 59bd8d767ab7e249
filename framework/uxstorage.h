// Text form of stored settings: "Hex:" text of a stream's bytes, and the
// Boolean texts "TRUE" / "FALSE".
#pragma once

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/types.h"

// A character that is not a hexadecimal digit; carries an empty message.
PV_DECLARE_EXCEPTION(EuxHexStringConvertError, Exception)

AnsiString uxStreamToHexString(TStream* Stream);
// Decodes after the first four characters; writes nothing when a digit is bad.
void uxHexStringToStream(const AnsiString& Text, TStream* Stream);
bool uxStrToBoolean(const AnsiString& Text);
