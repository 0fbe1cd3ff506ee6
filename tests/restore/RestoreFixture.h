#pragma once
// A cwr run in a temporary folder: scripted desktop, the recording library fake, and the
// restore context with the fake bound in.
#include "restore/RestoreContext.h"
#include "restore/UnzipLibrary.h"
#include "tests/restore/FakeUnzip.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/ScriptedDesktop.h"
#include "tests/support/TestEnv.h"

#include <QString>
#include <deque>
#include <gtest/gtest.h>
#include <memory>

namespace cwr::test {

class RestoreFixture : public ::testing::Test {
protected:
    RestoreFixture();
    ~RestoreFixture() override;

    // Opens a set at <root>/sets/Set1.bks with the given listing, as dlgOpenBackupSet does.
    frmRestore& openSet(const std::vector<std::string>& listing);
    // Selects the rows of the list (by index) the way a click does.
    void select(frmRestore& w, const std::vector<int>& rows);
    // Runs to the progress window with the destination dest.
    dlgProgress& toProgress(frmRestore& w, const std::string& dest);
    // Deletes windows that were closed.
    static void flushDeletes();

    cw::test::TestEnv env;
    cw::test::ScriptedDesktop desktop;
    FakeUnzip fake;
    std::unique_ptr<RestoreContext> ctx;
};

// Answers each replace prompt that comes up with the next button of the queue ("" closes
// the prompt through the window manager instead) and remembers the prompts' texts.
class ReplaceAnswerer : public cw::test::ModalAnswerer {
public:
    explicit ReplaceAnswerer(std::deque<QString> buttons)
        : ModalAnswerer(QStringLiteral("dlgReplace"), QStringLiteral("lblReplaceInfo"),
                        std::move(buttons)) {}
};

} // namespace cwr::test
