#pragma once
// What a user sees of a window, checked the way a user would notice a fault: a caption cut
// short, a field too low to read, two controls on top of each other, a control cut off by
// its window's edge, a dialog that may fall behind its owner, a window off the screen.
#include <QSet>
#include <QString>
#include <string>
#include <vector>

class QWidget;

namespace road {

class WindowCheck {
public:
    // Controls placed on one spot that never show together (names, either order).
    void together(const QString& a, const QString& b) { together_ << a + '|' + b << b + '|' + a; }
    // Checks the window (or the MDI child) as it stands; state names the moment in faults.
    void check(QWidget* window, const std::string& state);
    // A dialog must stay in front of the window it belongs to.
    void checkOwned(QWidget* dialog, const std::string& state);

    std::vector<std::string> faults;
    std::string report() const;

private:
    void checkText(QWidget* w, const std::string& where);
    QSet<QString> together_;
};

} // namespace road
