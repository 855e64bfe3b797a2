// The type name of a file as the desktop would show it ("DLL File"), derived
// from the name alone. The desktop layer may install a richer provider; the
// built-in one works without any desktop.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace platform {

class TypeNameProvider {
public:
    virtual ~TypeNameProvider() = default;
    // The type name for a file of this name; the file need not exist.
    virtual std::string TypeNameFor(std::string_view fileName) = 0;
};

// The built-in rule: the extension in upper case followed by " File", or
// "File" for a name without an extension.
std::string DefaultTypeName(std::string_view fileName);

// Installs the process-wide provider (nullptr: the built-in rule). Returns the
// previous one.
std::shared_ptr<TypeNameProvider> SetTypeNameProvider(std::shared_ptr<TypeNameProvider> provider);

// The type name from the installed provider, or from the built-in rule.
std::string TypeNameFor(std::string_view fileName);

} // namespace platform
