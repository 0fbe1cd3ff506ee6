#pragma once
// Files a restore replaces go to the user's trash first, so that a restore of an old set
// over newer files can be undone from any file manager. No widgets: every restore, with
// windows or without, answers the library's "file exists" event through ReplaceAnswers.
#include <string>

namespace cwr {

// Moves the file at path into the user's freedesktop.org trash, with its .trashinfo record;
// trashedAs (when given) gets where it went. False when its file system offers no usable
// trash; the file is then left where it is.
bool moveReplacedToTrash(const std::string& path, std::string* trashedAs = nullptr);

// The answers of one run to the library's "file exists" event. The library is never told
// Replace All: after it, the restore keeps answering Replace itself, without asking, so
// that it sees every file that is replaced.
class ReplaceAnswers {
public:
    // Replace All was chosen: answer() needs no prompt from now on.
    bool answeringAll() const { return all_; }
    // The user's answer (CW_ANSWER_*; ignored once answeringAll()) for the existing file at
    // path, the library's entry number `number`: a file to be replaced goes to the trash
    // first. Returns the library's answer.
    int answer(const std::string& number, const std::string& path, int userAnswer);
    // The library reported entry `number` as failed (event 23): when its file was put in
    // the trash to make room, it goes back to its place, since nothing replaces it.
    void failed(const std::string& number);
    // The run stopped (event 255): a file put in the trash for an entry that was never
    // written goes back to its place.
    void stopped() { failed(number_); }

private:
    bool all_ = false;
    std::string number_, path_, trashedAs_; // the last file put in the trash
};

} // namespace cwr
