// Authenticode checks through libcrypto: PKCS#7 parsing, the image digest
// streamed over the ranges the certificate table reader gives, the signer's
// signature over its signed attributes, time stamps and chains.
#include "VORN_STD_library/Signatures.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/pkcs7.h>
#include <openssl/ts.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include "VORN_STD_library/SignatureTrust.h"
#include "platform/Utf8Text.h"
#include "platform/version/CertificateTable.h"

namespace VORN_STD_library {
namespace {

constexpr const char* kIndirectDataOid = "1.3.6.1.4.1.311.2.1.4";
constexpr const char* kNestedSignatureOid = "1.3.6.1.4.1.311.2.4.1";
constexpr const char* kRfc3161TimeStampOid = "1.3.6.1.4.1.311.3.3.1";
constexpr std::size_t kChunkBytes = 256 * 1024;

template <auto Free>
struct Deleter {
    template <typename T>
    void operator()(T* object) const { Free(object); }
};
using Pkcs7Ptr = std::unique_ptr<PKCS7, Deleter<PKCS7_free>>;
using CmsPtr = std::unique_ptr<CMS_ContentInfo, Deleter<CMS_ContentInfo_free>>;
using ObjectPtr = std::unique_ptr<ASN1_OBJECT, Deleter<ASN1_OBJECT_free>>;
using SigPtr = std::unique_ptr<X509_SIG, Deleter<X509_SIG_free>>;
using TstInfoPtr = std::unique_ptr<TS_TST_INFO, Deleter<TS_TST_INFO_free>>;
using SignerInfoPtr = std::unique_ptr<PKCS7_SIGNER_INFO, Deleter<PKCS7_SIGNER_INFO_free>>;
using BioPtr = std::unique_ptr<BIO, Deleter<BIO_free_all>>;
using StoreContextPtr = std::unique_ptr<X509_STORE_CTX, Deleter<X509_STORE_CTX_free>>;
using DigestContextPtr = std::unique_ptr<EVP_MD_CTX, Deleter<EVP_MD_CTX_free>>;

struct FieldsFree {
    void operator()(STACK_OF(ASN1_TYPE) * fields) const { sk_ASN1_TYPE_pop_free(fields, ASN1_TYPE_free); }
};
struct SignersFree {
    void operator()(STACK_OF(X509) * signers) const { sk_X509_free(signers); }
};
struct CertificatesFree {
    void operator()(STACK_OF(X509) * certificates) const { sk_X509_pop_free(certificates, X509_free); }
};

// One signature as parsed: its SignedData, the digest it signs and the
// content its signer's signature covers (inside the SignedData).
struct ParsedSignature {
    Pkcs7Ptr p7;
    const EVP_MD* md = nullptr;
    std::string algorithm;
    std::string signedDigest;  // raw bytes
    const unsigned char* content = nullptr;
    long contentSize = 0;
    bool wellFormed = false;
};

std::string LowerHex(const std::string& bytes)
{
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const unsigned char byte : bytes) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

std::string StringBytes(const ASN1_STRING* value)
{
    return std::string(reinterpret_cast<const char*>(ASN1_STRING_get0_data(value)),
                       static_cast<std::size_t>(ASN1_STRING_length(value)));
}

// The algorithms an Authenticode digest may use, with their names.
const EVP_MD* DigestFor(int nid, std::string& name)
{
    switch (nid) {
    case NID_md5: name = "MD5"; return EVP_md5();
    case NID_sha1: name = "SHA-1"; return EVP_sha1();
    case NID_sha256: name = "SHA-256"; return EVP_sha256();
    case NID_sha384: name = "SHA-384"; return EVP_sha384();
    case NID_sha512: name = "SHA-512"; return EVP_sha512();
    default: return nullptr;
    }
}

// The values of every unsigned attribute of si with this OID.
std::vector<ASN1_TYPE*> UnsignedValues(const PKCS7_SIGNER_INFO* si, const char* oid)
{
    std::vector<ASN1_TYPE*> values;
    const ObjectPtr wanted(OBJ_txt2obj(oid, 1));
    if (!wanted || si->unauth_attr == nullptr) return values;
    for (int i = 0; i < X509at_get_attr_count(si->unauth_attr); ++i) {
        X509_ATTRIBUTE* attribute = X509at_get_attr(si->unauth_attr, i);
        if (OBJ_cmp(X509_ATTRIBUTE_get0_object(attribute), wanted.get()) != 0) continue;
        for (int j = 0; j < X509_ATTRIBUTE_count(attribute); ++j)
            if (ASN1_TYPE* value = X509_ATTRIBUTE_get0_type(attribute, j)) values.push_back(value);
    }
    return values;
}

// The DER of a SEQUENCE-typed value; empty for any other type.
std::optional<std::pair<const unsigned char*, long>> SequenceBytes(const ASN1_TYPE* value)
{
    if (value == nullptr || value->type != V_ASN1_SEQUENCE || value->value.sequence == nullptr) return std::nullopt;
    return std::make_pair(ASN1_STRING_get0_data(value->value.sequence),
                          static_cast<long>(ASN1_STRING_length(value->value.sequence)));
}

// The one signer of a SignedData; Authenticode allows no other count.
PKCS7_SIGNER_INFO* OnlySigner(PKCS7* p7)
{
    STACK_OF(PKCS7_SIGNER_INFO)* signers = PKCS7_get_signer_info(p7);
    return signers != nullptr && sk_PKCS7_SIGNER_INFO_num(signers) == 1 ? sk_PKCS7_SIGNER_INFO_value(signers, 0)
                                                                        : nullptr;
}

ParsedSignature ParseSignature(const unsigned char* der, long size)
{
    ParsedSignature parsed;
    parsed.p7.reset(d2i_PKCS7(nullptr, &der, size));
    PKCS7* p7 = parsed.p7.get();
    if (p7 == nullptr || !PKCS7_type_is_signed(p7) || p7->d.sign == nullptr || OnlySigner(p7) == nullptr)
        return parsed;
    const PKCS7* contents = p7->d.sign->contents;
    const ObjectPtr indirectData(OBJ_txt2obj(kIndirectDataOid, 1));
    if (contents == nullptr || contents->type == nullptr || !indirectData ||
        OBJ_cmp(contents->type, indirectData.get()) != 0)
        return parsed;
    const auto sequence = SequenceBytes(contents->d.other);
    if (!sequence) return parsed;

    // The signer's signature covers the content octets, without the
    // SEQUENCE's own tag and length.
    const unsigned char* body = sequence->first;
    long bodySize = 0;
    int tag = 0;
    int tagClass = 0;
    if (ASN1_get_object(&body, &bodySize, &tag, &tagClass, sequence->second) & 0x80) return parsed;

    // SpcIndirectDataContent: the data's type and value, then a DigestInfo.
    const unsigned char* cursor = sequence->first;
    const std::unique_ptr<STACK_OF(ASN1_TYPE), FieldsFree> fields(
        d2i_ASN1_SEQUENCE_ANY(nullptr, &cursor, sequence->second));
    if (!fields || sk_ASN1_TYPE_num(fields.get()) != 2) return parsed;
    const auto digestInfo = SequenceBytes(sk_ASN1_TYPE_value(fields.get(), 1));
    if (!digestInfo) return parsed;
    const unsigned char* digestCursor = digestInfo->first;
    const SigPtr sig(d2i_X509_SIG(nullptr, &digestCursor, digestInfo->second));
    if (!sig) return parsed;
    const X509_ALGOR* algorithm = nullptr;
    const ASN1_OCTET_STRING* digest = nullptr;
    X509_SIG_get0(sig.get(), &algorithm, &digest);
    const ASN1_OBJECT* algorithmObject = nullptr;
    X509_ALGOR_get0(&algorithmObject, nullptr, nullptr, algorithm);
    parsed.md = DigestFor(OBJ_obj2nid(algorithmObject), parsed.algorithm);
    if (parsed.md == nullptr || ASN1_STRING_length(digest) != EVP_MD_get_size(parsed.md)) return parsed;
    parsed.signedDigest = StringBytes(digest);
    parsed.content = body;
    parsed.contentSize = bodySize;
    parsed.wellFormed = true;
    return parsed;
}

// The digests of the ranges the Authenticode digest covers, one per
// algorithm, from one pass over the file; empty when it cannot be read.
std::optional<std::vector<std::string>> DigestImage(const platform::version::ByteSource& source,
                                                    const platform::version::CertificateTable& table,
                                                    const std::vector<const EVP_MD*>& algorithms)
{
    std::vector<DigestContextPtr> contexts;
    for (const EVP_MD* md : algorithms) {
        contexts.emplace_back(EVP_MD_CTX_new());
        if (!contexts.back() || EVP_DigestInit_ex(contexts.back().get(), md, nullptr) != 1) return std::nullopt;
    }
    const auto feed = [&](const std::uint8_t* bytes, std::size_t count) {
        for (const DigestContextPtr& context : contexts)
            if (EVP_DigestUpdate(context.get(), bytes, count) != 1) return false;
        return true;
    };
    std::vector<std::uint8_t> chunk(kChunkBytes);
    for (const platform::version::FileRange& range : table.digestRanges) {
        for (std::uint64_t done = 0; done < range.size;) {
            const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkBytes, range.size - done));
            const std::span<std::uint8_t> piece(chunk.data(), count);
            if (!source.ReadInto(range.offset + done, piece) || !feed(piece.data(), count)) return std::nullopt;
            done += count;
        }
    }
    const std::uint8_t zeros[8] = {};
    if (!feed(zeros, std::min<std::size_t>(table.digestPadding, sizeof zeros))) return std::nullopt;

