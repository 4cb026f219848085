#pragma once
// The program's five pages in one table: which ribbon tab opens each, what
// the status panes say while it shows, the page template it is made from
// (its document and view classes, by name) and which one is the radio page.
// The ribbon, the main frame, the status panes and the application read it;
// exactly one page is open at a time.

#include <wx/string.h>

#include <vector>

struct PageEntry
{
    int index;       // the ribbon tab, the template and LastCategory
    const char* tab; // the ribbon tab's caption
    const char* statusDescription;
    const char* statusText;  // nullptr: the player's current status
    const char* description; // the template's
    const char* typeName;
    const char* documentClass;
    const char* viewClass;
    bool isRadioPage;
};

const std::vector<PageEntry>& Pages();
// The page of a tab (nullptr for an index that is none).
const PageEntry* PageAt(int index);
int RadioPageIndex();
