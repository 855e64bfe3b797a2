// Signature facts on images signed here, at set-up, with a throw-away key
// and certificate (openssl) and osslsigncode: intact, altered and hostile
// copies of a fixture, and the trust column against stores of these
// certificates. Where osslsigncode can judge the same file, its verdict and
// recomputed digest are held against ours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "VORN_STD_library/SignatureTrust.h"
#include "VORN_STD_library/Signatures.h"
#include "cDisk/ResultFacts.h"
#include "cDisk/ResultRow.h"
#include "platform/version/ByteReader.h"
#include "platform/version/ByteSource.h"
#include "platform/version/PeImage.h"

namespace {

namespace fs = std::filesystem;
using VORN_STD_library::ImageSignatures;
using VORN_STD_library::TrustStore;

const std::string kFixture = std::string(LUMBREL_FIXTURES_DIR) + "/pe/plain64.dll";
const std::string kFixture32 = std::string(LUMBREL_FIXTURES_DIR) + "/pe/plain32.dll";
const std::string kSigner = "Lumbrel Test Signer";
// A time stamp three days ahead: after the short-lived signer certificate
// has expired, while the time stamp authority's is still valid.
const std::int64_t kStampTime = static_cast<std::int64_t>(std::time(nullptr)) + 3 * 86400;

std::vector<std::uint8_t> ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

platform::version::PeHeaderFields HeaderOf(const std::vector<std::uint8_t>& bytes)
{
    const platform::version::MemoryByteSource source(bytes);
    return platform::version::PeImage::Open(source)->Header();
}

std::string Capture(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
        ::pclose(pipe);
    }
    return output;
}