    std::vector<std::string> digests;
    for (const DigestContextPtr& context : contexts) {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return std::nullopt;
        digests.emplace_back(reinterpret_cast<const char*>(digest), length);
    }
    return digests;
}

std::string NameEntryText(const X509_NAME* name, int nid)
{
    const int index = name ? X509_NAME_get_index_by_NID(name, nid, -1) : -1;
    if (index < 0) return {};
    unsigned char* utf8 = nullptr;
    const int length = ASN1_STRING_to_UTF8(&utf8, X509_NAME_ENTRY_get_data(X509_NAME_get_entry(name, index)));
    if (length < 0) return {};
    std::string text(reinterpret_cast<const char*>(utf8), static_cast<std::size_t>(length));
    OPENSSL_free(utf8);
    return text;
}

std::optional<std::int64_t> SecondsOf(const ASN1_TIME* time)
{
    std::tm fields{};
    if (time == nullptr || ASN1_TIME_to_tm(time, &fields) != 1) return std::nullopt;
    return static_cast<std::int64_t>(timegm(&fields));
}

bool HashEquals(const EVP_MD* md, const std::string& data, const ASN1_OCTET_STRING* expected)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    return md != nullptr && EVP_Digest(data.data(), data.size(), digest, &length, md, nullptr) == 1 &&
           static_cast<int>(length) == ASN1_STRING_length(expected) &&
           std::memcmp(digest, ASN1_STRING_get0_data(expected), length) == 0;
}

