// Each call looks its entry point up once and then calls straight through.
#include "VORN_STD_library/OnDemandCrypto.h"

#include "platform/OnDemandModule.h"

namespace VORN_STD_library::on_demand {

std::optional<FileDigests> DigestOpenFile(int fd)
{
    static auto* const entry =
        platform::OnDemandFunction<decltype(lumbrel_ondemand_digest_open_file)>("lumbrel_ondemand_digest_open_file");
    return entry(fd);
}

std::optional<ImageSignatures> ReadImageSignatures(const platform::version::ByteSource& source,
                                                   const TrustStore* trust)
{
    static auto* const entry = platform::OnDemandFunction<decltype(lumbrel_ondemand_read_image_signatures)>(
        "lumbrel_ondemand_read_image_signatures");
    return entry(source, trust);
}

std::shared_ptr<const TrustStore> LoadTrustStore(const std::string& path, std::string& error)
{
    static auto* const entry =
        platform::OnDemandFunction<decltype(lumbrel_ondemand_load_trust_store)>("lumbrel_ondemand_load_trust_store");
    return entry(path, error);
}

} // namespace VORN_STD_library::on_demand
