// Start-up and shut-down of the control framework. Part of the program's
// ordered initialisation list, after the class library (InitControls: the
// cursors go to its Screen) and the program's resources (the "UX_" cursors and
// bitmaps are loaded from them).
#pragma once

// Idempotent: the second call does nothing until FinalizeFramework.
void InitFramework();
// Frees what the framework made for the whole run: the painters' shared
// resources, the root look and feel, the theme receiver, the timer and
// message windows. Call it after the forms are freed (their controls
// unregister from the framework's windows as they go).
void FinalizeFramework();
// Whether InitFramework ran (and FinalizeFramework did not since).
bool FrameworkInitialised();