// Whether cert's chain builds to the store for purpose at time (now when
// empty); the reason OpenSSL gives when not.
std::optional<std::string> ChainFailure(const TrustStore& trust, X509* cert, STACK_OF(X509) * untrusted, int purpose,
                                        std::optional<std::int64_t> at)
{
    const StoreContextPtr context(X509_STORE_CTX_new());
    if (!context || X509_STORE_CTX_init(context.get(), trust.Store(), cert, untrusted) != 1)
        return std::string("cannot check the chain");
    if (purpose != 0) X509_STORE_CTX_set_purpose(context.get(), purpose);
    if (at) X509_STORE_CTX_set_time(context.get(), 0, static_cast<time_t>(*at));
    if (X509_verify_cert(context.get()) == 1) return std::nullopt;
    return std::string(X509_verify_cert_error_string(X509_STORE_CTX_get_error(context.get())));
}

// An RFC 3161 time stamp's time, when its token's signature holds and it
// stamps this signer's signature value; `trusted` tells whether the time
// stamp authority's chain builds to the store. Tokens are CMS SignedData,
// often with fields PKCS#7 cannot read, so they go through the CMS reader.
std::optional<std::int64_t> Rfc3161Time(PKCS7_SIGNER_INFO* si, const TrustStore* trust, bool& trusted)
{
    for (ASN1_TYPE* value : UnsignedValues(si, kRfc3161TimeStampOid)) {
        const auto bytes = SequenceBytes(value);
        if (!bytes) continue;
        const unsigned char* cursor = bytes->first;
        const CmsPtr token(d2i_CMS_ContentInfo(nullptr, &cursor, bytes->second));
        if (!token || OBJ_obj2nid(CMS_get0_type(token.get())) != NID_pkcs7_signed ||
            OBJ_obj2nid(CMS_get0_eContentType(token.get())) != NID_id_smime_ct_TSTInfo)
            continue;
        ASN1_OCTET_STRING** content = CMS_get0_content(token.get());
        if (content == nullptr || *content == nullptr) continue;
        const unsigned char* infoCursor = ASN1_STRING_get0_data(*content);
        const TstInfoPtr info(d2i_TS_TST_INFO(nullptr, &infoCursor, ASN1_STRING_length(*content)));
        if (!info) continue;
        TS_MSG_IMPRINT* imprint = TS_TST_INFO_get_msg_imprint(info.get());
        std::string ignored;
        const EVP_MD* md = DigestFor(OBJ_obj2nid(TS_MSG_IMPRINT_get_algo(imprint)->algorithm), ignored);
        if (!HashEquals(md, StringBytes(si->enc_digest), TS_MSG_IMPRINT_get_msg(imprint))) continue;
        if (CMS_verify(token.get(), nullptr, nullptr, nullptr, nullptr, CMS_NO_SIGNER_CERT_VERIFY | CMS_BINARY) != 1)
            continue;
        const std::optional<std::int64_t> at = SecondsOf(TS_TST_INFO_get_time(info.get()));
        if (!at) continue;
        if (trust != nullptr) {
            const std::unique_ptr<STACK_OF(X509), SignersFree> signers(CMS_get0_signers(token.get()));
            const std::unique_ptr<STACK_OF(X509), CertificatesFree> certificates(CMS_get1_certs(token.get()));
            trusted = signers && sk_X509_num(signers.get()) == 1 &&
                      !ChainFailure(*trust, sk_X509_value(signers.get(), 0), certificates.get(),
                                    X509_PURPOSE_TIMESTAMP_SIGN, at);
        }
        return at;
    }
    return std::nullopt;
}

