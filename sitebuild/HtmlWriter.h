#pragma once
#include "sitebuild/BuildTypes.h"
#include "sitebuild/ImageOutput.h"
#include "sitebuild/OutputFile.h"
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class CSite;
class CTextObject;

// Writes the files of a built site: one HTML file per page and the two
// notice pages. Also builds, earlier in the build, the text-style table and
// the style and link runs of HTML texts.
class CHtmlWriter {
public:
    // Turns a link record into the URL a page at `from` uses (the pipeline's
    // relative-reference rules, shared by item links and text links).
    using LinkResolver = std::function<std::string(const CObjectLink& link, const BuildPage& from)>;

    CHtmlWriter(const CSite& site, const BuildSettings& settings, LinkResolver resolve);

    // First phase: the text hyperlinks of one HTML text, in text order.
    static std::vector<LinkRun> CollectLinkRuns(const CTextObject& text);
    // Data phase: adds the styles and style runs of one HTML text item.
    static void AddTextStyles(BuildPage& page, const BuildItem& item);
    // error.html and noscript.html in the files folder; false when either
    // cannot be created.
    static bool WriteNoticePages(const std::filesystem::path& filesFolder,
                                 CWriteFailure* failure = nullptr);
    // Writes one page file; false when it cannot be created. Gives every
    // item its CSS class name on the way.
    bool WritePage(const std::filesystem::path& file, BuildPage& page,
                   CWriteFailure* failure = nullptr);
    // The pictures that went out with a WebP twin as well; offered only
    // when the settings ask for WebP. Kept by the caller while pages are
    // written.
    void SetWebpTwins(const WebpTwins* twins) { m_twins = twins; }

private:
    void WriteHead(std::string& out, BuildPage& page) const;
    static void WriteBrowserCheck(std::string& out);
    static void WriteTextStyles(std::string& out, const BuildPage& page);
    // Gives every item its class name and writes its positioning rule.
    void WriteItemRules(std::string& out, BuildPage& page) const;
    static void WriteUserHead(std::string& out, const BuildPage& page);
    static void WriteBodyTag(std::string& out, const BuildPage& page);
    static void WriteBackground(std::string& out, const BuildPage& page);
    void WriteItems(std::string& out, const BuildPage& page) const;
    void WriteImage(std::string& out, const BuildPage& page, const BuildItem& item,
                    int32_t mouseOver) const;
    const WebpTwins* Twins() const;

    const CSite& m_site;
    BuildSettings m_settings;
    LinkResolver m_resolve;
    const WebpTwins* m_twins = nullptr;
    // Class names Object<n> count on through every page of one build, so
    // no two blocks of a site share a name, and start again with the next
    // build: an unchanged site builds to the same bytes, and a publish sends
    // only what really changed.
    mutable int32_t m_nextCssClass = 0;
};
