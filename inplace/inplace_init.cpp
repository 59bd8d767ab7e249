#include "inplace/inplace_init.h"

#include "inplace/kxblob.h"
#include "inplace/kxbuttonedit.h"
#include "inplace/kxcalc.h"
#include "inplace/kxcalcedit.h"
#include "inplace/kxcalendar.h"
#include "inplace/kxcheck.h"
#include "inplace/kxcntner.h"
#include "inplace/kxdate.h"
#include "inplace/kxcommon.h"
#include "inplace/kxcurrency.h"
#include "inplace/kxdropdown.h"
#include "inplace/kxeditor.h"
#include "inplace/kxgraphic.h"
#include "inplace/kxhyperlink.h"
#include "inplace/kximage.h"
#include "inplace/kxlookup.h"
#include "inplace/kxmask.h"
#include "inplace/kxmemo.h"
#include "inplace/kxpick.h"
#include "inplace/kxpopupedit.h"
#include "inplace/kxresources.h"
#include "inplace/kxspin.h"
#include "inplace/kxstyles.h"
#include "inplace/kxtime.h"

namespace {
bool gInitialised = false;
}

void InitInplace() {
  if (gInitialised) return;
  gInitialised = true;
  // Drawing helpers first (the shared brushes), then the default style
  // controller that every editor's style subscribes to, then the classes.
  kxInitCommon();
  kxInitStyles();
  kxInitContainer();
  kxInitResources();
  kxInitTextEdit();
  kxInitMaskEdit();
  kxInitCalc();
  kxInitDropDown();
  kxInitImageEdit();
  kxInitPopupEdit();
  kxInitButtonEdit();
  kxInitCheckEdit();
  kxInitSpinEdit();
  kxInitCalendar();
  kxInitDateEdit();
  kxInitMemoEdit();
  kxInitPickEdit();
  kxInitCalcEdit();
  kxInitGraphicEdit();
  kxInitBlobEdit();
  kxInitLookupEdit();
  kxInitHyperLinkEdit();
  kxInitTimeEdit();
  kxInitCurrencyEdit();
}

void FinalizeInplace() {
  if (!gInitialised) return;
  gInitialised = false;
  kxDoneBlobEdit();
  kxDoneCalendar();
  kxDoneCheckEdit();
  kxDonePopupEdit();
  kxDoneResources();
  kxDoneCalc();
  kxDoneContainer();
  kxDoneStyles();
  kxDoneCommon();
}

bool InplaceInitialised() { return gInitialised; }
