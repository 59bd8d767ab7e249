// The program's ordered start-up and shut-down lists. A backend must be
// installed first (the desktop one, or the headless one for screenshots and
// tests).
#pragma once

// Registries, resources, data access, the class library, the control
// framework and the program's own form, in that order.
void InitProgram();
// Frees the forms, then what the framework made, then the registries.
void FinalizeProgram();
