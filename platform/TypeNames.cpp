// The process-wide type-name provider and the built-in rule used without one.
#include "platform/TypeNames.h"

#include <utility>

namespace platform {
namespace {

std::shared_ptr<TypeNameProvider>& InstalledProvider()
{
    static std::shared_ptr<TypeNameProvider> provider;
    return provider;
}

} // namespace

std::string DefaultTypeName(std::string_view fileName)
{
    const std::size_t slash = fileName.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == name.size()) return "File";
    std::string typeName(name.substr(dot + 1));
    for (char& c : typeName)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return typeName + " File";
}

std::shared_ptr<TypeNameProvider> SetTypeNameProvider(std::shared_ptr<TypeNameProvider> provider)
{
    return std::exchange(InstalledProvider(), std::move(provider));
}

std::string TypeNameFor(std::string_view fileName)
{
    const std::shared_ptr<TypeNameProvider> provider = InstalledProvider();
    return provider ? provider->TypeNameFor(fileName) : DefaultTypeName(fileName);
}

} // namespace platform
