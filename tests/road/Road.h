#pragma once
// The whole road in one process: cwkit's windows build a profile into an application folder
// and copy the real utilities and libraries beside it; cwb's windows back that folder up
// through the copied compression library; cwr's windows restore the sets through the copied
// decompression library. Each program gets its own scripted desktop, as each runs alone.
#include "tests/kit/KitFixture.h"
#include "tests/support/ScriptedDesktop.h"

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace road {

struct BackupChoice {
    QString name = QStringLiteral("Weekly");
    std::string folder{}; // the destination folder on a fixed drive, or
    std::string drive{};  // a removable drive: the set spans its disks
    std::optional<QString> password{};
    int level = -1;            // optComp index chosen by the user; -1 leaves the profile's
    long long volumeLimit = 0; // bytes a disk holds (0: no limit)
    bool replace = false;      // a set of that name is there: the user replaces it
};

struct RestoreChoice {
    std::string set{}; // the .bks to open
    std::string dest{};
    bool structure = true;
    std::optional<QString> password{};
    std::vector<std::string> only{};      // the files the user clicks; none: Select All
    std::deque<QString> replaceAnswers{}; // buttons of the replace prompt, in order
    // Further boxes the run is expected to show.
    std::function<void(cw::test::ScriptedDesktop&)> expect{};
};

class RoadTest : public kit::test::KitTest {
protected:
    void SetUp() override;

    // Runs cwb from the application folder to the end of one backup; returns the set.
    std::string backup(const BackupChoice& c);
    // Runs cwr from the application folder to the end of one restore; returns the progress
    // window's last text.
    QString restore(const RestoreChoice& c);

    // Where a file of the tree lands under dest.
    static std::string restored(const std::string& dest, const std::string& file, bool structure);
    // Every backed-up file is at its place under dest with its bytes, mode and time, and
    // the empty directory is there when the structure was restored.
    void expectTree(const std::string& dest, bool structure,
                    const std::vector<std::string>& except = {}) const;
    // A copy of every backed-up file as it is now, to compare with after changing them.
    void keepReference();
    std::string reference(const std::string& file) const;

    // Called with the text of each disk prompt; the default confirms it.
    std::function<void(const QString&)> onDiskPrompt;
    // The disk prompts of the last run.
    QStringList diskPrompts;
    // The replace prompts of the last restore.
    std::vector<QString> replacePrompts;

    std::string appDir;
    std::vector<std::string> planted; // the files of the tree, absolute
    std::vector<std::string> files;   // every file a set holds: planted and the kit's
    std::string emptyDir;

private:
    void plantTree();
    void buildProfile();
    std::string refDir_;
};

} // namespace road
