// The fact catalogue: one entry per fact, with its column and its reader.
#include "cDisk/ResultFacts.h"

#include <algorithm>
#include <optional>

#include "VORN_STD_library/ImageFacts.h"
#include "VORN_STD_library/LanguageNames.h"
#include "VORN_STD_library/VersionFacts.h"
#include "VORN_STD_library/VersionStrings.h"
#include "grid/GridColumn.h"
#include "grid/GridStyle.h"

namespace {

using grid::CellValue;

// A string-table value of the first translation; empty without version
// information.
std::string VersionText(const FoundFileFacts& found, std::string_view valueName)
{
    // A first translation is only ever read from a version block.
    const std::optional<VORN_STD_library::TranslationEntry>& first = found.file.firstTranslation;
    return first ? VORN_STD_library::VersionStringIn(*found.file.version, *first, valueName) : std::string();
}

// A text decoded from the fixed record; empty without one.
template <std::string (*Decode)(const platform::FixedFileInfo&)>
CellValue FixedRecordText(const FoundFileFacts& found)
{
    const std::optional<platform::VersionInfo>& info = found.file.version;
    if (!info || info->Size() == 0) return std::string();
    const std::optional<platform::FixedFileInfo> fixed = info->Fixed();
    return fixed ? Decode(*fixed) : std::string();
}

CellValue FileName(const FoundFileFacts& found) { return found.name; }

CellValue FixedVersion(const FoundFileFacts& found)
{
    const std::optional<platform::VersionInfo>& info = found.file.version;
    return info ? VORN_STD_library::FixedFileVersionText(*info) : std::string();
}

CellValue Size(const FoundFileFacts& found) { return found.file.size; }

CellValue Modified(const FoundFileFacts& found)
{
    return found.file.modified ? CellValue(*found.file.modified) : CellValue();
}

CellValue Folder(const FoundFileFacts& found) { return found.folder; }

// The path below the start folder; the whole path when the folder does not
// lie below it (or no start folder is known).
CellValue RelativePath(const FoundFileFacts& found)
{
    const std::string_view folder(found.folder);
    if (!found.root.empty() && folder.starts_with(found.root))
        return std::string(folder.substr(found.root.size())) + found.name;
    return found.folder + found.name;
}
CellValue Description(const FoundFileFacts& found) { return VersionText(found, "FileDescription"); }
CellValue Product(const FoundFileFacts& found) { return VersionText(found, "ProductName"); }
CellValue Company(const FoundFileFacts& found) { return VersionText(found, "CompanyName"); }
CellValue FileVersionString(const FoundFileFacts& found) { return VersionText(found, "FileVersion"); }
CellValue ProductVersionString(const FoundFileFacts& found) { return VersionText(found, "ProductVersion"); }
CellValue InternalName(const FoundFileFacts& found) { return VersionText(found, "InternalName"); }
CellValue OriginalName(const FoundFileFacts& found) { return VersionText(found, "OriginalFilename"); }
CellValue Copyright(const FoundFileFacts& found) { return VersionText(found, "LegalCopyright"); }
CellValue Comments(const FoundFileFacts& found) { return VersionText(found, "Comments"); }
CellValue PrivateBuild(const FoundFileFacts& found) { return VersionText(found, "PrivateBuild"); }
CellValue SpecialBuild(const FoundFileFacts& found) { return VersionText(found, "SpecialBuild"); }
CellValue Trademarks(const FoundFileFacts& found) { return VersionText(found, "LegalTrademarks"); }

CellValue Md5(const FoundFileFacts& found) { return found.file.digests ? found.file.digests->md5 : std::string(); }
CellValue Sha1(const FoundFileFacts& found) { return found.file.digests ? found.file.digests->sha1 : std::string(); }
CellValue Sha256(const FoundFileFacts& found)
{
    return found.file.digests ? found.file.digests->sha256 : std::string();
}

CellValue Translation(const FoundFileFacts& found)
{
    const std::optional<VORN_STD_library::TranslationEntry>& first = found.file.firstTranslation;
    return first ? VORN_STD_library::TranslationKey(*first) : std::string();
}

CellValue Language(const FoundFileFacts& found)
{
    const std::optional<VORN_STD_library::TranslationEntry>& first = found.file.firstTranslation;
    return first ? VORN_STD_library::LanguageName(first->language) : std::string();
}

CellValue Translations(const FoundFileFacts& found)
{
    const std::optional<platform::VersionInfo>& info = found.file.version;
    return info ? VORN_STD_library::TranslationsJson(*info) : std::string("[]");
}

CellValue VersionMismatch(const FoundFileFacts& found)
{
    const std::optional<platform::VersionInfo>& info = found.file.version;
    if (!info || info->Size() == 0) return std::string();
    const std::optional<platform::FixedFileInfo> fixed = info->Fixed();
    if (!fixed) return std::string();
    return VORN_STD_library::VersionMismatchText(VersionText(found, "FileVersion"), *fixed);
}

CellValue Renamed(const FoundFileFacts& found)
{
    return VORN_STD_library::RenamedText(VersionText(found, "OriginalFilename"), found.name);
}

// A text decoded from the image headers; empty for a file that is no image.
template <std::string (*Decode)(const platform::version::ImageHeaders&)>
CellValue HeaderText(const FoundFileFacts& found)
{
    return found.file.headers ? Decode(*found.file.headers) : std::string();
}

// The link time as a date when it is a plausible one, else its number.
CellValue LinkTime(const FoundFileFacts& found)
{
    if (!found.file.headers) return std::string();
    if (auto time = VORN_STD_library::PlausibleLinkTime(*found.file.headers, found.file.modifiedSeconds)) return *time;
    return VORN_STD_library::LinkTimeStampText(*found.file.headers);
}

// A fact of the image's first signature (or of the image, unsigned); empty
// for a file that is no PE image.
template <std::string VORN_STD_library::SignatureFacts::*Field>
CellValue SignatureText(const FoundFileFacts& found)
{
    return found.file.signatures ? found.file.signatures->image.*Field : std::string();
}

CellValue SignedAt(const FoundFileFacts& found)
{
    if (!found.file.signatures || !found.file.signatures->image.signedAt) return std::string();
    return platform::DateTime::FromUnixUtc(*found.file.signatures->image.signedAt);
}

CellValue Signatures(const FoundFileFacts& found)
{
    return found.file.signatures ? VORN_STD_library::SignaturesJson(*found.file.signatures) : std::string("[]");
}

constexpr int kText = grid::kDataTypeText;
constexpr int kLeft = grid::kAlignGeneral;
constexpr int kRight = grid::kAlignRightCenter;

constexpr ResultFact kFacts[] = {
    {{"filename", "Filename", 1500, kText, kLeft, ""}, FileName},
    {{"version", "Version", 1200, kText, kRight, ""}, FixedVersion},
    {{"size", "Size", 900, grid::kDataTypeInteger, kRight, "#,0"}, Size},
    {{"date", "Date", 1800, grid::kDataTypeDateTime, kLeft, ""}, Modified},
    {{"path", "Path", 1800, kText, kLeft, ""}, Folder},
    {{"desc", "Description", 1800, kText, kLeft, ""}, Description},
    {{"product", "Product", 1800, kText, kLeft, ""}, Product},
    {{"company", "Company", 1800, kText, kLeft, ""}, Company},
    {{"relpath", "Relative path", 2400, kText, kLeft, ""}, RelativePath},
    {{"fileversion", "File version", 1500, kText, kLeft, ""}, FileVersionString},
    {{"productversion", "Product version", 1500, kText, kLeft, ""}, ProductVersionString},
    {{"internal", "Internal name", 1500, kText, kLeft, ""}, InternalName},
    {{"original", "Original filename", 1500, kText, kLeft, ""}, OriginalName},
    {{"copyright", "Copyright", 1800, kText, kLeft, ""}, Copyright},
    {{"comments", "Comments", 1800, kText, kLeft, ""}, Comments},
    {{"privatebuild", "Private build", 1500, kText, kLeft, ""}, PrivateBuild},
    {{"specialbuild", "Special build", 1500, kText, kLeft, ""}, SpecialBuild},
    {{"legaltrademarks", "Trademarks", 1800, kText, kLeft, ""}, Trademarks},
    {{"translation", "Translation", 1000, kText, kLeft, ""}, Translation},
    {{"language", "Language", 1800, kText, kLeft, ""}, Language},
    {{"translations", "Translations", 1800, kText, kLeft, "", true}, Translations},
    {{"fixedproductversion", "Fixed product version", 1200, kText, kRight, ""},
     FixedRecordText<VORN_STD_library::FixedProductVersionText>},
    {{"fileflags", "File flags", 1500, kText, kLeft, ""}, FixedRecordText<VORN_STD_library::FileFlagsText>},
    {{"fileos", "File OS", 1500, kText, kLeft, ""}, FixedRecordText<VORN_STD_library::FileOsText>},
    {{"filetype", "File type", 1500, kText, kLeft, ""}, FixedRecordText<VORN_STD_library::FileTypeText>},
    {{"versionmismatch", "Version mismatch", 900, kText, kLeft, ""}, VersionMismatch},
    {{"renamed", "Renamed", 900, kText, kLeft, ""}, Renamed},
    {{"md5", "MD5", 2400, kText, kLeft, ""}, Md5, true},
    {{"sha1", "SHA-1", 2800, kText, kLeft, ""}, Sha1, true},
    {{"sha256", "SHA-256", 4800, kText, kLeft, ""}, Sha256, true},
    {{"format", "Format", 800, kText, kLeft, ""}, HeaderText<VORN_STD_library::ImageFormatText>, false, true},
    {{"machine", "Machine", 1000, kText, kLeft, ""}, HeaderText<VORN_STD_library::MachineText>, false, true},
    {{"subsystem", "Subsystem", 1500, kText, kLeft, ""}, HeaderText<VORN_STD_library::SubsystemText>, false, true},
    {{"timestamp", "Link time", 1800, grid::kDataTypeDateTime, kLeft, ""}, LinkTime, false, true},
    {{"dotnet", "Assembly version", 1200, kText, kRight, ""}, HeaderText<VORN_STD_library::AssemblyVersionText>, false,
     true},
    {{"signature", "Signature", 1500, kText, kLeft, ""}, SignatureText<&VORN_STD_library::SignatureFacts::status>,
     false, false, true},
    {{"signer", "Signer", 1800, kText, kLeft, ""}, SignatureText<&VORN_STD_library::SignatureFacts::signer>, false,
     false, true},
    {{"issuer", "Issuer", 1800, kText, kLeft, ""}, SignatureText<&VORN_STD_library::SignatureFacts::issuer>, false,
     false, true},
    {{"signedat", "Signed at (UTC)", 1800, grid::kDataTypeDateTime, kLeft, ""}, SignedAt, false, false, true},
    {{"digestalgorithm", "Digest algorithm", 1000, kText, kLeft, ""},
     SignatureText<&VORN_STD_library::SignatureFacts::digestAlgorithm>, false, false, true},
    {{"authentihash", "Authentihash", 4800, kText, kLeft, ""},
     SignatureText<&VORN_STD_library::SignatureFacts::authentihash>, false, false, true},
    {{"signatures", "Signatures", 1800, kText, kLeft, "", true}, Signatures, false, false, true},
    {{"trust", "Trust", 1800, kText, kLeft, ""}, SignatureText<&VORN_STD_library::SignatureFacts::trust>, false,
     false, true},
};

constexpr std::size_t kDefaultFactCount = 8;

} // namespace

