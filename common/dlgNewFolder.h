#pragma once
// Creates a sub-directory under the directory a caller's directory list shows, then makes
// that list show it. The same dialog serves all three programs.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace cw {

class DesktopService;
class DirListBox;

class dlgNewFolder : public QDialog {
    Q_OBJECT
public:
    dlgNewFolder(DesktopService& desktop, DirListBox& list, QWidget* parent = nullptr);

    // Opens the dialog on list: modal (waits, as cwkit does) or modeless (cwb, cwr).
    // A modeless dialog deletes itself when closed; returns it so tests can drive it.
    static dlgNewFolder* open(DesktopService& desktop, DirListBox& list, QWidget* parent,
                              bool modal);

    QLabel* lblNewFolder = nullptr;
    QLineEdit* txtNameOfFolder = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

public Q_SLOTS:
    void OKButton_Click();
    void CancelButton_Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    DesktopService& desktop_;
    DirListBox& list_;
};

} // namespace cw
