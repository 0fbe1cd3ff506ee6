#pragma once
// The README's tour, step by step, on a copy of the sample application in the home folder:
// cwkit builds its profile, cwb backs it up to ~/backups, cwr restores it to ~/restored.
// A hand does what the user does: with the mouse, or with the keyboard alone (Tab to a
// control, Enter and Space to press, arrows and Enter to walk a folder list).
#include "tests/kit/KitFixture.h"

#include <QString>
#include <string>

class QAbstractButton;
class QWidget;

namespace cw {
class DirListBox;
}

namespace road {

class TourTest : public kit::test::KitTest {
protected:
    void SetUp() override;

    // The three parts of the tour, as the README tells them.
    void buildProfile();
    void backUp();
    void restore();
    // What `diff -r -x system ~/invmgr ~/restored$HOME/invmgr` prints, and its status.
    std::string compare(int& status) const;

    bool keys = false; // the keyboard alone

    // The hand.
    void press(QAbstractButton* b);
    void type(QWidget* field, const QString& text);
    void chooseFolder(cw::DirListBox* list, const std::string& dir);
    // Keyboard only: moves the focus with Tab until it reaches w.
    void tabTo(QWidget* w);
    void giveKeyboard(QWidget* window);
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier);
    // Keyboard only: Enter where the focus is presses b; Escape closes the dialog.
    void expectPressedBy(QAbstractButton* b, int k);
    void expectClosedByEscape(QWidget* dialog);

    std::string appDir, backups, restored;
};

} // namespace road
