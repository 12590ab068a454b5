#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/module/RegistryScript.h"

// Reads the text form of a registration script:
//
//   HKCR
//   {
//       NoRemove CLSID
//       {
//           ForceRemove {guid} = s 'Name'
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Apartment'
//               }
//           }
//       }
//   }
//
// Roots HKCR, HKCU, HKLM (or their long names); key rules NoRemove and ForceRemove; values
// `s` (string, quoted with single quotes, a quote inside doubled) and `d` (32-bit number).
namespace wisp {

// A replacement word of the script, written %NAME% in the text.
using ScriptVariables = std::vector<std::pair<std::string, std::string>>;

// Replaces every %NAME% by its text with single quotes doubled, so that a replacement
// inside a quoted string reads back as the original text; "%%" stands for one "%".
// Nullopt for an unknown or unterminated word.
std::optional<std::string> SubstituteScriptVariables(std::string_view text,
                                                     const ScriptVariables& variables);

// Nullopt when the text is not a well-formed script.
std::optional<RegistryScript> ParseRegistryScript(std::string_view text);

}  // namespace wisp
