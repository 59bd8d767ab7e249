// Start-up and shut-down of the in-place editors. Part of the program's
// ordered initialisation list, after the class library and the program's
// resources (the editors' bitmaps, cursor and string table come from them).
#pragma once

// Idempotent: the second call does nothing until FinalizeInplace.
void InitInplace();
// Frees the shared resources: the default style controllers, the image
// lists, the shared canvas, brushes and the registered cursor.
void FinalizeInplace();
bool InplaceInitialised();
