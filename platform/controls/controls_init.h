// Start-up of the class library: registers its classes, their published
// properties and names, the window classes it uses, and creates Application
// and Screen. Part of the program's ordered initialisation list, after the
// object model, the drawing layer and the window manager.
#pragma once

// Idempotent: the second call does nothing.
void InitControls();
// Frees Application, Screen and every form (the end of the program; tests).
void FinalizeControls();
