// Digests, signatures and trust stores reached through the on-demand module
// (platform/OnDemandModule.h): the same answers as DigestOpenFile,
// ReadImageSignatures and TrustStore::Load, which the module holds, without
// loading libcrypto until one of them is asked for.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "VORN_STD_library/FileDigests.h"
#include "VORN_STD_library/SignatureTrust.h"
#include "VORN_STD_library/Signatures.h"
#include "platform/version/ByteSource.h"

namespace VORN_STD_library::on_demand {

std::optional<FileDigests> DigestOpenFile(int fd);
std::optional<ImageSignatures> ReadImageSignatures(const platform::version::ByteSource& source,
                                                   const TrustStore* trust);
std::shared_ptr<const TrustStore> LoadTrustStore(const std::string& path, std::string& error);

} // namespace VORN_STD_library::on_demand

// The module's entry points, declared once for both sides.
extern "C" {
std::optional<VORN_STD_library::FileDigests> lumbrel_ondemand_digest_open_file(int fd);
std::optional<VORN_STD_library::ImageSignatures>
lumbrel_ondemand_read_image_signatures(const platform::version::ByteSource& source,
                                       const VORN_STD_library::TrustStore* trust);
std::shared_ptr<const VORN_STD_library::TrustStore> lumbrel_ondemand_load_trust_store(const std::string& path,
                                                                                     std::string& error);
}
