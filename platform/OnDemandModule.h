// The parts of the program that need libcrypto, libxlsxwriter or simdjson
// (digests, signatures, trust stores, xlsx workbooks, saved inventories) live
// in a module of their own, loaded the first time one of them is used:
// loading those libraries costs more than a small search takes, and most runs
// need none of them. The module is looked up at its installed place relative
// to the program, then in the build tree's module folder.
#pragma once

namespace platform {

// The address of the module's entry point `symbol`, loading the module on
// first use (safe from any thread). Throws std::runtime_error naming the
// module and the loader's reason when it cannot be loaded or lacks the entry.
void* OnDemandSymbol(const char* symbol);

// OnDemandSymbol as a pointer to `Function`, the type both sides declare.
template <typename Function>
Function* OnDemandFunction(const char* symbol)
{
    return reinterpret_cast<Function*>(OnDemandSymbol(symbol));
}

} // namespace platform
