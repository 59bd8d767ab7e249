// Text form of stored settings: "Hex:" text of a stream's bytes, and the
// Boolean texts "TRUE" / "FALSE".
#pragma once

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/types.h"

// A character that is not a hexadecimal digit; the message names the
// character (as $hh, since it may be half of a double-byte character) and its
// 1-based position in the text.
PV_DECLARE_EXCEPTION(EuxHexStringConvertError, Exception)

// "Hex:" and two upper-case digits per byte, the stream read from position 0
// to its end; the empty text for no stream or an empty one.
AnsiString uxStreamToHexString(TStream* Stream);
// Decodes after the first four characters, two digits a byte (any case; a last
// odd digit is ignored), and writes the bytes at the stream's position.
// Nothing for no stream or a text of 5 characters or fewer; a bad digit raises
// EuxHexStringConvertError before anything is written.
void uxHexStringToStream(const AnsiString& Text, TStream* Stream);
// "TRUE" / "FALSE" in any ASCII case; anything else raises EPropertyConvertError.
bool uxStrToBoolean(const AnsiString& Text);
