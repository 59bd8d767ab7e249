// Registration of the editor's classes, called from the program's ordered
// initialisation list after the class library is initialised; the shut-down
// list frees what the editor keeps for the whole process.
#pragma once

void InitEditorClasses();
void FinalizeEditorClasses();
