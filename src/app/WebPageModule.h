#pragma once
// The web pages' classes, found by name. In the program they live in the
// module libwavecrest-web.so, loaded the first time one of them is asked
// for (and so the first time a web page opens), from the program's folder or,
// in an installed program, from its private library folder. A program that
// has the pages' code linked in (a test program) finds them without loading
// anything.

#include <wx/string.h>

class wxClassInfo;

// The class of that name: at once when it is known, else after loading the
// module (once; a module that cannot be loaded is not tried again). Null when
// neither has it.
wxClassInfo* FindWebPageClass(const wxString& className);
