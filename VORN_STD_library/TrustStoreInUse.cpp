// The one trust store signature chains are checked against, shared by every
// thread that reads signatures.
#include "VORN_STD_library/SignatureTrust.h"

#include <mutex>

namespace VORN_STD_library {
namespace {

std::mutex storeInUseMutex;
std::shared_ptr<const TrustStore> storeInUse;

} // namespace

std::shared_ptr<const TrustStore> TrustStoreInUse()
{
    const std::lock_guard<std::mutex> lock(storeInUseMutex);
    return storeInUse;
}

void UseTrustStore(std::shared_ptr<const TrustStore> store)
{
    const std::lock_guard<std::mutex> lock(storeInUseMutex);
    storeInUse = std::move(store);
}

} // namespace VORN_STD_library
