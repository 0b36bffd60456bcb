// libFuzzer target: any bytes given to the snippet reader must give a
// snippet with a name or a failure with a reason, never a crash or an
// escaping exception; whatever parses must substitute its defaults.
#include "sitebuild/Snippet.h"
#include "sitebuild/SnippetInsert.h"
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CSnippet snippet;
    CSnippetError error;
    if (!ParseSnippet(text, snippet, error)) {
        if (error.message.empty()) std::abort();
        return 0;
    }
    if (snippet.name.empty()) std::abort();
    const std::string body = SubstituteParameters(snippet.bodyCode, snippet.parameters);
    const std::string wrapped = WrapSnippetCode(snippet, body);
    if (!body.empty() && wrapped.find(body) == std::string::npos) std::abort();
    return 0;
}
