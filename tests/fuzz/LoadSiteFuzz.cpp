// libFuzzer target: any bytes given to the site reader must give a site or a
// clean failure, never a crash, a leak or an escaping exception. Saving what
// was read must work and read back.
#include "model/Site.h"
#include "model/SiteFile.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CByteReader reader{std::span<const uint8_t>(data, size)};
    std::unique_ptr<CSite> site = LoadSite(reader, "/tmp/fuzz.pwu");
    if (!site) return 0;
    CByteWriter writer;
    if (!SaveSite(*site, writer)) return 0;
    CByteReader again{std::span<const uint8_t>(writer.Data())};
    if (!LoadSite(again, "/tmp/fuzz.pwu")) std::abort();
    return 0;
}