// The signed and altered images, made once for all tests.
class SignedImages : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (std::system("command -v openssl >/dev/null && command -v osslsigncode >/dev/null") != 0) return;
        dir_ = fs::temp_directory_path() / ("lumbrel-signatures-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        const auto certificate = [](const std::string& name, const std::string& subject, const std::string& usage,
                                    int days) {
            return Run("openssl req -x509 -newkey rsa:2048 -nodes -keyout " + Q(name + ".key") + " -out " +
                       Q(name + ".pem") + " -days " + std::to_string(days) + " -subj " + subject +
                       " -addext extendedKeyUsage=" + usage);
        };
        const auto sign = [](const std::string& in, const std::string& out, const std::string& key,
                             const std::string& extra) {
            return Run("osslsigncode sign -certs " + Q(key + ".pem") + " -key " + Q(key + ".key") + " " + extra +
                       " -in " + in + " -out " + Q(out));
        };
        const std::string fixture = "'" + kFixture + "'";
        ready_ = certificate("signer", "'/CN=" + kSigner + "/O=Lumbrel Tests'", "codeSigning", 30) &&
                 certificate("brief", "/O=Lumbrel\\ Short\\ Lived", "codeSigning", 1) &&
                 certificate("server", "/CN=Lumbrel\\ Server", "serverAuth", 30) &&
                 certificate("tsa", "/CN=Lumbrel\\ Time\\ Stamps", "critical,timeStamping", 30) &&
                 sign(fixture, "sha256.dll", "signer", "-h sha256") && sign(fixture, "sha1.dll", "signer", "-h sha1") &&
                 sign("'" + kFixture32 + "'", "pe32.dll", "signer", "-h sha256") &&
                 sign(Q("sha256.dll"), "nested.dll", "signer", "-nest -h sha1") &&
                 sign(fixture, "server.dll", "server", "-h sha256") &&
                 sign(fixture, "stamped.dll", "brief",
                      "-h sha256 -TSA-certs " + Q("tsa.pem") + " -TSA-key " + Q("tsa.key") + " -TSA-time " +
                          std::to_string(kStampTime));
        if (ready_) {
            SignWithLegacyTimeStamp(fixture);  // a failure shows in the test that reads it
            std::filesystem::copy_file(kFixture, dir_ / "unsigned.dll");
            MakeAlteredCopies();
        }
    }

    static void TearDownTestSuite()
    {
        if (!dir_.empty()) fs::remove_all(dir_);
        VORN_STD_library::UseTrustStore(nullptr);
    }

    void SetUp() override
    {
        if (!ready_) GTEST_SKIP() << "openssl and osslsigncode are needed to sign the test images";
    }

    static std::string Q(const std::string& name) { return "'" + (dir_ / name).string() + "'"; }
    static bool Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

    // legacy_stamped.dll: signed and counter-signed by a local legacy time
    // stamp server, which runs only for this.
    static void SignWithLegacyTimeStamp(const std::string& fixture)
    {
        const std::string server = std::string(LUMBREL_SOURCE_DIR) + "/tests/signatures/legacy_time_stamp_server.py";
        const std::string pid = Capture("python3 '" + server + "' " + Q("tsa.pem") + " " + Q("tsa.key") + " > " +
                                        Q("port") + " 2>/dev/null & echo $!");
        std::string port;
        for (int tries = 0; tries < 100 && port.empty(); ++tries) {
            ::usleep(100000);
            std::ifstream(dir_ / "port") >> port;
        }
        legacyStart_ = std::time(nullptr);
        if (!port.empty())
            Run("osslsigncode sign -certs " + Q("signer.pem") + " -key " + Q("signer.key") +
                " -h sha256 -t http://127.0.0.1:" + port + " -in " + fixture + " -out " + Q("legacy_stamped.dll"));
        if (const int serverPid = std::atoi(pid.c_str()); serverPid > 0) ::kill(serverPid, SIGTERM);
    }

    // Copies of the SHA-256 image, each changed in one way.
    static void MakeAlteredCopies()
    {
        const std::vector<std::uint8_t> signedBytes = ReadAll(dir_ / "sha256.dll");
        const platform::version::PeHeaderFields header = HeaderOf(signedBytes);
        const std::size_t table = header.certificateOffset;
        const std::uint32_t entryLength = *platform::version::ByteReader(signedBytes).U32(table);
        const auto alter = [&](const std::string& name, auto change) {
            std::vector<std::uint8_t> bytes = signedBytes;
            change(bytes);
            WriteAll(dir_ / name, bytes);
        };
        // The first byte of the first section's data.
        alter("section_changed.dll", [&](auto& b) { b.at(header.headersSize) ^= 0x01; });
        // A byte of the signer's signature value, the last field of the entry.
        alter("signature_changed.dll", [&](auto& b) { b.at(table + entryLength - 16) ^= 0x01; });
        alter("truncated_table.dll", [&](auto& b) { b.resize(b.size() - 100); });
        alter("table_past_end.dll", [&](auto& b) { PutU32(b, header.certificateEntryOffset, static_cast<std::uint32_t>(b.size() + 8)); });
        alter("table_in_headers.dll", [&](auto& b) { PutU32(b, header.certificateEntryOffset, 0x40); });
        alter("huge_length.dll", [&](auto& b) { PutU32(b, table, 0xFFFFFFF8u); });
        alter("huge_table.dll", [&](auto& b) {
            b.resize(table + (5u << 20), 0);
            PutU32(b, header.certificateEntryOffset + 4, 5u << 20);
        });
        alter("many_entries.dll", [&](auto& b) {
            b.resize(table);
            for (int i = 0; i < 5000; ++i) b.insert(b.end(), {8, 0, 0, 0, 0, 2, 2, 0});
            PutU32(b, header.certificateEntryOffset + 4, 5000 * 8);
        });
        alter("deep_asn1.dll", [&](auto& b) {
            for (std::size_t at = table + 8; at + 1 < table + entryLength; at += 2) {
                b[at] = 0x30;
                b[at + 1] = 0x80;
            }
        });
        alter("not_indirect_data.dll", [&](auto& b) {
            // The last arc of the content type's OID: 1.3.6.1.4.1.311.2.1.4 -> .5
            const std::uint8_t oid[] = {0x06, 0x0A, 0x2B, 0x06, 0x01, 0x04, 0x01, 0x82, 0x37, 0x02, 0x01, 0x04};
            const auto found = std::search(b.begin() + table, b.end(), std::begin(oid), std::end(oid));
            ASSERT_NE(found, b.end());
            *(found + sizeof oid - 1) = 0x05;
        });
    }

    static ImageSignatures Read(const std::string& name, const TrustStore* trust = nullptr)
    {
        const std::vector<std::uint8_t> bytes = ReadAll(dir_ / name);
        const platform::version::MemoryByteSource source(bytes);
        return VORN_STD_library::ReadImageSignatures(source, trust).value();
    }

    static std::shared_ptr<const TrustStore> Store(const std::vector<std::string>& certificates)
    {
        const fs::path folder = dir_ / ("store" + std::to_string(++stores_));
        fs::create_directories(folder);
        for (const std::string& name : certificates) fs::copy_file(dir_ / (name + ".pem"), folder / (name + ".pem"));
        std::string error;
        auto store = TrustStore::Load(folder.string(), error);
        EXPECT_TRUE(store) << error;
        return store;
    }

    static inline fs::path dir_;
    static inline bool ready_ = false;
    static inline int stores_ = 0;
    static inline std::int64_t legacyStart_ = 0;
};

