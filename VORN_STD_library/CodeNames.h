// Tables that name numeric codes (flags, types, language identifiers), and
// the one lookup in them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace VORN_STD_library {

struct CodeName {
    std::uint32_t code;
    const char* name;
};

// The name of the code in the table; nullptr when it has none.
template <std::size_t N>
const char* NameOf(const CodeName (&names)[N], std::uint32_t code)
{
    for (const CodeName& entry : names)
        if (entry.code == code) return entry.name;
    return nullptr;
}

} // namespace VORN_STD_library
