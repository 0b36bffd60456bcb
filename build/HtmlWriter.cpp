#include "build/HtmlWriter.h"

// Placeholder bodies until the writer lands; they keep the build linking.
CHtmlWriter::CHtmlWriter(const CSite& site, const BuildSettings& settings, LinkResolver resolve)
    : m_site(site), m_settings(settings), m_resolve(std::move(resolve)) {}

std::vector<LinkRun> CHtmlWriter::CollectLinkRuns(const CTextObject&) { return {}; }

void CHtmlWriter::AddTextStyles(BuildPage&, const BuildItem&) {}

bool CHtmlWriter::WriteNoticePages(const std::filesystem::path&) { return true; }

bool CHtmlWriter::WritePage(const std::filesystem::path&, BuildPage&) { return true; }
