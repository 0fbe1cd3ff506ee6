#pragma once
// The backdrop inside the main window while no profile is being edited.
#include <QWidget>

class QLabel;
class QVBoxLayout;

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

// The product picture shared by the splash window, the backdrop and the about box.
QLabel* makeProductPicture(QWidget* parent, int size);
// What the splash window and the backdrop both show, in a column on parent: the picture,
// the description, the platform line and an empty version line.
QVBoxLayout* makeProductFace(QWidget* parent, QLabel*& picture, QLabel*& description,
                             QLabel*& platform, QLabel*& version);

} // namespace kit