TEST_F(SignedImages, StatusAlgorithmAndSignerOfEachImageAgreeWithOsslsigncode)
{
    struct Case {
        const char* file;
        const char* status;
        const char* algorithm;
        std::size_t signatures;
    };
    const Case cases[] = {
        {"unsigned.dll", VORN_STD_library::kUnsigned, "", 0},
        {"sha256.dll", VORN_STD_library::kSigned, "SHA-256", 1},
        {"sha1.dll", VORN_STD_library::kSigned, "SHA-1", 1},
        {"pe32.dll", VORN_STD_library::kSigned, "SHA-256", 1},
        {"nested.dll", VORN_STD_library::kSigned, "SHA-256", 2},
        {"section_changed.dll", VORN_STD_library::kDigestMismatch, "SHA-256", 1},
        {"signature_changed.dll", VORN_STD_library::kSignatureInvalid, "SHA-256", 1},
        {"truncated_table.dll", VORN_STD_library::kMalformedSignature, "", 0},
        {"table_past_end.dll", VORN_STD_library::kMalformedSignature, "", 0},
        {"table_in_headers.dll", VORN_STD_library::kMalformedSignature, "", 0},
        {"huge_length.dll", VORN_STD_library::kMalformedSignature, "", 0},
        {"huge_table.dll", VORN_STD_library::kMalformedSignature, "", 0},
        {"many_entries.dll", VORN_STD_library::kMalformedSignature, "", 0},
        {"deep_asn1.dll", VORN_STD_library::kMalformedSignature, "", 1},
        {"not_indirect_data.dll", VORN_STD_library::kMalformedSignature, "", 1},
    };
    const std::string unsignedHash = Read("unsigned.dll").image.authentihash;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const ImageSignatures facts = Read(c.file);
        EXPECT_EQ(facts.image.status, c.status);
        EXPECT_EQ(facts.image.digestAlgorithm, c.algorithm);
        EXPECT_EQ(facts.all.size(), c.signatures);
        const bool isSigned = facts.image.status.rfind("Signed", 0) == 0;
        EXPECT_EQ(facts.image.signer, isSigned ? kSigner : "");
        EXPECT_EQ(facts.image.trust, facts.image.status == VORN_STD_library::kUnsigned ? "" : "Not checked");

        // osslsigncode verifies exactly the intact ones, and recomputes the
        // same digest of each signed one.
        const std::string verdict =
            Capture("osslsigncode verify -CAfile " + Q("signer.pem") + " -in " + Q(c.file) + " 2>&1; echo exit=$?");
        EXPECT_EQ(verdict.find("exit=0") != std::string::npos, facts.image.status == VORN_STD_library::kSigned)
            << verdict;
        if (isSigned) {
            std::string upper = facts.image.authentihash;
            for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            EXPECT_NE(verdict.find("Calculated message digest : " + upper), std::string::npos) << verdict;
        }
        if (!isSigned) {
            EXPECT_EQ(facts.image.authentihash.size(), 64u);  // SHA-256 without a signature
        }
    }
    // The unsigned image's digest is the one its SHA-256 signature signs.
    EXPECT_EQ(unsignedHash, Read("sha256.dll").image.authentihash);
}

TEST_F(SignedImages, NestedSignaturesEachGetTheirOwnDigest)
{
    const ImageSignatures facts = Read("nested.dll");
    ASSERT_EQ(facts.all.size(), 2u);
    EXPECT_EQ(facts.all[1].status, VORN_STD_library::kSigned);
    EXPECT_EQ(facts.all[1].digestAlgorithm, "SHA-1");
    EXPECT_EQ(facts.all[1].authentihash, Read("sha1.dll").image.authentihash);
    EXPECT_EQ(facts.all[1].authentihash.size(), 40u);
}

