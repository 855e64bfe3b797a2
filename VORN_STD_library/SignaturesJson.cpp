// The signatures of an image as one JSON array, for the json-only fact that
// lists every signature.
#include "VORN_STD_library/Signatures.h"

#include <ctime>

#include "platform/Utf8Text.h"

namespace VORN_STD_library {

std::string SignaturesJson(const ImageSignatures& signatures)
{
    std::string json = "[";
    for (const SignatureFacts& facts : signatures.all) {
        if (json.size() > 1) json += ',';
        std::string signedAt;
        if (facts.signedAt) {
            const std::time_t seconds = static_cast<std::time_t>(*facts.signedAt);
            std::tm fields{};
            char text[32] = {};
            if (gmtime_r(&seconds, &fields) != nullptr) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &fields);
            signedAt = text;
        }
        const std::pair<const char*, const std::string*> members[] = {
            {"signature", &facts.status},       {"signer", &facts.signer},
            {"issuer", &facts.issuer},          {"signedat", &signedAt},
            {"digestalgorithm", &facts.digestAlgorithm}, {"authentihash", &facts.authentihash},
            {"trust", &facts.trust}};
        json += '{';
        for (const auto& [key, value] : members) {
            if (json.back() != '{') json += ',';
            platform::AppendJsonString(json, key);
            json += ':';
            platform::AppendJsonString(json, *value);
        }
        json += '}';
    }
    return json + "]";
}

} // namespace VORN_STD_library
