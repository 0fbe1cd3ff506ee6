#pragma once
// The extraction callback: the library's events during cwUnzip become progress text, bar
// steps, disk prompts, warnings, the stop flag and the replace prompt.
namespace cwr {

struct RestoreContext;
class dlgProgress;

// Event codes the library sends during an extraction.
enum ExtractionAction : int {
    kActionListing = 10,
    kActionFile = 15,
    kActionTested = 17,
    kActionDeleting = 18,
    kActionDeleted = 19,
    kActionDisk = 20,
    kActionNothingToDo = 22,
    kActionFileProblem = 23,
    kActionExists = 24,
    kActionFatal = 255,
};
inline constexpr int kReasonInUse = 9;
inline constexpr int kReasonBadPassword = 14;
inline constexpr int kCodeUserCancelled = 12;

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
    static ExtractionCallback* current_;
};

} // namespace cwr
