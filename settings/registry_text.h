#pragma once

#include "settings/registry_tree.h"

#include <string>
#include <string_view>

namespace velkor {

// The registry file is UTF-8 text, one record a line:
//
//   file   = "velkor-registry 1" LF { line LF } "end" [ LF ]
//   line   = "" | "#" { any } | key | value
//   key    = "key" { " " quoted }                    (the path from the root, a name a level)
//   value  = "value " quoted " " type " " data      (belongs to the key line above it;
//                                                    before any key line, to the root)
//   type   = "string" | "expand" | "dword" | "binary" | decimal type code
//   data   = quoted                                  (string, expand: the bytes, the ending
//                                                    zero added on reading)
//          | decimal                                 (dword: 0 to 4294967295)
//          | "hex:" { hexdigit hexdigit }            (any type: the raw bytes)
//   quoted = '"' { byte | "\\" | '\"' | "\n" | "\r" | "\t" | "\x" hexdigit hexdigit } '"'
//
// The closing "end" tells a whole file from one cut short at a line's end. Key names are not
// empty and hold no backslash, and a key path stays within the bounds of registry_tree.h.
// Inside quotes, printable ASCII other than '"' and '\' and well-formed UTF-8 are written as
// they are and every other byte as \xHH, so each byte comes back. A value name may appear once
// per key. Anything else is damage.

[[nodiscard]] std::string FormatRegistryText(const TRegKey &root);
// Raises ERegistryException naming the line for text that does not follow the grammar.
[[nodiscard]] TRegKey ParseRegistryText(std::string_view text);

} // namespace velkor
