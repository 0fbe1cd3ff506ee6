#pragma once
// The extraction callback: the library's events during cwUnzip become progress text, bar
// steps, disk prompts, warnings, the stop flag and the replace prompt.
#include "restore/ReplacedFiles.h"

namespace cwr {

struct RestoreContext;
class dlgProgress;

class ExtractionCallback {
public:
    ExtractionCallback(RestoreContext& ctx, dlgProgress& window);
    ~ExtractionCallback();
    ExtractionCallback(const ExtractionCallback&) = delete;
    ExtractionCallback& operator=(const ExtractionCallback&) = delete;

    // Handles one event; the result is what the library gets back.
    short handle(int action, const char* message);

    // The function installed in the library. The C interface carries no user pointer, so
    // it forwards to the handler of the one progress window there is.
    static short callback(int reserved, int action, const char* message);

private:
    void progressUpdate();

    RestoreContext& ctx_;
    dlgProgress& window_;
    ReplaceAnswers replaces_;
    static ExtractionCallback* current_;
};

} // namespace cwr
