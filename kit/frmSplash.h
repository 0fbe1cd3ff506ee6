#pragma once
// The first window of cwkit: it brings up the main window and the tip of the day.
#include "kit/KitApp.h"
#include <QWidget>
#include <memory>

class QLabel;

namespace kit {

class MDIMainForm;

class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(KitApp& app);

    QLabel* imgProduct = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblVersion = nullptr;

    // The start-up sequence: shows the splash, the main window, and (unless switched off
    // in the settings store) the tip of the day, modally. Returns the main window.
    static std::unique_ptr<MDIMainForm> startUp(KitApp& app);

private:
    KitApp& app_;
};

} // namespace kit
