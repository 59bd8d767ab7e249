// Start-up and shut-down of the editor framework. Part of the program's
// ordered initialisation list, after the control framework and the data
// layer: the container unit (scroll-bar information, the pop-up list and its
// closing hooks, the window-mapping routine), the default style controller.
#pragma once

// Idempotent: the second call does nothing until FinalizeEditors.
void InitEditors();
// Undoes InitEditors in reverse order: no hook of the editors stays installed.
void FinalizeEditors();
bool EditorsInitialised();
