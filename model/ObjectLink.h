#pragma once
#include "services/ByteStream.h"
#include <cstdint>
#include <string>

class CByteReader;
class CByteWriter;

inline constexpr StreamTag TAG_LINK = 0x7E3A8B93;

// The target a click on an object opens. Strings are Windows-1252 bytes.
class CObjectLink {
public:
    enum LinkType : int32_t {
        typePage = 0,     // a page of this site (page)
        typeEmail = 1,    // an e-mail address (email)
        typeUrl = 2,      // a web address (url)
        typeDocument = 3, // a file to link to (document)
    };

    // Starting values the inspector shows for a new link. Plain ASCII so they
    // read the same in every code page.
    static constexpr const char* kDefaultEmail = "navn@firma.dk";
    static constexpr const char* kDefaultUrl = "http://www.eksempel.dk";

    int32_t type = typeUrl;
    bool enabled = false;
    int32_t page = 0;
    std::string email = kDefaultEmail;
    std::string url = kDefaultUrl;
    std::string document;

    // Two disabled links are equal whatever they hold; otherwise type, enabled
    // and the one field the type uses must match (strings byte for byte).
    bool operator==(const CObjectLink& other) const;

    // Page index upkeep when the site's pages change. OnPageRemoved returns
    // true when this link pointed at the removed page and has been disabled.
    bool OnPageRemoved(int32_t index);
    void OnPageCountChanged(int32_t count);
    void OnPagesReset();

    // The optional link chunk: written only when the link is enabled.
    void Save(CByteWriter& writer) const;
    // Reads the chunk when its tag comes next; otherwise leaves the stream
    // where it was and resets the link to the defaults. On a format error the
    // link is left unchanged and CFileFormatException propagates.
    void Load(CByteReader& reader, const CStreamVersion& version);
};
