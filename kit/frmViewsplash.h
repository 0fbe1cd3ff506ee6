#pragma once
// The backdrop inside the main window while no profile is being edited.
#include <QWidget>

class QLabel;

namespace kit {

class frmViewsplash : public QWidget {
    Q_OBJECT
public:
    explicit frmViewsplash(QWidget* parent = nullptr);

    QLabel* imgProduct = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblVersion = nullptr;

public Q_SLOTS:
    void Form_Load();
};

// The product picture shared by the splash window and the backdrop.
QLabel* makeProductPicture(QWidget* parent, int size);

} // namespace kit
