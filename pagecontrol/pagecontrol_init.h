// Start-up and shut-down of the tabbed page control: its published settings
// and classes, and the painter styles in their fixed order.
#pragma once

void InitPageControl();
void FinalizePageControl();
bool PageControlInitialised();
