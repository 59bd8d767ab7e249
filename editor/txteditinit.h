// Registration of the editor's classes, called from the program's ordered
// initialisation list after the object model is initialised.
#pragma once

void InitEditorClasses();
