// Start-up and shut-down of the property inspector: row classes for window
// descriptions, the field-type row offers and the inspector cursors.
#pragma once

void InitInspector();
void FinalizeInspector();
bool InspectorInitialised();
