// The on-demand module's entry points: the functions that need libcrypto,
// libxlsxwriter or simdjson, under plain names the program looks up when it
// first needs one.
#include "VORN_STD_library/OnDemandCrypto.h"
#include "cDisk/OnDemandInventory.h"
#include "grid/formats/OnDemandXlsx.h"
#include "grid/formats/XlsxRowWriter.h"

#define LUMBREL_ENTRY extern "C" __attribute__((visibility("default")))

LUMBREL_ENTRY std::optional<VORN_STD_library::FileDigests> lumbrel_ondemand_digest_open_file(int fd)
{
    return VORN_STD_library::DigestOpenFile(fd);
}

LUMBREL_ENTRY std::optional<VORN_STD_library::ImageSignatures>
lumbrel_ondemand_read_image_signatures(const platform::version::ByteSource& source,
                                       const VORN_STD_library::TrustStore* trust)
{
    return VORN_STD_library::ReadImageSignatures(source, trust);
}

LUMBREL_ENTRY std::shared_ptr<const VORN_STD_library::TrustStore>
lumbrel_ondemand_load_trust_store(const std::string& path, std::string& error)
{
    return VORN_STD_library::TrustStore::Load(path, error);
}

LUMBREL_ENTRY std::unique_ptr<grid::formats::RowWriter>
lumbrel_ondemand_make_xlsx_row_writer(grid::formats::OutputSink& out, std::vector<grid::ResultColumn> columns,
                                      std::size_t rowsPerSheet)
{
    return grid::formats::MakeXlsxRowWriter(out, std::move(columns), rowsPerSheet);
}

LUMBREL_ENTRY InventoryLoad lumbrel_ondemand_load_inventory(const std::string& path, const ColumnFilter& keep)
{
    return LoadInventory(path, keep);
}
