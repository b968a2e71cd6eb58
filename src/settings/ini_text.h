#pragma once
// The text of the settings file: INI sections of key=value lines, in the dialect that
// QSettings' own IniFormat reads and writes (escapes, quoting, %-encoded keys), so that either
// side reads what the other wrote. Texts are UTF-8; integers are stored as decimal text.

#include <map>
#include <string>
#include <string_view>

namespace vantora {

// Keys: "name" for the [General] section, "section/name" otherwise.
using IniValues = std::map<std::string, std::string>;

// Lines that are neither a section, a key=value pair nor a comment are skipped; a key given
// twice keeps its last value. A value's unquoted outer blanks are dropped.
IniValues ParseIni(std::string_view text);

// Every value back as ParseIni reads it: [General] first, then the other sections.
std::string FormatIni(const IniValues& values);

}  // namespace vantora
