// The runtime library's general routines in one include: strings and
// formatting, currency, files and paths, exceptions and their messages.
#pragma once
#include "platform/rtl/currency.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/strings.h"
