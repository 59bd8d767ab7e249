// The program's entry sequence, after the libraries are started: the
// application object and its title, then the long-lived objects in their
// order (the library data module, the frame, which becomes the main window and
// connects the library, the node clipboard's hidden window and the hidden
// novel-wide replace dialog).
#pragma once

// The application's title: the product's full name and the maker's address.
extern const char* const kApplicationTitle;

// Builds the objects; the caller runs the message loop (Application->Run).
// argv[0] is the executable's full path, from which the frame takes the
// installation root; argv[1], when present, is a story file to open.
void CreateWorkbench(int argc, const char* const* argv);
