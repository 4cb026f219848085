#pragma once
// Text made comparable for finding as the person types: letters in their
// lower-case form and without accents ("Café" and "CAFE" both give "cafe").

#include <string>
#include <string_view>

namespace platform
{

// Appends the folded form of UTF-8 text (invalid bytes are left as they are).
void AppendFoldedForSearch(std::string& out, std::string_view utf8);
std::string FoldForSearch(std::string_view utf8);

} // namespace platform