// A legacy counter-signature's signing time, when its signature over the
// signer's signature value holds; `trusted` as for Rfc3161Time.
std::optional<std::int64_t> CounterSignatureTime(PKCS7* p7, PKCS7_SIGNER_INFO* si, const TrustStore* trust,
                                                 bool& trusted)
{
    const auto bytes = SequenceBytes(PKCS7_get_attribute(si, NID_pkcs9_countersignature));
    if (!bytes) return std::nullopt;
    const unsigned char* cursor = bytes->first;
    const SignerInfoPtr counter(d2i_PKCS7_SIGNER_INFO(nullptr, &cursor, bytes->second));
    if (!counter || counter->issuer_and_serial == nullptr || counter->digest_alg == nullptr) return std::nullopt;
    X509* cert = X509_find_by_issuer_and_serial(p7->d.sign->cert, counter->issuer_and_serial->issuer,
                                                counter->issuer_and_serial->serial);
    std::string ignored;
    const EVP_MD* md = DigestFor(OBJ_obj2nid(counter->digest_alg->algorithm), ignored);
    if (cert == nullptr || md == nullptr) return std::nullopt;

    // PKCS7_signatureVerify takes the signed bytes' digest from a digest BIO.
    BioPtr chain(BIO_new(BIO_f_md()));
    BIO* data = BIO_new_mem_buf(ASN1_STRING_get0_data(si->enc_digest), ASN1_STRING_length(si->enc_digest));
    if (!chain || data == nullptr || BIO_set_md(chain.get(), md) != 1) {
        BIO_free(data);
        return std::nullopt;
    }
    BIO_push(chain.get(), data);
    char sink[256];
    while (BIO_read(chain.get(), sink, sizeof sink) > 0) {
    }
    if (PKCS7_signatureVerify(chain.get(), p7, counter.get(), cert) != 1) return std::nullopt;
    const ASN1_TYPE* time = PKCS7_get_signed_attribute(counter.get(), NID_pkcs9_signingTime);
    if (time == nullptr || (time->type != V_ASN1_UTCTIME && time->type != V_ASN1_GENERALIZEDTIME)) return std::nullopt;
    const std::optional<std::int64_t> at = SecondsOf(time->value.utctime);
    if (at && trust != nullptr) trusted = !ChainFailure(*trust, cert, p7->d.sign->cert, X509_PURPOSE_ANY, at);
    return at;
}

