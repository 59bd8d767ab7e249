// Start-up and shut-down of the object model. The program calls InitClasses()
// from its ordered initialisation list before any library registers its
// classes, and FinalizeClasses() at the end (which empties every registry).
#pragma once

void InitClasses();
void FinalizeClasses();
