// The Authenticode signatures of a PE image as facts: for each signature
// (those of the certificate table and the ones nested in them), whether it
// is intact, who signed it, when it was time-stamped, its digest algorithm,
// the image's digest recomputed in that algorithm and whether its chain
// ends in the trust store in use. Parsing, digests and signature checks are
// libcrypto's; the whole file is read once, however many signatures there
// are.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/version/ByteSource.h"

namespace VORN_STD_library {

class TrustStore;

// The statuses a signature or an image gets.
inline constexpr const char* kUnsigned = "Unsigned";
inline constexpr const char* kSigned = "Signed";
inline constexpr const char* kDigestMismatch = "Signed, digest mismatch";
inline constexpr const char* kSignatureInvalid = "Signed, signature invalid";
inline constexpr const char* kMalformedSignature = "Malformed signature";
inline constexpr const char* kTrustNotChecked = "Not checked";

// At most this many signatures (nested ones included) are checked.
inline constexpr std::size_t kMaxSignatures = 16;

struct SignatureFacts {
    std::string status;
    std::string signer;  // the signer certificate's common name, else its organisation
    std::string issuer;  // the issuer's common name
    // The time of the time stamp (RFC 3161) or legacy counter-signature, in
    // seconds since 1970 UTC; empty without one whose own signature holds.
    std::optional<std::int64_t> signedAt;
    std::string digestAlgorithm;  // "SHA-256"
    std::string authentihash;     // lower-case hex
    std::string trust;            // "Not checked", "Trusted", "Untrusted: <reason>"
};

struct ImageSignatures {
    // The image's own facts: those of its first signature, or "Unsigned" /
    // "Malformed signature" with a SHA-256 authentihash and nothing else.
    SignatureFacts image;
    // Every signature, the first one first.
    std::vector<SignatureFacts> all;
};

// The signatures of the PE image in source, chains checked against trust
// (null: "Not checked"); empty when source is no PE image or cannot be read.
std::optional<ImageSignatures> ReadImageSignatures(const platform::version::ByteSource& source,
                                                   const TrustStore* trust);

// The signatures as a JSON array of objects keyed like the facts (signedat
// as "YYYY-MM-DD HH:MM:SS" in UTC, like the signedat column; empty without one).
std::string SignaturesJson(const ImageSignatures& signatures);

} // namespace VORN_STD_library