SignatureFacts FactsOf(ParsedSignature& parsed, const std::string& authentihash, const TrustStore* trust)
{
    SignatureFacts facts;
    facts.trust = trust == nullptr ? kTrustNotChecked : "Untrusted: malformed signature";
    facts.status = kMalformedSignature;
    if (!parsed.wellFormed) return facts;
    PKCS7* p7 = parsed.p7.get();
    facts.digestAlgorithm = parsed.algorithm;
    facts.authentihash = LowerHex(authentihash);

    const std::unique_ptr<STACK_OF(X509), SignersFree> signers(PKCS7_get0_signers(p7, nullptr, 0));
    X509* signer = signers && sk_X509_num(signers.get()) == 1 ? sk_X509_value(signers.get(), 0) : nullptr;
    if (signer == nullptr) {
        ERR_clear_error();
        return facts;
    }
    facts.signer = NameEntryText(X509_get_subject_name(signer), NID_commonName);
    if (facts.signer.empty()) facts.signer = NameEntryText(X509_get_subject_name(signer), NID_organizationName);
    facts.issuer = NameEntryText(X509_get_issuer_name(signer), NID_commonName);

    // The content behind a pass-through filter: given a memory BIO itself,
    // PKCS7_verify copies it into one of its own, which it does not free when
    // the SignedData names a digest it cannot set up.
    BioPtr content(BIO_new(BIO_f_null()));
    BIO* bytes = BIO_new_mem_buf(parsed.content, static_cast<int>(parsed.contentSize));
    if (!content || bytes == nullptr) {
        BIO_free(bytes);
        return facts;
    }
    BIO_push(content.get(), bytes);
    const bool signatureHolds = PKCS7_verify(p7, nullptr, nullptr, content.get(), nullptr, PKCS7_NOVERIFY) == 1;
    if (!signatureHolds)
        facts.status = kSignatureInvalid;
    else if (authentihash != parsed.signedDigest)
        facts.status = kDigestMismatch;
    else
        facts.status = kSigned;

    PKCS7_SIGNER_INFO* si = OnlySigner(p7);
    bool stampTrusted = false;
    facts.signedAt = Rfc3161Time(si, trust, stampTrusted);
    if (!facts.signedAt) facts.signedAt = CounterSignatureTime(p7, si, trust, stampTrusted);
    ERR_clear_error();

    if (trust == nullptr) return facts;
    if (facts.status != kSigned) {
        facts.trust = std::string("Untrusted: ") + (signatureHolds ? "digest mismatch" : "signature invalid");
        return facts;
    }
    // Code signing is what the signer certificate must be for, when it
    // names what it is for at all.
    if ((X509_get_extension_flags(signer) & EXFLAG_XKUSAGE) != 0 &&
        (X509_get_extended_key_usage(signer) & XKU_CODE_SIGN) == 0) {
        facts.trust = "Untrusted: the certificate is not for code signing";
        return facts;
    }
    const std::optional<std::string> failure = ChainFailure(*trust, signer, p7->d.sign->cert, X509_PURPOSE_ANY,
                                                            stampTrusted ? facts.signedAt : std::nullopt);
    facts.trust = failure ? "Untrusted: " + *failure : "Trusted";
    ERR_clear_error();
    return facts;
}

} // namespace

std::optional<ImageSignatures> ReadImageSignatures(const platform::version::ByteSource& source,
                                                   const TrustStore* trust)
{
    const std::optional<platform::version::CertificateTable> table = platform::version::ReadCertificateTable(source);
    if (!table) return std::nullopt;

    std::vector<ParsedSignature> parsed;
    for (const std::vector<std::uint8_t>& der : table->signedData) {
        if (parsed.size() >= kMaxSignatures) break;
        parsed.push_back(ParseSignature(der.data(), static_cast<long>(der.size())));
        if (!parsed.back().wellFormed) continue;
        // The nested signatures, one level deep, as the platform reads them.
        PKCS7_SIGNER_INFO* si = OnlySigner(parsed.back().p7.get());
        for (ASN1_TYPE* value : UnsignedValues(si, kNestedSignatureOid)) {
            if (parsed.size() >= kMaxSignatures) break;
            const auto bytes = SequenceBytes(value);
            parsed.push_back(bytes ? ParseSignature(bytes->first, bytes->second) : ParsedSignature{});
        }
    }
    ERR_clear_error();

    std::vector<const EVP_MD*> algorithms = {EVP_sha256()};
    for (const ParsedSignature& signature : parsed)
        if (signature.wellFormed && std::find(algorithms.begin(), algorithms.end(), signature.md) == algorithms.end())
            algorithms.push_back(signature.md);
    const std::optional<std::vector<std::string>> digests = DigestImage(source, *table, algorithms);
    if (!digests) return std::nullopt;
    const auto digestIn = [&](const EVP_MD* md) {
        return (*digests)[std::find(algorithms.begin(), algorithms.end(), md) - algorithms.begin()];
    };

    ImageSignatures result;
    for (ParsedSignature& signature : parsed)
        result.all.push_back(FactsOf(signature, signature.wellFormed ? digestIn(signature.md) : std::string(), trust));
    if (!result.all.empty()) {
        result.image = result.all.front();
    } else {
        const bool malformed = table->state == platform::version::CertificateTableState::Malformed;
        result.image.status = malformed ? kMalformedSignature : kUnsigned;
        if (malformed) result.image.trust = trust == nullptr ? kTrustNotChecked : "Untrusted: malformed signature";
    }
    if (result.image.authentihash.empty()) result.image.authentihash = LowerHex(digestIn(EVP_sha256()));
    return result;
}

} // namespace VORN_STD_library
