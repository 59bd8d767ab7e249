// Start-up and shut-down of the control framework.
#include "framework/framework_init.h"

#include "framework/uxclasses.h"
#include "framework/uxcontrols.h"
#include "framework/uxlookandfeel.h"
#include "framework/uxpainters.h"
#include "framework/uxscrollbar.h"
#include "framework/uxstyles.h"
#include "framework/uxthemes.h"
#include "framework/uxtimers.h"
#include "framework/uxwinutils.h"

namespace {
bool gInitialised = false;
}

void InitFramework() {
  if (gInitialised) return;
  gInitialised = true;
  // Order: the streaming group of the framework's components; timers, which
  // controls and scroll bars own; the cursors; styles; the theme manager,
  // which the look and feel asks for the native painter; the root look and
  // feel, which every control's look and feel joins; then the published
  // settings of the controls and scroll bars, which hold look and feels.
  uxInitClasses();
  uxInitTimers();
  uxInitWinUtils();
  uxInitStyles();
  kxInitThemes();
  uxInitLookAndFeel();
  uxInitControls();
  uxInitScrollBars();
}

void FinalizeFramework() {
  if (!gInitialised) return;
  gInitialised = false;
  // The reverse order; the painters' resources hold palette notifiers, which
  // keep the Office 2003 colours alive, so they go first.
  uxDonePainterResources();
  uxDoneLookAndFeel();
  kxDoneThemes();
  uxDoneTimers();
}

bool FrameworkInitialised() { return gInitialised; }