TEST_F(SignedImages, TimeStampGivesTheSigningTimeAndTheTimeChainsAreJudgedAt)
{
    EXPECT_FALSE(Read("sha256.dll").image.signedAt.has_value());
    const ImageSignatures stamped = Read("stamped.dll");
    EXPECT_EQ(stamped.image.status, VORN_STD_library::kSigned);
    EXPECT_EQ(stamped.image.signedAt, kStampTime);
    EXPECT_EQ(stamped.image.signer, "Lumbrel Short Lived");  // no common name: the organisation

    // A legacy counter-signature's signing time is the server's clock.
    const ImageSignatures legacy = Read("legacy_stamped.dll");
    EXPECT_EQ(legacy.image.status, VORN_STD_library::kSigned);
    ASSERT_TRUE(legacy.image.signedAt.has_value());
    EXPECT_GE(*legacy.image.signedAt, legacyStart_ - 5);
    EXPECT_LE(*legacy.image.signedAt, static_cast<std::int64_t>(std::time(nullptr)));
    EXPECT_NE(Capture("osslsigncode verify -CAfile " + Q("signer.pem") + " -TSA-CAfile " + Q("tsa.pem") + " -in " +
                      Q("legacy_stamped.dll"))
                  .find("Timestamp Server Signature verification: ok"),
              std::string::npos);

    const auto brief = Store({"brief"});
    EXPECT_EQ(Read("stamped.dll", brief.get()).image.trust, "Trusted");  // stamp not trusted: judged now
    const auto withTsa = Store({"brief", "tsa"});
    EXPECT_EQ(Read("stamped.dll", withTsa.get()).image.trust, "Untrusted: certificate has expired");
}

TEST_F(SignedImages, TrustNamesTheReasonAChainDoesNotHold)
{
    const auto signer = Store({"signer"});
    const auto other = Store({"tsa"});
    struct Case {
        const char* file;
        const TrustStore* store;
        const char* trust;
    };
    const Case cases[] = {
        {"sha256.dll", signer.get(), "Trusted"},
        {"nested.dll", signer.get(), "Trusted"},
        {"sha256.dll", other.get(), "Untrusted: self-signed certificate"},
        {"server.dll", Store({"server"}).get(), "Untrusted: the certificate is not for code signing"},
        {"section_changed.dll", signer.get(), "Untrusted: digest mismatch"},
        {"signature_changed.dll", signer.get(), "Untrusted: signature invalid"},
        {"deep_asn1.dll", signer.get(), "Untrusted: malformed signature"},
        {"unsigned.dll", signer.get(), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(Read(c.file, c.store).image.trust, c.trust);
    }
    std::string error;
    EXPECT_FALSE(TrustStore::Load((dir_ / "signer.key").string(), error));
    EXPECT_NE(error.find("no PEM certificate"), std::string::npos);
}

TEST_F(SignedImages, RowsReadSignaturesOnlyWhenASignatureColumnIsChosen)
{
    const std::string folder = dir_.string() + "/";
    EXPECT_FALSE(ExtraReadsOf(DefaultFactSelection()).signatures);
    const FactListParse chosen = SelectFacts("signature,signer,signedat,digestalgorithm,trust,signatures");
    ASSERT_TRUE(chosen.error.empty());
    ASSERT_TRUE(ExtraReadsOf(chosen.facts).signatures);
    const std::vector<grid::CellValue> row = BuildResultRow(folder, "nested.dll", chosen.facts);
    EXPECT_EQ(row[0], grid::CellValue(std::string(VORN_STD_library::kSigned)));
    EXPECT_EQ(row[1], grid::CellValue(kSigner));
    EXPECT_EQ(row[2], grid::CellValue(std::string()));
    EXPECT_EQ(row[3], grid::CellValue(std::string("SHA-256")));
    EXPECT_EQ(row[4], grid::CellValue(std::string("Not checked")));
    const std::string json = std::get<std::string>(row[5]);
    EXPECT_EQ(json.find(R"({"signature":"Signed","signer":"Lumbrel Test Signer")"), 1u) << json;
    EXPECT_NE(json.find(R"("digestalgorithm":"SHA-1")"), std::string::npos) << json;

    // A file that is no PE image has no signature facts at all.
    const std::vector<grid::CellValue> text =
        BuildResultRow(std::string(LUMBREL_FIXTURES_DIR) + "/pe/", "text_file.dll", chosen.facts);
    EXPECT_EQ(text[0], grid::CellValue(std::string()));
    EXPECT_EQ(std::get<std::string>(text[5]), "[]");
}

} // namespace