std::span<const ResultFact> AllResultFacts()
{
    return kFacts;
}

const ResultFact* FindResultFact(std::string_view key)
{
    for (const ResultFact& fact : kFacts)
        if (key == fact.column.key) return &fact;
    return nullptr;
}

const FactSelection& DefaultFactSelection()
{
    static const FactSelection selection = [] {
        FactSelection facts;
        for (std::size_t i = 0; i < kDefaultFactCount; ++i) facts.push_back(&kFacts[i]);
        return facts;
    }();
    return selection;
}

FactSelection EveryFact()
{
    FactSelection facts;
    for (const ResultFact& fact : kFacts) facts.push_back(&fact);
    return facts;
}

FactListParse SelectFacts(std::string_view keyList)
{
    FactListParse parsed;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = keyList.find(',', start);
        const std::string_view key = keyList.substr(start, comma == std::string_view::npos ? comma : comma - start);
        const ResultFact* fact = FindResultFact(key);
        if (fact == nullptr || std::find(parsed.facts.begin(), parsed.facts.end(), fact) != parsed.facts.end()) {
            parsed.error = (fact == nullptr ? "unknown column '" : "column given twice: '") + std::string(key) + "'";
            parsed.facts.clear();
            return parsed;
        }
        parsed.facts.push_back(fact);
        if (comma == std::string_view::npos) return parsed;
        start = comma + 1;
    }
}

VORN_STD_library::ExtraRowReads ExtraReadsOf(const FactSelection& facts)
{
    return {.digests = std::any_of(facts.begin(), facts.end(), [](const ResultFact* fact) { return fact->readsDigests; }),
            .headers = std::any_of(facts.begin(), facts.end(), [](const ResultFact* fact) { return fact->readsHeaders; }),
            .signatures =
                std::any_of(facts.begin(), facts.end(), [](const ResultFact* fact) { return fact->readsSignatures; })};
}

std::vector<grid::ResultColumn> ColumnsOf(const FactSelection& facts)
{
    std::vector<grid::ResultColumn> columns;
    columns.reserve(facts.size());
    for (const ResultFact* fact : facts) columns.push_back(fact->column);
    return columns;
}
