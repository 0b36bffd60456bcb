#pragma once
#include <memory>

class CByteReader;
class CPageObject;
struct CStreamVersion;

// Reads one object: its stream tag picks the kind, which then loads itself
// with the given source and version. Throws CFileFormatException for an
// unknown tag or a malformed object; nothing partly read is returned.
std::unique_ptr<CPageObject> ReadObject(CByteReader& reader, const CStreamVersion& version);
