// The scripted desktop is what every window test leans on: it must fail on a surprise
// box, answer it harmlessly, and never throw.
#include "tests/support/ScriptedDesktop.h"
#include "tests/common/ui/QtPrinters.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace cw;
using cw::test::DesktopCall;
using cw::test::ScriptedDesktop;

TEST(ScriptedDesktop, AnswersExpectedBoxesInOrderAndRecordsBeeps) {
    ScriptedDesktop d;
    bool shown = false;
    d.expectBox("first", Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true)
        .expectBox("second", Icon::Question, Buttons::YesNo, "Other", Answer::Yes, false,
                   [&] { shown = true; });
    d.beep();
    EXPECT_EQ(d.messageBox("first", Icon::Warning, Buttons::OK), Answer::OK);
    EXPECT_FALSE(shown);
    EXPECT_EQ(d.messageBox("second", Icon::Question, Buttons::YesNo, "Other"), Answer::Yes);
    EXPECT_TRUE(shown);
    ASSERT_EQ(d.boxes().size(), 2u);
    EXPECT_EQ(d.boxes()[0].title, "Caskwell"); // the program title stands in for none
    EXPECT_TRUE(d.boxes()[0].beepBefore);
    EXPECT_FALSE(d.boxes()[1].beepBefore);
    EXPECT_EQ(d.beepCount(), 1);
    EXPECT_EQ(d.pending(), 0);
}

TEST(ScriptedDesktop, ProgramTitleAndInputBoxes) {
    ScriptedDesktop d;
    d.setProgramTitle("Caskwell Restore");
    d.expectBox("t", Icon::None, Buttons::OK, "Caskwell Restore", Answer::OK)
        .expectInput("Password?", "Caskwell Restore", QString("secret"))
        .expectInput("Again?", "Caskwell Restore", std::nullopt);
    d.messageBox("t", Icon::None, Buttons::OK);
    EXPECT_EQ(d.inputBox("Password?", ""), std::optional<QString>("secret"));
    EXPECT_EQ(d.inputBox("Again?", {}), std::nullopt);
}

// Failures recorded while f runs, instead of failing this test.
template <class F> std::vector<std::string> failuresOf(F f) {
    ::testing::TestPartResultArray results;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        f();
    }
    std::vector<std::string> out;
    for (int i = 0; i < results.size(); ++i)
        out.push_back(results.GetTestPartResult(i).message());
    return out;
}

TEST(ScriptedDesktop, SurpriseBoxIsAFailureAnsweredByDefault) {
    const auto failures = failuresOf([] {
        ScriptedDesktop d;
        EXPECT_EQ(d.messageBox("a", Icon::Question, Buttons::YesNo), Answer::No);
        EXPECT_EQ(d.messageBox("b", Icon::Warning, Buttons::RetryCancel), Answer::Cancel);
        EXPECT_EQ(d.messageBox("c", Icon::None, Buttons::OKCancel), Answer::Cancel);
        EXPECT_EQ(d.messageBox("d", Icon::None, Buttons::OK), Answer::OK);
        EXPECT_EQ(d.inputBox("e", "t"), std::nullopt);
    });
    ASSERT_EQ(failures.size(), 5u);
    EXPECT_NE(failures[0].find("unexpected box \"a\""), std::string::npos) << failures[0];
    EXPECT_NE(failures[4].find("input box \"e\""), std::string::npos) << failures[4];
}

TEST(ScriptedDesktop, MismatchedIconOrButtonsIsAFailure) {
    auto failures = failuresOf([] {
        ScriptedDesktop d;
        d.expectBox("x", Icon::Warning, Buttons::OK, "Caskwell", Answer::OK);
        d.messageBox("x", Icon::Critical, Buttons::OK);
    });
    ASSERT_EQ(failures.size(), 2u); // the surprise, then the box that never came
    EXPECT_NE(failures[0].find("unexpected box \"x\" (critical"), std::string::npos);
    EXPECT_NE(failures[1].find("never came"), std::string::npos);
    failures = failuresOf([] {
        ScriptedDesktop d;
        d.expectBox("x", Icon::Warning, Buttons::OK, "Caskwell", Answer::OK);
        d.messageBox("x", Icon::Warning, Buttons::OKCancel, "Caskwell");
    });
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_NE(failures[0].find("OK/Cancel"), std::string::npos);
}

TEST(ScriptedDesktop, MissingBoxAndWrongBeepAreFailures) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedDesktop d;
            d.expectBox("never", Icon::None, Buttons::OK, "Caskwell", Answer::OK);
        },
        "\"never\"");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedDesktop d;
            d.expectBox("b", Icon::None, Buttons::OK, "Caskwell", Answer::OK, true);
            d.beep();
            d.setBusy(true); // anything between the beep and the box breaks "right before"
            d.messageBox("b", Icon::None, Buttons::OK);
        },
        "without a beep");
}

TEST(ScriptedDesktop, OnShowThatThrowsDoesNotEscape) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedDesktop d;
            d.expectBox("x", Icon::None, Buttons::OK, "Caskwell", Answer::OK, std::nullopt,
                        [] { throw std::runtime_error("boom"); });
            EXPECT_NO_THROW(d.messageBox("x", Icon::None, Buttons::OK));
        },
        "threw");
}

TEST(ScriptedDesktop, RecordsTheOtherServices) {
    ScriptedDesktop d;
    d.expectFolder("/data").expectFolder("");
    EXPECT_EQ(d.chooseFolder(nullptr, "Pick"), "/data");
    EXPECT_EQ(d.chooseFolder(nullptr, "Pick"), "");
    d.setBusy(true);
    d.setBusy(true);
    d.setBusy(false);
    EXPECT_TRUE(d.busy());
    d.setBusy(false);
    d.setBusy(false); // one too many must not go negative
    EXPECT_FALSE(d.busy());
    d.setOpenUrlResult(false);
    EXPECT_FALSE(d.openUrl("http://example.org"));
    EXPECT_TRUE(d.startProgram("prog", {"-a"}));
    EXPECT_EQ(d.choosePrinter(nullptr, {}), nullptr);
    d.setPrintToPdf("/tmp/out.pdf");
    const auto printer = d.choosePrinter(nullptr, {});
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer->outputFileName(), "/tmp/out.pdf");
    d.help(HelpCommand::Topic, 130);
    const auto& c = d.calls();
    ASSERT_FALSE(c.empty());
    EXPECT_EQ(c.back().kind, DesktopCall::Kind::Help);
    EXPECT_EQ(c.back().text, "130");
    EXPECT_EQ(c.back().topic, 130);

    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedDesktop s;
            EXPECT_EQ(s.chooseFolder(nullptr, "Surprise"), "");
        },
        "folder chooser");
}
