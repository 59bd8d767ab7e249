// The program's ordered start-up and shut-down lists. A backend must be
// installed first (the desktop one, or the headless one for screenshots and
// tests).
#pragma once

// Registries, resources, data access, the class library, the component
// libraries and the application's own forms, in that order.
void InitProgram();
// Frees the forms, then what the libraries made, then the registries.
void FinalizeProgram();
