#pragma once
// Asked, modally, before the library replaces a file that already exists.
#include "zip/include/cwevents.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace cwr {

struct RestoreContext;

class dlgReplace : public QDialog {
    Q_OBJECT
public:
    // The library's answers to its "file exists" event.
    enum Answer {
        Replace = CW_ANSWER_REPLACE,
        ReplaceAll = CW_ANSWER_REPLACE_ALL,
        Skip = CW_ANSWER_SKIP,
        CancelRestore = CW_ANSWER_CANCEL
    };

    explicit dlgReplace(RestoreContext& ctx, QWidget* parent = nullptr);

    // Shows the prompt for the context's current file and waits; the answer is also left in
    // the context's replace answer.
    static int ask(RestoreContext& ctx, QWidget* parent);

    QLabel* Picture1 = nullptr;
    QLabel* lblReplaceInfo = nullptr;
    QPushButton* cmdReplace = nullptr;
    QPushButton* cmdReplaceAll = nullptr;
    QPushButton* cmdSkip = nullptr;
    QPushButton* cmdCancelRestore = nullptr;

public Q_SLOTS:
    void Form_Load();
    void cmdReplace_Click();
    void cmdReplaceAll_Click();
    void cmdSkip_Click();
    void cmdCancelRestore_Click();
    // Closed by the window manager or Escape: the existing file is kept.
    void reject() override;

private:
    void answer(int a);

    RestoreContext& ctx_;
};

} // namespace cwr
