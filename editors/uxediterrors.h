// The editors' base error: every error an editor raises about its own
// settings or text derives from it.
#pragma once
#include "platform/rtl/exceptions.h"

PV_DECLARE_EXCEPTION(EuxEditError, Exception)
