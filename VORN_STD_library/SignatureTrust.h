// The certificates a signature's chain may end in: PEM certificates loaded
// from one file or from every file of one folder, and the one store in use
// for the signature facts of this process. Linux has no platform trust list
// for code signing, so without a store given no chain is checked.
#pragma once

#include <memory>
#include <string>

typedef struct x509_store_st X509_STORE;

namespace VORN_STD_library {

class TrustStore {
public:
    ~TrustStore();
    TrustStore(const TrustStore&) = delete;
    TrustStore& operator=(const TrustStore&) = delete;

    // The store read from path; null with `error` set when the path cannot
    // be read or holds no PEM certificate. A folder's files are read one by
    // one (any name; files that hold no certificate are passed over).
    static std::shared_ptr<const TrustStore> Load(const std::string& path, std::string& error);

    // The certificates, for chain building (read-only use; OpenSSL locks
    // the store itself).
    X509_STORE* Store() const { return store_; }

private:
    explicit TrustStore(X509_STORE* store) : store_(store) {}
    X509_STORE* store_;
};

// The store the signature facts check chains against; null: none.
std::shared_ptr<const TrustStore> TrustStoreInUse();
void UseTrustStore(std::shared_ptr<const TrustStore> store);

} // namespace VORN_STD_library
