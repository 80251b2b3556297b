#pragma once

#include <string>

// A value made safe inside a form body or a query: every byte other than the
// unreserved ASCII letters, digits and "-", ".", "_", "~" becomes "%XX"
// (upper-case hexadecimal), so "&", "=", "+" and "%" in the value keep their
// meaning as data.
std::string PercentEncode(const std::string& value);
