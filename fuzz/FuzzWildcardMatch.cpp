// Fuzz entry for the wildcard matcher: the input up to its first NUL is the
// name, the rest the pattern list.
#include "platform/WildcardMatch.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view name = input.substr(0, split);
    const std::string_view spec = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
    const bool matches = platform::MatchSpec(name, spec);
    // A name always matches a list holding it as the only pattern when it has
    // no wildcards or separators; "*" matches everything.
    if (name.find_first_of("*?;") == std::string_view::npos && !name.empty() && name.front() != ' '
        && !platform::MatchSpec(name, name))
        __builtin_trap();
    if (!platform::MatchSpec(name, "*"))
        __builtin_trap();
    (void)matches;
    (void)platform::EqualsIgnoringCase(name, spec);
    return 0;
}
