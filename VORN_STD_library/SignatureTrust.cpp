// Trust stores through libcrypto's X509_STORE.
#include "VORN_STD_library/SignatureTrust.h"

#include <filesystem>
#include <system_error>

#include <openssl/err.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

namespace VORN_STD_library {
namespace {

int CertificateCount(X509_STORE* store)
{
    return sk_X509_OBJECT_num(X509_STORE_get0_objects(store));
}

} // namespace

TrustStore::~TrustStore()
{
    X509_STORE_free(store_);
}

std::shared_ptr<const TrustStore> TrustStore::Load(const std::string& path, std::string& error)
{
    X509_STORE* store = X509_STORE_new();
    if (store == nullptr) {
        error = "out of memory";
        return nullptr;
    }
    std::shared_ptr<const TrustStore> trust(new TrustStore(store));
    std::error_code failure;
    if (std::filesystem::is_directory(path, failure)) {
        std::filesystem::directory_iterator entries(path, failure);
        if (failure) {
            error = "cannot read the folder '" + path + "': " + failure.message();
            return nullptr;
        }
        for (const auto& entry : entries) {
            std::error_code entryFailure;
            if (entry.is_regular_file(entryFailure)) (void)X509_STORE_load_file(store, entry.path().c_str());
        }
    } else if (X509_STORE_load_file(store, path.c_str()) != 1 && !std::filesystem::exists(path, failure)) {
        error = "no such file or folder: '" + path + "'";
        return nullptr;
    }
    ERR_clear_error();  // files that held no certificate
    if (CertificateCount(store) == 0) {
        error = "no PEM certificate in '" + path + "'";
        return nullptr;
    }
    return trust;
}

} // namespace VORN_STD_library
