// Start-up and shut-down of the bar library. Part of the program's ordered
// initialisation list, after the control framework.
#pragma once

// Idempotent until FinalizeBars.
void InitBars();
// Frees what the library keeps for the whole run; managers still alive go
// with their list.
void FinalizeBars();
bool BarsInitialised();
