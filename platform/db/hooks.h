// Hooks that the control library fills at start-up, since this layer sits below it.
#pragma once

class TComponent;

// Focuses the control that shows a field; true when it took the focus.
using FocusFieldControlHook = bool (*)(TComponent* Control);
FocusFieldControlHook& FieldControlFocusHook();
